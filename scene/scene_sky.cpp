#include "scene/scene_sky.h"

#include "ephemeris/observer.h"
#include "ephemeris/time_base.h"

SkyReport skyReport;

void SceneRefreshSky() {
    const CivilTime now = ReadClock(observer.utcOffsetHours);
    UpdateSkyReport(skyReport, observer, now, MachineZoneOffsetAt);
}
