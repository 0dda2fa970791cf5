#include "shell/palette.h"

#include <cstdlib>
#include <new>
#include <vector>

#include "platform/registry_store.h"
#include "shell/glscrnsv.h"
#include "shell/sswindow.h"

namespace {

// Where nothing provides colour maps, nothing can be made or realised.
PaletteHandle NoDefault() {
    return 0;
}
int NoEntries(PaletteHandle, int, int, PALETTEENTRY*) {
    return 0;
}
PaletteHandle NoCreate(uint16_t, int, const PALETTEENTRY*) {
    return 0;
}
int NoDelete(PaletteHandle) {
    return 0;
}
PaletteHandle NoSelect(DeviceContext, PaletteHandle, int) {
    return 0;
}
int NoRealize(DeviceContext) {
    return -1;
}
uint32_t NoGetUse(DeviceContext) {
    return SYSPAL_ERROR;
}
uint32_t NoSetUse(DeviceContext, uint32_t) {
    return SYSPAL_ERROR;
}
COLORREF NoGetColour(int) {
    return 0;
}
int NoSetColours(int, const int*, const COLORREF*) {
    return 0;
}
void NoBroadcast() {}

const PaletteServices kNoPaletteServices = {
    NoDefault, NoEntries, NoCreate, NoDelete,    NoSelect,     NoRealize,
    NoDelete,  NoGetUse,  NoSetUse, NoGetColour, NoSetColours, NoBroadcast,
};

const char kModule[] = "palette";

const uint8_t kRamp1[2] = {0, 255};
const uint8_t kRamp2[4] = {0, 116, 191, 255};
const uint8_t kRamp3[8] = {0, 63, 104, 139, 171, 200, 229, 255};

const COLORREF kWhite = PALETTERGB(255, 255, 255);
const COLORREF kBlack = PALETTERGB(0, 0, 0);

int gSysColorElements[gNumStaticColors];
COLORREF gSavedColours[gNumStaticColors];
PALETTEENTRY gStaticColours[kStaticColourCount];
int gStaticIndex[kStaticColourCount];

// The longest colour text read from the store, as the registry read allows.
constexpr uint32_t kColourValueMax = 64;

// The component intensity of palette index i for one channel.
uint8_t Component(uint32_t index, int bits, int shift) {
    if (bits < 1 || bits > 3) {
        SaverAssertFailed("nbits >= 1 && nbits <= 3", kModule);
    }
    uint32_t value = (index >> shift) & ((1u << bits) - 1u);
    return SaverPaletteRamp(bits, value);
}

bool Is332(const PixelFormatDescription& f) {
    return f.cRedBits == 3 && f.cRedShift == 0 && f.cGreenBits == 3 && f.cGreenShift == 3 &&
           f.cBlueBits == 2 && f.cBlueShift == 6;
}

bool SameColour(const PALETTEENTRY& a, const PALETTEENTRY& b) {
    return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue;
}

int Square(int v) {
    return v * v;
}

// Finds an entry of the 3-3-2 palette for each of the default palette's
// static colours: the first exact match where there is one, otherwise the
// nearest entry not yet taken.
void FitStaticColours(const std::vector<PALETTEENTRY>& pe332) {
    PaletteHandle hpalStock = paletteServices->getDefaultPalette();
    if (hpalStock == 0) {
        SaverAssertFailed("hpalStock != 0", kModule);
    }
    if (paletteServices->getPaletteEntries(hpalStock, 0, 0, nullptr) != kStaticColourCount) {
        SaverAssertFailed("GetPaletteEntries(hpalStock, 0, 0, 0) == 20", kModule);
    }
    paletteServices->getPaletteEntries(hpalStock, 0, kStaticColourCount, gStaticColours);

    bool matched[kStaticColourCount] = {};
    bool taken[256] = {};
    for (int k = 0; k < kStaticColourCount; ++k) {
        for (int i = 0; i < 256; ++i) {
            if (SameColour(pe332[static_cast<size_t>(i)], gStaticColours[k])) {
                if (taken[i]) {
                    SaverAssertFailed("pe332->peFlags != 1", kModule);
                }
                matched[k] = true;
                taken[i] = true;
                gStaticIndex[k] = i;
                break;
            }
        }
    }
    for (int k = 0; k < kStaticColourCount; ++k) {
        if (matched[k]) {
            continue;
        }
        int best = 0x30001;  // above the largest possible distance
        int bestIndex = 0;
        for (int i = 0; i < 256; ++i) {
            if (taken[i]) {
                continue;
            }
            const PALETTEENTRY& e = pe332[static_cast<size_t>(i)];
            int score = Square(e.peRed - gStaticColours[k].peRed) +
                        Square(e.peGreen - gStaticColours[k].peGreen) +
                        Square(e.peBlue - gStaticColours[k].peBlue);
            if (score < best) {
                best = score;
                bestIndex = i;
            }
        }
        gStaticIndex[k] = bestIndex;
        taken[bestIndex] = true;
    }
}

// Builds the logical palette of the record's format; 0 when the platform
// cannot make it.
PaletteHandle BuildPalette(SaverPalette* pal) {
    const PixelFormatDescription& f = pal->format;
    // Only formats of up to 8 colour bits have a palette; a wider one would
    // ask for millions of entries, so none is made.
    if (f.cColorBits < 1 || f.cColorBits > 8) {
        return 0;
    }
    pal->entries = 1u << f.cColorBits;
    std::vector<PALETTEENTRY> entries(pal->entries);
    for (uint32_t i = 0; i < pal->entries; ++i) {
        PALETTEENTRY& e = entries[i];
        e.peRed = Component(i, f.cRedBits, f.cRedShift);
        e.peGreen = Component(i, f.cGreenBits, f.cGreenShift);
        e.peBlue = Component(i, f.cBlueBits, f.cBlueShift);
        e.peFlags = PC_NOCOLLAPSE;
    }
    if (pal->entries == 256) {
        if (pal->manageStatic) {
            // Black and white stay the system's own in the 3-3-2 layout.
            entries[0].peFlags = 0;
            entries[255].peFlags = 0;
        } else if (Is332(f)) {
            FitStaticColours(entries);
            for (int k = 0; k < kStaticColourCount; ++k) {
                PALETTEENTRY& e = entries[static_cast<size_t>(gStaticIndex[k])];
                e = gStaticColours[k];
                e.peFlags = 0;
            }
        }
    }
    return paletteServices->createPalette(kLogPaletteVersion, static_cast<int>(pal->entries),
                                          entries.data());
}

// Empties the system palette, so that the next realisation maps every entry
// afresh instead of reusing what another program left there.
void FlushSystemPalette(SaverPalette* pal, DeviceContext dc) {
    if (pal->entries != 256) {
        return;
    }
    std::vector<PALETTEENTRY> black(256);
    for (PALETTEENTRY& e : black) {
        e.peFlags = PC_RESERVED | PC_NOCOLLAPSE;
    }
    PaletteHandle flush = paletteServices->createPalette(kLogPaletteVersion, 256, black.data());
    if (flush == 0) {
        return;
    }
    PaletteHandle previous = paletteServices->selectPalette(dc, flush, 0);
    paletteServices->realizePalette(dc);
    if (previous != 0) {
        paletteServices->selectPalette(dc, previous, 0);
    }
    paletteServices->deletePalette(flush);
}

void InitElements() {
    for (int i = 0; i < gNumStaticColors; ++i) {
        gSysColorElements[i] = i;
    }
}

// Black and white for the whole interface, so that all other entries of the
// system palette are free for the saver.
bool TakeOverSystemColours(SaverPalette* pal, DeviceContext dc) {
    if (pal->coloursReplaced) {
        return true;
    }
    if (paletteServices->setSystemPaletteUse(dc, SYSPAL_NOSTATIC) != SYSPAL_STATIC) {
        return false;
    }
    InitElements();
    for (int i = 0; i < gNumStaticColors; ++i) {
        gSavedColours[i] = paletteServices->getSysColor(gSysColorElements[i]);
    }
    pal->coloursReplaced = true;
    paletteServices->setSysColors(gNumStaticColors, gSysColorElements, kSysColorReplacements);
    paletteServices->broadcastSysColorChange();
    return true;
}

// "R G B" as three decimal numbers separated by blanks, each cut to its low
// 8 bits. false when the text does not start with three numbers.
bool ParseColour(const char* text, COLORREF* colour) {
    long long parts[3];
    const char* p = text;
    for (long long& part : parts) {
        char* end = nullptr;
        part = std::strtoll(p, &end, 10);
        if (end == p) {
            return false;
        }
        p = end;
    }
    *colour = RGB(static_cast<uint8_t>(parts[0] & 0xFF), static_cast<uint8_t>(parts[1] & 0xFF),
                  static_cast<uint8_t>(parts[2] & 0xFF));
    return true;
}

// The user's own colours from the store; a value that is absent, not text,
// longer than a colour text can be or not three numbers keeps the colour
// saved at the take-over.
void ReadUserColours() {
    RegistryKey key;
    if (!RegistryOpenKey(kRegistryCurrentUser, "Control Panel\\Colors", kRegistryRead, &key)) {
        return;
    }
    for (int i = 0; i < gNumStaticColors; ++i) {
        char text[kColourValueMax + 1] = {};
        uint32_t type = kRegistryTypeNone;
        uint32_t size = kColourValueMax;
        if (!RegistryQueryValue(&key, kSysColorValueNames[i], &type, text, &size) ||
            type != kRegistryTypeString) {
            continue;
        }
        text[size < kColourValueMax ? size : kColourValueMax] = '\0';
        COLORREF colour = 0;
        if (ParseColour(text, &colour)) {
            gSavedColours[i] = colour;
        }
    }
    RegistryCloseKey(&key);
}

void GiveBackSystemColours(SaverPalette* pal, DeviceContext dc) {
    if (!pal->coloursReplaced) {
        return;
    }
    ReadUserColours();
    pal->coloursReplaced = false;
    paletteServices->setSystemPaletteUse(dc, SYSPAL_STATIC);
    InitElements();
    paletteServices->setSysColors(gNumStaticColors, gSysColorElements, gSavedColours);
    paletteServices->broadcastSysColorChange();
}

SaverPalette* StatePalette() {
    return shellState != nullptr ? shellState->palette : nullptr;
}

SaverWindow* RecordOf(HWND hwnd) {
    return shellState != nullptr ? WindowTableFind(shellState, hwnd) : nullptr;
}

// Selects the palette and realises it: the result, or -1 when either fails.
int SelectAndRealize(PaletteHandle palette, DeviceContext dc, int background) {
    if (paletteServices->selectPalette(dc, palette, background) == 0) {
        return -1;
    }
    return paletteServices->realizePalette(dc);
}

int UnrealizeSelectAndRealize(PaletteHandle palette, DeviceContext dc, int background) {
    bool unrealized = paletteServices->unrealizeObject(palette) != 0;
    bool selected = paletteServices->selectPalette(dc, palette, background) != 0;
    return unrealized && selected ? paletteServices->realizePalette(dc) : -1;
}

WPARAM Inactive() {
    return shellState != nullptr && shellState->active ? 0 : 1;
}

}  // namespace

