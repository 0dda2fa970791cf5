// nocturo-pack, nocturo-unpack and nocturo-moon-pictures as a user runs them:
// exit status 0 when the work is done, 1 with one line on standard error when not.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "installer/picture_pack.h"
#include "installer/picture_unpack.h"

namespace {

const std::string kBin = std::string(NOCTURO_BINARY_DIR) + "/bin/";

class PackTools : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/nocturo-tools-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    std::string Path(const std::string& name) const { return dir + "/" + name; }

    // Runs a tool; returns its exit status and keeps its output.
    int Run(const std::string& tool, const std::string& arguments) {
        const std::string command = kBin + tool + " " + arguments + " >'" + Path("out.txt") +
                                    "' 2>'" + Path("err.txt") + "'";
        const int status = std::system(command.c_str());
        out = Read(Path("out.txt"));
        err = Read(Path("err.txt"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool Exists(const std::string& name) const { return access(Path(name).c_str(), F_OK) == 0; }
    void ExpectOneErrorLine() const {
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_EQ(err.back(), '\n');
    }
    void WritePicture(const std::string& name, int width, int height) {
        std::vector<uint8_t> pixels(static_cast<size_t>(width) * height);
        for (size_t i = 0; i < pixels.size(); ++i) {
            pixels[i] = static_cast<uint8_t>(i % 251);
        }
        ASSERT_EQ(WriteGreyBitmap(Path(name), width, height, pixels.data(), true), 1);
    }

    std::string dir, out, err;
};

TEST_F(PackTools, PackThenUnpack) {
    WritePicture("in.bmp", 64, 64);
    ASSERT_EQ(Run("nocturo-pack", Path("in.bmp") + " " + Path("p.pack")), 0) << err;
    EXPECT_TRUE(err.empty());
    EXPECT_NE(out.find("PSNR"), std::string::npos);
    ASSERT_EQ(Run("nocturo-unpack", Path("p.pack") + " " + Path("out.bmp")), 0) << err;
    EXPECT_NE(out.find("CRC       : OK\n"), std::string::npos) << out;
    EXPECT_EQ(Read(Path("out.bmp")).size(), kPackHeaderSize + 2 * 64 * 64);
}

TEST_F(PackTools, FailuresExitWithOneLine) {
    struct Case {
        const char* tool;
        std::string arguments;
    };
    WritePicture("odd.bmp", 48, 32);
    std::ofstream(Path("short.bmp")) << "BM";
    const Case cases[] = {
        {"nocturo-unpack", ""},
        {"nocturo-unpack", Path("a") + " " + Path("b") + " " + Path("c")},
        {"nocturo-unpack", Path("missing.pack") + " " + Path("x.bmp")},
        {"nocturo-pack", ""},
        {"nocturo-pack", Path("missing.bmp") + " " + Path("x.pack")},
        {"nocturo-pack", Path("odd.bmp") + " " + Path("x.pack")},
        {"nocturo-pack", Path("short.bmp") + " " + Path("x.pack")},
        {"nocturo-moon-pictures", ""},
        {"nocturo-moon-pictures", Path("missing.jpg") + " --small " + Path("x.bmp")},
        {"nocturo-moon-pictures", "--near"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.tool) + " " + c.arguments);
        EXPECT_EQ(Run(c.tool, c.arguments), 1);
        ExpectOneErrorLine();
        EXPECT_FALSE(Exists("x.bmp"));
        EXPECT_FALSE(Exists("x.pack"));
    }
}

TEST_F(PackTools, DamagedPackKeepsTheBitmapButFails) {
    WritePicture("in.bmp", 128, 64);
    ASSERT_EQ(Run("nocturo-pack", Path("in.bmp") + " " + Path("p.pack")), 0) << err;
    std::string pack = Read(Path("p.pack"));
    pack.resize(pack.size() - pack.size() / 4);
    std::ofstream(Path("cut.pack"), std::ios::binary) << pack;
    EXPECT_EQ(Run("nocturo-unpack", Path("cut.pack") + " " + Path("out.bmp")), 1);
    ExpectOneErrorLine();
    EXPECT_NE(out.find("CRC       : ERROR\n"), std::string::npos) << out;
    EXPECT_TRUE(Exists("out.bmp"));
}

// Special files and failed writes: an input that is not a regular file is
// refused at once (a FIFO never waited on, /dev/zero never read), and an
// output that cannot be written leaves what was at its path.
TEST_F(PackTools, HostileInputsAreRefusedAndFailedOutputsLeaveThePathAlone) {
    WritePicture("in.bmp", 64, 64);
    ASSERT_EQ(Run("nocturo-pack", Path("in.bmp") + " " + Path("p.pack")), 0) << err;
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    const std::string before = "what was here before\n";
    std::ofstream(Path("old.out")) << before;
    // `ulimit -f 1` makes every write past 1 KiB fail (SIGXFSZ ignored):
    // a full disk for one command, whoever runs the test.
    const std::string full = "trap '' XFSZ; ulimit -f 1; exec ";
    struct Case {
        const char* label;
        std::string command;  // run by the shell, tools under kBin
        const char* output;   // the output path that must be left alone, or null
    };
    const Case cases[] = {
        {"unpack /dev/zero", kBin + "nocturo-unpack /dev/zero " + Path("x.bmp"), nullptr},
        {"pack /dev/zero", kBin + "nocturo-pack /dev/zero " + Path("x.pack"), nullptr},
        {"unpack a FIFO", kBin + "nocturo-unpack " + Path("fifo") + " " + Path("x.bmp"), nullptr},
        {"pack a FIFO", kBin + "nocturo-pack " + Path("fifo") + " " + Path("x.pack"), nullptr},
        {"unpack to /dev/full", kBin + "nocturo-unpack " + Path("p.pack") + " /dev/full",
         "/dev/full"},
        {"pack to /dev/full", kBin + "nocturo-pack " + Path("in.bmp") + " /dev/full", "/dev/full"},
        {"unpack over a file, disk full",
         full + kBin + "nocturo-unpack " + Path("p.pack") + " " + Path("old.out"), "old.out"},
        {"pack over a file, disk full",
         full + kBin + "nocturo-pack " + Path("in.bmp") + " " + Path("old.out"), "old.out"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string command = "timeout 10 sh -c \"" + c.command + "\" >'" + Path("out.txt") +
                                    "' 2>'" + Path("err.txt") + "'";
        const int status = std::system(command.c_str());
        err = Read(Path("err.txt"));
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 1);  // 124 would be the timeout
        ExpectOneErrorLine();
        EXPECT_FALSE(Exists("x.bmp"));
        EXPECT_FALSE(Exists("x.pack"));
        if (c.output != nullptr && c.output[0] == '/') {
            struct stat info;
            ASSERT_EQ(stat(c.output, &info), 0);
            EXPECT_TRUE(S_ISCHR(info.st_mode));
        } else if (c.output != nullptr) {
            EXPECT_EQ(Read(Path(c.output)), before);
        }
    }
    // Nothing but the files the test made: no temporary file left behind.
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 6);  // in.bmp p.pack fifo old.out out.txt err.txt
}

}  // namespace
