// Nocturo.scr: the screen saver in all its run modes.

#include <cstdio>
#include <string>

#include "platform/dialog_gtk.h"
#include "platform/messages.h"
#include "platform/x11_palette.h"
#include "platform/x11_window.h"
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

}  // namespace

int main(int argc, char** argv) {
    // The command line as one text: the program's name in quotes, then the arguments.
    std::string commandLine = "\"";
    commandLine += argc > 0 ? argv[0] : "Nocturo.scr";
    commandLine += "\"";
    for (int i = 1; i < argc; ++i) {
        commandLine += ' ';
        commandLine += argv[i];
    }
    SaverCommand command = SaverParseCommand(SaverArgumentText(commandLine.c_str()));

    bool needsDisplay = command.action == ACTION_FULL_SCREEN || command.action == ACTION_PREVIEW ||
                        command.action == ACTION_TEST_WINDOW;
    if (needsDisplay) {
        if (!X11Open()) {
            std::fputs(
                "Nocturo.scr: cannot open the X display (is DISPLAY set?); the saver needs one.\n",
                stderr);
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
    try {
        return SaverRunCommand(command);
    } catch (...) {
        return -1;
    }
}
