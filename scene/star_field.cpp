#include "scene/star_field.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "scene/scene_state.h"

StarField starField;

namespace {

// A random integer 0 ... 999.
int Random1000() {
    return std::rand() % 1000;
}

}  // namespace

void CreateStarField() {
    StarField& field = starField;
    field = StarField{};
    for (int32_t i = 0; i < kTwinkleStars; ++i) {
        field.x[i] = Random1000() * sceneState.worldWidth * 0.001;
        field.y[i] = Random1000() * sceneState.worldHeight * 0.001;
        field.size[i] = Random1000() * 0.0008 + 0.2;
        field.base[i] = Random1000() * 0.0004;
        field.phase[i] = Random1000() * 0.01;
        field.brightness[i] = 1.0;
        field.angle[i] = (std::rand() % 4 - 2) * 45.0;
    }
    for (int32_t j = 0; j < kFlareStars; ++j) {
        field.x[kTwinkleStars + j] = 20;
        field.y[kTwinkleStars + j] = 30;
    }
}

void StarFieldNoteDrawn(int64_t second) {
    starField.flareSeed = static_cast<unsigned>(second);
    starField.flareSeedPending = true;
}

double TwinkleBrightness(double base, double phase, double clock) {
    return base + (1 - base) / 2 * (1 + std::cos((10 * clock + phase) * std::numbers::pi / 2));
}

void StarAnimationStep() {
    StarField& field = starField;
    field.animationClock += 0.015;
    const double clock = field.animationClock;
    for (int32_t i = 0; i < kTwinkleStars; ++i) {
        field.brightness[i] = TwinkleBrightness(field.base[i], field.phase[i], clock);
    }
    const double m = std::fmod(clock, 8.0);
    if (m >= 0 && m <= 2) {
        const double c = std::cos(std::numbers::pi * m);
        field.flareSize = 6 - 6 * c;
        field.flareAlpha = 0.5 - 0.5 * c;
        field.flareRepositioned = false;
    } else if (!field.flareRepositioned) {
        if (field.flareSeedPending) {
            std::srand(field.flareSeed);
            field.flareSeedPending = false;
        }
        for (int32_t j = 0; j < kFlareStars; ++j) {
            field.x[kTwinkleStars + j] = Random1000() * sceneState.worldWidth * 0.001;
            field.y[kTwinkleStars + j] = Random1000() * sceneState.worldHeight * 0.001;
        }
        field.flareRepositioned = true;
    }
}
