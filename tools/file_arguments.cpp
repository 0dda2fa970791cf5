#include "tools/file_arguments.h"

#include <getopt.h>

#include <cstdio>

int ParseFileArguments(int argc, char** argv, const char* program, const char* usage,
                       const char* help, int usageStatus, std::vector<std::string>* files) {
    enum { kVersion = 1 };
    static const option kOptions[] = {
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, kVersion},
        {nullptr, 0, nullptr, 0},
    };
    optind = 0;
    opterr = 0;
    int c;
    while ((c = getopt_long(argc, argv, "h", kOptions, nullptr)) != -1) {
        switch (c) {
            case 'h':
                std::printf("%s\n%s", usage, help);
                return 0;
            case kVersion:
                std::printf("%s (Nocturo) %s\n", program, NOCTURO_VERSION);
                return 0;
            default:
                std::fprintf(stderr, "%s: %s\n", program, usage);
                return usageStatus;
        }
    }
    files->assign(argv + optind, argv + argc);
    return -1;
}
