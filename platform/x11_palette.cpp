#include "platform/x11_palette.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <map>
#include <vector>

#include "platform/messages.h"
#include "platform/x11_window.h"

namespace {

constexpr PaletteHandle kStockPalette = 1;

// The 20 static colours of a standard system, in order.
const PALETTEENTRY kStandardStatic[20] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
    {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
    {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
    {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
};

// The interface colours the saver starts with: the standard scheme.
constexpr int kElements = 25;
const COLORREF kStandardColours[kElements] = {
    RGB(192, 192, 192), RGB(0, 128, 128),   RGB(0, 0, 128),     RGB(128, 128, 128),
    RGB(192, 192, 192), RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),
    RGB(0, 0, 0),       RGB(255, 255, 255), RGB(192, 192, 192), RGB(192, 192, 192),
    RGB(128, 128, 128), RGB(0, 0, 128),     RGB(255, 255, 255), RGB(192, 192, 192),
    RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(192, 192, 192),
    RGB(255, 255, 255), RGB(0, 0, 0),       RGB(192, 192, 192), RGB(0, 0, 0),
    RGB(255, 255, 225),
};

struct WindowColours {
    PaletteHandle selected = kStockPalette;
    bool background = true;
    Colormap colormap = None;
};

std::map<PaletteHandle, std::vector<PALETTEENTRY>> palettes;
std::map<DeviceContext, WindowColours> windows;
PaletteHandle nextHandle = kStockPalette + 1;
uint32_t systemPaletteUse = SYSPAL_STATIC;
COLORREF colours[kElements];
bool coloursSet = false;

const std::vector<PALETTEENTRY>* Find(PaletteHandle palette) {
    if (palette == kStockPalette) {
        static const std::vector<PALETTEENTRY> stock(kStandardStatic, kStandardStatic + 20);
        return &stock;
    }
    auto it = palettes.find(palette);
    return it == palettes.end() ? nullptr : &it->second;
}

PaletteHandle GetDefault() {
    return kStockPalette;
}

int GetEntries(PaletteHandle palette, int start, int count, PALETTEENTRY* out) {
    const std::vector<PALETTEENTRY>* p = Find(palette);
    if (p == nullptr || start < 0) {
        return 0;
    }
    int size = static_cast<int>(p->size());
    if (out == nullptr) {
        return size;
    }
    int n = 0;
    for (int i = start; i < size && n < count; ++i, ++n) {
        out[n] = (*p)[static_cast<size_t>(i)];
    }
    return n;
}

PaletteHandle Create(uint16_t version, int count, const PALETTEENTRY* entries) {
    if (version != kLogPaletteVersion || count < 1 || count > 256 || entries == nullptr) {
        return 0;
    }
    PaletteHandle h = nextHandle++;
    palettes[h].assign(entries, entries + count);
    return h;
}

int Delete(PaletteHandle palette) {
    return palettes.erase(palette) != 0 ? 1 : 0;
}

PaletteHandle Select(DeviceContext dc, PaletteHandle palette, int background) {
    X11WindowInfo info;
    if (Find(palette) == nullptr || !X11GetWindowInfo(static_cast<HWND>(dc), &info)) {
        return 0;
    }
    WindowColours& w = windows[dc];
    PaletteHandle previous = w.selected;
    w.selected = palette;
    w.background = background != 0;
    return previous;
}

// Writes the selected palette into the window's own colormap, made on the
// first realisation, and installs it when the palette is the foreground one.
int Realize(DeviceContext dc) {
    X11WindowInfo info;
    Display* dpy = X11Display();
    auto it = windows.find(dc);
    if (dpy == nullptr || it == windows.end() || !X11GetWindowInfo(static_cast<HWND>(dc), &info) ||
        info.gone) {
        return -1;
    }
    WindowColours& w = it->second;
    const std::vector<PALETTEENTRY>* p = Find(w.selected);
    XWindowAttributes a;
    X11BeginTrap();
    Status got = XGetWindowAttributes(dpy, info.window, &a);
    if (X11EndTrap() || !got || p == nullptr) {
        return -1;
    }
    if (a.visual->c_class != PseudoColor && a.visual->c_class != GrayScale) {
        return -1;  // fixed colours: nothing to realise
    }
    X11BeginTrap();
    if (w.colormap == None) {
        w.colormap = XCreateColormap(dpy, info.window, a.visual, AllocAll);
        XSetWindowColormap(dpy, info.window, w.colormap);
    }
    int n = static_cast<int>(p->size());
    if (n > a.visual->map_entries) {
        n = a.visual->map_entries;
    }
    std::vector<XColor> cells(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const PALETTEENTRY& e = (*p)[static_cast<size_t>(i)];
        XColor& c = cells[static_cast<size_t>(i)];
        c.pixel = static_cast<unsigned long>(i);
        c.red = static_cast<unsigned short>(e.peRed * 257);
        c.green = static_cast<unsigned short>(e.peGreen * 257);
        c.blue = static_cast<unsigned short>(e.peBlue * 257);
        c.flags = DoRed | DoGreen | DoBlue;
    }
    XStoreColors(dpy, w.colormap, cells.data(), n);
    // Installing is the window manager's business except for a window that
    // holds the input itself (the override-redirect full screen).
    if (!w.background && a.override_redirect) {
        XInstallColormap(dpy, w.colormap);
    }
    XFlush(dpy);
    return X11EndTrap() ? -1 : n;
}

int Unrealize(PaletteHandle palette) {
    // Every realisation writes all cells afresh; nothing is remembered.
    return Find(palette) != nullptr ? 1 : 0;
}

uint32_t GetUse(DeviceContext) {
    return systemPaletteUse;
}

uint32_t SetUse(DeviceContext, uint32_t use) {
    if (use != SYSPAL_STATIC && use != SYSPAL_NOSTATIC) {
        return SYSPAL_ERROR;
    }
    uint32_t previous = systemPaletteUse;
    systemPaletteUse = use;
    return previous;
}

void InitColours() {
    if (!coloursSet) {
        for (int i = 0; i < kElements; ++i) {
            colours[i] = kStandardColours[i];
        }
        coloursSet = true;
    }
}

COLORREF GetColour(int element) {
    InitColours();
    return element >= 0 && element < kElements ? colours[element] : 0;
}

int SetColours(int count, const int* elements, const COLORREF* values) {
    InitColours();
    for (int i = 0; i < count; ++i) {
        if (elements[i] < 0 || elements[i] >= kElements) {
            return 0;
        }
    }
    for (int i = 0; i < count; ++i) {
        colours[elements[i]] = values[i] & 0x00FFFFFFu;
    }
    return 1;
}

void Broadcast() {
    HWND tops[16];
    int n = X11TopLevelWindows(tops, 16);
    for (int i = 0; i < n; ++i) {
        PostMessageA(tops[i], WM_SYSCOLORCHANGE, 0, 0);
    }
}

const PaletteServices kX11PaletteServices = {
    GetDefault, GetEntries, Create, Delete,    Select,     Realize,
    Unrealize,  GetUse,     SetUse, GetColour, SetColours, Broadcast,
};

}  // namespace

const PaletteServices* X11PaletteServices() {
    return &kX11PaletteServices;
}
