#pragma once

// The observer's place and clock offset. One instance for the process:
// the settings fill the place, the sky report recomputes the offset at every
// update, and the rest of the ephemeris only reads it.
struct Observer {
    double latitude = 0.0;        // degrees, north positive
    double longitude = 0.0;       // degrees, east positive
    double utcOffsetHours = 0.0;  // hours east of Greenwich, daylight saving included
};

extern Observer observer;
