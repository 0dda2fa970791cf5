#pragma once

// The process's scheduling priority as a nice value (lower runs sooner).
// Raising it needs privileges; without them the change fails silently.

constexpr int kPriorityHigh = -10;

int PlatformGetPriority();
void PlatformSetPriority(int nice);
