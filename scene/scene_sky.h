#pragma once

#include "ephemeris/sky_report.h"

// The sky the scene shows: the report of the last refresh, read by the
// overlay and by the Moon's light.
extern SkyReport skyReport;

// Reads the clock and the machine's zone and recomputes skyReport for the
// observer's place.
void SceneRefreshSky();
