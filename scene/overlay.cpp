#include "scene/overlay.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>

#include "ephemeris/observer.h"
#include "platform/time_zone.h"
#include "scene/bitmap_text.h"
#include "scene/scene_sky.h"
#include "scene/scene_state.h"
#include "settings/ui_locale.h"
#include "settings/ui_text.h"

OverlayState overlayState;
bool textPassEnabled = true;
TextColours overlayTextColours = TextColours::AsGiven;

namespace {

void ViewportSize(int* width, int* height) {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    *width = viewport[2];
    *height = viewport[3];
}

// The clock the sky report reads, so that a fixed clock fixes the date too.
void ClockLocalTime(std::tm* now) {
    const std::time_t t = static_cast<std::time_t>(PlatformTimeNow());
    if (localtime_r(&t, now) == nullptr)
        *now = std::tm{};
}

// Texts of the overlay by id.
constexpr int kTextMoon = 55, kTextSun = 56, kTextRise = 57, kTextSet = 58, kTextDayLength = 59,
              kTextHeight = 60, kTextAzimuth = 61, kTextLunarDay = 62, kTextCoordinates = 63,
              kTextSetLocation = 64;

// Line-height sample and the column samples (the same in both languages:
// six blanks, "восход", two blanks; the clock, three blanks, "высота", a blank).
constexpr char kLineSample[] = "1234567890AsSDFGyi";
constexpr char kFirstColumnSample[] = "      \xE2\xEE\xF1\xF5\xEE\xE4  ";
constexpr char kSecondColumnSample[] = "00:00   \xE2\xFB\xF1\xEE\xF2\xE0 ";

constexpr double kTextDepth = 100.0;

// Converts pixel widths to world units with the screen size of the frame.
struct Frame {
    double sw, sh;
    double Width(int32_t pixels) const { return pixels * 125.0 / sw; }
};

void Colour(double r, double g, double b, double a) {
    if (overlayTextColours == TextColours::OverSky) {
        const float* sky = sceneState.skyColour;
        glColor4d(a * r + (1 - a) * sky[0], a * g + (1 - a) * sky[1], a * b + (1 - a) * sky[2], 1);
    } else {
        glColor4d(r, g, b, a);
    }
}

void At(double x, double y) {
    glRasterPos3d(x, y, kTextDepth);
}

double MeasureWidth(const Frame& frame, const char* text) {
    return frame.Width(TextMeasure(text).cx);
}

std::string Title(int id) {
    char text[100];
    std::snprintf(text, sizeof text, "%s:", UiTextGet(id));
    return text;
}

void DrawSections(const OverlayInputs& in, const Frame& frame, double lineHeight) {
    const double base = 1.5 - 2.0 * lineHeight;
    const double a = MeasureWidth(frame, kFirstColumnSample) + 2.0;
    const double c = 1.07 * a;
    const double f = c + MeasureWidth(frame, kSecondColumnSample) + 2.0;
    auto row = [&](int k) { return base + k * lineHeight; };

    auto title = [&](int k, int id) {
        TextSelectFont(overlayState.titleFont);
        Colour(0.8, 0.8, 1.0, 0.7);
        At(1.0, row(k));
        TextDraw(Title(id).c_str());
        TextSelectFont(overlayState.bodyFont);
    };
    auto firstColumn = [&](int k, int label, const std::string& value) {
        const double w = MeasureWidth(frame, UiTextGet(label));
        Colour(0.8, 0.8, 1.0, 0.7);
        At(a - w, row(k));
        TextDrawLast();
        At(c, row(k));
        TextDraw(value.c_str());
    };
    auto secondColumn = [&](int k, int label, const std::string& value) {
        const double w = MeasureWidth(frame, UiTextGet(label));
        Colour(0.8, 0.8, 1.0, 0.7);
        At(0.95 * (f - w), row(k));
        TextDrawLast();
        At(f, row(k));
        TextDraw(value.c_str());
    };

    title(10, kTextSun);
    firstColumn(9, kTextRise, FormatClock(in.sunRise));
    secondColumn(9, kTextHeight, FormatAngle(in.sunAltitude));
    firstColumn(8, kTextSet, FormatClock(in.sunSet));
    secondColumn(8, kTextAzimuth, FormatAngle(in.sunAzimuth));
    firstColumn(7, kTextDayLength, FormatDayLength(in.sunRise, in.sunSet));

    title(5, kTextMoon);
    firstColumn(4, kTextRise, FormatClock(in.moonRise));
    secondColumn(4, kTextHeight, FormatAngle(in.moonAltitude));
    firstColumn(3, kTextSet, FormatClock(in.moonSet));
    secondColumn(3, kTextAzimuth, FormatAngle(in.moonAzimuth));
    firstColumn(2, kTextLunarDay, FormatLunarDay(in.lunarDay, in.lunarDayText));
}

void DrawCoordinates(const OverlayInputs& in, const Frame& frame, double lineHeight) {
    const double top = 100.0 - lineHeight;
    const double w = MeasureWidth(frame, UiTextGet(kTextCoordinates));
    Colour(0.8, 1.0, 0.8, 0.7);
    At(1.0, top);
    TextDrawLast();
    if (in.placeDefaulted) {
        Colour(1.0, 0.0, 0.0, 0.7);
        At(w + 2.0, top);
        TextDraw(UiTextGet(kTextSetLocation));
    }
    Colour(0.8, 1.0, 0.8, 0.7);
    At(1.0, 100.0 - 2.1 * lineHeight);
    TextDraw(FormatLatitude(in.latitude).c_str());
    At(1.0, 100.0 - 3.1 * lineHeight);
    TextDraw(FormatLongitude(in.longitude).c_str());
}

void DrawDateAndTime(const OverlayInputs& in, const Frame& frame, double lineHeight) {
    char date[101];
    char time[101];
    UiLocaleFormatTime(date, sizeof date, "%#x", &in.localTime);
    UiLocaleFormatTime(time, sizeof time, "%X", &in.localTime);
    const double dateWidth = MeasureWidth(frame, date);
    Colour(0.8, 1.0, 0.8, 0.7);
    At(125.0 - (dateWidth + 2.0), 100.0 - lineHeight);
    TextDrawLast();
    TextSelectFont(overlayState.titleFont);
    const double timeWidth = MeasureWidth(frame, time);
    Colour(1.0, 1.0, 1.0, 0.7);
    At(125.0 - (timeWidth + 2.0), 100.0 - 2.1 * lineHeight);
    TextDrawLast();
    TextSelectFont(overlayState.bodyFont);
}

void DrawCaption(const OverlayInputs& in, const Frame& frame) {
    double alpha = 0.0;
    if (!CaptionStep(&overlayState, in.preview, &alpha))
        return;
    TextSelectFont(overlayState.bodyFont);
    const double w = MeasureWidth(frame, kMakerWebAddress);
    Colour(0.8, 0.8, 0.5, alpha);
    if (in.preview) {
        At(3.0, 3.0);
    } else {
        At(125.0 - (w + 2.0), 2.0);
    }
    TextDrawLast();
}

}  // namespace

