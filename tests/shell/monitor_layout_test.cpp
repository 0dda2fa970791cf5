// One picture per monitor: the layout rule on lists of monitors, and the
// shell handing the scene that layout through its window.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "shell/glscrnsv.h"
#include "shell/monitor_layout.h"
#include "shell/sswindow.h"
#include "shell/sswproc.h"
#include "tests/shell/fake_platform.h"
#include "tests/shell/fake_scene.h"

namespace {

struct Rect {
    int x, y, width, height;
    bool operator==(const Rect&) const = default;
};

std::vector<Rect> LayOut(int width, int height, const std::vector<MonitorRect>& monitors) {
    SaverViewport out[kSaverMaxViewports];
    const int n = SaverLayOutViewports(0, 0, width, height, monitors.data(),
                                       static_cast<int>(monitors.size()), out, kSaverMaxViewports);
    std::vector<Rect> rects;
    for (int i = 0; i < n; ++i) {
        rects.push_back({out[i].x, out[i].y, out[i].width, out[i].height});
    }
    return rects;
}

TEST(MonitorLayout, OneViewportPerMonitorInGlCoordinates) {
    const struct {
        const char* what;
        int width, height;
        std::vector<MonitorRect> monitors;
        std::vector<Rect> expected;
    } cases[] = {
        {"side by side",
         3840,
         1080,
         {{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}},
         {{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}}},
        // X counts rows from the top, GL from the bottom.
        {"one above another",
         1920,
         2160,
         {{0, 0, 1920, 1080}, {0, 1080, 1920, 1080}},
         {{0, 1080, 1920, 1080}, {0, 0, 1920, 1080}}},
        {"different sizes, bottoms not aligned",
         4480,
         1440,
         {{0, 0, 2560, 1440}, {2560, 360, 1920, 1080}},
         {{0, 0, 2560, 1440}, {2560, 0, 1920, 1080}}},
        {"a portrait monitor beside a landscape one",
         3000,
         1920,
         {{0, 840, 1920, 1080}, {1920, 0, 1080, 1920}},
         {{0, 0, 1920, 1080}, {1920, 0, 1080, 1920}}},
        {"mirrored outputs draw once",
         3840,
         1080,
         {{0, 0, 1920, 1080}, {0, 0, 1920, 1080}, {1920, 0, 1920, 1080}},
         {{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}}},
        {"one monitor over the whole window: one picture", 1920, 1080, {{0, 0, 1920, 1080}}, {}},
        {"no monitors listed: one picture", 1920, 1080, {}, {}},
        {"one monitor on a larger screen keeps its own rectangle",
         3840,
         1080,
         {{1920, 0, 1920, 1080}},
         {{1920, 0, 1920, 1080}}},
        {"clipped to the window; empty and outside monitors left out",
         3000,
         1000,
         {{-100, 0, 1600, 1000}, {1500, 0, 2000, 1000}, {0, 0, 0, 500}, {5000, 0, 100, 100}},
         {{0, 0, 1500, 1000}, {1500, 0, 1500, 1000}}},
        {"numbers that would overflow",
         1000,
         1000,
         {{2147483000, 0, 2000, 1000}, {0, 0, 500, 1000}, {-2147483000, 0, 2147483000, 1000}},
         {{0, 0, 500, 1000}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LayOut(c.width, c.height, c.monitors), c.expected) << c.what;
    }
}

TEST(MonitorLayout, NeverMoreThanTheCapacity) {
    std::vector<MonitorRect> monitors;
    for (int i = 0; i < 40; ++i) {
        monitors.push_back({i * 100, 0, 100, 100});
    }
    SaverViewport out[3];
    EXPECT_EQ(SaverLayOutViewports(0, 0, 4000, 100, monitors.data(), 40, out, 3), 3);
    EXPECT_EQ(out[2].x, 200);
    EXPECT_EQ(SaverLayOutViewports(0, 0, 0, 100, monitors.data(), 40, out, 3), 0);
}

// The shell, on the fake platform, lays out the monitors of its own
// full-screen window and hands them to the scene.
class ShellViewports : public ::testing::Test {
  protected:
    ShellState state;

    void SetUp() override {
        ResetFakePlatform();
        ResetFakeScene();
        unsetenv("XSCREENSAVER_WINDOW");
    }
    void TearDown() override {
        if (shellState != nullptr && shellState->mainWindow != nullptr) {
            DestroyWindow(shellState->mainWindow->hwnd);
        }
        SaverResetForTests();
        MessageReset();
        unsetenv("XSCREENSAVER_WINDOW");
    }
    std::vector<Rect> Start(RunMode mode, HWND parent = 0) {
        state.mode = mode;
        state.previewParent = parent;
        shellState = &state;
        state.options = SaverConfigure();
        state.glRequestFlags = GL_REQUEST_DOUBLE_BUFFER | GL_REQUEST_DEPTH_16;
        bool other = false;
        EXPECT_EQ(SaverCreateMainWindow(&state, &other), 1);
        state.glWindow = state.mainWindow;
        state.glWindow->glConfig = &state.glRequestFlags;
        SendMessageA(state.mainWindow->hwnd, WM_PAINT, 0, 0);
        DispatchPending();
        return Viewports();
    }
    static std::vector<Rect> Viewports() {
        SaverViewport out[kSaverMaxViewports];
        const int n = SaverGetViewports(out, kSaverMaxViewports);
        std::vector<Rect> rects;
        for (int i = 0; i < n; ++i) {
            rects.push_back({out[i].x, out[i].y, out[i].width, out[i].height});
        }
        return rects;
    }
};

TEST_F(ShellViewports, OwnFullScreenWindowShowsOnePicturePerMonitor) {
    fake.screenWidth = 3840;
    fake.screenHeight = 1080;
    fake.monitors = {{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}};
    EXPECT_EQ(Start(RUN_FULL_SCREEN),
              (std::vector<Rect>{{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}}));
    EXPECT_EQ(fake.viewportWidth, 3840);  // the GL viewport still covers the window

    // A monitor plugged in while the saver runs shows at the next size change.
    fake.monitors.push_back({3840, 0, 1280, 1024});
    fake.screenWidth = 5120;
    SendMessageA(state.mainWindow->hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(5120, 1080));
    EXPECT_EQ(Viewports().size(), 3u);
}

TEST_F(ShellViewports, DaemonWindowShowsOnePicture) {
    fake.screenWidth = 3840;
    fake.screenHeight = 1080;
    fake.monitors = {{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}};
    fake.existing = {0x2a00005, 321};
    setenv("XSCREENSAVER_WINDOW", "0x2a00005", 1);
    EXPECT_TRUE(Start(RUN_FULL_SCREEN).empty());
}

TEST_F(ShellViewports, PreviewShowsOnePicture) {
    fake.monitors = {{0, 0, 640, 1024}, {640, 0, 640, 1024}};
    fake.existing = {321};
    EXPECT_TRUE(Start(RUN_PREVIEW, 321).empty());
}

TEST_F(ShellViewports, TestWindowShowsOnePicture) {
    fake.monitors = {{0, 0, 640, 1024}, {640, 0, 640, 1024}};
    EXPECT_TRUE(Start(RUN_TEST_WINDOW).empty());
}

TEST_F(ShellViewports, DpiComesFromThePlatform) {
    fake.dpi = 144;
    EXPECT_EQ(SaverGetScreenDpi(), 144);
}

}  // namespace
