#include "scene/bitmap_text.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/egl_offscreen.h"

namespace {

constexpr int kWidth = 256;
constexpr int kHeight = 64;

class BitmapTextTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(OffscreenContextCreate(context, kWidth, kHeight), 1);
        ASSERT_EQ(TextCreateDefaultFont(), 1);
    }
    void SetUp() override {
        TextSelectFont(textState.defaultFont);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, kWidth, 0, kHeight, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    // RGBA rows from the top.
    std::vector<uint8_t> Pixels() {
        std::vector<uint8_t> rgba;
        EXPECT_EQ(OffscreenReadPixels(context, rgba), 1);
        return rgba;
    }
    static bool Lit(const std::vector<uint8_t>& rgba, int x, int yFromBottom) {
        const size_t at = (static_cast<size_t>(kHeight - 1 - yFromBottom) * kWidth + x) * 4;
        return rgba[at] != 0 || rgba[at + 1] != 0 || rgba[at + 2] != 0;
    }
    static OffscreenContext context;
};

OffscreenContext BitmapTextTest::context;

// A string of the default font that measures exactly 45 pixels.
std::string FortyFivePixels() {
    const char* const sentences[] = {"Set up your own location!",
                                     "Your coordinates:", "1234567890AsSDFGyi",
                                     "day length Lunar day azimuth"};
    for (const char* sentence : sentences) {
        const std::string text = sentence;
        for (size_t n = 1; n <= text.size(); ++n) {
            int32_t cx = 0, cy = 0;
            FontMeasure(textState.defaultFont, text.substr(0, n).c_str(), &cx, &cy);
            if (cx == 45)
                return text.substr(0, n);
        }
    }
    return "";
}

TEST_F(BitmapTextTest, ListOneIsReservedBeforeAnyOtherList) {
    EXPECT_TRUE(glIsList(kTextList));
    const GLuint other = glGenLists(1);
    EXPECT_NE(other, 0u);
    EXPECT_NE(other, kTextList);
    glDeleteLists(other, 1);
    ASSERT_NE(textState.defaultFont, nullptr);
    EXPECT_EQ(textState.defaultFont->height, 16);
    EXPECT_EQ(textState.defaultFont->weight, 400);
    EXPECT_EQ(textState.current, textState.defaultFont);
}

TEST_F(BitmapTextTest, FortyFivePixelStringIsASixtyFourPixelBitmapDrawnWithinItsExtent) {
    const std::string text = FortyFivePixels();
    ASSERT_FALSE(text.empty()) << "no prefix measures 45 pixels";
    const TextSize bitmap = TextRender(text.c_str());
    EXPECT_EQ(bitmap.cx, 64);
    EXPECT_EQ(bitmap.cy, 16);
    const TextSize extent = TextMeasure(text.c_str());
    EXPECT_EQ(extent.cx, 45);
    EXPECT_EQ(extent.cy, 16);
    EXPECT_EQ(textState.last.cx, 45);

    glColor3f(1.0f, 1.0f, 0.0f);
    glRasterPos2i(10, 20);
    TextDrawLast();
    // The raster position moved on by the bitmap width plus 2.
    GLfloat raster[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
    EXPECT_FLOAT_EQ(raster[0], 10.0f + 64 + 2);
    EXPECT_FLOAT_EQ(raster[1], 20.0f);

    const std::vector<uint8_t> rgba = Pixels();
    int inside = 0, outside = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (!Lit(rgba, x, y))
                continue;
            const bool within = x >= 10 && x < 10 + 45 && y >= 20 && y < 20 + 16;
            (within ? inside : outside) += 1;
            const size_t at = (static_cast<size_t>(kHeight - 1 - y) * kWidth + x) * 4;
            EXPECT_EQ(rgba[at], 255);  // the colour set before the position, no shading
            EXPECT_EQ(rgba[at + 1], 255);
            EXPECT_EQ(rgba[at + 2], 0);
        }
    }
    EXPECT_GT(inside, 50);
    EXPECT_EQ(outside, 0);
}

TEST_F(BitmapTextTest, DrawnPixelsAreTheRenderedImageBitForBit) {
    const char* text = "\xC2\xE0\xF8\xE8 \xEA\xEE\xEE\xF0\xE4\xE8\xED\xE0\xF2\xFB: 55\xB0";
    TextImage image;
    ASSERT_EQ(TextRenderImage(text, &image), 1);
    glColor3f(1.0f, 1.0f, 1.0f);
    glRasterPos2i(3, 5);
    TextDraw(text);
    const std::vector<uint8_t> rgba = Pixels();
    const int rowBytes = image.width / 8;
    for (int y = 0; y < image.cy; ++y) {
        for (int x = 0; x < image.width && 3 + x < kWidth; ++x) {
            const bool bit = (image.bits[y * rowBytes + x / 8] & (0x80 >> (x % 8))) != 0;
            ASSERT_EQ(Lit(rgba, 3 + x, 5 + y), bit) << x << "," << y;
        }
    }
}

TEST_F(BitmapTextTest, EmptyStringsAndMissingFontsDrawNothing) {
    const TextSize empty = TextMeasure("");
    EXPECT_EQ(empty.cx, 0);
    EXPECT_EQ(empty.cy, 16);
    glColor3f(1.0f, 1.0f, 1.0f);
    glRasterPos2i(10, 10);
    TextDrawLast();
    TextSelectFont(nullptr);
    EXPECT_EQ(TextMeasure("Moon").cx, 0);
    glRasterPos2i(10, 30);
    TextDrawLast();
    TextDraw("Moon");
    const std::vector<uint8_t> rgba = Pixels();
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x)
            ASSERT_FALSE(Lit(rgba, x, y));
    }
}

TEST_F(BitmapTextTest, SelectingAFontReturnsThePreviousOneAndChangesTheSize) {
    TextFont* title = TextCreateFont(18, 600, "Arial");
    EXPECT_EQ(TextSelectFont(title), textState.defaultFont);
    EXPECT_EQ(TextMeasure("Sun:").cy, 18);
    EXPECT_EQ(TextSelectFont(textState.defaultFont), title);
    EXPECT_EQ(TextMeasure("Sun:").cy, 16);
}

}  // namespace
