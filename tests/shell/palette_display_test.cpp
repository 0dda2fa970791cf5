// GoogleTest first: Xlib defines None, which GoogleTest uses as a name.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <vector>

#include "platform/x11_palette.h"
#include "platform/x11_window.h"
#include "shell/glscrnsv.h"
#include "shell/palette.h"
#include "shell/sswindow.h"
#include "tests/shell/fake_scene.h"

namespace {

// The X11 colour-map services with every call counted.
int paletteCalls = 0;
const PaletteServices* x11 = nullptr;

const PaletteServices kCounting = {
    [] { return ++paletteCalls, x11->getDefaultPalette(); },
    [](PaletteHandle h, int s, int n, PALETTEENTRY* o) {
        return ++paletteCalls, x11->getPaletteEntries(h, s, n, o);
    },
    [](uint16_t v, int n, const PALETTEENTRY* e) {
        return ++paletteCalls, x11->createPalette(v, n, e);
    },
    [](PaletteHandle h) { return ++paletteCalls, x11->deletePalette(h); },
    [](DeviceContext dc, PaletteHandle h, int bg) {
        return ++paletteCalls, x11->selectPalette(dc, h, bg);
    },
    [](DeviceContext dc) { return ++paletteCalls, x11->realizePalette(dc); },
    [](PaletteHandle h) { return ++paletteCalls, x11->unrealizeObject(h); },
    [](DeviceContext dc) { return ++paletteCalls, x11->getSystemPaletteUse(dc); },
    [](DeviceContext dc, uint32_t u) { return ++paletteCalls, x11->setSystemPaletteUse(dc, u); },
    [](int e) { return ++paletteCalls, x11->getSysColor(e); },
    [](int n, const int* e, const COLORREF* c) {
        return ++paletteCalls, x11->setSysColors(n, e, c);
    },
    [] { ++paletteCalls, x11->broadcastSysColorChange(); },
};

// On a true-colour display (every X server here: GLX serves no colour-mapped
// visuals) the whole life of the saver window passes without a palette.
TEST(PaletteOnX11Test, TrueColourDisplayNeverEntersThePaletteCode) {
    ASSERT_EQ(X11Open(), 1) << "needs an X display";
    shellServices = X11WindowServices();
    MessageSetSource(X11MessageSource());
    x11 = X11PaletteServices();
    paletteServices = &kCounting;
    ResetFakeScene();

    ShellState state;
    state.mode = RUN_TEST_WINDOW;
    shellState = &state;
    state.options = SaverConfigure();
    state.glRequestFlags = GL_REQUEST_DOUBLE_BUFFER | GL_REQUEST_DEPTH_16;
    bool other = false;
    ASSERT_EQ(SaverCreateMainWindow(&state, &other), 1);
    state.glWindow = state.mainWindow;
    state.glWindow->glConfig = &state.glRequestFlags;
    HWND hwnd = state.mainWindow->hwnd;
    DeviceContext dc = state.mainWindow->dc;
    ASSERT_GT(shellServices->deviceColourDepth(dc), 8);

    PixelFormatDescription d;
    int formats = shellServices->describePixelFormat(dc, 1, &d);
    ASSERT_GT(formats, 0);
    for (int i = 1; i <= formats; ++i) {
        ASSERT_GT(shellServices->describePixelFormat(dc, i, &d), 0);
        EXPECT_EQ(d.dwFlags & PFD_NEED_PALETTE, 0u) << "format " << i;
    }

    ASSERT_EQ(SaverStartGl(state.mainWindow), 1);
    EXPECT_NE(state.mainWindow->glContext, 0u);
    EXPECT_EQ(state.palette, nullptr);
    for (UINT m :
         {WM_ACTIVATE, WM_SYSCOLORCHANGE, WM_QUERYNEWPALETTE, WM_PALETTECHANGED, WM_SS_REALIZE}) {
        EXPECT_EQ(SendMessageA(hwnd, m, 1, 0), 0) << m;
    }
    EXPECT_EQ(paletteCalls, 0);

    // Even when asked directly, the back end leaves a true-colour window's
    // colormap alone.
    Display* dpy = X11Display();
    XWindowAttributes before;
    ASSERT_TRUE(XGetWindowAttributes(dpy, hwnd, &before));
    std::vector<PALETTEENTRY> grey(256);
    PaletteHandle palette = x11->createPalette(kLogPaletteVersion, 256, grey.data());
    ASSERT_NE(palette, 0u);
    EXPECT_NE(x11->selectPalette(dc, palette, 0), 0u);
    EXPECT_EQ(x11->realizePalette(dc), -1);
    XWindowAttributes after;
    ASSERT_TRUE(XGetWindowAttributes(dpy, hwnd, &after));
    EXPECT_EQ(after.colormap, before.colormap);
    x11->deletePalette(palette);

    paletteCalls = 0;
    DestroyWindow(hwnd);
    EXPECT_EQ(paletteCalls, 0);
    EXPECT_EQ(state.mainWindow, nullptr);
    shellState = nullptr;
}

}  // namespace
