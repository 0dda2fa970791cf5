#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "scene/overlay.h"
#include "scene/overlay_format.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The degree sign is byte 0xB0 and the seconds end with a double quote.
std::string Angle(const char* degrees, const char* minutes, const char* seconds) {
    return std::string(degrees) + "\xB0 " + minutes + "' " + seconds + "\"";
}

TEST(OverlayFormat, ClockRoundsMinutesHalfUpAndMarksAbsentEvents) {
    struct Case {
        double hours;
        const char* text;
    } const cases[] = {
        {6.25, "06:15"},
        {18.75, "18:45"},
        {6.999, "07:00"},
        {0.0, "00:00"},
        {12.0 + 30.6 / 60, "12:31"},
        {12.0 + 30.4 / 60, "12:30"},
        {23.0 + 59.6 / 60, "24:00"},
        {23.0 + 59.4 / 60, "23:59"},
        {9.0 + 59.6 / 60, "10:00"},
        {1e200, "--"},
        {-1e200, "--"},
        {1.0000001e100, "--"},
        {kNaN, "--"},
        {1e50, "--"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatClock(c.hours), c.text) << c.hours;
}

TEST(OverlayFormat, AngleRoundsToTheSecondAndSignsTheDegrees) {
    struct Case {
        double degrees;
        std::string text;
    } const cases[] = {
        {5.5, Angle("05", "30", "00")},
        {-0.5, Angle("-0", "30", "00")},
        {-12.5, Angle("-12", "30", "00")},
        {-5.0, Angle("-5", "00", "00")},
        {5.999999, Angle("06", "00", "00")},
        {0.0, Angle("00", "00", "00")},
        {359.99999, Angle("00", "00", "00")},  // 360° folds to 0
        {123.0 + 4.0 / 60 + 5.5 / 3600, Angle("123", "04", "06")},
        {45.0 + 59.0 / 60 + 59.4 / 3600, Angle("45", "59", "59")},
        {-0.0001, Angle("-0", "00", "00")},
        {kNaN, "--"},
        {std::numeric_limits<double>::infinity(), "--"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatAngle(c.degrees), c.text) << c.degrees;
}

TEST(OverlayFormat, DayLengthFromTheSunsClockTimes) {
    struct Case {
        double rise, set;
        const char* text;
    } const cases[] = {
        {6.25, 18.75, "12:30"},  {1e200, 18.5, "24:00"},  // the Sun does not rise
        {1e200, 1e200, "24:00"}, {18.75, 6.25, "12:30"},  // a set before the rise counts the same
        {6.999, 18.0, "11:00"},                           // both taken as the clock shows them
        {5.0, 5.0, "00:00"},     {6.0, 1e200, "--"},  // no set: the marker does not count as a time
        {6.0, -1e200, "--"},     {-1e200, 18.5, "--"},  // the other marker for the rise
        {kNaN, 18.5, "--"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatDayLength(c.rise, c.set), c.text) << c.rise << " " << c.set;
    }
}

TEST(OverlayFormat, HemisphereSuffixesAndTheLunarDay) {
    struct Case {
        double value;
        std::string latitude, longitude;
    } const cases[] = {
        {55.75, Angle("55", "45", "00") + " N", Angle("55", "45", "00") + " E"},
        {-33.5, Angle("33", "30", "00") + " S", Angle("33", "30", "00") + " W"},
        {0.0, Angle("00", "00", "00") + " S", Angle("00", "00", "00") + " W"},
        {-0.25, Angle("00", "15", "00") + " S", Angle("00", "15", "00") + " W"},
        {180.0, Angle("180", "00", "00") + " N", Angle("180", "00", "00") + " E"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatLatitude(c.value), c.latitude) << c.value;
        EXPECT_EQ(FormatLongitude(c.value), c.longitude) << c.value;
    }
    EXPECT_EQ(FormatLunarDay(12, "12 (06:15)"), "12 (06:15)");
    EXPECT_EQ(FormatLunarDay(-1, ""), "--");
    EXPECT_EQ(FormatLunarDay(0, "0"), "--");
    EXPECT_EQ(FormatLunarDay(3, nullptr), "--");
}

TEST(OverlayFormat, FontSizesByScreenWidthAndInPreview) {
    struct Case {
        int width;
        bool preview;
        int title, body;
    } const cases[] = {
        {1920, false, 18, 16}, {1024, false, 18, 16}, {1023, false, 14, 12},
        {800, false, 14, 12},  {1920, true, 0, 14},   {152, true, 0, 14},
    };
    for (const Case& c : cases) {
        const OverlayFontSizes sizes = OverlayFontSizesFor(c.width, c.preview);
        EXPECT_EQ(sizes.title, c.title) << c.width << " " << c.preview;
        EXPECT_EQ(sizes.body, c.body) << c.width << " " << c.preview;
    }
}

TEST(OverlayFormat, TextScalesWithLargeAndDenseScreensButNotInPreview) {
    struct Case {
        int width, height, dpi;
        bool preview;
        double scale;
        int title, body;
    } const cases[] = {
        {800, 600, 0, false, 1.0, 14, 12},
        {1920, 1080, 0, false, 1.0, 18, 16},
        {1080, 1920, 0, false, 1.0, 18, 16},
        {2560, 1080, 0, false, 1.0, 18, 16},
        {2560, 1440, 0, false, 4.0 / 3, 24, 21},
        {3840, 2160, 0, false, 2.0, 36, 32},
        {2160, 3840, 0, false, 2.0, 36, 32},
        {1920, 1080, 96, false, 1.0, 18, 16},
        {1920, 1080, 144, false, 1.5, 27, 24},
        {3840, 2160, 192, false, 2.0, 36, 32},
        {1280, 1024, 9600, false, 8.0, 144, 128},
        {3840, 2160, 192, true, 1.0, 0, 14},
        {0, 0, 0, false, 1.0, 14, 12},
    };
    for (const Case& c : cases) {
        const double scale = OverlayTextScale(c.width, c.height, c.dpi, c.preview);
        EXPECT_DOUBLE_EQ(scale, c.scale) << c.width << "x" << c.height << " " << c.dpi;
        const OverlayFontSizes sizes = OverlayFontSizesFor(c.width, c.preview, scale);
        EXPECT_EQ(sizes.title, c.title) << c.width << "x" << c.height << " " << c.dpi;
        EXPECT_EQ(sizes.body, c.body) << c.width << "x" << c.height << " " << c.dpi;
    }
}

TEST(OverlayFormat, CaptionFadesInStaysFadesOutAndEndsInFullScreen) {
    OverlayState state;
    double alpha = -1.0;
    double peak = 0.0;
    int firstDrawn = 0, lastDrawn = 0;
    double at99 = 0.0, at200 = 0.0, at300 = 1.0;
    for (int frame = 1; frame <= 1000; ++frame) {
        const bool drawn = CaptionStep(&state, false, &alpha);
        if (drawn && firstDrawn == 0)
            firstDrawn = frame;
        if (drawn)
            lastDrawn = frame;
        if (frame == 50) {
            EXPECT_EQ(alpha, 0.0);
        }
        if (frame == 99)
            at99 = alpha;
        if (frame == 200)
            at200 = alpha;
        if (frame == 300)
            at300 = alpha;
        peak = std::max(peak, alpha);
    }
    EXPECT_EQ(firstDrawn, 4);
    EXPECT_EQ(lastDrawn, 350);
    EXPECT_NEAR(at99, 0.98, 1e-9);
    EXPECT_NEAR(at200, 0.98, 1e-9);
    EXPECT_LE(at300, 0.0 + 1e-9);
    EXPECT_NEAR(peak, 0.98, 1e-9);
    EXPECT_EQ(state.captionFrames, 350);
}

TEST(OverlayFormat, CaptionInPreviewIsOpaqueFromTheFourthFrameForever) {
    OverlayState state;
    double alpha = 0.0;
    for (int frame = 1; frame <= 3; ++frame)
        EXPECT_FALSE(CaptionStep(&state, true, &alpha));
    for (int frame = 4; frame <= 2000; ++frame) {
        ASSERT_TRUE(CaptionStep(&state, true, &alpha)) << frame;
        ASSERT_EQ(alpha, 1.0);
    }
    state.captionFrames = INT32_MAX;  // a preview left running for years
    EXPECT_TRUE(CaptionStep(&state, true, &alpha));
    EXPECT_EQ(state.captionFrames, INT32_MAX);
    EXPECT_EQ(alpha, 1.0);
}

// The Moon's facts: the number forms of both languages at the counts where
// the rules turn (11-14 against 1-4, 21-24, 111), the grouping of the
// distance and what is no value at all.
TEST(OverlayFormat, MoonFactsTakeTheNumberFormsAndGroupTheDistance) {
    struct Form {
        long long count;
        int russian, english;
    } const forms[] = {{0, 2, 2},  {1, 0, 0},  {2, 1, 2},   {4, 1, 2},   {5, 2, 2},
                       {11, 2, 2}, {12, 2, 2}, {14, 2, 2},  {21, 0, 2},  {22, 1, 2},
                       {25, 2, 2}, {29, 2, 2}, {101, 0, 2}, {111, 2, 2}, {112, 2, 2}};
    for (const Form& f : forms) {
        EXPECT_EQ(PluralForm(f.count, true), f.russian) << f.count;
        EXPECT_EQ(PluralForm(f.count, false), f.english) << f.count;
    }

    const char* const daysRu[3] = {"day1", "day2", "day5"};
    const char* const hoursRu[3] = {"h1", "h2", "h5"};
    const char* const days[3] = {"day", "days", "days"};
    const char* const hours[3] = {"hour", "hours", "hours"};
    EXPECT_EQ(FormatMoonAge(13.0 + 9.5 / 24, days, hours, false), "13 days 9 hours");
    EXPECT_EQ(FormatMoonAge(1.0 + 1.0 / 24 + 1e-9, days, hours, false), "1 day 1 hour");
    EXPECT_EQ(FormatMoonAge(21.0 + 22.99 / 24, daysRu, hoursRu, true), "21 day1 22 h2");
    EXPECT_EQ(FormatMoonAge(0.0, daysRu, hoursRu, true), "0 day5 0 h5");
    EXPECT_EQ(FormatMoonAge(-0.1, days, hours, false), "--");
    EXPECT_EQ(FormatMoonAge(kNaN, days, hours, false), "--");

    EXPECT_EQ(FormatDistance(360389.4, "km", false), "360,389 km");
    EXPECT_EQ(FormatDistance(405999.5, "km", true), "406 000 km");
    EXPECT_EQ(FormatDistance(999.0, "km", false), "999 km");
    EXPECT_EQ(FormatDistance(0.0, "km", false), "--");
    EXPECT_EQ(FormatDistance(kNaN, "km", false), "--");

    EXPECT_EQ(FormatIlluminated(0.957), "96 %");
    EXPECT_EQ(FormatIlluminated(0.0), "0 %");
    EXPECT_EQ(FormatIlluminated(1.0), "100 %");
    EXPECT_EQ(FormatIlluminated(1.5), "--");
    EXPECT_EQ(FormatIlluminated(kNaN), "--");
}

}  // namespace
