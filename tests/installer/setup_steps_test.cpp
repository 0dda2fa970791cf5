// The installer's steps one by one: the xscreensaver programs list edited as
// text, the unpacking into a temporary picture, atomic writes that come out
// short, folders made with their ancestors, the settings program started
// without a shell.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "installer/desktop_handover.h"
#include "installer/picture_unpack.h"
#include "installer/setup_manifest.h"
#include "installer/setup_steps.h"
#include "installer/xscreensaver_programs.h"
#include "tests/installer/temporary_home.h"

namespace {

using ::testing::ElementsAre;

const std::string kEntry = XscreensaverEntryFor("/home/me/.local/bin/Nocturo.scr");

std::vector<std::string> Commands(const std::string& text) {
    std::vector<std::string> commands;
    for (const XscreensaverEntry& entry : XscreensaverListPrograms(text)) {
        commands.push_back((entry.enabled ? "" : "-") + entry.command);
    }
    return commands;
}

// Each file shape: the entry goes last, once; taking it out gives back the
// very same text.
struct ListCase {
    const char* what;
    const char* text;
    std::vector<std::string> before;
};

TEST(XscreensaverPrograms, AddsOnceAtTheEndAndRemovesToTheSameText) {
    const ListCase cases[] = {
        {"OnePerLine",
         "timeout: 0:10:00\nprograms:\t\\\n\t\tmaze -root \\n\\\n-\t\trocks -root \\n\\\n"
         "  GL:\t\t\"Gears\" gears -root \\n\n\nmode: random\n",
         {"maze -root", "-rocks -root", "gears -root"}},
        {"LastEntryWithoutNewlineMark",
         "programs: \\\n\tmaze -root \\n\\\n\tqix -root\n",
         {"maze -root", "qix -root"}},
        {"EmptyList", "mode: one\nprograms:\nlock: False\n", {}},
        {"NoFinalNewline", "programs:\t\\\n\tmaze -root \\n", {"maze -root"}},
    };
    const std::string saver = "/home/me/.local/bin/Nocturo.scr s";
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Commands(c.text), c.before);
        std::string replaced;
        const std::string added = XscreensaverAddEntry(c.text, "", kEntry, &replaced);
        EXPECT_TRUE(replaced.empty());
        std::vector<std::string> expected = c.before;
        expected.push_back(saver);
        EXPECT_EQ(Commands(added), expected);
        EXPECT_EQ(XscreensaverAddEntry(added, "", kEntry, &replaced), added) << "a second time";
        const std::string removed = XscreensaverRemoveEntry(added, kEntry, "");
        if (std::string(c.what) != "LastEntryWithoutNewlineMark") {
            EXPECT_EQ(removed, c.text);
        }
        EXPECT_EQ(Commands(removed), c.before);
    }
}

TEST(XscreensaverPrograms, StartsFromTheSystemListAndReplacesAnotherNocturo) {
    const std::string system =
        "! comment\n*programs:\t\\\n\t\t\t\tmaze --root \\n\\\n- GL: \t\thextrail --root \\n\n"
        "*other: 1\n";
    std::string replaced;
    const std::string made = XscreensaverAddEntry("", system, kEntry, &replaced);
    EXPECT_EQ(made.rfind("programs:", 0), 0u) << made;
    EXPECT_THAT(Commands(made), ElementsAre("maze --root", "-hextrail --root",
                                            "/home/me/.local/bin/Nocturo.scr s"));
    EXPECT_EQ(made.find("*other"), std::string::npos) << "only the list is copied";

    // A system-wide Nocturo.scr already listed: the user's own takes its place.
    const std::string listed =
        "programs:\t\\\n\tmaze -root \\n\\\n\t\"Nocturo 3D\" /usr/libexec/xscreensaver/Nocturo.scr "
        "s "
        "\\n\\\n\tqix -root \\n\n";
    const std::string after = XscreensaverAddEntry(listed, system, kEntry, &replaced);
    EXPECT_EQ(replaced, "\"Nocturo 3D\" /usr/libexec/xscreensaver/Nocturo.scr s");
    EXPECT_THAT(Commands(after),
                ElementsAre("maze -root", "/home/me/.local/bin/Nocturo.scr s", "qix -root"));
    EXPECT_EQ(XscreensaverRemoveEntry(after, kEntry, replaced), listed);

    // The system package's saver, as xscreensaver-settings lists it.
    const std::string system_listed = "programs:\t\\\n  GL: \t\tnocturo -root \\n\n";
    const std::string mine = XscreensaverAddEntry(system_listed, system, kEntry, &replaced);
    EXPECT_EQ(replaced, "GL: \t\tnocturo -root");
    EXPECT_THAT(Commands(mine), ElementsAre("/home/me/.local/bin/Nocturo.scr s"));
    EXPECT_EQ(XscreensaverRemoveEntry(mine, kEntry, replaced), system_listed);
}

