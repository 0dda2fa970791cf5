#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/egl_offscreen.h"
#include "scene/bitmap_text.h"
#include "scene/overlay.h"
#include "scene/scene_view.h"
#include "settings/ui_text.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;

// One drawn overlay, as RGB pixels with rows from the bottom.
struct Picture {
    std::vector<uint8_t> rgba;
    const uint8_t* At(int x, int y) const {
        return &rgba[(static_cast<size_t>(kHeight - 1 - y) * kWidth + x) * 4];
    }
    bool Lit(int x, int y) const {
        const uint8_t* p = At(x, y);
        return p[0] != 0 || p[1] != 0 || p[2] != 0;
    }
    bool Is(int x, int y, int r, int g, int b) const {
        const uint8_t* p = At(x, y);
        return std::abs(p[0] - r) <= 1 && std::abs(p[1] - g) <= 1 && std::abs(p[2] - b) <= 1;
    }
};

struct Box {
    int x0, y0, x1, y1;  // pixels, y from the bottom, half-open
    bool Holds(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

// The four regions of the layout on a 1280 x 1024 screen.
const Box kSections{0, 0, kWidth / 2, kHeight / 2};                // lower left
const Box kCoordinates{0, kHeight * 8 / 10, kWidth / 2, kHeight};  // upper left
const Box kClock{kWidth / 2, kHeight * 8 / 10, kWidth, kHeight};   // upper right
const Box kCaption{kWidth / 2, 0, kWidth, kHeight / 10};           // lower right

class OverlayGlTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(OffscreenContextCreate(context, kWidth, kHeight), 1);
        ASSERT_EQ(TextCreateDefaultFont(), 1);
        UiTextBuild();
    }

    static OverlayInputs Inputs() {
        OverlayInputs in;
        in.sunRise = 6.25;
        in.sunSet = 18.75;
        in.sunAltitude = -12.5;
        in.sunAzimuth = 123.4;
        in.moonRise = 1e200;
        in.moonSet = 13.5;
        in.moonAltitude = 33.3;
        in.moonAzimuth = -45.0;
        in.lunarDay = 12;
        in.lunarDayText = "12";
        in.latitude = 55.75;
        in.longitude = 37.62;
        in.localTime.tm_year = 2026 - 1900;
        in.localTime.tm_mon = 11;
        in.localTime.tm_mday = 11;
        in.localTime.tm_wday = 5;
        in.localTime.tm_hour = 21;
        in.localTime.tm_min = 5;
        in.localTime.tm_sec = 7;
        in.screenWidth = kWidth;
        in.screenHeight = kHeight;
        return in;
    }

    // Draws one frame as the scene sets it up: world 125 x 100, unblended.
    static Picture Draw(const OverlayInputs& in, int languageValue) {
        UiTextSelectLanguage(languageValue);
        overlayState.captionFrames = 150;  // the caption at full strength
        overlayState.captionAlpha = 0.98;
        glViewport(0, 0, kWidth, kHeight);
        SceneSetUpProjection();
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        OverlayDraw(in);
        Picture picture;
        EXPECT_EQ(OffscreenReadPixels(context, picture.rgba), 1);
        return picture;
    }

    // Whether the image of a string in a font lies in the picture, pixel for
    // pixel, somewhere inside a box.
    static bool Shows(const Picture& picture, TextFont* font, const char* text, const Box& box) {
        TextFont* previous = TextSelectFont(font);
        TextImage image;
        TextRenderImage(text, &image);
        TextSelectFont(previous);
        const int rowBytes = image.width / 8;
        auto bit = [&](int x, int y) {
            return (image.bits[y * rowBytes + x / 8] & (0x80 >> (x % 8))) != 0;
        };
        for (int y0 = box.y0; y0 + image.cy <= box.y1; ++y0) {
            for (int x0 = box.x0; x0 + image.cx <= box.x1; ++x0) {
                bool same = true;
                for (int y = 0; y < image.cy && same; ++y) {
                    for (int x = 0; x < image.cx && same; ++x) {
                        same = bit(x, y) == picture.Lit(x0 + x, y0 + y);
                    }
                }
                if (same)
                    return true;
            }
        }
        return false;
    }

    static OffscreenContext context;
};

OffscreenContext OverlayGlTest::context;

// Every text pixel in its colour lies in the region the layout gives it.
void CheckRegions(const Picture& picture, bool placeDefaulted) {
    int sections = 0, coordinates = 0, date = 0, time = 0, red = 0, caption = 0, stray = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (!picture.Lit(x, y))
                continue;
            if (picture.Is(x, y, 204, 204, 255) && kSections.Holds(x, y)) {
                ++sections;
            } else if (picture.Is(x, y, 204, 255, 204) && kCoordinates.Holds(x, y)) {
                ++coordinates;
            } else if (picture.Is(x, y, 204, 255, 204) && kClock.Holds(x, y)) {
                ++date;
            } else if (picture.Is(x, y, 255, 255, 255) && kClock.Holds(x, y)) {
                ++time;
            } else if (picture.Is(x, y, 255, 0, 0) && kCoordinates.Holds(x, y)) {
                ++red;
            } else if (picture.Is(x, y, 204, 204, 127) && kCaption.Holds(x, y)) {
                ++caption;
            } else {
                ++stray;
            }
        }
    }
    EXPECT_GT(sections, 1000);
    EXPECT_GT(coordinates, 300);
    EXPECT_GT(date, 100);
    EXPECT_GT(time, 100);
    EXPECT_GT(caption, 100);
    EXPECT_EQ(stray, 0);
    if (placeDefaulted) {
        EXPECT_GT(red, 100);
    } else {
        EXPECT_EQ(red, 0);
    }
}

