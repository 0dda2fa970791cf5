#pragma once

// The observer's place and clock offset. The ephemeris takes it as an
// argument; the process-wide instance is the saver's observer: the settings
// fill the place and the scene's clock reading the offset.
struct Observer {
    double latitude = 0.0;        // degrees, north positive
    double longitude = 0.0;       // degrees, east positive
    double utcOffsetHours = 0.0;  // hours east of Greenwich, daylight saving included
};

extern Observer observer;
