// Nocturo.scr: the screen saver in all its run modes.

#include <cstdio>
#include <exception>
#include <string>

#include "platform/messages.h"
#include "platform/x11_palette.h"
#include "platform/x11_window.h"
#include "shell/glscrnsv.h"
#include "shell/palette.h"

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
    int status = -1;
    try {
        status = SaverRunCommand(command);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Nocturo.scr: %s\n", error.what());
        return -1;
    } catch (...) {
        std::fputs("Nocturo.scr: stopped by an unexpected error\n", stderr);
        return -1;
    }
    if (status == -1) {
        // Every failing end names its cause on one line.
        switch (command.action) {
            case ACTION_PREVIEW:
                if (command.window == 0) {
                    std::fputs("Nocturo.scr: a preview needs the id of its parent window\n",
                               stderr);
                } else {
                    std::fprintf(stderr, "Nocturo.scr: no window %u to draw the preview in\n",
                                 command.window);
                }
                break;
            case ACTION_CHANGE_PASSWORD:
                std::fputs("Nocturo.scr: there is no screen-saver password to change here\n",
                           stderr);
                break;
            default:
                std::fprintf(stderr,
                             "Nocturo.scr: unknown command line \"%s\"; use s, p <window>, w, c "
                             "or a\n",
                             SaverArgumentText(commandLine.c_str()));
                break;
        }
    }
    return status;
}
