#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "scene/font_engine.h"
#include "scene/overlay_format.h"

// The information overlay drawn over the scene: the Sun and Moon sections at
// the lower left, the observer's coordinates at the upper left, the date and
// the time at the upper right, and for the first seconds of a run a caption
// with the project's web address at the lower right. Everything is placed in
// world units (x 0..125, y 0..100) at depth z = 100, in front of the scene.

struct OverlayState {
    TextFont* titleFont = nullptr;   // Arial 600 of the picture being drawn; not made in preview
    TextFont* bodyFont = nullptr;    // Arial 400 of the picture being drawn
    int32_t captionFrames = 0;       // frames counted for the caption
    double captionAlpha = 0.0;       // caption opacity
    bool captionShown = false;       // the caption is drawn in this frame
    double captionShownAlpha = 0.0;  // with this opacity
    std::vector<TextFont*> fonts;    // every font made so far, one per height and weight
};

extern OverlayState overlayState;

// What one frame of the overlay shows.
struct OverlayInputs {
    double sunRise = 1e200, sunSet = 1e200;  // local hours; |value| > 1e100: no event
    double sunAltitude = 0.0, sunAzimuth = 0.0;
    double moonRise = 1e200, moonSet = 1e200;
    double moonAltitude = 0.0, moonAzimuth = 0.0;
    double lunarDay = -1.0;  // <= 0: not found
    const char* lunarDayText = "";
    double latitude = 0.0, longitude = 0.0;  // degrees, north and east positive
    std::tm localTime{};                     // one reading for the date and the time
    bool preview = false;
    bool showText = true;
    bool placeDefaulted = false;
    int screenWidth = 0, screenHeight = 0;  // pixels
    int screenDpi = 0;                      // the desktop's font resolution; 0: not set
    // The first picture of a frame advances the caption; the others of the
    // same frame (one per monitor) draw it as the first one left it.
    bool advanceCaption = true;
    // The Moon's facts, drawn in the lower right corner when showMoonFacts.
    bool showMoonFacts = false;
    double illuminatedFraction = 0.0;  // 0 ... 1
    double ageDays = 0.0;
    double distanceKm = 0.0;
    struct Phase {
        int textId = 0;   // which phase: its name's text id
        std::tm local{};  // when, local time
    };
    Phase phases[4];  // the next four, in the order they come
};

// The screen size in pixels that text sizes and widths are reckoned with.
// By default the size of the GL viewport (the window, which covers the screen
// in full-screen runs and is the picture in snapshots).
extern void (*overlayScreenSize)(int* width, int* height);

// The current local time for the date and the time. By default the clock the
// sky report reads (PlatformTimeNow), in the local time zone.
extern void (*overlayLocalTime)(std::tm* now);

// Draws the overlay and the caption for one picture (the text pass). A frame
// with one picture per monitor calls it once per monitor, the first call
// with advanceCaption true.
void TextPass(bool advanceCaption = true);

// The desktop's font resolution for the text sizes (0: none set); SceneInit
// reads it once from the host (SaverGetScreenDpi).
extern int overlayScreenDpi;

// False leaves the whole text pass out, caption included (snapshots without
// text); the saver never changes it.
extern bool textPassEnabled;

// How the text's colours meet the pixels under them. `AsGiven`: with their
// own opacity, for the text pass drawn first in a frame, over the cleared sky.
// `OverSky`: opaque, mixed with the sky colour by their opacity, which gives
// the same pixels whatever was drawn before (for a frame that draws the text
// last, with blending off).
enum class TextColours { AsGiven, OverSky };
extern TextColours overlayTextColours;

// The text pass for given inputs.
void OverlayDraw(const OverlayInputs& in);

// Font heights of the overlay: title 0 means the title font is not made.
struct OverlayFontSizes {
    int title = 0;
    int body = 0;
};
// The sizes for a screen width, times a text scale (rounded to whole pixels).
OverlayFontSizes OverlayFontSizesFor(int screenWidth, bool preview, double scale = 1.0);

// How much larger the overlay's text is drawn on a large or dense screen:
// 1 up to 1920 x 1080 (either way round), the smaller of the two sides'
// ratios to it above that, and at least Xft.dpi / 96 where the desktop sets
// a resolution above 96. At most 8. Always 1 in preview.
double OverlayTextScale(int screenWidth, int screenHeight, int dpi, bool preview);

// Advances the caption by one drawn frame. Returns true when the caption is
// drawn in this frame, with its opacity in *alpha.
bool CaptionStep(OverlayState* state, bool preview, double* alpha);
