// Nocturo.scr: the screen saver in all its run modes.

#include <cstdio>
#include <cstring>
#include <exception>

#include "platform/dialog_gtk.h"
#include "platform/messages.h"
#include "platform/x11_palette.h"
#include "platform/x11_window.h"
#include "scene/fps_readout.h"
#include "settings/data_files.h"
#include "settings/settings_dialog.h"
#include "shell/glscrnsv.h"
#include "shell/palette.h"

namespace {

// Configure mode: the settings dialog in GTK; its end value is the exit code.
int RunSettingsDialog(HWND owner) {
    if (!DialogUseGtk()) {
        std::fputs(
            "Nocturo.scr: cannot open the X display (is DISPLAY set?); the settings "
            "dialog needs one.\n",
            stderr);
        return -1;
    }
    return static_cast<int>(SettingsDialogRun(owner));
}

const char kUsageLine[] =
    "usage: %s [-root | -window-id ID] [--fps] [--delay USECS] | s | p ID | w | c "
    "(--help for more)\n";

const char kHelp[] =
    "Usage: %s [OPTION]...\n"
    "   or: %s s | p ID | l ID | w | c | a\n"
    "Nocturo: the Moon as it stands in the sky now, lit by the Sun, over a field of\n"
    "twinkling stars, with the times of moonrise, moonset, sunrise and sunset.\n"
    "\n"
    "Screen-saver hack options (xscreensaver, xsecurelock, by hand):\n"
    "  -root, --root            draw full screen: in the window XSCREENSAVER_WINDOW\n"
    "                           names, otherwise in the root window\n"
    "  -window-id ID, --window-id ID\n"
    "                           draw in the window ID (0x... or decimal); input is\n"
    "                           left to its owner; ends when the window goes away\n"
    "      --fps                show frames a second and processor use in a corner\n"
    "      --delay USECS        the frame period in microseconds (default 32000)\n"
    "  -h, --help               show this text and exit\n"
    "      --version            show the version and exit\n"
    "\n"
    "Screen-saver switches (a leading / or - is optional):\n"
    "  s                        full screen in a window of its own, ended by input\n"
    "  p ID, l ID               preview inside the window ID (decimal)\n"
    "  w                        a test window; Esc closes it\n"
    "  c, no argument           the settings\n"
    "  a                        change the password (not on this system: exit -1)\n"
    "\n"
    "The settings are read from the user's store (nocturo-settings shows them);\n"
    "data files not named there come from ~/.local/share/Nocturo 3D, then\n"
    "%s.\n"
    "\n"
    "Example, in the programs list of ~/.xscreensaver:\n"
    "  GL: nocturo -root\n"
    "\n"
    "Exit status: 0 after a normal end, 1 without a display, 255 (-1) for a bad\n"
    "command line.\n";

const char* ProgramName(const char* argv0) {
    if (argv0 == nullptr || *argv0 == '\0') {
        return "Nocturo.scr";
    }
    const char* slash = std::strrchr(argv0, '/');
    return slash != nullptr ? slash + 1 : argv0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* name = ProgramName(argc > 0 ? argv[0] : nullptr);
    SaverCommand command = SaverParseArguments(argc, argv);
    switch (command.action) {
        case ACTION_HELP:
            std::printf(kHelp, name, name, DataSystemFolder().c_str());
            return 0;
        case ACTION_VERSION:
            std::printf("%s (Nocturo) %s\n", name, NOCTURO_VERSION);
            return 0;
        case ACTION_INVALID:
            // One line: what was wrong, when known, and the usage.
            if (command.badWord != nullptr) {
                std::fprintf(stderr, "%s: bad argument '%s'; ", name, command.badWord);
            }
            std::fprintf(stderr, kUsageLine, name);
            return -1;
        default:
            break;
    }

    bool needsDisplay = command.action == ACTION_FULL_SCREEN || command.action == ACTION_PREVIEW ||
                        command.action == ACTION_TEST_WINDOW;
    if (needsDisplay) {
        if (!X11Open()) {
            std::fprintf(stderr,
                         "%s: cannot open the X display (is DISPLAY set?); the saver needs one.\n",
                         name);
            return 1;
        }
        shellServices = X11WindowServices();
        paletteServices = X11PaletteServices();
        MessageSetSource(X11MessageSource());
    }
    if (command.action == ACTION_CONFIGURE) {
        // The display only tells which window is active, to own the dialog.
        if (X11Open()) {
            shellServices = X11WindowServices();
        }
        SaverSetDialogRunner(RunSettingsDialog);
    }
    if (command.showFps) {
        saverAfterFrameHook = FpsReadoutDraw;
    }
    int status = -1;
    try {
        status = SaverRunCommand(command);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", name, error.what());
        return -1;
    } catch (...) {
        std::fprintf(stderr, "%s: stopped by an unexpected error\n", name);
        return -1;
    }
    if (status == -1) {
        // Every failing end names its cause on one line.
        switch (command.action) {
            case ACTION_PREVIEW:
                if (command.window == 0) {
                    std::fprintf(stderr, "%s: a preview needs the id of its parent window\n", name);
                } else {
                    std::fprintf(stderr, "%s: no window %u to draw the preview in\n", name,
                                 command.window);
                }
                break;
            case ACTION_CHANGE_PASSWORD:
                std::fprintf(stderr, "%s: there is no screen-saver password to change here\n",
                             name);
                break;
            case ACTION_FULL_SCREEN:
                std::fprintf(stderr, "%s: no window %u to draw in\n", name, command.window);
                break;
            default:
                break;  // the settings dialog says itself why it cannot run
        }
    }
    return status;
}
