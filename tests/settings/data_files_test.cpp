#include "settings/data_files.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/saved_environment.h"

namespace {

namespace fs = std::filesystem;

// A user data home and the system folder of this test program (share/nocturo
// beside the build tree's bin/), made and removed by the test.
class DataFilesTest : public ::testing::Test {
  protected:
    std::string dataHome;
    std::string userFolder;
    std::string systemFolder;
    std::string named;

    // XDG_DATA_HOME is the test's own; it is put back after each test.
    SavedEnvironment environment{"XDG_DATA_HOME"};

    void SetUp() override {
        char pattern[] = "/tmp/nocturo-data-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dataHome = pattern;
        setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
        userFolder = dataHome + "/Nocturo 3D";
        systemFolder = DataSystemFolder();
        ASSERT_EQ(systemFolder, std::string(NOCTURO_BINARY_DIR) + "/share/nocturo");
        ASSERT_FALSE(fs::exists(systemFolder)) << "left over from another run";
        fs::create_directories(userFolder);
        fs::create_directories(systemFolder);
        named = dataHome + "/chosen.bmp";
    }
    void TearDown() override {
        fs::remove_all(dataHome);
        fs::remove_all(systemFolder);
        std::error_code keepIfNotEmpty;
        fs::remove(fs::path(systemFolder).parent_path(), keepIfNotEmpty);
    }
    static void Touch(const std::string& path) { std::ofstream(path) << "x"; }
};

TEST_F(DataFilesTest, SettingsThenUserInstallThenSystemFolder) {
    const std::string user = userFolder + "/" + kDataLargeMoonPicture;
    const std::string system = systemFolder + "/" + kDataLargeMoonPicture;
    struct Case {
        bool namedExists, userExists, systemExists;
        const char* settingsPath;  // "named": the test's file
        std::string expected;
    } cases[] = {
        {true, true, true, "named", named},
        {false, true, true, "named", user},  // a named file that is gone falls through
        {false, true, true, "null", user},   // the settings' placeholder names nothing
        {false, true, true, "", user},
        {false, false, true, "null", system},
        {false, false, true, "named", system},
        {false, false, false, "named", named},  // nothing anywhere: the reader's own fallback
        {false, false, false, "null", "null"},
    };
    for (const Case& c : cases) {
        fs::remove(named);
        fs::remove(user);
        fs::remove(system);
        if (c.namedExists)
            Touch(named);
        if (c.userExists)
            Touch(user);
        if (c.systemExists)
            Touch(system);
        std::string settings = std::string(c.settingsPath) == "named" ? named : c.settingsPath;
        EXPECT_EQ(DataFindFile(settings.c_str(), kDataLargeMoonPicture), c.expected)
            << c.namedExists << c.userExists << c.systemExists << " " << c.settingsPath;
    }
}

TEST_F(DataFilesTest, UserFolderFollowsXdgDataHomeThenHome) {
    const SavedEnvironment saved{"HOME"};
    EXPECT_EQ(DataUserFolder(), userFolder);
    setenv("XDG_DATA_HOME", "relative/path", 1);  // not absolute: ignored
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(DataUserFolder(), "/home/someone/.local/share/Nocturo 3D");
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", "", 1);
    EXPECT_EQ(DataUserFolder(), "");
}

}  // namespace
