// nocturo-snapshot as a user runs it: the command line, the stars, the
// flare and the preview picture.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/settings_store.h"
#include "tests/scene/picture_files.h"
#include "tests/tools/snapshot_runner.h"

namespace {

TEST_F(Snapshot, BadCommandLinesExitWithTwoAndOneLine) {
    for (const char* arguments :
         {"", "--frames 0 -o x.png", "--at yesterday -o x.png", "--size 10 -o x.png",
          "--lat 100 -o x.png", "--whatever -o x.png", "-o"}) {
        const ToolRun run = Start(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(std::count(run.error.begin(), run.error.end(), '\n'), 1) << arguments;
        EXPECT_EQ(run.error.rfind("nocturo-snapshot: ", 0), 0u) << run.error;
    }
}

// A write that fails leaves the path as it was: no folder made, a device
// kept a device, a file kept whole (the size limit stands for a full disk),
// and no temporary file left beside it. A FIFO picture does not hang it.
TEST_F(Snapshot, FailedOutputsLeaveThePathAlone) {
    const std::string old = folder + "/old.png";
    const std::string before = "a picture drawn earlier\n";
    std::ofstream(old) << before;
    ASSERT_EQ(mkfifo((folder + "/fifo.bmp").c_str(), 0600), 0);
    struct Case {
        std::string arguments;
        const char* says;
    };
    const Case cases[] = {
        {"--size 64x48 -o /nonexistent/folder/out.png", "/nonexistent/folder/out.png"},
        {"--size 320x256 -o /dev/full", "/dev/full"},
        {"--size 320x256 -o '" + old + "'", old.c_str()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        // `ulimit -f 1`: no file may grow past 512 bytes (SIGXFSZ ignored).
        const ToolRun run = Start("--texture '" + folder + "/fifo.bmp' " + c.arguments,
                                  "trap '' XFSZ; ulimit -f 1; timeout 60 ");
        EXPECT_EQ(run.status, 1) << run.error;
        EXPECT_NE(run.error.find(c.says), std::string::npos) << run.error;
        EXPECT_EQ(std::count(run.error.begin(), run.error.end(), '\n'), 1) << run.error;
    }
    struct stat info;
    ASSERT_EQ(stat("/dev/full", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    std::ifstream in(old);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), before);
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        entries += entry.path().filename().string().rfind("old.png.", 0) == 0;
    }
    EXPECT_EQ(entries, 0);
}

// Small pictures keep the many frames quick: 5.12 pixels per world unit.
constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 512;
constexpr double kScale = 5.12;

// The flare's vertical ray reaches 2 units above (20, 30) while it swells.
bool FlareShows(const std::vector<uint8_t>& rgba) {
    const int32_t column = static_cast<int32_t>(20 * kScale);
    const int32_t row = kHeight - 1 - static_cast<int32_t>(32 * kScale);
    int best = 0;
    for (int dc = -1; dc <= 1; ++dc) {
        best = std::max(best, Grey(rgba, kWidth, column + dc, row));
    }
    return best > 30;
}

TEST_F(Snapshot, StarsAndTheFirstFlare) {
    std::vector<uint8_t> rgba;
    int32_t width = 0;
    int32_t height = 0;
    const std::string common =
        "--no-text --at 2024-04-15T19:13:00Z --lat 51.5 --lon 0 --size 640x512 ";
    auto countStarPixels = [&]() {
        int count = 0;
        for (int32_t row = 0; row < kHeight; ++row) {
            for (int32_t column = 0; column < 100; ++column) {  // left of the Moon
                count += Grey(rgba, kWidth, column, row) > 60 ? 1 : 0;
            }
        }
        return count;
    };
    ASSERT_TRUE(Draw(common + "--frames 14", rgba, width, height));
    EXPECT_GT(countStarPixels(), 0);
    EXPECT_FALSE(FlareShows(rgba));  // 13 ticks: the window is not open yet
    ASSERT_TRUE(Draw(common + "--frames 40", rgba, width, height));
    EXPECT_TRUE(FlareShows(rgba));  // the flare swells at (20, 30)
    ASSERT_TRUE(Draw(common + "--frames 40 --no-stars", rgba, width, height));
    EXPECT_EQ(countStarPixels(), 0);
    EXPECT_FALSE(FlareShows(rgba));
}

TEST_F(Snapshot, PreviewUsesTheSmallPositivePicture) {
    // A grey 200 picture: read as a positive in preview, as a negative (55)
    // in full screen.
    const std::string picture = folder + "/grey.bmp";
    WritePicture(picture, {256, 128}, std::vector<uint8_t>(256 * 128, 200));
    std::vector<uint8_t> rgba;
    int32_t width = 0;
    int32_t height = 0;
    const std::string common =
        "--no-text --no-stars --at 2024-04-23T23:49:00Z --size 640x512 "
        "--texture '" +
        picture + "' ";
    ASSERT_TRUE(Draw(common + "--preview", rgba, width, height));
    const int preview = Grey(rgba, kWidth, 320, 256);
    ASSERT_TRUE(Draw(common, rgba, width, height));
    const int full = Grey(rgba, kWidth, 320, 256);
    EXPECT_GT(preview, 150);
    EXPECT_LT(full, 80);
}

}  // namespace

namespace {

TEST_F(Snapshot, SameInstantDrawsTheSamePicture) {
    std::vector<uint8_t> first;
    std::vector<uint8_t> second;
    int32_t width = 0;
    int32_t height = 0;
    const std::string arguments = "--at 2025-02-01T03:04:05Z --size 320x256 --frames 3 --no-text";
    ASSERT_TRUE(Draw(arguments, first, width, height));
    ASSERT_TRUE(Draw(arguments, second, width, height));
    EXPECT_TRUE(first == second);
    ASSERT_TRUE(Draw("--at 2025-02-01T03:04:06Z --size 320x256 --frames 3 --no-text", second, width,
                     height));
    EXPECT_FALSE(first == second);  // another second seeds other stars
}

}  // namespace

namespace {

// Pixels of the red "set up your own location" warning.
int RedPixels(const std::vector<uint8_t>& rgba, int32_t width, int32_t height) {
    int count = 0;
    for (int32_t row = 0; row < height / 8; ++row) {
        for (int32_t column = 0; column < width / 2; ++column) {
            const uint8_t* p = &rgba[(static_cast<size_t>(row) * width + column) * 4];
            count += (p[0] > 150 && p[1] < 90 && p[2] < 90) ? 1 : 0;
        }
    }
    return count;
}

void Store(const char* name, double value) {
    ASSERT_EQ(SettingsCreateKey(kSettingsSubkey), 1);
    ASSERT_EQ(SettingsWriteBinary(kSettingsSubkey, name, &value, sizeof value), 1);
}

TEST_F(Snapshot, PlaceFromTheOptionsCountsAsRead) {
    std::vector<uint8_t> rgba;
    int32_t width = 0;
    int32_t height = 0;
    const std::string common = "--at 2024-04-17T21:00:00Z --size 640x512 --no-stars ";
    // Nothing stored: one coordinate alone leaves the other defaulted.
    ASSERT_TRUE(Draw(common + "--lat 51.5", rgba, width, height));
    EXPECT_GT(RedPixels(rgba, width, height), 20);
    ASSERT_TRUE(Draw(common + "--lat 51.5 --lon 0", rgba, width, height));
    EXPECT_EQ(RedPixels(rgba, width, height), 0);
    // The stored longitude completes the place.
    Store(kSettingLongitude, 30.0);
    ASSERT_TRUE(Draw(common + "--lat 51.5", rgba, width, height));
    EXPECT_EQ(RedPixels(rgba, width, height), 0);
    ASSERT_TRUE(Draw(common, rgba, width, height));  // latitude absent from the store
    EXPECT_GT(RedPixels(rgba, width, height), 20);
}

TEST_F(Snapshot, PictureAndFlagsComeFromTheStoreUnlessGiven) {
    // A grey 200 large picture is a negative: the Moon shows dark grey.
    const std::string picture = folder + "/grey.bmp";
    WritePicture(picture, {512, 256}, std::vector<uint8_t>(512 * 256, 200));
    ASSERT_EQ(SettingsCreateKey(kSettingsSubkey), 1);
    ASSERT_EQ(SettingsWriteString(kSettingsSubkey, kSettingTextures00, picture.c_str(),
                                  static_cast<uint32_t>(picture.size())),
              1);
    const uint8_t no = 0;
    ASSERT_EQ(SettingsWriteBinary(kSettingsSubkey, kSettingShowStar, &no, 1), 1);
    std::vector<uint8_t> rgba;
    int32_t width = 0;
    int32_t height = 0;
    const std::string common = "--at 2024-04-23T23:49:00Z --size 640x512 --no-text ";
    ASSERT_TRUE(Draw(common, rgba, width, height));
    EXPECT_LT(Grey(rgba, width, 320, 256), 80);
    int bright = 0;
    for (int32_t row = 0; row < height; ++row) {
        for (int32_t column = 0; column < 100; ++column) {
            bright += Grey(rgba, width, column, row) > 60 ? 1 : 0;
        }
    }
    EXPECT_EQ(bright, 0);  // ShowStar 0: no stars
    ASSERT_TRUE(Draw(common + "--texture /nonexistent.bmp", rgba, width, height));
    EXPECT_GT(Grey(rgba, width, 320, 256), 200);  // untextured, lit full
}

}  // namespace
