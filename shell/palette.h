#pragma once

#include <cstdint>

#include "platform/messages.h"
#include "platform/palette_services.h"
#include "platform/window_services.h"

// The logical palette of displays with 256 colours or fewer: built from the
// pixel format's colour layout, realised as the saver window gains and loses
// the foreground, and, where the format needs the whole system palette, the
// take-over and give-back of the system's interface colours. On displays
// with more colours no palette is ever made and nothing here runs.

using SaverPaletteHandler = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct SaverPalette {
    PaletteHandle palette = 0;
    bool manageStatic = false;  // full screen, or a format that needs the system palette
    bool fullScreen = false;
    bool needsFlush = false;       // flush the system palette before the next realisation
    bool coloursReplaced = false;  // the system colours are the black and white set
    uint32_t savedPaletteUse = 0;  // the system palette use found at creation
    PixelFormatDescription format;
    SaverPaletteHandler messageHandler = nullptr;
    HWND window = 0;  // those of the last realisation
    DeviceContext dc = 0;
    uint32_t entries = 0;  // 2 to the power of the format's colour bits
};

// The interface elements whose colours are taken over: ids 0 to 24.
constexpr int gNumStaticColors = 25;
// The static colours of the default palette, and the entries of a 3-3-2
// palette they take.
constexpr int kStaticColourCount = 20;

// The platform's colour-map services; a set where nothing exists until the
// program or a test installs one.
extern const PaletteServices* paletteServices;

// Makes the record and builds its palette (stops the program when no palette
// can be made). nullptr when the record cannot be allocated.
SaverPalette* SaverPaletteCreate(DeviceContext dc, const PixelFormatDescription& format,
                                 bool fullScreen);
// Selects and realises the palette; the number of entries realised, or -1.
int SaverPaletteRealize(SaverPalette* pal, HWND hwnd, DeviceContext dc, bool background);
// The message handlers for WM_ACTIVATE, WM_SYSCOLORCHANGE, WM_QUERYNEWPALETTE,
// WM_PALETTECHANGED and WM_SS_REALIZE; they work on the shell state's palette.
LRESULT SaverPaletteFullScreenMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SaverPaletteWindowedMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Gives back the system palette use (and any system colours still taken
// over), deletes the palette and frees the shell state's record.
void SaverPaletteTearDown(DeviceContext glWindowDc);

// What the build works from and leaves behind.

// Component value (1 to 3 bits) to 8-bit intensity.
uint8_t SaverPaletteRamp(int bits, uint32_t value);
// The palette entry each static colour took in the last 3-3-2 fitting.
const int* SaverPaletteStaticIndices();
// The elements' names under "Control Panel\Colors", in element order.
extern const char* const kSysColorValueNames[gNumStaticColors];
// The replacement colours while the system colours are taken over.
extern const COLORREF kSysColorReplacements[gNumStaticColors];
// The colours saved at take-over and refreshed from the store at give-back.
const COLORREF* SaverPaletteSavedColours();
// Back to the state of a fresh process (tests).
void SaverPaletteResetForTests();
