// The project's moon pictures as the build makes them: the committed pack
// decodes whole into the large picture, close to the near side it was made
// from, and the small picture has the layout the scene reads.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "installer/picture_pack.h"
#include "installer/picture_unpack.h"

namespace {

using Bytes = std::vector<uint8_t>;

const std::string kPack = std::string(NOCTURO_SOURCE_DIR) + "/resources/moon_1024x1024.pack";
const std::string kBuilt = std::string(NOCTURO_BINARY_DIR) + "/resources/";

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(MoonPictures, CommittedPackDecodesWhole) {
    const Bytes pack = ReadFile(kPack);
    ASSERT_FALSE(pack.empty()) << kPack;
    EXPECT_LE(pack.size(), 450u * 1024) << "the pack stays small";
    UnpackResult result;
    ASSERT_EQ(UnpackPictureData(pack.data(), pack.size(), result, nullptr), 1) << result.error;
    EXPECT_TRUE(result.crcMatches);
    EXPECT_FALSE(result.truncated);
    EXPECT_EQ(result.header.width, 1024);
    EXPECT_EQ(result.header.height, 1024);
    EXPECT_EQ(result.coefficients.size(), 1048576u);
    EXPECT_EQ(result.streamBytesRead, pack.size() - kPackPrefixSize);
    ASSERT_EQ(result.bitmap.size(), 2097206u);

    // The build's large picture is this decoding.
    EXPECT_TRUE(ReadFile(kBuilt + "moon_2048x1024.bmp") == result.bitmap)
        << "build/resources/moon_2048x1024.bmp differs from the decoded pack";

    // Left half against the near side it was made from; right half white.
    int width = 0, height = 0;
    Bytes near;
    std::string error;
    ASSERT_EQ(ReadGreyBitmap(kBuilt + "moon_near_1024x1024.bmp", width, height, near, error), 1)
        << error;
    ASSERT_EQ(width, 1024);
    ASSERT_EQ(height, 1024);
    Bytes left(near.size());
    const uint8_t* pixels = result.bitmap.data() + kPackHeaderSize;
    bool rightWhite = true;
    for (size_t row = 0; row < 1024; ++row) {
        std::memcpy(&left[row * 1024], pixels + row * 2048, 1024);
        for (size_t x = 1024; x < 2048; ++x) {
            rightWhite = rightWhite && pixels[row * 2048 + x] == 255;
        }
    }
    EXPECT_TRUE(rightWhite);
    EXPECT_GE(PeakSignalToNoise(near.data(), left.data(), left.size()), 33.0);
}

TEST(MoonPictures, NearSideIsTheNegativeOfTheSmallPicture) {
    int nw = 0, nh = 0, sw = 0, sh = 0;
    Bytes near, small;
    std::string error;
    ASSERT_EQ(ReadGreyBitmap(kBuilt + "moon_near_1024x1024.bmp", nw, nh, near, error), 1);
    ASSERT_EQ(ReadGreyBitmap(kBuilt + "moon_256x128.bmp", sw, sh, small, error), 1);
    ASSERT_EQ(sw, 256);
    ASSERT_EQ(sh, 128);
    // Each small pixel of the near side is the positive of an 8 x 8 box of the
    // large negative (both are averages of the same map area); the far side is 255.
    int worst = 0;
    for (int row = 0; row < 128; ++row) {
        for (int x = 0; x < 256; ++x) {
            const int s = small[static_cast<size_t>(row) * 256 + x];
            if (x >= 128) {
                ASSERT_EQ(s, 255) << row << "," << x;
                continue;
            }
            int sum = 0;
            for (int y = 0; y < 8; ++y) {
                for (int i = 0; i < 8; ++i) {
                    sum += near[static_cast<size_t>(row * 8 + y) * 1024 + x * 8 + i];
                }
            }
            worst = std::max(worst, std::abs((255 - s) - sum / 64));
        }
    }
    EXPECT_LE(worst, 1);

    // South first: the bright rayed crater at 43 S, 11 W (row 33, column 56 of
    // 128 x 128 degrees-scaled cells) outshines the place mirrored to the north.
    auto mean = [&](int row, int column) {
        int sum = 0;
        for (int y = -3; y <= 3; ++y) {
            for (int x = -3; x <= 3; ++x) {
                sum += small[static_cast<size_t>(row + y) * 256 + column + x];
            }
        }
        return sum / 49;
    };
    EXPECT_GT(mean(33, 56), mean(95, 56) + 40);
}

}  // namespace
