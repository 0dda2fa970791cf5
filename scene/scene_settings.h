#pragma once

// What the scene takes from the settings when it starts: the interface
// language, the texture paths, the display flags and the observer's place.

#include <cstdint>

#include "scene/scene_options.h"

// Reads Language (writing 0 back when it is absent or unreadable) and
// selects the interface language and its locale: 0 English, 1 Russian, any
// other value keeps the language already selected.
void SceneReadLanguage();

// Reads the texture paths (an unreadable one becomes "null"), ShowText,
// ShowStar, SkyView and ShowMoonFacts, Latitude and Longitude into `options`;
// run after the language is selected, since the latitude's fallback depends
// on it. Fallbacks are never written back.
void SceneReadSettings(SceneOptions& options);

// Where the standard-time bias (minutes, UTC = local time + bias) comes
// from; tests put their own zone here.
extern int32_t (*sceneStandardBias)();
