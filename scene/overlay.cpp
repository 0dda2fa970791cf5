#include "scene/overlay.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ephemeris/moon_phases.h"
#include "ephemeris/observer.h"
#include "ephemeris/time_base.h"
#include "platform/time_zone.h"
#include "scene/bitmap_text.h"
#include "scene/scene_sky.h"
#include "scene/scene_state.h"
#include "scene/scene_view.h"
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
// Texts of the Moon's facts.
constexpr int kTextMoonFacts = 66, kTextIlluminated = 67, kTextAge = 68, kTextDistance = 69,
              kTextNewMoon = 70, kTextKilometres = 74, kTextDayForms = 75, kTextHourForms = 78;

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

// The next phases' date and time, in the interface language's way.
std::string FormatPhaseTime(const std::tm& local) {
    char text[64];
    const char* format =
        uiTextLanguageOffset == kUiTextRussian ? "%#d %b %H:%M" : "%b %#d, %#I:%M %p";
    if (UiLocaleFormatTime(text, sizeof text, format, &local) == 0) {
        return "--";
    }
    return text;
}

// The Moon's facts in the lower right corner, rows 4 ... 11 (the caption
// of the first seconds keeps rows 2 and 3 free): labels end at a common
// column, values start after it and end 2 units from the right edge.
void DrawMoonFacts(const OverlayInputs& in, const Frame& frame, double lineHeight) {
    const bool russian = uiTextLanguageOffset == kUiTextRussian;
    const char* days[3] = {UiTextGet(kTextDayForms), UiTextGet(kTextDayForms + 1),
                           UiTextGet(kTextDayForms + 2)};
    const char* hours[3] = {UiTextGet(kTextHourForms), UiTextGet(kTextHourForms + 1),
                            UiTextGet(kTextHourForms + 2)};
    struct Line {
        int label;
        std::string value;
    };
    Line lines[7] = {
        {kTextIlluminated, FormatIlluminated(in.illuminatedFraction)},
        {kTextAge, FormatMoonAge(in.ageDays, days, hours, russian)},
        {kTextDistance, FormatDistance(in.distanceKm, UiTextGet(kTextKilometres), russian)},
    };
    for (int k = 0; k < 4; ++k) {
        lines[3 + k] = {in.phases[k].textId, FormatPhaseTime(in.phases[k].local)};
    }

    double valueWidth = 0.0, labelWidth = 0.0;
    for (const Line& line : lines) {
        valueWidth = std::max(valueWidth, MeasureWidth(frame, line.value.c_str()));
        labelWidth = std::max(labelWidth, MeasureWidth(frame, UiTextGet(line.label)));
    }
    const double valueX = 125.0 - 2.0 - valueWidth;
    const double labelEnd = valueX - 2.0;
    const double base = 1.5 - 2.0 * lineHeight;
    auto row = [&](int k) { return base + k * lineHeight; };

    TextSelectFont(overlayState.titleFont);
    Colour(0.8, 0.8, 1.0, 0.7);
    At(labelEnd - labelWidth, row(11));
    TextDraw(Title(kTextMoonFacts).c_str());
    TextSelectFont(overlayState.bodyFont);
    for (int k = 0; k < 7; ++k) {
        const double y = row(10 - k);
        const double w = MeasureWidth(frame, UiTextGet(lines[k].label));
        Colour(0.8, 0.8, 1.0, 0.7);
        At(labelEnd - w, y);
        TextDrawLast();
        At(valueX, y);
        TextDraw(lines[k].value.c_str());
    }
}

void DrawCaption(const OverlayInputs& in, const Frame& frame) {
    if (in.advanceCaption) {
        overlayState.captionShown =
            CaptionStep(&overlayState, in.preview, &overlayState.captionShownAlpha);
    }
    if (!overlayState.captionShown)
        return;
    const double alpha = overlayState.captionShownAlpha;
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

// The font of a height and weight, made when first asked for and kept.
TextFont* FontOf(int height, int weight) {
    for (TextFont* font : overlayState.fonts) {
        if (font->height == height && font->weight == weight)
            return font;
    }
    TextFont* font = TextCreateFont(height, weight, "Arial");
    overlayState.fonts.push_back(font);
    return font;
}

}  // namespace

