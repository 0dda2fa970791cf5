#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/snapshot_options.h"

// Draws the scene offscreen as the saver does (its own SceneInit and
// SceneFrame, one animation tick between frames) with the clock held at the
// options' instant, and returns the last frame as RGBA rows from the top.
// Returns 1 on success, 0 with a one-line reason when no GL context can be had.
int RunSnapshot(const SnapshotOptions& options, std::vector<uint8_t>& rgba, std::string& error);
