// Every program answers --help and --version like a Linux command, and a
// bad option gets one line on standard error and the program's own status.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct ToolRun {
    int status = -1;
    std::string out, err;
};

ToolRun Start(const std::string& program, const std::string& arguments) {
    const std::string errFile =
        std::string(NOCTURO_BINARY_DIR) + "/tool-command-line-" + program + ".err";
    const std::string command = std::string(NOCTURO_BINARY_DIR) + "/bin/" + program + " " +
                                arguments + " 2>" + errFile + " </dev/null";
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.out.append(buffer, n);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(errFile);
    std::stringstream err;
    err << in.rdbuf();
    run.err = err.str();
    std::remove(errFile.c_str());
    return run;
}

TEST(ToolCommandLineTest, HelpVersionAndBadOptions) {
    struct Case {
        const char* program;
        int usageStatus;       // a bad option ends with this
        const char* anOption;  // one option the help must explain
    } cases[] = {
        {"Nocturo.scr", 255, "--window-id"},     {"nocturo-sky", 2, "--detail"},
        {"nocturo-snapshot", 2, "--no-stars"},   {"nocturo-settings", 2, "--key"},
        {"nocturo-pack", 1, "--version"},        {"nocturo-unpack", 1, "--version"},
        {"nocturo-moon-pictures", 1, "--small"}, {"setup_nocturo", 2, "--unattended"},
    };
    for (const Case& c : cases) {
        for (const char* help : {"--help", "-h"}) {
            const ToolRun run = Start(c.program, help);
            EXPECT_EQ(run.status, 0) << c.program << " " << help;
            EXPECT_NE(run.out.find("sage"), std::string::npos) << c.program;  // Usage / usage
            EXPECT_NE(run.out.find(c.anOption), std::string::npos) << c.program;
            EXPECT_NE(run.out.find("xample"), std::string::npos) << c.program;
            EXPECT_EQ(run.err, "") << c.program;
        }
        const ToolRun version = Start(c.program, "--version");
        EXPECT_EQ(version.status, 0) << c.program;
        EXPECT_EQ(version.out, std::string(c.program) + " (Nocturo) " NOCTURO_VERSION "\n");
        const ToolRun bad = Start(c.program, "--no-such-option");
        EXPECT_EQ(bad.status, c.usageStatus) << c.program;
        EXPECT_EQ(bad.out, "") << c.program;
        EXPECT_EQ(bad.err.find('\n'), bad.err.size() - 1) << c.program << ": " << bad.err;
    }
}

}  // namespace
