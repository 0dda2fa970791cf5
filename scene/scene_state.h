#pragma once

#include <cstdint>

// What the scene keeps for the life of the process: filled once at start-up,
// read by every frame.
struct SceneState {
    bool preview = false;             // the shell runs in preview mode
    bool showText = true;             // draw the information overlay
    bool showStars = true;            // draw the star field
    bool placeDefaulted = false;      // latitude or longitude fell back to a default
    int32_t frameCounter = -1;        // incremented at the start of every frame; first frame is 0
    char largeTexturePath[100] = "";  // the full-screen Moon picture
    char smallTexturePath[100] = "";  // the preview Moon picture
    float skyColour[3] = {5.0f / 255.0f, 10.0f / 255.0f, 30.0f / 255.0f};
    double worldWidth = 125.0;
    double worldHeight = 100.0;
};

extern SceneState sceneState;