const PaletteServices* paletteServices = &kNoPaletteServices;

const char* const kSysColorValueNames[gNumStaticColors] = {
    "Scrollbar",     "Background",     "ActiveTitle",  "InactiveTitle", "Menu",
    "Window",        "WindowFrame",    "MenuText",     "WindowText",    "TitleText",
    "ActiveBorder",  "InactiveBorder", "AppWorkspace", "Hilight",       "HilightText",
    "ButtonFace",    "ButtonShadow",   "GrayText",     "ButtonText",    "InactiveTitleText",
    "ButtonHilight", "ButtonDkShadow", "ButtonLight",  "InfoText",      "InfoWindow",
};

const COLORREF kSysColorReplacements[gNumStaticColors] = {
    kWhite, kBlack, kBlack, kWhite, kWhite, kWhite, kBlack, kBlack, kBlack,
    kWhite, kWhite, kWhite, kWhite, kBlack, kWhite, kWhite, kBlack, kBlack,
    kBlack, kBlack, kBlack, kBlack, kWhite, kBlack, kWhite,
};

uint8_t SaverPaletteRamp(int bits, uint32_t value) {
    switch (bits) {
        case 1:
            return kRamp1[value & 1u];
        case 2:
            return kRamp2[value & 3u];
        case 3:
            return kRamp3[value & 7u];
        default:
            return 0;
    }
}

