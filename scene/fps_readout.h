#pragma once

#include <cstdint>
#include <string>

// The --fps readout: frames a second and the share of one processor the
// saver used, measured over about a second and drawn in the bottom-left
// corner of every frame, as screen-saver hacks show it.

struct FpsMeter {
    int64_t startMs = -1;  // start of the current measuring interval
    double startCpuSeconds = 0.0;
    int frames = 0;    // frames drawn in the interval
    std::string text;  // the last figures, or empty before the first second
};

// Counts one frame at nowMs with cpuSeconds of processor time used so far;
// after a second or more, the figures of that interval become the text.
void FpsMeterFrame(FpsMeter* meter, int64_t nowMs, double cpuSeconds);

// The after-frame hook of the saver's --fps: counts the frame and draws the
// text over it with the scene's default font (GL context current).
void FpsReadoutDraw(uint32_t window);
