// setup_nocturo: installs the screen saver for the current user.
//
//   setup_nocturo                         the setup dialogs (needs a display)
//   setup_nocturo --unattended [--language en|ru] [--folder DIR]
//   setup_nocturo --uninstall

#include <getopt.h>

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
        "Usage: setup_nocturo [--unattended [--language en|ru] [--folder DIR] | --uninstall]\n"
        "Installs Nocturo 3D for the current user: Nocturo.scr into ~/.local/bin, the\n"
        "Moon pictures and the city lists into the folder (default\n"
        "~/.local/share/Nocturo 3D), the settings, and an entry in the programs of\n"
        "~/.xscreensaver.\n"
        "\n"
        "  (no option)          the setup dialogs (needs a display)\n"
        "      --unattended     the same steps without dialogs, the messages printed\n"
        "      --language en|ru the setup's language (English by default)\n"
        "      --folder DIR     the installation folder\n"
        "      --uninstall      remove what the installer added, and say what\n"
        "  -h, --help           show this text and exit\n"
        "      --version        show the version and exit\n"
        "\n"
        "Example: setup_nocturo --unattended --language ru\n"
        "\n"
        "Exit status: 0 complete, 1 not complete, 2 interrupted, refused or bad arguments.\n",
        out);
}

}  // namespace

int main(int argc, char** argv) {
    SetupOptions options;
    options.languageOffset = kSetupTextEnglish;
    options.systemDefaults = kXscreensaverSystemDefaults;
    bool unattended = false;
    bool uninstall = false;
    enum { kUnattended = 1000, kUninstall, kLanguage, kFolder, kVersion };
    const option longOptions[] = {
        {"unattended", no_argument, nullptr, kUnattended},
        {"uninstall", no_argument, nullptr, kUninstall},
        {"language", required_argument, nullptr, kLanguage},
        {"folder", required_argument, nullptr, kFolder},
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, kVersion},
        {nullptr, 0, nullptr, 0},
    };
    int choice = 0;
    opterr = 0;  // one line of our own for a bad option
    while ((choice = getopt_long(argc, argv, "h", longOptions, nullptr)) != -1) {
        switch (choice) {
            case kUnattended:
                unattended = true;
                break;
            case kUninstall:
                uninstall = true;
                break;
            case kLanguage:
                if (std::strcmp(optarg, "en") == 0) {
                    options.languageOffset = kSetupTextEnglish;
                } else if (std::strcmp(optarg, "ru") == 0) {
                    options.languageOffset = kSetupTextRussian;
                } else {
                    std::fprintf(stderr, "setup_nocturo: --language takes en or ru, not '%s'\n",
                                 optarg);
                    return kSetupExitInterrupted;
                }
                break;
            case kFolder:
                options.folder = optarg;
                options.folderGiven = true;
                break;
            case 'h':
                PrintUsage(stdout);
                return 0;
            case kVersion:
                std::printf("setup_nocturo (Nocturo) %s\n", NOCTURO_VERSION);
                return 0;
            default:
                std::fprintf(stderr, "setup_nocturo: bad option '%s'; try 'setup_nocturo --help'\n",
                             argv[optind - 1]);
                return kSetupExitInterrupted;
        }
    }
    if (optind < argc) {
        std::fprintf(stderr,
                     "setup_nocturo: unexpected argument '%s'; try 'setup_nocturo --help'\n",
                     argv[optind]);
        return kSetupExitInterrupted;
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
