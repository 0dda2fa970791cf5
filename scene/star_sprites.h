#pragma once

#include <cstdint>

#include "scene/star_field.h"

// The twinkling stars' cores as textured sprites. A core is a lit sphere a
// pixel or two across whose 128 facets and own light position made it the
// costliest part of the star field in software. Its colour does not depend
// on the star's brightness (which is only its alpha) and its facets never
// overlap, so one picture of each core, drawn once at the star's own place
// to the pixel and laid down with the star's alpha, gives the same pixels.

struct StarSprite {
    double corners[4][3] = {};  // world corners of the sprite, anticlockwise from lower left
    double texture[2][2] = {};  // lower-left and upper-right texture coordinates
    int32_t box[4] = {};        // pixels the whole star may touch: x0, y0, x1, y1 (exclusive)
};

struct StarSprites {
    unsigned int texture = 0;
    unsigned int framebuffer = 0;
    int32_t viewport[4] = {0, 0, 0, 0};  // the viewport the cores were drawn for
    bool preview = false;
    StarSprite sprites[kTwinkleStars];
    float normal[3] = {0.0f, 0.0f, 1.0f};  // the current normal a core's sphere leaves
    int32_t draws = 0;                     // how often the cores were drawn (for checks)
    bool hidden[kTwinkleStars] = {};       // the star lies wholly behind the opaque Moon
    bool valid = false;
};

// Draws the cores again when the window or the mode changed. Returns false
// when the sprites cannot be made (the cores are then drawn as spheres).
bool StarSpritesPrepare(StarSprites& sprites);

// Lays down the core of star `index` with the current colour (the star's
// brightness as alpha); in place of SolidSphere inside DrawTwinkleStar.
void StarSpritesDrawCore(const StarSprites& sprites, int32_t index);

// Releases the texture and the buffer.
void StarSpritesForget(StarSprites& sprites);
