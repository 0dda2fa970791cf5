#include "settings/about_box.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "settings/settings_store.h"
#include "settings/ui_text.h"

extern char** environ;

void (*aboutOpenSlot)(const std::string& address) = AboutOpenWithDesktop;

namespace {

// The links show what they open: the read-me's file name and the address.
const DialogControl kControls[] = {
    {kIdAboutText, kControlLabel, "", 0, 0, 1, 1, kControlCentered | kControlWrap | kControlFill},
    {kIdAboutWebLink, kControlButton, "readme.txt", 1, 0, 1, 1, kControlLink},
    {kIdAboutMailLink, kControlButton, kMakerMailAddress, 2, 0, 1, 1, kControlLink},
    {IDOK, kControlButton, "OK", 3, 0, 1, 1, kControlDefault},
};

const DialogTemplate kTemplate = {102, "About", kControls,
                                  static_cast<int>(sizeof kControls / sizeof kControls[0])};

bool IsFile(const std::string& path) {
    return !path.empty() && access(path.c_str(), R_OK) == 0;
}

std::string FolderOfSetting(const char* name) {
    char path[301] = {};
    if (!SettingsReadValue(kSettingsSubkey, name, path, 300)) {
        return "";
    }
    std::string p = path;
    size_t slash = p.rfind('/');
    return slash == std::string::npos ? "" : p.substr(0, slash + 1);
}

}  // namespace

const DialogTemplate* AboutBoxTemplate() {
    return &kTemplate;
}

std::string AboutReadmeAddress() {
    for (const char* setting : {kSettingPlaces00, kSettingPlaces01}) {
        std::string folder = FolderOfSetting(setting);
        if (!folder.empty() && IsFile(folder + "readme.txt")) {
            return "file://" + folder + "readme.txt";
        }
    }
#ifdef NOCTURO_README
    if (IsFile(NOCTURO_README)) {
        return std::string("file://") + NOCTURO_README;
    }
#endif
    return "";
}

std::string AboutMailAddress() {
    return std::string("mailto:") + kMakerMailAddress + "?Subject=\"Nocturo 1.0\"";
}

void AboutOpenWithDesktop(const std::string& address) {
    if (address.empty()) {
        return;
    }
    // The opener runs in a grandchild, so nothing is left to reap and the
    // box never waits for a browser.
    pid_t child = fork();
    if (child == 0) {
        char* argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(address.c_str()), nullptr};
        pid_t opener = 0;
        int failed = posix_spawnp(&opener, "xdg-open", nullptr, nullptr, argv, environ);
        _exit(failed ? 1 : 0);
    }
    if (child > 0) {
        int status = 0;
        waitpid(child, &status, 0);
    }
}

INT_PTR AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        SetWindowTextA(dialog, UiTextGet(50));
        SetDlgItemTextA(dialog, kIdAboutText, UiTextGet(51));
        return 1;
    }
    if (message != WM_COMMAND) {
        return 0;
    }
    switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, LOWORD(wParam));
            return 1;
        case kIdAboutWebLink:
            aboutOpenSlot(AboutReadmeAddress());
            return 0;
        case kIdAboutMailLink:
            aboutOpenSlot(AboutMailAddress());
            return 0;
        default:
            return 0;
    }
}

INT_PTR AboutBoxRun(HWND owner) {
    return DialogBoxParamA(&kTemplate, owner, AboutBoxProc, 0);
}
