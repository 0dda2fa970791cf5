#pragma once

// The files the installer carries inside itself, embedded at build time, in
// the order it writes them. Each is found by its number, as a numbered
// resource: 144 + step, with the count in string 104 and the file names in
// strings 200 + step.

#include <cstddef>
#include <cstdint>

constexpr int kCarriedCountString = 104;
constexpr int kCarriedFirstNameString = 200;
constexpr int kCarriedFirstResource = 144;

struct CarriedFile {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// Copies string resource `id` into buffer (cut to size, always terminated).
// Returns its length, or 0 when there is no such string.
int SetupLoadString(int id, char* buffer, int size);

// The bytes of resource `id`. 0 when the installer carries no such resource.
int SetupFindResource(int id, CarriedFile* file);

// The steps of the copy, by the file each writes.
enum CarriedStep : int {
    kCarriedSaver = 0,  // Nocturo.scr, into the folder of the user's programs
    kCarriedTownEn = 1,
    kCarriedTownRu = 2,
    kCarriedPack = 3,  // unpacked into the large picture, then deleted
    kCarriedSmallPicture = 4,
    kCarriedReadme = 5,
    kCarriedLicense = 6,
};
