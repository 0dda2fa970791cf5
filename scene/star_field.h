#pragma once

#include <cstdint>

// The twinkling stars and the flare star, and their 32 ms animation step.
constexpr int32_t kTwinkleStars = 100;  // N
constexpr int32_t kFlareStars = 1;      // M

struct StarField {
    // Entries kTwinkleStars ... kTwinkleStars + kFlareStars - 1 are the flare stars.
    double x[kTwinkleStars + kFlareStars] = {};
    double y[kTwinkleStars + kFlareStars] = {};
    double size[kTwinkleStars] = {};        // sprite size, 0.2 ... 0.9992
    double angle[kTwinkleStars] = {};       // sprite rotation about the view axis, degrees
    double base[kTwinkleStars] = {};        // lowest brightness, 0 ... 0.3996
    double phase[kTwinkleStars] = {};       // twinkle phase offset, 0 ... 9.99
    double brightness[kTwinkleStars] = {};  // current brightness (sprite alpha)
    double animationClock = -0.2;           // T
    double flareSize = 0;                   // 0 ... 12
    double flareAlpha = 0;                  // 0 ... 1
    bool flareRepositioned = true;          // moved since its last flare
    // The next flare position is drawn from the random generator seeded with
    // the second in which the stars were last drawn, when they were drawn
    // since the last position was taken.
    bool flareSeedPending = false;
    unsigned flareSeed = 0;
};

extern StarField starField;

// Fills `starField` from the random generator and the scene's world size.
void CreateStarField();

// The stars were drawn in this second (the clock's seconds since 1970):
// the seed of the flare's next position.
void StarFieldNoteDrawn(int64_t second);

// One tick: advances T by 0.015, updates every star's twinkle and the
// flare's size, opacity and position.
void StarAnimationStep();

// The twinkle formula: swings between `base` and 1 with a period of 0.4.
double TwinkleBrightness(double base, double phase, double clock);