void (*overlayScreenSize)(int* width, int* height) = ViewportSize;
void (*overlayLocalTime)(std::tm* now) = ClockLocalTime;
int overlayScreenDpi = 0;

OverlayFontSizes OverlayFontSizesFor(int screenWidth, bool preview, double scale) {
    if (preview)
        return {0, 14};
    const int k = screenWidth >= 1024 ? 16 : 12;
    return {static_cast<int>(std::lround((k + 2) * scale)),
            static_cast<int>(std::lround(k * scale))};
}

double OverlayTextScale(int screenWidth, int screenHeight, int dpi, bool preview) {
    if (preview)
        return 1.0;
    double scale = 1.0;
    if (screenWidth > 0 && screenHeight > 0) {
        // Measured against 1920 x 1080 in either orientation.
        const double longer = std::max(screenWidth, screenHeight);
        const double shorter = std::min(screenWidth, screenHeight);
        scale = std::max(1.0, std::min(longer / 1920.0, shorter / 1080.0));
    }
    if (dpi > 96)
        scale = std::max(scale, dpi / 96.0);
    return std::min(scale, 8.0);
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

void TextPass(bool advanceCaption) {
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
    in.screenDpi = overlayScreenDpi;
    in.advanceCaption = advanceCaption;
    in.showMoonFacts = sceneState.showMoonFacts;
    if (in.showMoonFacts) {
        const long long now = PlatformTimeNow();
        const MoonFacts facts = MoonFactsKept(DaysFromTimeValue(now));
        in.illuminatedFraction = skyReport.illuminatedFraction;
        in.distanceKm = skyReport.distanceKm;
        in.ageDays = facts.ageDays;
        for (int k = 0; k < 4; ++k) {
            in.phases[k].textId = kTextNewMoon + k;
            // To the nearest second, in the local zone like the clock.
            const std::time_t at =
                static_cast<std::time_t>(TimeValueFromDays(facts.nextPhase[k] + 0.5 / 86400.0));
            if (localtime_r(&at, &in.phases[k].local) == nullptr) {
                in.phases[k].local = std::tm{};
            }
        }
        std::stable_sort(in.phases, in.phases + 4,
                         [&](const OverlayInputs::Phase& a, const OverlayInputs::Phase& b) {
                             return facts.nextPhase[a.textId - kTextNewMoon] <
                                    facts.nextPhase[b.textId - kTextNewMoon];
                         });
    }
    OverlayDraw(in);
}

void OverlayDraw(const OverlayInputs& in) {
    // The overlay is laid out on the world stretched over the picture, so its
    // pixel layout follows the picture's size alone, whatever part of the
    // world the scene shows there.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    SceneSetUpOverlayProjection();
    glPushMatrix();
    glDisable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glDisable(GL_TEXTURE_2D);

    // Fonts are made for each size the first time a picture needs it and kept.
    const double scale =
        OverlayTextScale(in.screenWidth, in.screenHeight, in.screenDpi, in.preview);
    const OverlayFontSizes sizes = OverlayFontSizesFor(in.screenWidth, in.preview, scale);
    overlayState.titleFont = sizes.title > 0 ? FontOf(sizes.title, 600) : nullptr;
    overlayState.bodyFont = FontOf(sizes.body, 400);

    const Frame frame{in.screenWidth > 0 ? static_cast<double>(in.screenWidth) : 1.0,
                      in.screenHeight > 0 ? static_cast<double>(in.screenHeight) : 1.0};
    if (in.showText && !in.preview) {
        TextSelectFont(overlayState.bodyFont);
        const double lineHeight = TextMeasure(kLineSample).cy * 125.0 * 0.8 / frame.sh;
        DrawSections(in, frame, lineHeight);
        DrawCoordinates(in, frame, lineHeight);
        DrawDateAndTime(in, frame, lineHeight);
        if (in.showMoonFacts) {
            DrawMoonFacts(in, frame, lineHeight);
        }
    }
    DrawCaption(in, frame);

    glEnable(GL_TEXTURE_2D);
    glDisable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}
