#pragma once

#include <cstdint>

#include "platform/window_services.h"

// The colour-map services of displays with 256 colours or fewer, as slots:
// logical palettes, their selection into a device context and realisation,
// the use of the system palette, the default palette and the colours of the
// system's interface elements. The X11 layer fills them for the real
// program (platform/x11_palette.h); tests fill them with a recording fake.

using PaletteHandle = uintptr_t;  // 0 is none
using COLORREF = uint32_t;        // 0x00BBGGRR, with 0x02 in the top byte: palette-relative

struct PALETTEENTRY {
    uint8_t peRed = 0;
    uint8_t peGreen = 0;
    uint8_t peBlue = 0;
    uint8_t peFlags = 0;
};

// Entry flags.
constexpr uint8_t PC_RESERVED = 0x01;    // the entry will be animated: never shared
constexpr uint8_t PC_EXPLICIT = 0x02;    // the entry names a system palette index
constexpr uint8_t PC_NOCOLLAPSE = 0x04;  // take a free system entry, do not reuse a match

// System palette use.
constexpr uint32_t SYSPAL_ERROR = 0;
constexpr uint32_t SYSPAL_STATIC = 1;    // the static colours are the system's
constexpr uint32_t SYSPAL_NOSTATIC = 2;  // all but black and white are the program's

constexpr uint16_t kLogPaletteVersion = 0x300;

constexpr COLORREF RGB(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<COLORREF>(r) | static_cast<COLORREF>(g) << 8 |
           static_cast<COLORREF>(b) << 16;
}
constexpr COLORREF PALETTERGB(uint8_t r, uint8_t g, uint8_t b) {
    return 0x02000000u | RGB(r, g, b);
}

struct PaletteServices {
    // The platform's default palette (the static colours), or 0.
    PaletteHandle (*getDefaultPalette)();
    // Copies entries [start, start + count) of a palette to out and returns
    // how many were copied; with out null, returns the palette's size. 0 on failure.
    int (*getPaletteEntries)(PaletteHandle palette, int start, int count, PALETTEENTRY* out);
    // A logical palette of `count` entries; 0 on failure.
    PaletteHandle (*createPalette)(uint16_t version, int count, const PALETTEENTRY* entries);
    int (*deletePalette)(PaletteHandle palette);
    // Selects the palette into the device context as a background or a
    // foreground palette; returns the previous palette, 0 on failure.
    PaletteHandle (*selectPalette)(DeviceContext dc, PaletteHandle palette, int background);
    // Maps the selected palette onto the system palette; the number of
    // entries that changed, or -1 on failure.
    int (*realizePalette)(DeviceContext dc);
    // Makes the next realisation map the palette afresh. 1 on success.
    int (*unrealizeObject)(PaletteHandle palette);
    uint32_t (*getSystemPaletteUse)(DeviceContext dc);
    // Returns the previous use, SYSPAL_ERROR on failure.
    uint32_t (*setSystemPaletteUse)(DeviceContext dc, uint32_t use);
    // The colour of an interface element (ids 0 to 24).
    COLORREF (*getSysColor)(int element);
    int (*setSysColors)(int count, const int* elements, const COLORREF* colours);
    // Posts WM_SYSCOLORCHANGE to every top-level window.
    void (*broadcastSysColorChange)();
};
