#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Turns Windows-1251 strings into one-bit images with a TrueType face found
// through fontconfig ("Arial" resolves to a metric-compatible face). Sizes
// follow the Windows rule for a positive height: it is the cell height, ascent
// plus descent, not the em size. Glyphs are rendered once per font and byte and
// kept, so a string is only composed from them; the pixels are the same as
// rendering it afresh.

struct FontGlyph;
struct FontFace;

struct TextFont {
    int height = 0;                    // cell height in pixels
    int weight = 0;                    // 400 normal, 600 semi-bold (drawn bold)
    std::string face;                  // the face asked for
    std::string file;                  // the font file fontconfig chose ("" when none)
    int pixelsPerEm = 0;               // em size the glyphs are rendered at
    int ascent = 0;                    // baseline, in pixels below the top of the cell
    bool embolden = false;             // bold asked for but the face found is not bold
    std::unique_ptr<FontFace> engine;  // null when no face could be opened
    std::unique_ptr<FontGlyph[]> glyphs;
    ~TextFont();
};

// The image of one string: cx x cy as measured, stored in rows of `width`
// bits (cx rounded up to a multiple of 32), the bottom row first, the leftmost
// pixel in the highest bit; a bit of 1 is a text pixel. Columns from cx on are 0.
struct TextImage {
    int32_t cx = 0;
    int32_t cy = 0;
    int32_t width = 0;
    std::vector<unsigned char> bits;
};

// Opens a font. Never fails: a font whose face cannot be found or opened
// measures every string as zero pixels wide and draws nothing.
TextFont* FontOpen(int height, int weight, const char* face);

// The extent of a string: the sum of the glyph advances, and the cell height.
void FontMeasure(TextFont* font, const char* text, int32_t* cx, int32_t* cy);

// Measures and renders a string. Returns 1 with the image filled, or 0 when
// there is nothing to draw (an empty string, no face): the extent is still
// set and the image has no bits.
int FontRender(TextFont* font, const char* text, TextImage* image);

// Rounds a width in pixels up to the next multiple of 32.
constexpr int32_t FontBitmapWidth(int32_t cx) {
    return (cx + 31) / 32 * 32;
}
