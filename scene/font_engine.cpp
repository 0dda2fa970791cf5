#include "scene/font_engine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstring>

#include "settings/cp1251.h"

struct FontGlyph {
    bool loaded = false;
    int advance = 0;  // pixels
    int left = 0;     // pixels from the pen to the image's left column
    int top = 0;      // pixels from the baseline up to the image's top row
    int columns = 0;
    int rows = 0;
    int pitch = 0;  // bytes per image row
    std::vector<unsigned char> bits;
};

struct FontFace {
    FT_Face face = nullptr;
    ~FontFace() {
        if (face != nullptr)
            FT_Done_Face(face);
    }
};

TextFont::~TextFont() = default;

namespace {

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library made = nullptr;
        if (FT_Init_FreeType(&made) != 0)
            made = nullptr;
        return made;
    }();
    return library;
}

// Asks fontconfig for the face: family, weight, upright, covering Russian.
bool FindFace(const char* family, int weight, std::string* file, int* index, int* foundWeight) {
    if (!FcInit())
        return false;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddDouble(pattern, FC_WEIGHT, FcWeightFromOpenTypeDouble(weight));
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcLangSet* languages = FcLangSetCreate();
    FcLangSetAdd(languages, reinterpret_cast<const FcChar8*>("ru"));
    FcPatternAddLangSet(pattern, FC_LANG, languages);
    FcLangSetDestroy(languages);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr)
        return false;
    FcChar8* path = nullptr;
    bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch;
    if (found) {
        *file = reinterpret_cast<const char*>(path);
        if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch)
            *index = 0;
        double w = FC_WEIGHT_REGULAR;
        FcPatternGetDouble(match, FC_WEIGHT, 0, &w);
        *foundWeight = static_cast<int>(std::lround(FcWeightToOpenTypeDouble(w)));
    }
    FcPatternDestroy(match);
    return found;
}

// Sets the em size from the cell height, with the vertical extent Windows
// uses for a TrueType face (usWinAscent + usWinDescent of the OS/2 table).
bool SizeFace(TextFont* font) {
    FT_Face face = font->engine->face;
    long ascent = face->ascender;
    long descent = -face->descender;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
    }
    if (ascent + descent <= 0 || face->units_per_EM == 0)
        return false;
    const double cell = static_cast<double>(ascent + descent);
    font->pixelsPerEm = static_cast<int>(std::lround(font->height * face->units_per_EM / cell));
    if (font->pixelsPerEm < 1)
        font->pixelsPerEm = 1;
    font->ascent = static_cast<int>(std::lround(font->height * ascent / cell));
    return FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(font->pixelsPerEm)) == 0;
}

const FontGlyph& Glyph(TextFont* font, unsigned char byte) {
    FontGlyph& glyph = font->glyphs[byte];
    if (glyph.loaded)
        return glyph;
    glyph.loaded = true;
    FT_Face face = font->engine->face;
    const FT_UInt index = FT_Get_Char_Index(face, Cp1251ToUnicode(byte));
    if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO) != 0)
        return glyph;
    FT_GlyphSlot slot = face->glyph;
    if (font->embolden)
        FT_GlyphSlot_Embolden(slot);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0)
        return glyph;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO)
        return glyph;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.columns = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.pitch = (glyph.columns + 7) / 8;
    glyph.bits.resize(static_cast<size_t>(glyph.pitch) * glyph.rows);
    for (int r = 0; r < glyph.rows; ++r) {
        const unsigned char* row = bitmap.pitch >= 0
                                       ? bitmap.buffer + r * bitmap.pitch
                                       : bitmap.buffer + (glyph.rows - 1 - r) * -bitmap.pitch;
        std::memcpy(glyph.bits.data() + static_cast<size_t>(r) * glyph.pitch, row, glyph.pitch);
    }
    return glyph;
}

}  // namespace

TextFont* FontOpen(int height, int weight, const char* face) {
    // Fonts live until the process ends; the list keeps them.
    static std::vector<std::unique_ptr<TextFont>> fonts;
    fonts.push_back(std::make_unique<TextFont>());
    TextFont* font = fonts.back().get();
    font->height = height > 0 ? height : 0;
    font->weight = weight;
    font->face = face != nullptr ? face : "";
    font->glyphs = std::make_unique<FontGlyph[]>(256);
    std::string file;
    int index = 0;
    int foundWeight = 400;
    if (font->height == 0 || Library() == nullptr ||
        !FindFace(font->face.c_str(), weight, &file, &index, &foundWeight)) {
        return font;
    }
    auto engine = std::make_unique<FontFace>();
    if (FT_New_Face(Library(), file.c_str(), index, &engine->face) != 0) {
        engine->face = nullptr;
        return font;
    }
    FT_Select_Charmap(engine->face, FT_ENCODING_UNICODE);
    font->engine = std::move(engine);
    font->file = file;
    // Windows draws a semi-bold request with the bold face; without one, it
    // thickens the regular strokes.
    font->embolden = weight >= 600 && foundWeight < 600 &&
                     (font->engine->face->style_flags & FT_STYLE_FLAG_BOLD) == 0;
    if (!SizeFace(font))
        font->engine.reset();
    return font;
}

void FontMeasure(TextFont* font, const char* text, int32_t* cx, int32_t* cy) {
    int32_t width = 0;
    if (font != nullptr && font->engine != nullptr && text != nullptr) {
        for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
            width += Glyph(font, *p).advance;
        }
    }
    *cx = width;
    *cy = font != nullptr ? font->height : 0;
}

int FontRender(TextFont* font, const char* text, TextImage* image) {
    FontMeasure(font, text, &image->cx, &image->cy);
    image->width = FontBitmapWidth(image->cx);
    image->bits.clear();
    if (image->cx <= 0 || image->cy <= 0)
        return 0;
    const int32_t rowBytes = image->width / 8;
    image->bits.assign(static_cast<size_t>(rowBytes) * image->cy, 0);
    int pen = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        const FontGlyph& glyph = Glyph(font, *p);
        for (int r = 0; r < glyph.rows; ++r) {
            const int y = font->ascent - glyph.top + r;  // from the top of the cell
            if (y < 0 || y >= image->cy)
                continue;
            unsigned char* out =
                image->bits.data() + static_cast<size_t>(image->cy - 1 - y) * rowBytes;
            const unsigned char* in = glyph.bits.data() + static_cast<size_t>(r) * glyph.pitch;
            for (int c = 0; c < glyph.columns; ++c) {
                if ((in[c >> 3] & (0x80 >> (c & 7))) == 0)
                    continue;
                const int x = pen + glyph.left + c;
                if (x < 0 || x >= image->cx)
                    continue;
                out[x >> 3] |= static_cast<unsigned char>(0x80 >> (x & 7));
            }
        }
        pen += glyph.advance;
    }
    return 1;
}
