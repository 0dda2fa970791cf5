#include "scene/bitmap_text.h"

#include <GL/gl.h>

TextState textState;

namespace {

TextImage& Image() {
    static TextImage image;  // reused so frames do not allocate
    return image;
}

}  // namespace

TextFont* TextCreateFont(int height, int weight, const char* face) {
    return FontOpen(height, weight, face);
}

TextFont* TextSelectFont(TextFont* font) {
    TextFont* previous = textState.current;
    textState.current = font;
    return previous;
}

int TextRenderImage(const char* text, TextImage* image) {
    return FontRender(textState.current, text, image);
}

TextSize TextRender(const char* text) {
    TextImage& image = Image();
    const int drawn = TextRenderImage(text, &image);
    textState.last = {image.cx, image.cy};
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glNewList(kTextList, GL_COMPILE);
    if (drawn) {
        glBitmap(image.width, image.cy, 0.0f, 0.0f, static_cast<GLfloat>(image.width + 2), 0.0f,
                 image.bits.data());
    }
    glEndList();
    return {image.width, image.cy};
}

TextSize TextMeasure(const char* text) {
    TextRender(text);
    return textState.last;
}

void TextDrawLast() {
    glPushAttrib(GL_LIST_BIT);
    glCallList(kTextList);
    glPopAttrib();
}

void TextDraw(const char* text) {
    TextRender(text);
    TextDrawLast();
}

int TextCreateDefaultFont() {
    // An empty list 1 now keeps glGenLists from handing out the name later.
    glNewList(kTextList, GL_COMPILE);
    glEndList();
    if (textState.defaultFont == nullptr)
        textState.defaultFont = TextCreateFont(16, 400, "Arial");
    textState.current = textState.defaultFont;
    return 1;
}
