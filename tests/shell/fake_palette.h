#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/palette_services.h"

// A colour-mapped display made of plain variables: palettes are numbered
// entry lists, the system palette use and the interface colours are values
// the test reads, and every call that changes something is written down.
struct FakePaletteDevice {
    std::vector<std::string> calls;
    std::vector<PALETTEENTRY> stock;  // the default palette (the standard 20 at reset)
    bool noStock = false;
    std::map<PaletteHandle, std::vector<PALETTEENTRY>> palettes;  // alive, by handle
    std::vector<PaletteHandle> created;                           // in order of creation
    PaletteHandle nextHandle = 1001;
    bool failCreate = false;
    bool failSelect = false;
    PaletteHandle selected = 0;  // the palette in the device context
    bool selectedBackground = false;
    uint32_t systemPaletteUse = SYSPAL_STATIC;
    COLORREF colours[25] = {};      // the interface elements
    void (*onRealize)() = nullptr;  // lets a test look at the rest of the platform then
};

constexpr PaletteHandle kFakeStock = 1;

extern FakePaletteDevice device;
extern const PaletteServices kFakePaletteServices;

// The standard default palette's colours, in order.
extern const PALETTEENTRY kStandardStaticColours[20];

// Resets the device (a standard default palette, the system palette in
// static use, a user colour scheme) and makes it the shell's palette services.
void ResetFakePalette();
// The entries of a palette created so far (alive or deleted).
const std::vector<PALETTEENTRY>& CreatedEntries(PaletteHandle palette);
// The user colour scheme ResetFakePalette gives the interface elements.
COLORREF FakeUserColour(int element);