void (*overlayScreenSize)(int* width, int* height) = ViewportSize;
void (*overlayLocalTime)(std::tm* now) = ClockLocalTime;

OverlayFontSizes OverlayFontSizesFor(int screenWidth, bool preview) {
    if (preview)
        return {0, 14};
    const int k = screenWidth >= 1024 ? 16 : 12;
    return {k + 2, k};
}

bool CaptionStep(OverlayState* state, bool preview, double* alpha) {
    if (state->captionFrames >= 350 && !preview)
        return false;
    // In preview the count runs for as long as the preview does; it stops at
    // the largest value instead of overflowing (nothing depends on it there).
    if (state->captionFrames < INT32_MAX)
        state->captionFrames += 1;
    const int32_t frames = state->captionFrames;
    if (frames > 50 && frames < 100 && state->captionAlpha < 1.0)
        state->captionAlpha += 0.02;
    if (frames > 200 && state->captionAlpha > 0.0)
        state->captionAlpha -= 0.01;
    if (frames <= 3)
        return false;
    if (preview)
        state->captionAlpha = 1.0;
    *alpha = state->captionAlpha;
    return true;
}

void TextPass() {
    if (!textPassEnabled)
        return;
    OverlayInputs in;
    in.sunRise = skyReport.sunRise;
    in.sunSet = skyReport.sunSet;
    in.sunAltitude = skyReport.sunAltitude;
    in.sunAzimuth = skyReport.sunAzimuth;
    in.moonRise = skyReport.moonRise;
    in.moonSet = skyReport.moonSet;
    in.moonAltitude = skyReport.moonAltitude;
    in.moonAzimuth = skyReport.moonAzimuth;
    in.lunarDay = skyReport.lunarDay;
    in.lunarDayText = skyReport.lunarDayText;
    in.latitude = observer.latitude;
    in.longitude = observer.longitude;
    overlayLocalTime(&in.localTime);
    in.preview = sceneState.preview;
    in.showText = sceneState.showText;
    in.placeDefaulted = sceneState.placeDefaulted;
    overlayScreenSize(&in.screenWidth, &in.screenHeight);
    OverlayDraw(in);
}

void OverlayDraw(const OverlayInputs& in) {
    glPushMatrix();
    glDisable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glDisable(GL_TEXTURE_2D);

    const OverlayFontSizes sizes = OverlayFontSizesFor(in.screenWidth, in.preview);
    if (overlayState.titleFont == nullptr && sizes.title > 0) {
        overlayState.titleFont = TextCreateFont(sizes.title, 600, "Arial");
    }
    if (overlayState.bodyFont == nullptr) {
        overlayState.bodyFont = TextCreateFont(sizes.body, 400, "Arial");
    }

    const Frame frame{in.screenWidth > 0 ? static_cast<double>(in.screenWidth) : 1.0,
                      in.screenHeight > 0 ? static_cast<double>(in.screenHeight) : 1.0};
    if (in.showText && !in.preview) {
        TextSelectFont(overlayState.bodyFont);
        const double lineHeight = TextMeasure(kLineSample).cy * 125.0 * 0.8 / frame.sh;
        DrawSections(in, frame, lineHeight);
        DrawCoordinates(in, frame, lineHeight);
        DrawDateAndTime(in, frame, lineHeight);
    }
    DrawCaption(in, frame);

    glEnable(GL_TEXTURE_2D);
    glDisable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);
    glPopMatrix();
}