TEST(XscreensaverPrograms, QuotesAPathThatTheShellWouldSplit) {
    EXPECT_EQ(XscreensaverEntryFor("/home/a b/it's/Nocturo.scr"),
              "GL: \"Nocturo 3D\" '/home/a b/it'\\''s/Nocturo.scr' s");
    EXPECT_EQ(XscreensaverProgramName("'/home/a b/Nocturo.scr' s"), "Nocturo.scr");
}

class SetupSteps : public TemporaryHome {};

TEST_F(SetupSteps, UnpacksIntoATemporaryFileAndKeepsOnlyAWholePicture) {
    const std::string pack = std::string(NOCTURO_SOURCE_DIR) + "/resources/moon_1024x1024.pack";
    const std::string whole = Read(pack);
    struct Case {
        const char* what;
        std::string packBytes;  // "" = no pack at all
        bool cancelled;
        int expected;
    } cases[] = {
        {"Whole", whole, false, 1},
        {"Missing", "", false, 0},
        {"Truncated", whole.substr(0, whole.size() / 2), false, 0},
        {"Garbled", whole.substr(0, 2000) + std::string(whole.size() - 2000, '\x5a'), false, 0},
        {"Cancelled", whole, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = Path(c.what) + "/";
        std::filesystem::create_directories(folder);
        if (!c.packBytes.empty()) {
            Write(folder + kSetupPackName, c.packBytes);
        }
        SetupSession session;
        session.folder = folder;
        SetupUnpackControl control;
        control.cancelled = c.cancelled;
        EXPECT_EQ(SetupUnpackPicture(&session, &control), c.expected);
        EXPECT_TRUE(control.finished);
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            left.push_back(entry.path().filename().string());
        }
        if (c.expected) {
            EXPECT_THAT(left, ElementsAre(kSetupLargePicture));
            EXPECT_EQ(Read(folder + kSetupLargePicture),
                      Read(std::string(NOCTURO_BINARY_DIR) + "/resources/moon_2048x1024.bmp"));
        } else {
            EXPECT_TRUE(left.empty()) << left[0];  // no picture, no temporary file, no pack
        }
    }
}

long ShortWrite(int fd, const void* data, size_t size) {
    return write(fd, data, size > 1000 ? size / 2 : size);  // half, and nothing once full
}
long FullDisk(int, const void*, size_t) {
    errno = ENOSPC;
    return -1;
}

TEST_F(SetupSteps, AWriteThatComesOutShortIsAFailureAndLeavesTheOldFile) {
    const std::string path = Path("file");
    Write(path, "old");
    const std::string text(5000, 'n');
    setupWriteBytes = ShortWrite;  // partial writes that go on: the whole file gets there
    EXPECT_EQ(SetupWriteFileAtomically(path, text.data(), text.size(), 0644), 1);
    EXPECT_EQ(Read(path), text);
    setupWriteBytes = FullDisk;
    EXPECT_EQ(SetupWriteFileAtomically(path, "new", 3, 0644), 0);
    setupWriteBytes = [](int fd, const void* data, size_t size) -> long {
        return write(fd, data, size) > 0 ? 0 : -1;  // a disk that stops taking bytes
    };
    EXPECT_EQ(SetupWriteFileAtomically(path, text.data(), text.size(), 0644), 0);
    setupWriteBytes = [](int fd, const void* data, size_t size) -> long {
        return write(fd, data, size);
    };
    EXPECT_EQ(Read(path), text) << "a failed write keeps the file as it was";
    EXPECT_EQ(Tree().size(), 1u) << "no temporary file left";
}

TEST_F(SetupSteps, FolderWithItsAncestorsIsRecordedForRemoval) {
    SetupManifest manifest;
    Write(Path("a/keep"), "");
    EXPECT_EQ(SetupCreateFolder(Path("a/b/c d/e") + "/", &manifest), 1);
    EXPECT_THAT(manifest.folders, ElementsAre(Path("a/b"), Path("a/b/c d"), Path("a/b/c d/e")));
    EXPECT_EQ(SetupCreateFolder(Path("a/keep/x"), &manifest), 0) << "a file is in the way";
}

TEST_F(SetupSteps, StartsTheFirstInstalledSettingsProgramWithoutAShell) {
    const std::string record = Path("ran");
    const std::string program = Path("bin/settings program");
    Write(program, "#!/bin/sh\necho \"$0|$#\" > '" + record + "'\n");
    ASSERT_EQ(chmod(program.c_str(), 0755), 0);
    EXPECT_EQ(SetupStartSettingsProgram({Path("bin/none"), program}), 1);
    for (int i = 0; i < 100 && Read(record).empty(); ++i) {
        usleep(20000);
    }
    EXPECT_EQ(Read(record), program + "|0\n") << "one word, no arguments, no shell splitting";
    EXPECT_EQ(SetupStartSettingsProgram({Path("bin/none"), "no-such-settings-program"}), 0);
}

}  // namespace
