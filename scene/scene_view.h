#pragma once

// The projection of the 125 x 100 world seen from the front (the modelview
// matrix left at the identity), and light 0 as the scene starts with it.
// SceneInit sets both; drawing tests and benchmarks set up the same state.
void SceneSetUpProjection();
void SceneSetUpLight();
