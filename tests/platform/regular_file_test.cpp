// Whole-file reads that never wait on a special file, and outputs replaced
// by rename that leave the path alone when writing fails.

#include "platform/regular_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

class RegularFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "nocturo-file-XXXXXX");
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        // A read that waits on a FIFO would hang the test: end it instead.
        alarm(10);
    }
    void TearDown() override {
        alarm(0);
        std::filesystem::remove_all(dir_);
    }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    size_t Entries() const {
        size_t count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
            (void)entry;
            ++count;
        }
        return count;
    }
    std::string dir_;
};

TEST_F(RegularFileTest, OnlyARegularFileWithinTheBoundIsRead) {
    Write("file", "twelve bytes");
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(Path("folder"));
    std::filesystem::create_symlink(Path("file"), Path("link"));
    struct Case {
        std::string path;
        size_t bound;
        bool followLinks;
        FileOutcome outcome;
        const char* problem;  // what FileProblem says, after the path
    };
    const Case cases[] = {
        {Path("file"), 12, true, kFileOk, ""},
        {Path("file"), 11, true, kFileTooLarge, " is too large"},
        {Path("missing"), 100, true, kFileAbsent, " does not exist"},
        {Path("fifo"), 100, true, kFileNotRegular, " is not a regular file"},
        {"/dev/zero", 100, true, kFileNotRegular, " is not a regular file"},
        {Path("folder"), 100, true, kFileNotRegular, " is not a regular file"},
        {Path("link"), 100, true, kFileOk, ""},
        {Path("link"), 100, false, kFileLink, " is a symbolic link"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes;
        FileStatus status = ReadWholeFile(c.path.c_str(), c.bound, &bytes, c.followLinks);
        EXPECT_EQ(status.outcome, c.outcome) << c.path;
        EXPECT_EQ(bytes.size(), c.outcome == kFileOk ? 12u : 0u) << c.path;
        if (c.outcome != kFileOk) {
            EXPECT_EQ(FileProblem(status, c.path), c.path + c.problem);
        }
    }
}

TEST_F(RegularFileTest, AReplacedFileIsWholeOrAsBefore) {
    // A new file, then a replacement that keeps the old file's mode.
    ASSERT_EQ(WriteFileReplacing(Path("out").c_str(), "first", 5).outcome, kFileOk);
    EXPECT_EQ(Read("out"), "first");
    ASSERT_EQ(chmod(Path("out").c_str(), 0640), 0);
    ASSERT_EQ(WriteFileReplacing(Path("out").c_str(), "second", 6).outcome, kFileOk);
    EXPECT_EQ(Read("out"), "second");
    struct stat info;
    ASSERT_EQ(stat(Path("out").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    // A write that fails half way (the file-size limit stands for a full
    // disk, whoever runs the test) leaves the old content and no temporary.
    pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {1000, 1000};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string large(5000, 'x');
        FileStatus status = WriteFileReplacing(Path("out").c_str(), large.data(), large.size());
        _exit(status.outcome == kFileUnwritable && status.error == EFBIG ? 0 : 1);
    }
    int result = 0;
    ASSERT_EQ(waitpid(child, &result, 0), child);
    EXPECT_TRUE(WIFEXITED(result) && WEXITSTATUS(result) == 0);
    EXPECT_EQ(Read("out"), "second");
    EXPECT_EQ(Entries(), 1u);

    // A device named as the output is written in place and stays a device.
    FileStatus full = WriteFileReplacing("/dev/full", "x", 1);
    EXPECT_EQ(full.outcome, kFileUnwritable);
    EXPECT_EQ(full.error, ENOSPC);
    ASSERT_EQ(stat("/dev/full", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    EXPECT_EQ(WriteFileReplacing("/dev/null", "x", 1).outcome, kFileOk);
}

}  // namespace
