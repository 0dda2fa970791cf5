#pragma once

#include <cstdint>

// What the scene keeps for the life of the process: filled at start-up from
// the run's options (scene/scene_options.h), read by every frame.
struct SceneState {
    bool preview = false;         // the shell runs in preview mode
    bool showText = true;         // draw the information overlay
    bool showStars = true;        // draw the star field
    bool skyView = false;         // the Moon turned and librated as in the observer's sky
    bool showMoonFacts = false;   // the Moon's facts in the overlay
    bool placeDefaulted = false;  // latitude or longitude fell back to a default
    int32_t frameCounter = -1;    // incremented at the start of every frame; first frame is 0
    float skyColour[3] = {5.0f / 255.0f, 10.0f / 255.0f, 30.0f / 255.0f};
    double worldWidth = 125.0;
    double worldHeight = 100.0;
};

extern SceneState sceneState;
