#pragma once

#include <cstdint>

// Parses YYYY-MM-DDTHH:MM:SSZ (a real calendar instant in UTC), the form the
// tools' --at options take. Returns 1 on success, 0 for anything else.
int ParseUtcInstant(const char* text, int64_t& secondsSinceEpoch);
