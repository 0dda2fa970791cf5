// The screen-saver hack conventions beside the Windows switches: the words
// that xscreensaver, its settings program and xsecurelock put on a saver's
// command line.

#include <getopt.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "shell/glscrnsv.h"
#include "shell/sswindow.h"

namespace {

constexpr int kOptionRoot = 'r';
constexpr int kOptionWindowId = 'i';
constexpr int kOptionHelp = 'h';
constexpr int kOptionVersion = 'V';
constexpr int kOptionFps = 'f';
constexpr int kOptionDelay = 'd';

const option kHackOptions[] = {
    {"root", no_argument, nullptr, kOptionRoot},
    {"window-id", required_argument, nullptr, kOptionWindowId},
    {"help", no_argument, nullptr, kOptionHelp},
    {"version", no_argument, nullptr, kOptionVersion},
    {"fps", no_argument, nullptr, kOptionFps},
    {"delay", required_argument, nullptr, kOptionDelay},
    {nullptr, 0, nullptr, 0},
};

// The longest frame period --delay accepts: ten seconds.
constexpr long kMaxDelayMicroseconds = 10'000'000;

// Whether an argument is one of the whole words, with one or two dashes and
// an optional "=value" ("-root", "--window-id=0x2a", "-h").
bool IsHackWord(const char* arg) {
    if (arg[0] != '-') {
        return false;
    }
    if (std::strcmp(arg, "-h") == 0) {
        return true;
    }
    const char* name = arg[1] == '-' ? arg + 2 : arg + 1;
    size_t length = std::strcspn(name, "=");
    for (const option* o = kHackOptions; o->name != nullptr; ++o) {
        if (length == std::strlen(o->name) && std::strncmp(name, o->name, length) == 0) {
            return true;
        }
    }
    return false;
}

// A decimal count of microseconds in [0, 10 s]; -1 when it is not one.
long ReadDelay(const char* text) {
    if (text == nullptr || *text < '0' || *text > '9') {
        return -1;
    }
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value > kMaxDelayMicroseconds) {
        return -1;
    }
    return value;
}

SaverCommand Invalid(const char* word) {
    SaverCommand command;
    command.action = ACTION_INVALID;
    command.badWord = word;
    return command;
}

SaverCommand ParseHackOptions(int argc, char** argv) {
    SaverCommand command;
    command.action = ACTION_FULL_SCREEN;
    command.host = HOST_ROOT;
    bool help = false, version = false;

    // getopt_long_only takes "-root" as well as "--root"; it reorders the
    // array it is given, so it works on a copy.
    std::vector<char*> args(argv, argv + argc);
    args.push_back(nullptr);
    optind = 0;  // a fresh scan (glibc), also when called again
    opterr = 0;  // the caller prints one line of usage instead
    for (;;) {
        int c = getopt_long_only(argc, args.data(), "+h", kHackOptions, nullptr);
        if (c == -1) {
            break;
        }
        switch (c) {
            case kOptionRoot:
                if (command.host != HOST_WINDOW) {
                    command.host = HOST_ROOT;
                }
                break;
            case kOptionWindowId: {
                uint32_t id = SaverDaemonWindow(optarg);
                if (id == 0) {
                    return Invalid(optarg);
                }
                command.host = HOST_WINDOW;
                command.window = id;
                break;
            }
            case kOptionHelp:
                help = true;
                break;
            case kOptionVersion:
                version = true;
                break;
            case kOptionFps:
                command.showFps = true;
                break;
            case kOptionDelay: {
                long us = ReadDelay(optarg);
                if (us < 0) {
                    return Invalid(optarg);
                }
                // Whole milliseconds, rounded; the timers run periods below
                // 10 ms at 10 ms.
                command.framePeriodMs = static_cast<UINT>((us + 500) / 1000);
                break;
            }
            default:  // an unknown word, or a value missing at the end
                return Invalid(args[static_cast<size_t>(optind - 1)]);
        }
    }
    if (optind < argc) {
        return Invalid(args[static_cast<size_t>(optind)]);
    }
    if (help) {
        command.action = ACTION_HELP;
    } else if (version) {
        command.action = ACTION_VERSION;
    }
    return command;
}

}  // namespace

SaverCommand SaverParseArguments(int argc, char** argv) {
    if (argc > 1 && IsHackWord(argv[1])) {
        return ParseHackOptions(argc, argv);
    }
    // The Windows form: the command line as one text, the program's name in
    // quotes, then the arguments.
    std::string commandLine = "\"";
    commandLine += argc > 0 ? argv[0] : "Nocturo.scr";
    commandLine += "\"";
    for (int i = 1; i < argc; ++i) {
        commandLine += ' ';
        commandLine += argv[i];
    }
    return SaverParseCommand(SaverArgumentText(commandLine.c_str()));
}
