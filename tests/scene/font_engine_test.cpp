#include "scene/font_engine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool Bit(const TextImage& image, int x, int yFromTop) {
    const int rowBytes = image.width / 8;
    const unsigned char byte = image.bits[(image.cy - 1 - yFromTop) * rowBytes + x / 8];
    return (byte & (0x80 >> (x % 8))) != 0;
}

int InkRows(const TextImage& image, int fromTop, int toTop) {
    int rows = 0;
    for (int y = fromTop; y < toTop; ++y) {
        for (int x = 0; x < image.cx; ++x) {
            if (Bit(image, x, y)) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

int Ink(const TextImage& image) {
    int count = 0;
    for (int y = 0; y < image.cy; ++y) {
        for (int x = 0; x < image.width; ++x)
            count += Bit(image, x, y);
    }
    return count;
}

TextImage Render(TextFont* font, const std::string& text) {
    TextImage image;
    FontRender(font, text.c_str(), &image);
    return image;
}

TEST(FontEngine, ArialResolvesToTheMetricCompatibleFaceRegularAndBold) {
    TextFont* regular = FontOpen(16, 400, "Arial");
    TextFont* bold = FontOpen(18, 600, "Arial");
    EXPECT_NE(regular->file.find("LiberationSans-Regular"), std::string::npos) << regular->file;
    EXPECT_NE(bold->file.find("LiberationSans-Bold"), std::string::npos) << bold->file;
    EXPECT_FALSE(bold->embolden);  // the real bold face draws weight 600
    // Bold strokes are heavier than regular ones at the same height.
    TextFont* boldSixteen = FontOpen(16, 600, "Arial");
    const std::string sample = "1234567890AsSDFGyi";
    EXPECT_GT(Ink(Render(boldSixteen, sample)), Ink(Render(regular, sample)) * 11 / 10);
    int32_t cx = 0, cy = 0, bcx = 0, bcy = 0;
    FontMeasure(regular, sample.c_str(), &cx, &cy);
    FontMeasure(boldSixteen, sample.c_str(), &bcx, &bcy);
    EXPECT_GT(bcx, cx);
    EXPECT_EQ(bcy, cy);
}

TEST(FontEngine, PositiveHeightIsTheCellHeightWithTheBaselineInside) {
    for (int height : {12, 14, 16, 18, 40}) {
        TextFont* font = FontOpen(height, 400, "Arial");
        int32_t cx = 0, cy = 0;
        FontMeasure(font, "Hy", &cx, &cy);
        EXPECT_EQ(cy, height);
        // The em is smaller than the cell (ascent + descent of the face).
        EXPECT_LT(font->pixelsPerEm, height);
        EXPECT_GE(font->pixelsPerEm, height * 8 / 10);
        // "x" has no ink below the baseline, "y" has; a capital leaves room
        // above it for the marks of capitals such as Й.
        const TextImage x = Render(font, "x");
        const TextImage y = Render(font, "y");
        EXPECT_EQ(InkRows(x, font->ascent, height), 0) << height;
        EXPECT_GT(InkRows(y, font->ascent, height), 0) << height;
        EXPECT_EQ(InkRows(Render(font, "H"), 0, 1), 0) << height;
        EXPECT_GT(InkRows(Render(font, "\xC9"), 0, 2), 0) << height;
    }
}

TEST(FontEngine, ExtentIsTheSumOfTheAdvancesAndTheImageIsRoundedTo32Columns) {
    TextFont* font = FontOpen(16, 400, "Arial");
    const char* const samples[] = {"1",
                                   "00:00",
                                   "Moon",
                                   "      \xE2\xEE\xF1\xF5\xEE\xE4  ",
                                   "Set up your own location!",
                                   "1234567890AsSDFGyi"};
    for (const char* text : samples) {
        int32_t sum = 0;
        for (const char* p = text; *p; ++p) {
            const char one[2] = {*p, 0};
            int32_t cx = 0, cy = 0;
            FontMeasure(font, one, &cx, &cy);
            sum += cx;
        }
        const TextImage image = Render(font, text);
        EXPECT_EQ(image.cx, sum) << text;
        EXPECT_EQ(image.width, FontBitmapWidth(image.cx)) << text;
        EXPECT_EQ(image.width % 32, 0);
        EXPECT_LT(image.width - image.cx, 32);
        EXPECT_EQ(image.bits.size(), static_cast<size_t>(image.width / 8 * image.cy));
        for (int y = 0; y < image.cy; ++y) {
            for (int x = image.cx; x < image.width; ++x) {
                ASSERT_FALSE(Bit(image, x, y)) << text << " column " << x;
            }
        }
    }
    for (int32_t cx : {0, 1, 31, 32, 33, 45, 64, 65}) {
        EXPECT_EQ(FontBitmapWidth(cx), (cx + 31) / 32 * 32);
    }
    EXPECT_EQ(FontBitmapWidth(45), 64);
}

TEST(FontEngine, CyrillicBytesGetCyrillicGlyphs) {
    TextFont* font = FontOpen(16, 400, "Arial");
    const TextImage missing = Render(font, "\x98");  // the one unassigned byte: the empty box
    ASSERT_GT(Ink(missing), 0);
    for (int b = 0xC0; b <= 0xFF; ++b) {
        const std::string letter(1, static_cast<char>(b));
        const TextImage image = Render(font, letter);
        EXPECT_GT(Ink(image), 0) << "byte " << b;
        EXPECT_NE(image.bits, missing.bits) << "byte " << b;
    }
    // Letters that share their shape with Latin ones look the same, which
    // only holds when the byte was looked up as the Cyrillic letter.
    EXPECT_EQ(Render(font, "\xC0").bits, Render(font, "A").bits);  // А
    EXPECT_EQ(Render(font, "\xD0").bits, Render(font, "P").bits);  // Р
    EXPECT_NE(Render(font, "\xC4").bits, Render(font, "D").bits);  // Д
    // The degree sign of the angles is drawn, not a box.
    EXPECT_NE(Render(font, "\xB0").bits, missing.bits);
}

TEST(FontEngine, NothingToDrawLeavesAnEmptyImageWithTheExtentSet) {
    TextFont* font = FontOpen(16, 400, "Arial");
    TextImage image;
    EXPECT_EQ(FontRender(font, "", &image), 0);
    EXPECT_EQ(image.cx, 0);
    EXPECT_EQ(image.cy, 16);
    EXPECT_TRUE(image.bits.empty());
    EXPECT_EQ(FontRender(nullptr, "text", &image), 0);
    EXPECT_EQ(FontRender(font, nullptr, &image), 0);
    TextFont* flat = FontOpen(0, 400, "Arial");
    EXPECT_EQ(FontRender(flat, "text", &image), 0);
    EXPECT_EQ(image.cx, 0);
    // An unknown family still gives a face that draws (fontconfig's fallback).
    TextFont* other = FontOpen(16, 400, "No Such Family At All");
    EXPECT_EQ(FontRender(other, "Moon", &image), 1);
    EXPECT_GT(Ink(image), 0);
}

}  // namespace
