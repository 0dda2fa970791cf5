#pragma once

#include <string>

#include "settings/settings_place.h"

// What one run of the scene draws, filled before SceneInit: by the saver from
// the shell and the settings (SceneReadOptions), by nocturo-snapshot from
// those and its command line.

// The size of a Moon picture's path as the settings hold it, with its zero.
constexpr int kSceneTexturePathSize = 100;

struct SceneOptions {
    bool preview = false;  // the shell runs in preview mode
    // The Moon pictures as the settings name them ("null": the installed one).
    char largeTexturePath[kSceneTexturePathSize] = "";  // the full-screen picture
    char smallTexturePath[kSceneTexturePathSize] = "";  // the preview picture
    // The files loaded, as given: a missing one leaves the Moon untextured.
    std::string largePicture;
    std::string smallPicture;
    bool showText = true;        // the information overlay
    bool textPass = true;        // any text at all: the overlay and the caption
    bool showStars = true;       // the star field
    bool skyView = false;        // the Moon turned and librated as in the observer's sky
    bool showMoonFacts = false;  // the Moon's facts in the overlay
    SettingsPlace place;         // the observer's place and whether it fell back
};
