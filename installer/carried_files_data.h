#pragma once

// The embedded bytes of the carried files, generated at build time
// (carried_files_data.cpp in the build tree) in the order of the copy.

#include <cstdint>

struct CarriedData {
    const uint8_t* begin;
    const uint8_t* end;
};

extern const int kCarriedDataCount;
extern const CarriedData carriedData[];