const int* SaverPaletteStaticIndices() {
    return gStaticIndex;
}

const COLORREF* SaverPaletteSavedColours() {
    return gSavedColours;
}

SaverPalette* SaverPaletteCreate(DeviceContext dc, const PixelFormatDescription& format,
                                 bool fullScreen) {
    auto* pal = new (std::nothrow) SaverPalette;
    if (pal == nullptr) {
        return nullptr;
    }
    pal->fullScreen = fullScreen;
    pal->manageStatic = fullScreen || (format.dwFlags & PFD_NEED_SYSTEM_PALETTE) != 0;
    pal->needsFlush = !fullScreen;
    pal->coloursReplaced = false;
    pal->format = format;
    if (pal->manageStatic) {
        pal->savedPaletteUse = paletteServices->getSystemPaletteUse(dc);
    }
    pal->palette = BuildPalette(pal);
    if (pal->palette == 0) {
        SaverAssertFailed("hPal", kModule);
    }
    return pal;
}

int SaverPaletteRealize(SaverPalette* pal, HWND hwnd, DeviceContext dc, bool background) {
    pal->window = hwnd;
    pal->dc = dc;
    int bg = background ? 1 : 0;
    if (pal->fullScreen) {
        paletteServices->setSystemPaletteUse(dc, SYSPAL_NOSTATIC);
        paletteServices->selectPalette(dc, pal->palette, bg);
        paletteServices->realizePalette(dc);
        return 1;
    }
    if (pal->needsFlush) {
        FlushSystemPalette(pal, dc);
        pal->needsFlush = false;
    }
    if (!pal->manageStatic) {
        return SelectAndRealize(pal->palette, dc, 0);
    }
    if (background) {
        GiveBackSystemColours(pal, dc);
        return UnrealizeSelectAndRealize(pal->palette, dc, 1);
    }
    if (TakeOverSystemColours(pal, dc)) {
        return UnrealizeSelectAndRealize(pal->palette, dc, 0);
    }
    return UnrealizeSelectAndRealize(pal->palette, dc, 1);
}

LRESULT SaverPaletteFullScreenMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
    SaverPalette* pal = StatePalette();
    SaverWindow* record = RecordOf(hwnd);
    if (pal == nullptr) {
        return 0;
    }
    switch (message) {
        case WM_ACTIVATE:
            if (pal->manageStatic && record != nullptr) {
                paletteServices->setSystemPaletteUse(
                    record->dc, wParam != 0 ? SYSPAL_NOSTATIC : pal->savedPaletteUse);
            }
            SendMessageA(hwnd, WM_SS_REALIZE, wParam, 0);
            return 0;
        case WM_SS_REALIZE:
            // The palette stays selected from the first realisation.
            if (record != nullptr && record->dc != 0) {
                paletteServices->unrealizeObject(pal->palette);
                paletteServices->realizePalette(record->dc);
            }
            return 0;
        default:
            return 0;
    }
}

LRESULT SaverPaletteWindowedMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
    SaverPalette* pal = StatePalette();
    if (pal == nullptr) {
        return 0;
    }
    switch (message) {
        case WM_ACTIVATE:
            SendMessageA(hwnd, WM_SS_REALIZE, Inactive(), 0);
            return 0;
        case WM_SYSCOLORCHANGE: {
            // The record takes the new handle even when the build failed, and
            // is then without a palette until a later rebuild works.
            PaletteHandle fresh = BuildPalette(pal);
            if (fresh != 0) {
                if (pal->palette != 0) {
                    paletteServices->deletePalette(pal->palette);
                }
                pal->needsFlush = true;
            }
            pal->palette = fresh;
            SendMessageA(hwnd, WM_SS_REALIZE, Inactive(), 0);
            return 0;
        }
        case WM_QUERYNEWPALETTE:
            if (shellState != nullptr && shellState->mode == RUN_PREVIEW) {
                SendMessageA(hwnd, WM_SS_REALIZE, Inactive(), 0);
                return 0;
            }
            return 1;
        case WM_PALETTECHANGED:
            if (static_cast<HWND>(wParam) == hwnd ||
                (shellState != nullptr && shellState->active)) {
                return 0;
            }
            SendMessageA(hwnd, WM_SS_REALIZE, 1, 0);
            return 0;
        case WM_SS_REALIZE: {
            SaverWindow* record = RecordOf(hwnd);
            if (record != nullptr && record->glContext != 0) {
                SaverPaletteRealize(pal, record->hwnd, record->dc, wParam != 0);
            }
            return 0;
        }
        default:
            return 0;
    }
}

void SaverPaletteTearDown(DeviceContext glWindowDc) {
    SaverPalette* pal = StatePalette();
    if (pal == nullptr) {
        return;
    }
    pal->dc = glWindowDc;
    // Colours still taken over (the window closed while in the foreground)
    // go back too: otherwise the desktop would stay black and white.
    GiveBackSystemColours(pal, glWindowDc);
    if (pal->manageStatic) {
        if (pal->savedPaletteUse != 0) {
            paletteServices->setSystemPaletteUse(glWindowDc, pal->savedPaletteUse);
        }
        paletteServices->broadcastSysColorChange();
    }
    if (pal->palette != 0) {
        PaletteHandle stock = paletteServices->getDefaultPalette();
        if (stock != 0) {
            paletteServices->selectPalette(glWindowDc, stock, 1);
        }
        paletteServices->deletePalette(pal->palette);
    }
    delete pal;
    shellState->palette = nullptr;
}

void SaverPaletteResetForTests() {
    for (COLORREF& c : gSavedColours) {
        c = 0;
    }
    for (int& i : gStaticIndex) {
        i = 0;
    }
    paletteServices = &kNoPaletteServices;
}
