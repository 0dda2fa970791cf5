#include "scene/fps_readout.h"

#include <GL/gl.h>
#include <sys/resource.h>
#include <time.h>

#include <cstdio>

#include "scene/bitmap_text.h"

namespace {

FpsMeter readoutMeter;

int64_t MonotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

void FpsMeterFrame(FpsMeter* meter, int64_t nowMs, double cpuSeconds) {
    if (meter->startMs < 0 || nowMs < meter->startMs) {
        meter->startMs = nowMs;
        meter->startCpuSeconds = cpuSeconds;
        meter->frames = 0;
        return;
    }
    ++meter->frames;
    int64_t elapsedMs = nowMs - meter->startMs;
    if (elapsedMs < 1000) {
        return;
    }
    double seconds = static_cast<double>(elapsedMs) / 1000.0;
    double cpuShare = (cpuSeconds - meter->startCpuSeconds) / seconds * 100.0;
    char text[64];
    std::snprintf(text, sizeof text, "FPS: %.1f  CPU: %.0f%%", meter->frames / seconds,
                  cpuShare < 0.0 ? 0.0 : cpuShare);
    meter->text = text;
    meter->startMs = nowMs;
    meter->startCpuSeconds = cpuSeconds;
    meter->frames = 0;
}

void FpsReadoutDraw(uint32_t) {
    FpsMeterFrame(&readoutMeter, MonotonicMs(), ProcessCpuSeconds());
    const std::string& text =
        readoutMeter.text.empty() ? std::string("FPS: ...") : readoutMeter.text;

    // Window pixels, whatever projection the scene left.
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glDisable(GL_FOG);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_COLOR_MATERIAL);
    for (GLenum plane = GL_CLIP_PLANE0; plane <= GL_CLIP_PLANE5; ++plane) {
        glDisable(plane);
    }
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, viewport[2] > 0 ? viewport[2] : 1, 0.0, viewport[3] > 0 ? viewport[3] : 1, -1.0,
            1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    TextFont* previous = TextSelectFont(textState.defaultFont);
    TextSize size = TextMeasure(text.c_str());
    // A dark box behind the text keeps it readable over the Moon and the stars.
    glColor3d(0.0, 0.0, 0.0);
    glRectd(4.0, 4.0, 12.0 + size.cx, 8.0 + size.cy);
    glColor3d(1.0, 1.0, 0.0);
    glRasterPos2d(8.0, 8.0);
    TextDrawLast();
    TextSelectFont(previous);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}