TEST_F(OverlayGlTest, EnglishOverlayKeepsToItsFourRegions) {
    for (bool defaulted : {false, true}) {
        OverlayInputs in = Inputs();
        in.placeDefaulted = defaulted;
        const Picture picture = Draw(in, 0);
        CheckRegions(picture, defaulted);
        EXPECT_TRUE(Shows(picture, overlayState.titleFont, "Sun:", kSections));
        EXPECT_TRUE(Shows(picture, overlayState.bodyFont, "06:15", kSections));
        EXPECT_TRUE(Shows(picture, overlayState.bodyFont, "Your coordinates:", kCoordinates));
        EXPECT_TRUE(Shows(picture, overlayState.bodyFont, "Friday, December 11, 2026", kClock));
        EXPECT_TRUE(Shows(picture, overlayState.titleFont, "9:05:07 PM", kClock));
        EXPECT_TRUE(Shows(picture, overlayState.bodyFont, kMakerWebAddress, kCaption));
        EXPECT_EQ(Shows(picture, overlayState.bodyFont, "Set up your own location!", kCoordinates),
                  defaulted);
    }
}

TEST_F(OverlayGlTest, RussianOverlayDrawsCyrillicTexts) {
    for (bool defaulted : {true, false}) {
        OverlayInputs in = Inputs();
        in.placeDefaulted = defaulted;
        const Picture picture = Draw(in, 1);
        CheckRegions(picture, defaulted);
        // "Солнце:", "Луна:", "восход" and "Ваши координаты:" in Cyrillic.
        EXPECT_TRUE(Shows(picture, overlayState.titleFont, "\xD1\xEE\xEB\xED\xF6\xE5:", kSections));
        EXPECT_TRUE(Shows(picture, overlayState.titleFont, "\xCB\xF3\xED\xE0:", kSections));
        EXPECT_TRUE(Shows(picture, overlayState.bodyFont, "\xE2\xEE\xF1\xF5\xEE\xE4", kSections));
        EXPECT_TRUE(
            Shows(picture, overlayState.bodyFont,
                  "\xC2\xE0\xF8\xE8 \xEA\xEE\xEE\xF0\xE4\xE8\xED\xE0\xF2\xFB:", kCoordinates));
        EXPECT_FALSE(Shows(picture, overlayState.titleFont, "Sun:", kSections));
        // "пятница, 11 декабря 2026 г." and the 24-hour time.
        EXPECT_TRUE(Shows(
            picture, overlayState.bodyFont,
            "\xEF\xFF\xF2\xED\xE8\xF6\xE0, 11 \xE4\xE5\xEA\xE0\xE1\xF0\xFF 2026 \xE3.", kClock));
        EXPECT_TRUE(Shows(picture, overlayState.titleFont, "21:05:07", kClock));
    }
}

TEST_F(OverlayGlTest, PreviewDrawsOnlyTheOpaqueCaptionAtTheLowerLeft) {
    OverlayInputs in = Inputs();
    in.preview = true;
    in.placeDefaulted = true;
    overlayState = OverlayState{};  // the fonts are made for the preview
    const Picture picture = Draw(in, 0);
    int caption = 0, other = 0;
    const Box lowerLeft{0, 0, kWidth / 4, kHeight / 10};
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (!picture.Lit(x, y))
                continue;
            (picture.Is(x, y, 204, 204, 127) && lowerLeft.Holds(x, y) ? caption : other) += 1;
        }
    }
    EXPECT_GT(caption, 100);
    EXPECT_EQ(other, 0);
    EXPECT_EQ(overlayState.captionAlpha, 1.0);
    EXPECT_EQ(overlayState.titleFont, nullptr);
    ASSERT_NE(overlayState.bodyFont, nullptr);
    EXPECT_EQ(overlayState.bodyFont->height, 14);
}

TEST_F(OverlayGlTest, WithoutTextOnlyTheCaptionIsDrawnAndTheStateIsRestored) {
    OverlayInputs in = Inputs();
    in.showText = false;
    glDisable(GL_COLOR_MATERIAL);
    const Picture picture = Draw(in, 0);
    int lit = 0, outsideCaption = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (!picture.Lit(x, y))
                continue;
            ++lit;
            outsideCaption += !kCaption.Holds(x, y);
        }
    }
    EXPECT_GT(lit, 100);
    EXPECT_EQ(outsideCaption, 0);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
}

}  // namespace
