#pragma once

#include <cstdint>

#include "scene/font_engine.h"

// Text in the GL frame as bitmaps: a string is rendered into a one-bit image,
// compiled into display list 1 as one glBitmap, and that list is drawn at the
// current raster position in the colour current when the position was set.
// Measuring a string renders it, so it can be drawn right after without being
// rendered again.

// The text display list; reserved before any other list is generated.
constexpr unsigned kTextList = 1;

struct TextSize {
    int32_t cx = 0;
    int32_t cy = 0;
};

struct TextState {
    TextFont* current = nullptr;      // used by TextRender
    TextFont* defaultFont = nullptr;  // Arial 16/400, made by TextCreateDefaultFont
    TextSize last;                    // extent of the string rendered last
};

extern TextState textState;

// Creates a font (height = cell height in pixels, weight 400 or 600, face
// "Arial"). Fonts live until the process ends.
TextFont* TextCreateFont(int height, int weight, const char* face);

// Makes a font current; returns the one that was.
TextFont* TextSelectFont(TextFont* font);

// Renders a string in the current font into list 1 and sets the last extent.
// Returns the bitmap's size: the width rounded up to a multiple of 32, the
// height. A string that gives no image (empty, no font) leaves list 1 empty.
TextSize TextRender(const char* text);

// TextRender, then the extent as measured (cx, cy).
TextSize TextMeasure(const char* text);

// Draws list 1 (the string rendered last) at the current raster position.
void TextDrawLast();

// TextRender, then TextDrawLast.
void TextDraw(const char* text);

// Reserves list 1 and makes the default font (Arial 16/400) current. Called
// once at start-up with the GL context current, before any other list exists.
int TextCreateDefaultFont();

// Renders a string in the current font without GL (for layout checks).
int TextRenderImage(const char* text, TextImage* image);
