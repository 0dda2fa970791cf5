#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/registry_store.h"
#include "platform/timers.h"
#include "shell/glscrnsv.h"
#include "shell/palette.h"
#include "shell/sswindow.h"
#include "tests/shell/fake_palette.h"
#include "tests/shell/fake_platform.h"
#include "tests/shell/fake_scene.h"
#include "tests/support/temporary_store.h"

namespace {

// The intensities of a component of 1, 2 and 3 bits.
const std::vector<std::vector<int>> kRamps = {
    {}, {0, 255}, {0, 116, 191, 255}, {0, 63, 104, 139, 171, 200, 229, 255}};

// The entries the standard static colours take in a 3-3-2 palette.
const std::vector<int> kStandardIndices = {0,   3,   24, 27, 64, 67, 88,  173, 181, 236,
                                           247, 164, 91, 7,  56, 63, 192, 199, 248, 255};

constexpr uint32_t kGlPalette =
    PFD_SUPPORT_OPENGL | PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER | PFD_NEED_PALETTE;

PixelFormatDescription Format(int rBits, int rShift, int gBits, int gShift, int bBits, int bShift,
                              uint32_t extraFlags = 0) {
    PixelFormatDescription f;
    f.dwFlags = kGlPalette | extraFlags;
    f.iPixelType = PFD_TYPE_RGBA;
    f.cColorBits = rBits + gBits + bBits;
    f.cDepthBits = 16;
    f.cRedBits = rBits;
    f.cRedShift = rShift;
    f.cGreenBits = gBits;
    f.cGreenShift = gShift;
    f.cBlueBits = bBits;
    f.cBlueShift = bShift;
    return f;
}

PixelFormatDescription Format332(uint32_t extraFlags = 0) {
    return Format(3, 0, 3, 3, 2, 6, extraFlags);
}

// The colour the format's ramps give palette index i.
PALETTEENTRY RampColour(const PixelFormatDescription& f, int i) {
    auto part = [i](int bits, int shift) {
        return static_cast<uint8_t>(kRamps[static_cast<size_t>(bits)]
                                          [static_cast<size_t>((i >> shift) & ((1 << bits) - 1))]);
    };
    return PALETTEENTRY{part(f.cRedBits, f.cRedShift), part(f.cGreenBits, f.cGreenShift),
                        part(f.cBlueBits, f.cBlueShift), 0};
}

bool SameColour(const PALETTEENTRY& a, const PALETTEENTRY& b) {
    return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue;
}

int Distance(const PALETTEENTRY& a, const PALETTEENTRY& b) {
    int r = a.peRed - b.peRed, g = a.peGreen - b.peGreen, bl = a.peBlue - b.peBlue;
    return r * r + g * g + bl * bl;
}

// Checks the fitting against its rule: an exact match takes the first entry
// of its colour; every other static colour takes the nearest entry that no
// exact match and no earlier static colour took, the lowest index on a tie.
void ExpectFittedByTheRule(const std::vector<PALETTEENTRY>& stock, const std::vector<int>& index) {
    PixelFormatDescription f = Format332();
    std::vector<bool> exact(20, false);
    for (size_t k = 0; k < 20; ++k) {
        for (int i = 0; i < 256; ++i) {
            if (SameColour(RampColour(f, i), stock[k])) {
                exact[k] = true;
                EXPECT_EQ(index[k], i) << "static colour " << k << " matches exactly";
                break;
            }
        }
    }
    std::vector<bool> taken(256, false);
    for (size_t k = 0; k < 20; ++k) {
        if (exact[k]) {
            taken[static_cast<size_t>(index[k])] = true;
        }
    }
    for (size_t k = 0; k < 20; ++k) {
        if (exact[k]) {
            continue;
        }
        int chosen = index[k];
        ASSERT_FALSE(taken[static_cast<size_t>(chosen)]) << "static colour " << k;
        int d = Distance(RampColour(f, chosen), stock[k]);
        for (int j = 0; j < 256; ++j) {
            if (taken[static_cast<size_t>(j)] || j == chosen) {
                continue;
            }
            int dj = Distance(RampColour(f, j), stock[k]);
            EXPECT_TRUE(dj > d || (dj == d && j > chosen))
                << "static colour " << k << ": entry " << j << " is nearer than " << chosen;
        }
        taken[static_cast<size_t>(chosen)] = true;
    }
}

std::vector<int> StaticIndices() {
    const int* p = SaverPaletteStaticIndices();
    return std::vector<int>(p, p + 20);
}

// A run set up as the shell does it on a display of 256 colours, up to a
// started GL context, with the settings in a temporary store.
class PaletteTest : public TemporaryStore {
  protected:
    ShellState state;
    HWND hwnd = 0;

