#include "installer/desktop_handover.h"

#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "installer/setup_places.h"
#include "installer/xscreensaver_programs.h"

extern char** environ;

namespace {

int ReadText(const std::string& path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return 0;
    }
    std::ostringstream content;
    content << in.rdbuf();
    *text = content.str();
    return 1;
}

// A Desktop Entry value with the reserved characters of Exec quoted.
std::string DesktopExecArgument(const std::string& path) {
    if (path.find_first_of(" \t\n\"'\\><~|&;$*?#()`") == std::string::npos) {
        return path;
    }
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

std::string FindOnPath(const std::string& program) {
    if (program.find('/') != std::string::npos) {
        return access(program.c_str(), X_OK) == 0 ? program : "";
    }
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        const size_t end = folders.find(':', start);
        std::string folder = folders.substr(start, end == std::string::npos ? end : end - start);
        if (folder.empty()) {
            folder = ".";
        }
        const std::string candidate = folder + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return "";
}

}  // namespace

std::string SetupXscreensaverFile() {
    return SetupHomeFolder() + "/.xscreensaver";
}

std::string SetupDesktopFile() {
    return SetupDataHome() + "/applications/screensavers/nocturo.desktop";
}

int SetupRegisterWithXscreensaver(SetupSession* session, const std::string& systemDefaults) {
    std::string path = SetupXscreensaverFile();
    // A link (a dotfiles folder) is followed, so the link itself stays.
    char resolved[4096];
    if (realpath(path.c_str(), resolved) != nullptr) {
        path = resolved;
    }
    std::string before;
    const bool existed = ReadText(path, &before) == 1;
    std::string system;
    ReadText(systemDefaults, &system);
    const std::string entry = XscreensaverEntryFor(session->saverPath);
    std::string replaced;
    const std::string after = XscreensaverAddEntry(existed ? before : "", system, entry, &replaced);
    if (existed && after == before) {
        return 1;  // already listed
    }
    unsigned mode = 0644;
    struct stat info {};
    if (existed && stat(path.c_str(), &info) == 0) {
        mode = info.st_mode & 07777;
    }
    if (!SetupWriteFileAtomically(path, after.data(), after.size(), mode)) {
        return 0;
    }
    SetupManifest& manifest = session->manifest;
    if (manifest.xscreensaverEntry.empty()) {
        manifest.xscreensaverReplaced = replaced;
        if (!existed) {
            manifest.xscreensaverCreated = true;
            manifest.xscreensaverCreatedHash =
                SetupTextHash(XscreensaverRemoveEntry(after, entry, ""));
        }
    }
    manifest.xscreensaverEntry = entry;
    return 1;
}

int SetupWriteDesktopFile(SetupSession* session) {
    const std::string path = SetupDesktopFile();
    const std::string folder = path.substr(0, path.find_last_of('/'));
    if (!SetupCreateFolder(folder, &session->manifest)) {
        return 0;
    }
    const std::string text =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Nocturo 3D\n"
        "Comment=The Moon in 3D as it stands in your sky now, with its phase, rise and set\n"
        "Exec=" +
        DesktopExecArgument(session->saverPath) +
        " s\n"
        "TryExec=" +
        DesktopExecArgument(session->saverPath) +
        "\n"
        "Terminal=false\n"
        "StartupNotify=false\n"
        "NoDisplay=true\n"
        "Categories=Screensaver;\n";
    if (!SetupWriteFileAtomically(path, text.data(), text.size(), 0644)) {
        return 0;
    }
    SetupManifestAddFile(&session->manifest, path);
    return 1;
}

std::vector<std::string> SetupSettingsPrograms() {
    const char* chosen = std::getenv("NOCTURO_SETTINGS_PROGRAM");
    if (chosen != nullptr) {
        return chosen[0] != '\0' ? std::vector<std::string>{chosen} : std::vector<std::string>{};
    }
    return {"xscreensaver-settings", "xscreensaver-demo"};
}

int SetupStartSettingsProgram(const std::vector<std::string>& programs) {
    for (const std::string& program : programs) {
        const std::string found = FindOnPath(program);
        if (found.empty()) {
            continue;
        }
        std::string name = program;
        char* argv[] = {name.data(), nullptr};
        pid_t child = 0;
        return posix_spawn(&child, found.c_str(), nullptr, nullptr, argv, environ) == 0 ? 1 : 0;
    }
    return 0;
}

int SetupHandOver(SetupSession* session, const std::string& systemDefaults) {
    const int registered = SetupRegisterWithXscreensaver(session, systemDefaults);
    const int desktop = SetupWriteDesktopFile(session);
    return registered && desktop;
}
