#include "scene/scene_state.h"

SceneState sceneState;
