#include "tools/snapshot_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/png_file.h"

namespace {

int Parse(std::vector<const char*> args, SnapshotOptions& options, std::string& error) {
    args.insert(args.begin(), "nocturo-snapshot");
    return ParseSnapshotOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(SnapshotOptions, AllOptionsAreTaken) {
    SnapshotOptions o;
    std::string error;
    ASSERT_EQ(Parse({"--at", "2024-03-25T07:00:00Z", "--lat", "-33.9", "--lon", "151.2", "--size",
                     "640x480", "--preview", "--frames", "14", "--no-stars", "--no-text",
                     "--texture", "/tmp/moon.bmp", "-o", "out.png"},
                    o, error),
              1)
        << error;
    EXPECT_TRUE(o.hasTime);
    EXPECT_EQ(o.time, 1711350000);
    EXPECT_TRUE(o.hasLatitude);
    EXPECT_DOUBLE_EQ(o.latitude, -33.9);
    EXPECT_TRUE(o.hasLongitude);
    EXPECT_DOUBLE_EQ(o.longitude, 151.2);
    EXPECT_EQ(o.width, 640);
    EXPECT_EQ(o.height, 480);
    EXPECT_TRUE(o.preview);
    EXPECT_EQ(o.frames, 14);
    EXPECT_TRUE(o.noStars);
    EXPECT_TRUE(o.noText);
    EXPECT_TRUE(o.hasTexture);
    EXPECT_EQ(o.texture, "/tmp/moon.bmp");
    EXPECT_EQ(o.output, "out.png");
}

TEST(SnapshotOptions, DefaultsLeaveTimePlaceAndTextureToTheClockAndTheStore) {
    SnapshotOptions o;
    std::string error;
    ASSERT_EQ(Parse({"-o", "x.png"}, o, error), 1);
    EXPECT_FALSE(o.hasTime);
    EXPECT_FALSE(o.hasLatitude);
    EXPECT_FALSE(o.hasLongitude);
    EXPECT_FALSE(o.hasTexture);
    EXPECT_FALSE(o.preview);
    EXPECT_EQ(o.frames, 1);
    EXPECT_EQ(o.width * 100, o.height * 125);  // the world's shape
}

TEST(SnapshotOptions, BadCommandLinesAreRefusedWithOneLine) {
    // The scene keeps a picture path in 100 bytes with its ending zero.
    const std::string tooLongPath(kSnapshotMaxTexturePath + 1, 'm');
    const std::vector<std::vector<const char*>> bad = {
        {},
        {"--frames", "3"},
        {"-o"},
        {"-o", ""},
        {"--bogus", "-o", "x.png"},
        {"--at", "2024-02-30T00:00:00Z", "-o", "x.png"},
        {"--at", "2024-01-01 00:00:00", "-o", "x.png"},
        {"--at", "2024-01-01T24:00:00Z", "-o", "x.png"},
        {"--at", "2024-1-01T00:00:00Z", "-o", "x.png"},
        {"--at", "1899-12-31T23:59:59Z", "-o", "x.png"},
        {"--at", "2100-03-01T00:00:00Z", "-o", "x.png"},
        {"--lat", "91", "-o", "x.png"},
        {"--lat", "north", "-o", "x.png"},
        {"--lat", "nan", "-o", "x.png"},
        {"--lon", "-180.5", "-o", "x.png"},
        {"--lon", "12abc", "-o", "x.png"},
        {"--size", "640", "-o", "x.png"},
        {"--size", "0x480", "-o", "x.png"},
        {"--size", "-640x480", "-o", "x.png"},
        {"--size", "640x99999", "-o", "x.png"},
        {"--frames", "0", "-o", "x.png"},
        {"--frames", "-2", "-o", "x.png"},
        {"--frames", "99999999999999999999", "-o", "x.png"},
        {"--texture"},
        {"--texture", tooLongPath.c_str(), "-o", "x.png"},
    };
    for (const auto& args : bad) {
        SnapshotOptions o;
        std::string error;
        std::string shown;
        for (const char* a : args) {
            shown += std::string(a) + " ";
        }
        EXPECT_EQ(Parse(args, o, error), 0) << shown;
        EXPECT_EQ(error.rfind("nocturo-snapshot: ", 0), 0u) << shown;
        EXPECT_EQ(error.find('\n'), std::string::npos) << shown;
    }
}

TEST(UtcInstant, TheSupportedRangeAndItsMessage) {
    struct Case {
        const char* text;
        int accepted;
        const char* problem;  // a part of UtcInstantProblem's line
    };
    const Case cases[] = {
        {"1900-03-01T00:00:00Z", 1, "valid"},
        {"2100-02-28T23:59:59Z", 1, "valid"},
        {"1900-02-28T23:59:59Z", 0, "outside the supported range 1900-03-01T00:00:00Z to "},
        {"2100-03-01T00:00:00Z", 0, "to 2100-02-28T23:59:59Z"},
        {"0000-01-01T00:00:00Z", 0, "outside"},
        {"1582-10-10T00:00:00Z", 0, "outside"},
        {"2100-02-29T00:00:00Z", 0, "not a valid instant"},
        {"2024-01-01", 0, "not a valid instant"},
    };
    for (const Case& c : cases) {
        int64_t t = 0;
        EXPECT_EQ(ParseUtcInstant(c.text, t), c.accepted) << c.text;
        EXPECT_NE(UtcInstantProblem(c.text).find(c.problem), std::string::npos)
            << c.text << ": " << UtcInstantProblem(c.text);
    }
    int64_t t = 0;
    ASSERT_EQ(ParseUtcInstant("1900-03-01T00:00:00Z", t), 1);
    EXPECT_EQ(t, -2203891200LL);
}

TEST(UtcInstant, LeapDaysAndTheEpoch) {
    int64_t t = -1;
    EXPECT_EQ(ParseUtcInstant("1970-01-01T00:00:00Z", t), 1);
    EXPECT_EQ(t, 0);
    EXPECT_EQ(ParseUtcInstant("2024-02-29T12:00:00Z", t), 1);
    EXPECT_EQ(t, 1709208000);
    EXPECT_EQ(ParseUtcInstant("2023-02-29T12:00:00Z", t), 0);
    EXPECT_EQ(ParseUtcInstant("1969-12-31T23:59:59Z", t), 1);
    EXPECT_EQ(t, -1);
}

TEST(PngFile, WritesAndReadsBackTheSamePixels) {
    std::vector<uint8_t> rgba(5 * 3 * 4);
    for (size_t i = 0; i < rgba.size(); ++i) {
        rgba[i] = (i % 4 == 3) ? 255 : static_cast<uint8_t>(i * 13);
    }
    const std::string path = testing::TempDir() + "/nocturo-png-test.png";
    ASSERT_EQ(WritePngFile(path, 5, 3, rgba), 1);
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> back;
    ASSERT_EQ(ReadPngFile(path, width, height, back), 1);
    EXPECT_EQ(width, 5);
    EXPECT_EQ(height, 3);
    EXPECT_TRUE(back == rgba);
    EXPECT_EQ(WritePngFile("/nonexistent/folder/x.png", 5, 3, rgba), 0);
    EXPECT_EQ(WritePngFile(path, 5, 4, rgba), 0);  // wrong size for the pixels
    EXPECT_EQ(ReadPngFile("/nonexistent.png", width, height, back), 0);
}

}  // namespace