    void SetUp() override {
        TemporaryStore::SetUp();
        state = ShellState{};
        hwnd = 0;
        ResetFakePlatform();
        ResetFakeScene();
        ResetFakePalette();
        unsetenv("XSCREENSAVER_WINDOW");
        saverPixelFormatWait = [](uint32_t) {};
    }
    void TearDown() override {
        if (shellState != nullptr && shellState->mainWindow != nullptr) {
            DestroyWindow(shellState->mainWindow->hwnd);
        }
        SaverResetForTests();
        SaverPaletteResetForTests();
        saverPixelFormatWait = Sleep;
        MessageReset();
        TemporaryStore::TearDown();
    }
    void Start(RunMode mode, const PixelFormatDescription& format) {
        fake.formats = {format};
        fake.colourDepth = format.cColorBits;
        fake.existing.push_back(321);
        state.mode = mode;
        state.previewParent = mode == RUN_PREVIEW ? 321 : 0;
        shellState = &state;
        state.options = SaverConfigure();
        state.glRequestFlags = GL_REQUEST_DOUBLE_BUFFER | GL_REQUEST_DEPTH_16;
        bool other = false;
        ASSERT_EQ(SaverCreateMainWindow(&state, &other), 1);
        state.glWindow = state.mainWindow;
        state.glWindow->glConfig = &state.glRequestFlags;
        hwnd = state.mainWindow->hwnd;
        state.active = mode != RUN_PREVIEW;
        SendMessageA(hwnd, WM_PAINT, 0, 0);
        DispatchPending();
        ASSERT_NE(state.mainWindow->glContext, 0u);
    }
    PaletteHandle Palette() const { return state.palette != nullptr ? state.palette->palette : 0; }
    std::string P() const { return std::to_string(Palette()); }
    void WriteColour(const char* name, uint32_t type, const std::string& bytes) {
        RegistryKey root, key;
        ASSERT_EQ(RegistryOpenKey(kRegistryCurrentUser, "", kRegistryWrite, &root), 1);
        ASSERT_EQ(RegistryCreateKey(&root, "Control Panel\\Colors", kRegistryWrite, &key), 1);
        ASSERT_EQ(
            RegistrySetValue(&key, name, type, bytes.data(), static_cast<uint32_t>(bytes.size())),
            1);
    }
};

TEST_F(PaletteTest, ThreeThreeTwoPaletteHoldsTheRampsAndTheStaticColours) {
    ASSERT_NO_FATAL_FAILURE(Start(RUN_PREVIEW, Format332()));
    ASSERT_NE(state.palette, nullptr);
    EXPECT_FALSE(state.palette->manageStatic);
    EXPECT_EQ(state.palette->entries, 256u);
    const std::vector<PALETTEENTRY>& e = CreatedEntries(Palette());
    ASSERT_EQ(e.size(), 256u);

    EXPECT_EQ(StaticIndices(), kStandardIndices);
    std::vector<int> staticAt(256, -1);
    for (size_t k = 0; k < 20; ++k) {
        staticAt[static_cast<size_t>(kStandardIndices[k])] = static_cast<int>(k);
    }
    PixelFormatDescription f = Format332();
    for (int i = 0; i < 256; ++i) {
        int k = staticAt[static_cast<size_t>(i)];
        const PALETTEENTRY& got = e[static_cast<size_t>(i)];
        if (k >= 0) {
            EXPECT_TRUE(SameColour(got, kStandardStaticColours[k])) << "entry " << i;
            EXPECT_EQ(got.peFlags, 0) << "entry " << i;
        } else {
            EXPECT_TRUE(SameColour(got, RampColour(f, i))) << "entry " << i;
            EXPECT_EQ(got.peFlags, PC_NOCOLLAPSE) << "entry " << i;
        }
    }
    // Black, the six primaries and secondaries and white are in the ramps.
    for (int k : {0, 13, 14, 15, 16, 17, 18, 19}) {
        EXPECT_TRUE(SameColour(RampColour(f, kStandardIndices[static_cast<size_t>(k)]),
                               kStandardStaticColours[k]))
            << "static colour " << k;
    }
    ExpectFittedByTheRule(device.stock, StaticIndices());
}

TEST_F(PaletteTest, FittingFollowsTheRuleForAnyDefaultPalette) {
    // Exact matches are placed before any nearest one, a taken entry is
    // never given twice, and equal distances go to the lower index.
    device.stock = {{2, 2, 2, 0}, {1, 1, 1, 0}, {0, 0, 0, 0}};
    device.stock.insert(device.stock.end(), kStandardStaticColours + 3,
                        kStandardStaticColours + 20);
    ASSERT_NO_FATAL_FAILURE(Start(RUN_PREVIEW, Format332()));
    std::vector<int> index = StaticIndices();
    EXPECT_EQ(index[2], 0);  // black, exactly
    EXPECT_EQ(index[0], 1);  // (63,0,0) and (0,63,0) tie; the lower index wins
    EXPECT_EQ(index[1], 8);  // entry 1 is taken: (0,63,0)
    std::vector<int> sorted = index;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
    ExpectFittedByTheRule(device.stock, index);
    const std::vector<PALETTEENTRY>& e = CreatedEntries(Palette());
    for (size_t k = 0; k < 20; ++k) {
        EXPECT_TRUE(SameColour(e[static_cast<size_t>(index[k])], device.stock[k]));
    }
}

TEST_F(PaletteTest, FormatsOfOtherLayoutsGetRampsOnly) {
    struct Case {
        const char* what;
        PixelFormatDescription format;
    };
    const Case cases[] = {
        {"4 bits, 1-2-1", Format(1, 0, 2, 1, 1, 3)},
        {"16 colours, blue low", Format(1, 3, 1, 2, 2, 0)},
        {"8 colours, 1-1-1", Format(1, 0, 1, 1, 1, 2)},
        {"64 colours, 2-2-2", Format(2, 0, 2, 2, 2, 4)},
        {"256 colours, 2-3-3", Format(2, 0, 3, 2, 3, 5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        ASSERT_NO_FATAL_FAILURE(Start(RUN_PREVIEW, c.format));
        ASSERT_NE(state.palette, nullptr);
        uint32_t n = 1u << c.format.cColorBits;
        EXPECT_EQ(state.palette->entries, n);
        const std::vector<PALETTEENTRY>& e = CreatedEntries(Palette());
        ASSERT_EQ(e.size(), n);
        for (uint32_t i = 0; i < n; ++i) {
            EXPECT_TRUE(SameColour(e[i], RampColour(c.format, static_cast<int>(i)))) << i;
            EXPECT_EQ(e[i].peFlags, PC_NOCOLLAPSE) << i;
        }
        // Only a palette of 256 entries flushes the system palette first.
        size_t created =
            std::count_if(device.calls.begin(), device.calls.end(),
                          [](const std::string& s) { return s.rfind("create", 0) == 0; });
        EXPECT_EQ(created, n == 256 ? 2u : 1u);
        EXPECT_EQ(device.selected, Palette());
    }
}

TEST_F(PaletteTest, ImpossiblePalettesStopTheProgram) {
    struct Case {
        const char* what;
        PixelFormatDescription format;
        void (*prepare)();
        const char* assertion;
    };
    const Case cases[] = {
        {"4-bit component", Format(4, 0, 2, 4, 2, 6), nullptr, "nbits >= 1 && nbits <= 3"},
        {"missing component", Format(4, 0, 4, 4, 0, 0), nullptr, "nbits >= 1 && nbits <= 3"},
        {"no default palette", Format332(), [] { device.noStock = true; }, "hpalStock != 0"},
        {"19 static colours", Format332(), [] { device.stock.pop_back(); },
         "GetPaletteEntries\\(hpalStock, 0, 0, 0\\) == 20"},
        {"the same static colour twice", Format332(), [] { device.stock[19] = device.stock[0]; },
         "pe332->peFlags != 1"},
        {"no palette made", Format332(), [] { device.failCreate = true; }, "hPal"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        if (c.prepare != nullptr) {
            c.prepare();
        }
        EXPECT_DEATH(Start(RUN_PREVIEW, c.format), c.assertion);
    }
}

TEST_F(PaletteTest, RealisedBeforeTheContextIsMade) {
    static bool contextMade;
    contextMade = true;
    device.onRealize = [] {
        contextMade =
            std::find(fake.calls.begin(), fake.calls.end(), "createContext") != fake.calls.end();
    };
    ASSERT_NO_FATAL_FAILURE(Start(RUN_TEST_WINDOW, Format332()));
    EXPECT_FALSE(contextMade);
    EXPECT_EQ(state.palette->messageHandler, SaverPaletteWindowedMessage);
}

// Full screen: the whole palette but black and white is the saver's; the
// system palette use follows activation; the interface colours stay.
TEST_F(PaletteTest, FullScreenSwitchesThePaletteUseAndNeverTheColours) {
    ASSERT_NO_FATAL_FAILURE(Start(RUN_FULL_SCREEN, Format332()));
    ASSERT_NE(state.palette, nullptr);
    EXPECT_TRUE(state.palette->manageStatic);
    EXPECT_EQ(state.palette->messageHandler, SaverPaletteFullScreenMessage);
    const std::vector<PALETTEENTRY>& e = CreatedEntries(Palette());
    ASSERT_EQ(e.size(), 256u);
    for (size_t i = 0; i < 256; ++i) {
        EXPECT_TRUE(SameColour(e[i], RampColour(Format332(), static_cast<int>(i)))) << i;
        EXPECT_EQ(e[i].peFlags, i == 0 || i == 255 ? 0 : PC_NOCOLLAPSE) << i;
    }
    EXPECT_EQ(device.systemPaletteUse, SYSPAL_NOSTATIC);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"create 256", "use 2",
                                                      "select " + P() + " foreground", "realize"}));

    struct Step {
        UINT message;
        WPARAM wParam;
        uint32_t use;  // the system palette use afterwards
        std::vector<std::string> calls;
    };
    const std::vector<Step> steps = {
        {WM_ACTIVATE, WA_INACTIVE, SYSPAL_STATIC, {"use 1", "unrealize " + P(), "realize"}},
        {WM_ACTIVATE, WA_ACTIVE, SYSPAL_NOSTATIC, {"use 2", "unrealize " + P(), "realize"}},
        {WM_SYSCOLORCHANGE, 0, SYSPAL_NOSTATIC, {}},
        {WM_QUERYNEWPALETTE, 0, SYSPAL_NOSTATIC, {}},
        {WM_PALETTECHANGED, 999, SYSPAL_NOSTATIC, {}},
        {WM_SS_REALIZE, 0, SYSPAL_NOSTATIC, {"unrealize " + P(), "realize"}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.message);
        device.calls.clear();
        EXPECT_EQ(SendMessageA(hwnd, s.message, s.wParam, 0), 0);
        EXPECT_EQ(device.systemPaletteUse, s.use);
        EXPECT_EQ(device.calls, s.calls);
    }
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(device.colours[i], FakeUserColour(i));
    }

