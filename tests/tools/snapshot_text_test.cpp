// The overlay in nocturo-snapshot pictures, in both interface languages: the
// text pixels keep to the four regions of the layout in their colours, the
// Russian picture is written with Cyrillic glyphs, and the red warning shows
// only when the place was not read.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "scene/font_engine.h"
#include "tests/tools/snapshot_runner.h"

namespace {

constexpr int32_t kWidth = 1280;
constexpr int32_t kHeight = 1024;
const int kSky[3] = {5, 10, 30};

struct Region {
    int x0, y0, x1, y1;  // pixels, rows from the top, half-open
    bool Holds(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

// Where the layout puts each part on a 1280 x 1024 screen.
const Region kSections{0, kHeight / 2, kWidth / 2, kHeight};
const Region kCoordinates{0, 0, kWidth / 2, kHeight / 5};
const Region kClock{kWidth / 2, 0, kWidth, kHeight / 5};
const Region kCaption{kWidth / 2, kHeight * 9 / 10, kWidth, kHeight};
// Corners the Moon never reaches, for reading the texts themselves.
const Region kSectionsCorner{0, 860, 330, kHeight};
const Region kCoordinatesCorner{0, 0, 640, 100};
const Region kClockCorner{800, 0, kWidth, 100};

struct Picture {
    std::vector<uint8_t> rgba;
    const uint8_t* At(int x, int y) const {
        return &rgba[(static_cast<size_t>(y) * kWidth + x) * 4];
    }
    bool Sky(int x, int y) const {
        const uint8_t* p = At(x, y);
        return p[0] == kSky[0] && p[1] == kSky[1] && p[2] == kSky[2];
    }
    // Text of colour (r, g, b) at opacity a, blended over the sky.
    bool Is(int x, int y, double r, double g, double b, double a) const {
        const uint8_t* p = At(x, y);
        const double want[3] = {r * 255 * a + kSky[0] * (1 - a), g * 255 * a + kSky[1] * (1 - a),
                                b * 255 * a + kSky[2] * (1 - a)};
        for (int i = 0; i < 3; ++i) {
            if (std::fabs(p[i] - want[i]) > 2.0)
                return false;
        }
        return true;
    }
};

class SnapshotText : public Snapshot {
  protected:
    void SetUp() override {
        Snapshot::SetUp();
        setenv("NOCTURO_SETTINGS_DIR", (folder + "/settings").c_str(), 1);
    }

    // 100 frames: the caption has faded in. Without stars, so that only the
    // Moon and the text stand on the sky.
    Picture Draw(int language, bool placeGiven) {
        const std::string settings = std::string(NOCTURO_BINARY_DIR) + "/bin/nocturo-settings";
        const std::string set =
            "'" + settings + "' set Language --int32 " + std::to_string(language);
        EXPECT_EQ(std::system(set.c_str()), 0);
        Picture picture;
        int32_t width = 0, height = 0;
        const std::string place = placeGiven ? "--lat 55.75 --lon 37.62" : "--lat 55.75";
        EXPECT_TRUE(Snapshot::Draw("--at 2026-12-11T20:00:00Z --frames 100 --no-stars " + place,
                                   picture.rgba, width, height));
        EXPECT_EQ(width, kWidth);
        EXPECT_EQ(height, kHeight);
        return picture;
    }

    // Whether a string, as the font renders it, stands in the picture pixel
    // for pixel somewhere in a region (text pixels against the sky).
    static bool Shows(const Picture& picture, int height, int weight, const char* text,
                      const Region& region) {
        TextImage image;
        FontRender(FontOpen(height, weight, "Arial"), text, &image);
        const int rowBytes = image.width / 8;
        auto bit = [&](int x, int yFromTop) {
            const int row = image.cy - 1 - yFromTop;
            return (image.bits[row * rowBytes + x / 8] & (0x80 >> (x % 8))) != 0;
        };
        for (int y0 = region.y0; y0 + image.cy <= region.y1; ++y0) {
            for (int x0 = region.x0; x0 + image.cx <= region.x1; ++x0) {
                bool same = true;
                for (int y = 0; y < image.cy && same; ++y) {
                    for (int x = 0; x < image.cx && same; ++x) {
                        same = bit(x, y) == !picture.Sky(x0 + x, y0 + y);
                    }
                }
                if (same)
                    return true;
            }
        }
        return false;
    }
};

void CheckRegions(const Picture& picture, bool placeGiven) {
    int sections = 0, coordinates = 0, date = 0, time = 0, warning = 0, caption = 0, stray = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (picture.Sky(x, y))
                continue;
            if (picture.Is(x, y, 0.8, 0.8, 1.0, 0.7)) {
                (kSections.Holds(x, y) ? sections : stray) += 1;
            } else if (picture.Is(x, y, 0.8, 1.0, 0.8, 0.7)) {
                (kCoordinates.Holds(x, y) ? coordinates : kClock.Holds(x, y) ? date : stray) += 1;
            } else if (picture.Is(x, y, 1.0, 1.0, 1.0, 0.7)) {
                (kClock.Holds(x, y) ? time : stray) += 1;
            } else if (picture.Is(x, y, 1.0, 0.0, 0.0, 0.7)) {
                (kCoordinates.Holds(x, y) ? warning : stray) += 1;
            } else if (picture.Is(x, y, 0.8, 0.8, 0.5, 0.98)) {
                (kCaption.Holds(x, y) ? caption : stray) += 1;
            }
        }
    }
    EXPECT_GT(sections, 1000);
    EXPECT_GT(coordinates, 300);
    EXPECT_GT(date, 200);
    EXPECT_GT(time, 100);
    EXPECT_GT(caption, 100);
    EXPECT_EQ(stray, 0);
    if (placeGiven) {
        EXPECT_EQ(warning, 0);
    } else {
        EXPECT_GT(warning, 300);
    }
}

TEST_F(SnapshotText, EnglishWithThePlaceRead) {
    const Picture picture = Draw(0, true);
    CheckRegions(picture, true);
    EXPECT_TRUE(Shows(picture, 18, 600, "Sun:", kSectionsCorner));
    EXPECT_TRUE(Shows(picture, 16, 400, "Lunar day", kSectionsCorner));
    EXPECT_TRUE(Shows(picture, 16, 400, "Your coordinates:", kCoordinatesCorner));
    EXPECT_TRUE(Shows(picture, 16, 400, "Friday, December 11, 2026", kClockCorner));
    EXPECT_TRUE(Shows(picture, 18, 600, "8:00:00 PM", kClockCorner));
}

TEST_F(SnapshotText, EnglishWithTheDefaultedPlaceWarns) {
    const Picture picture = Draw(0, false);
    CheckRegions(picture, false);
    EXPECT_TRUE(Shows(picture, 16, 400, "Set up your own location!", kCoordinatesCorner));
}

TEST_F(SnapshotText, RussianIsWrittenInCyrillic) {
    const Picture picture = Draw(1, true);
    CheckRegions(picture, true);
    // "Солнце:", "Лунный день", "Ваши координаты:", the long date, the time.
    EXPECT_TRUE(Shows(picture, 18, 600, "\xD1\xEE\xEB\xED\xF6\xE5:", kSectionsCorner));
    EXPECT_TRUE(
        Shows(picture, 16, 400, "\xCB\xF3\xED\xED\xFB\xE9 \xE4\xE5\xED\xFC", kSectionsCorner));
    EXPECT_TRUE(
        Shows(picture, 16, 400,
              "\xC2\xE0\xF8\xE8 \xEA\xEE\xEE\xF0\xE4\xE8\xED\xE0\xF2\xFB:", kCoordinatesCorner));
    EXPECT_TRUE(Shows(picture, 16, 400,
                      "\xEF\xFF\xF2\xED\xE8\xF6\xE0, 11 \xE4\xE5\xEA\xE0\xE1\xF0\xFF 2026 \xE3.",
                      kClockCorner));
    EXPECT_TRUE(Shows(picture, 18, 600, "20:00:00", kClockCorner));
    EXPECT_FALSE(Shows(picture, 18, 600, "Sun:", kSectionsCorner));
}

TEST_F(SnapshotText, RussianWithTheDefaultedPlaceWarns) {
    const Picture picture = Draw(1, false);
    CheckRegions(picture, false);
    // "Задайте свое местоположение!"
    EXPECT_TRUE(Shows(picture, 16, 400,
                      "\xC7\xE0\xE4\xE0\xE9\xF2\xE5 \xF1\xE2\xEE\xE5 "
                      "\xEC\xE5\xF1\xF2\xEE\xEF\xEE\xEB\xEE\xE6\xE5\xED\xE8\xE5!",
                      kCoordinatesCorner));
}

TEST_F(SnapshotText, NoTextMeansNoTextAtAll) {
    Picture with, without;
    int32_t width = 0, height = 0;
    const std::string common = "--at 2026-12-11T20:00:00Z --frames 100 --no-stars --lat 1 --lon 2 ";
    ASSERT_TRUE(Snapshot::Draw(common, with.rgba, width, height));
    ASSERT_TRUE(Snapshot::Draw(common + "--no-text", without.rgba, width, height));
    int differing = 0, inCorners = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            // Only the Moon is left: nothing in the corners where the texts stand.
            if (!without.Sky(x, y)) {
                inCorners += kCaption.Holds(x, y) || kCoordinatesCorner.Holds(x, y) ||
                             kClockCorner.Holds(x, y) || kSectionsCorner.Holds(x, y);
            }
            differing += with.Sky(x, y) != without.Sky(x, y);
        }
    }
    EXPECT_EQ(inCorners, 0);
    EXPECT_GT(differing, 2000);
}

}  // namespace

