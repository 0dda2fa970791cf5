// setup_nocturo: installs the screen saver for the current user.
//
//   setup_nocturo                         the setup dialogs (needs a display)
//   setup_nocturo --unattended [--language en|ru] [--folder DIR]
//   setup_nocturo --uninstall

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "installer/desktop_handover.h"
#include "installer/setup_dialogs.h"
#include "installer/setup_flow.h"
#include "installer/setup_manifest.h"
#include "installer/setup_text.h"
#include "installer/setup_uninstall.h"
#include "platform/dialog_gtk.h"

namespace {

void PrintUsage(FILE* out) {
    std::fputs(
        "usage: setup_nocturo                  install with the setup dialogs\n"
        "       setup_nocturo --unattended [--language en|ru] [--folder DIR]\n"
        "                                      install without dialogs\n"
        "       setup_nocturo --uninstall      remove what the installer added\n",
        out);
}

}  // namespace

int main(int argc, char** argv) {
    SetupOptions options;
    options.languageOffset = kSetupTextEnglish;
    options.systemDefaults = kXscreensaverSystemDefaults;
    bool unattended = false;
    bool uninstall = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--unattended") {
            unattended = true;
        } else if (argument == "--uninstall") {
            uninstall = true;
        } else if (argument == "--language" && i + 1 < argc) {
            const std::string language = argv[++i];
            if (language == "en") {
                options.languageOffset = kSetupTextEnglish;
            } else if (language == "ru") {
                options.languageOffset = kSetupTextRussian;
            } else {
                std::fprintf(stderr, "setup_nocturo: --language takes en or ru, not '%s'\n",
                             language.c_str());
                return kSetupExitInterrupted;
            }
        } else if (argument == "--folder" && i + 1 < argc) {
            options.folder = argv[++i];
            options.folderGiven = true;
        } else if (argument == "--help" || argument == "-h") {
            PrintUsage(stdout);
            return 0;
        } else {
            std::fprintf(stderr, "setup_nocturo: unknown argument '%s'\n", argument.c_str());
            PrintUsage(stderr);
            return kSetupExitInterrupted;
        }
    }
    if (uninstall) {
        return SetupUninstall(SetupManifestPath(), stdout) ? 0 : 1;
    }
    if (unattended) {
        return SetupRunUnattended(options, stdout);
    }
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0') {
        std::fputs(
            "setup_nocturo: no display to show the setup dialogs on.\n"
            "To install without them: setup_nocturo --unattended [--language en|ru] "
            "[--folder DIR]\n",
            stderr);
        return kSetupExitInterrupted;
    }
    if (!DialogUseGtk()) {
        std::fprintf(stderr,
                     "setup_nocturo: cannot open the display %s.\n"
                     "To install without dialogs: setup_nocturo --unattended\n",
                     display);
        return kSetupExitInterrupted;
    }
    return SetupRunDialogs();
}