    PaletteHandle palette = Palette();
    device.calls.clear();
    DestroyWindow(hwnd);
    EXPECT_EQ(device.calls,
              (std::vector<std::string>{"use 1", "broadcast", "select stock background",
                                        "delete " + std::to_string(palette)}));
    EXPECT_EQ(state.palette, nullptr);
    EXPECT_TRUE(device.palettes.empty());
}

// Windowed: the answers to activation and the two palette messages.
TEST_F(PaletteTest, WindowedHandlerAnswers) {
    struct Case {
        const char* what;
        RunMode mode;
        uint32_t formatFlags;
        int activeBefore;
        UINT message;
        WPARAM wParam;  // kSelf: the saver window
        LRESULT result;
        std::vector<std::string> calls;  // "P" stands for the palette
    };
    constexpr WPARAM kSelf = ~WPARAM{0};
    const std::vector<Case> cases = {
        {"activation realises in the foreground",
         RUN_TEST_WINDOW,
         0,
         0,
         WM_ACTIVATE,
         WA_ACTIVE,
         0,
         {"select P foreground", "realize"}},
        {"without system palette the background is foreground too",
         RUN_TEST_WINDOW,
         0,
         1,
         WM_ACTIVATE,
         WA_INACTIVE,
         0,
         {"select P foreground", "realize"}},
        {"deactivation with the system palette realises in the background",
         RUN_TEST_WINDOW,
         PFD_NEED_SYSTEM_PALETTE,
         1,
         WM_ACTIVATE,
         WA_INACTIVE,
         0,
         {"use 1", "set colours 25", "broadcast", "unrealize P", "select P background", "realize"}},
        {"the test window does not answer for a new palette",
         RUN_TEST_WINDOW,
         0,
         1,
         WM_QUERYNEWPALETTE,
         0,
         1,
         {}},
        {"the preview realises for a new palette",
         RUN_PREVIEW,
         0,
         0,
         WM_QUERYNEWPALETTE,
         0,
         0,
         {"select P foreground", "realize"}},
        {"its own palette change is ignored",
         RUN_TEST_WINDOW,
         PFD_NEED_SYSTEM_PALETTE,
         0,
         WM_PALETTECHANGED,
         kSelf,
         0,
         {}},
        {"another's change while active is ignored",
         RUN_TEST_WINDOW,
         0,
         1,
         WM_PALETTECHANGED,
         999,
         0,
         {}},
        {"another's change while inactive realises in the background",
         RUN_TEST_WINDOW,
         PFD_NEED_SYSTEM_PALETTE,
         0,
         WM_PALETTECHANGED,
         999,
         0,
         {"use 1", "set colours 25", "broadcast", "unrealize P", "select P background", "realize"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        ASSERT_NO_FATAL_FAILURE(Start(c.mode, Format332(c.formatFlags)));
        state.active = c.activeBefore;
        device.calls.clear();
        WPARAM wParam = c.wParam == kSelf ? hwnd : c.wParam;
        EXPECT_EQ(SendMessageA(hwnd, c.message, wParam, 0), c.result);
        std::vector<std::string> expected;
        for (std::string s : c.calls) {
            size_t at = s.find(" P");
            if (at != std::string::npos) {
                s.replace(at + 1, 1, P());
            }
            expected.push_back(s);
        }
        EXPECT_EQ(device.calls, expected);
    }
}

TEST_F(PaletteTest, TrueColourDisplayMakesNoPalette) {
    PixelFormatDescription f = Format332();
    f.dwFlags &= ~PFD_NEED_PALETTE;
    f.cColorBits = 24;
    ASSERT_NO_FATAL_FAILURE(Start(RUN_TEST_WINDOW, f));
    EXPECT_EQ(state.palette, nullptr);
    for (UINT m :
         {WM_ACTIVATE, WM_SYSCOLORCHANGE, WM_QUERYNEWPALETTE, WM_PALETTECHANGED, WM_SS_REALIZE}) {
        EXPECT_EQ(SendMessageA(hwnd, m, 1, 0), 0) << m;
    }
    DestroyWindow(hwnd);
    EXPECT_TRUE(device.calls.empty());
}

// The system palette is emptied once before the first realisation and again
// after every rebuild, never in between.
TEST_F(PaletteTest, FlushesBeforeTheFirstRealisationAndAfterEachRebuild) {
    auto flushes = [] {
        // A flush is a palette of 256 black reserved entries, selected in the
        // foreground, realised and thrown away.
        std::vector<PaletteHandle> found;
        for (PaletteHandle h : device.created) {
            const std::vector<PALETTEENTRY>& e = CreatedEntries(h);
            bool black = e.size() == 256 && std::all_of(e.begin(), e.end(), [](auto p) {
                             return p.peRed == 0 && p.peGreen == 0 && p.peBlue == 0 &&
                                    p.peFlags == (PC_RESERVED | PC_NOCOLLAPSE);
                         });
            if (black) {
                found.push_back(h);
            }
        }
        return found;
    };
    ASSERT_NO_FATAL_FAILURE(Start(RUN_PREVIEW, Format332()));
    ASSERT_EQ(flushes().size(), 1u);
    std::string first = std::to_string(flushes()[0]);
    std::vector<std::string> startCalls(device.calls.begin() + 1, device.calls.end());
    EXPECT_EQ(startCalls,
              (std::vector<std::string>{"create 256", "select " + first + " foreground", "realize",
                                        "select stock foreground", "delete " + first,
                                        "select " + P() + " foreground", "realize"}));

    SendMessageA(hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
    SendMessageA(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(flushes().size(), 1u);

    PaletteHandle old = Palette();
    device.calls.clear();
    SendMessageA(hwnd, WM_SYSCOLORCHANGE, 0, 0);
    ASSERT_EQ(flushes().size(), 2u);
    std::string second = std::to_string(flushes()[1]);
    EXPECT_NE(Palette(), old);
    EXPECT_EQ(device.palettes.count(old), 0u);  // the old palette is deleted
    auto at = [](const std::string& call) {
        return std::find(device.calls.begin(), device.calls.end(), call) - device.calls.begin();
    };
    EXPECT_LT(at("delete " + std::to_string(old)), at("select " + second + " foreground"));
    EXPECT_LT(at("delete " + second), at("select " + P() + " foreground"));
    EXPECT_EQ(device.selected, Palette());

    // A rebuild that cannot make a palette leaves none; realising fails
    // until a later rebuild works.
    device.failCreate = true;
    SendMessageA(hwnd, WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(Palette(), 0u);
    EXPECT_EQ(SaverPaletteRealize(state.palette, hwnd, hwnd, false), -1);
    device.failCreate = false;
    SendMessageA(hwnd, WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_NE(Palette(), 0u);
    EXPECT_EQ(SaverPaletteRealize(state.palette, hwnd, hwnd, false), 256);
}

void ExpectReplaced() {
    // White and black, palette-relative, as the table of elements gives them.
    const std::vector<int> white = {0, 3, 4, 5, 9, 10, 11, 12, 14, 15, 22, 24};
    for (int i = 0; i < 25; ++i) {
        bool isWhite = std::find(white.begin(), white.end(), i) != white.end();
        EXPECT_EQ(device.colours[i], isWhite ? 0x02FFFFFFu : 0x02000000u) << "element " << i;
    }
}

// A test window whose format needs the system palette takes the interface
// colours over in the foreground and gives them back in the background.
TEST_F(PaletteTest, TakeOverAndGiveBackLeaveEveryElementAsItWas) {
    ASSERT_NO_FATAL_FAILURE(Start(RUN_TEST_WINDOW, Format332(PFD_NEED_SYSTEM_PALETTE)));
    ASSERT_TRUE(state.palette->manageStatic);
    EXPECT_TRUE(state.palette->coloursReplaced);
    EXPECT_EQ(device.systemPaletteUse, SYSPAL_NOSTATIC);
    EXPECT_FALSE(device.selectedBackground);
    ExpectReplaced();
    // Entries 0 and 255 stay the system's; no static colours are fitted.
    const std::vector<PALETTEENTRY>& e = CreatedEntries(Palette());
    EXPECT_EQ(e[0].peFlags, 0);
    EXPECT_EQ(e[255].peFlags, 0);
    EXPECT_TRUE(SameColour(e[3], RampColour(Format332(), 3)));

    for (int round = 0; round < 2; ++round) {
        SendMessageA(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
        EXPECT_FALSE(state.palette->coloursReplaced);
        EXPECT_EQ(device.systemPaletteUse, SYSPAL_STATIC);
        EXPECT_TRUE(device.selectedBackground);
        for (int i = 0; i < 25; ++i) {
            EXPECT_EQ(device.colours[i], FakeUserColour(i)) << "element " << i;
        }
        SendMessageA(hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
        ExpectReplaced();
    }
}

// At the give-back the stored colours win; what cannot be read as one keeps
// the colour saved at the take-over.
TEST_F(PaletteTest, GiveBackReadsTheStoredColours) {
    std::string z(1, '\0');
    WriteColour("Scrollbar", kRegistryTypeString, "1 2 3" + z);
    WriteColour("Background", kRegistryTypeString, "300 -1 7" + z);  // low 8 bits
    WriteColour("ActiveTitle", kRegistryTypeString, "12 34" + z);
    WriteColour("InactiveTitle", kRegistryTypeString, "1 2 3" + std::string(70, ' ') + z);
    WriteColour("Menu", kRegistryTypeDword, std::string("\x01\x02\x03\x00", 4));
    WriteColour("Window", kRegistryTypeString, " 9\t8 7 and more" + z);
    WriteColour("WindowFrame", kRegistryTypeString, "red" + z);
    WriteColour("MenuText", kRegistryTypeString, z);
    WriteColour("WindowText", kRegistryTypeString, "5 6 7");  // no terminating zero
    WriteColour("Hilight", kRegistryTypeString, "4 5 6" + std::string(58, ' ') + z);  // 64 bytes
    WriteColour("HilightText", kRegistryTypeString, "4 5 6" + std::string(59, ' ') + z);
    WriteColour("InfoWindow", kRegistryTypeString, "255 255 225" + z);

    ASSERT_NO_FATAL_FAILURE(Start(RUN_TEST_WINDOW, Format332(PFD_NEED_SYSTEM_PALETTE)));
    SendMessageA(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
    std::vector<COLORREF> expected;
    for (int i = 0; i < 25; ++i) {
        expected.push_back(FakeUserColour(i));
    }
    expected[0] = RGB(1, 2, 3);
    expected[1] = RGB(44, 255, 7);
    expected[5] = RGB(9, 8, 7);
    expected[8] = RGB(5, 6, 7);
    expected[13] = RGB(4, 5, 6);
    expected[24] = RGB(255, 255, 225);
    EXPECT_EQ(std::vector<COLORREF>(device.colours, device.colours + 25), expected);
}

// Closing while in the foreground gives the colours back as well: the
// desktop must not stay black and white after the saver.
TEST_F(PaletteTest, ClosingInTheForegroundGivesTheColoursBack) {
    ASSERT_NO_FATAL_FAILURE(Start(RUN_TEST_WINDOW, Format332(PFD_NEED_SYSTEM_PALETTE)));
    ExpectReplaced();
    DestroyWindow(hwnd);
    EXPECT_EQ(state.palette, nullptr);
    EXPECT_EQ(device.systemPaletteUse, SYSPAL_STATIC);
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(device.colours[i], FakeUserColour(i)) << "element " << i;
    }
    EXPECT_TRUE(device.palettes.empty());
}

// When the system palette was not in static use, nothing is taken over and
// the palette is realised in the background instead.
TEST_F(PaletteTest, FailedTakeOverRealisesInTheBackground) {
    device.systemPaletteUse = SYSPAL_NOSTATIC;
    ASSERT_NO_FATAL_FAILURE(Start(RUN_TEST_WINDOW, Format332(PFD_NEED_SYSTEM_PALETTE)));
    EXPECT_FALSE(state.palette->coloursReplaced);
    EXPECT_TRUE(device.selectedBackground);
    EXPECT_EQ(std::count(device.calls.begin(), device.calls.end(), "set colours 25"), 0);
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(device.colours[i], FakeUserColour(i));
    }
}

}  // namespace