namespace {

// The height in pixels of the Sun section's title, "Sun:", the topmost line
// of the lower left block: its only capital sets the height.
int SunTitleHeight(const std::vector<uint8_t>& rgba, int32_t width, int32_t height) {
    auto textRow = [&](int32_t row) {
        for (int32_t column = 0; column < width / 10; ++column) {  // left of the Moon
            if (rgba[(static_cast<size_t>(row) * width + column) * 4] > 100) {
                return true;
            }
        }
        return false;
    };
    int32_t row = height / 2;
    while (row < height && !textRow(row)) {
        ++row;
    }
    const int32_t top = row;
    while (row < height && textRow(row)) {
        ++row;
    }
    return row - top;
}

TEST_F(Snapshot, OverlayTextGrowsWithLargeScreens) {
    const std::string common =
        "--texture /nonexistent.bmp --no-stars --lat 51.5 --lon 0 --at 2024-04-23T23:49:00Z "
        "--size ";
    const struct {
        const char* size;
        int capHeight;  // as drawn before the text scaled; 0: measured against 1920 x 1080
    } screens[] = {{"800x600", 9}, {"1280x1024", 11}, {"1920x1080", 11}, {"3840x2160", 0}};
    int fullHd = 0;
    for (const auto& screen : screens) {
        std::vector<uint8_t> rgba;
        int32_t width = 0;
        int32_t height = 0;
        ASSERT_TRUE(Draw(common + screen.size, rgba, width, height));
        const int cap = SunTitleHeight(rgba, width, height);
        std::cout << screen.size << ": cap height " << cap << "\n";
        if (screen.capHeight > 0) {
            // Up to 1920 x 1080 the text keeps the sizes it always had.
            EXPECT_EQ(cap, screen.capHeight) << screen.size;
        } else {
            EXPECT_GE(cap, 1.8 * fullHd) << screen.size;
            EXPECT_LE(cap, 2.3 * fullHd) << screen.size;
        }
        if (std::string(screen.size) == "1920x1080") {
            fullHd = cap;
        }
    }
}

}  // namespace
