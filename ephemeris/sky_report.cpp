#include "ephemeris/sky_report.h"

#include <cmath>

#include "ephemeris/angles.h"
#include "ephemeris/lunar_day.h"
#include "ephemeris/observer.h"
#include "ephemeris/sidereal_time.h"
#include "ephemeris/sky_cache.h"
#include "ephemeris/time_base.h"
#include "ephemeris/transforms.h"

SkyReport skyReport;

double FoldAzimuth(double azimuth) {
    double a = std::fmod(azimuth, 360.0);
    if (a >= 180.0) {
        a -= 360.0;
    }
    if (a <= -180.0) {
        a += 360.0;
    }
    return a;
}

namespace {

void BodyPlace(char body, double days, double localSidereal, double& azimuth, double& altitude) {
    double alpha, delta;
    ApparentEquatorial(body, days, alpha, delta);
    EquatorialToHorizontal(alpha, delta, localSidereal);
    altitude = delta;
    azimuth = FoldAzimuth(alpha);
}

// Today's rise and set of the body in hours after local midnight, with the
// retries on the neighbouring days, then the sentinels.
void RiseAndSet(const CivilTime& now, char body, double& riseHours, double& setHours) {
    CivilTime day;
    day.year = now.year;
    day.month = now.month;
    day.day = now.day;
    day.hour = -observer.utcOffsetHours;
    day.minute = 0;
    day.second = 0;
    const CivilTime given = day;
    const double base = DaysSinceJ2000(day);

    double rise, set;
    RiseSetTimesKept(rise, set, day, body, 1);
    riseHours = (rise - base) * 24.0;
    setHours = (set - base) * 24.0;

    if (riseHours < 0.0) {
        day.day = now.day + 1.0;
        RiseSetTimesKept(rise, set, day, body, 1);
        riseHours = (rise - base) * 24.0;
        day = given;
    }
    if (setHours < 0.0) {
        day.day = now.day + 1.0;
        RiseSetTimesKept(rise, set, day, body, 1);
        setHours = (set - base) * 24.0;
        day = given;
    }
    if (riseHours >= 24.0) {
        day.day = now.day - 1.0;
        RiseSetTimesKept(rise, set, day, body, 1);
        riseHours = (rise - base) * 24.0;
        day = given;
    }
    if (setHours >= 24.0) {
        day.day = now.day - 1.0;
        RiseSetTimesKept(rise, set, day, body, 1);
        setHours = (set - base) * 24.0;
        day = given;
    }

    if (riseHours < 0.0) {
        riseHours = kEventBeforeDay;
    } else if (riseHours >= 24.0) {
        riseHours = kEventAfterDay;
    }
    if (setHours < 0.0) {
        setHours = kEventBeforeDay;
    } else if (setHours >= 24.0) {
        setHours = kEventAfterDay;
    }
}

}  // namespace

int UpdateSkyReport() {
    CivilTime now = ReadClock();
    const double d = DaysSinceJ2000(now);
    GreenwichSiderealTime(now);
    const double localSidereal = now.siderealHours * 15.0 + observer.longitude;

    SkyReport report;
    BodyPlace(kBodyMoon, d, localSidereal, report.moonAzimuth, report.moonAltitude);
    RiseAndSet(now, kBodyMoon, report.moonRise, report.moonSet);
    report.lunarDay = LunarDay(now, report.lunarDayText);
    BodyPlace(kBodySun, d, localSidereal, report.sunAzimuth, report.sunAltitude);
    RiseAndSet(now, kBodySun, report.sunRise, report.sunSet);
    skyReport = report;
    return 1;
}

void RotateAboutAxis(double& x, double& y, double& z, double angle, char axis) {
    const double c = std::cos(angle * kDegToRad);
    const double s = std::sin(angle * kDegToRad);
    const double ox = x, oy = y, oz = z;
    if (axis == 'x') {
        y = oy * c + oz * s;
        z = oz * c - oy * s;
    } else if (axis == 'y') {
        x = ox * c - oz * s;
        z = ox * s + oz * c;
    } else if (axis == 'z') {
        x = ox * c + oy * s;
        y = oy * c - ox * s;
    }
}

void SunInMoonFrame(double& x, double& y, double& z) {
    const double a = skyReport.sunAzimuth * kDegToRad;
    const double h = skyReport.sunAltitude * kDegToRad;
    x = std::cos(h) * std::sin(a) * 1e+19;
    z = std::cos(h) * std::cos(a) * (-1e+19);
    y = std::sin(h) * 1e+19;
    RotateAboutAxis(x, y, z, -skyReport.moonAzimuth, 'y');
    RotateAboutAxis(x, y, z, skyReport.moonAltitude, 'x');
}
