#include "ephemeris/sky_report.h"

#include <cmath>

#include "ephemeris/angles.h"
#include "ephemeris/day_events.h"
#include "ephemeris/local_day.h"
#include "ephemeris/moon_face.h"
#include "ephemeris/sidereal_time.h"
#include "ephemeris/sky_cache.h"
#include "ephemeris/time_base.h"
#include "ephemeris/transforms.h"

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

void BodyPlace(const Observer& place, char body, double days, double localSidereal, double& azimuth,
               double& altitude) {
    double alpha, delta;
    ApparentEquatorial(body, days, alpha, delta);
    EquatorialToHorizontal(alpha, delta, localSidereal, place.latitude);
    altitude = delta;
    azimuth = FoldAzimuth(alpha);
}

// The body's first rise and set of the local day as clock hours, or the
// sentinels: before the day for an event the search placed before it (or a
// body below the horizon all day), after it otherwise.
void RiseAndSet(const Observer& place, const LocalDay& day, char body, ZoneOffsetAt zone,
                double& riseHours, double& setHours) {
    const DayEvents events = RiseSetInDayKept(place, day, body);
    auto hours = [&](double t) {
        if (InsideDay(day, t)) {
            return LocalClockHours(day, t, zone);
        }
        return t < day.start ? kEventBeforeDay : kEventAfterDay;
    };
    riseHours = hours(events.rise);
    setHours = hours(events.set);
}

}  // namespace

int UpdateSkyReport(SkyReport& report, const Observer& place, const CivilTime& now,
                    ZoneOffsetAt zone) {
    CivilTime clock = now;
    const double d = DaysSinceJ2000(clock);
    GreenwichSiderealTime(clock);
    const double localSidereal = clock.siderealHours * 15.0 + place.longitude;
    const LocalDay today = LocalDayAt(d, zone);

    SkyReport fresh;
    BodyPlace(place, kBodyMoon, d, localSidereal, fresh.moonAzimuth, fresh.moonAltitude);
    RiseAndSet(place, today, kBodyMoon, zone, fresh.moonRise, fresh.moonSet);
    fresh.lunarDay = LunarDay(place, now, zone, fresh.lunarDayText);
    BodyPlace(place, kBodySun, d, localSidereal, fresh.sunAzimuth, fresh.sunAltitude);
    RiseAndSet(place, today, kBodySun, zone, fresh.sunRise, fresh.sunSet);
    const MoonFace aspect = MoonFaceAt(d, localSidereal, place.latitude);
    fresh.parallacticAngle = aspect.parallacticAngle;
    fresh.axisPositionAngle = aspect.axisPositionAngle;
    fresh.librationLongitude = aspect.librationLongitude;
    fresh.librationLatitude = aspect.librationLatitude;
    fresh.illuminatedFraction = aspect.illuminatedFraction;
    fresh.distanceKm = aspect.distanceKm;
    report = fresh;
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

void SunInMoonFrame(const SkyReport& report, double& x, double& y, double& z) {
    const double a = report.sunAzimuth * kDegToRad;
    const double h = report.sunAltitude * kDegToRad;
    x = std::cos(h) * std::sin(a) * 1e+19;
    z = std::cos(h) * std::cos(a) * (-1e+19);
    y = std::sin(h) * 1e+19;
    RotateAboutAxis(x, y, z, -report.moonAzimuth, 'y');
    RotateAboutAxis(x, y, z, report.moonAltitude, 'x');
}
