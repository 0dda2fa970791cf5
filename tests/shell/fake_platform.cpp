#include "tests/shell/fake_platform.h"

#include <algorithm>
#include <cstring>

#include "platform/messages.h"
#include "shell/glscrnsv.h"

FakePlatform fake;

namespace {

void Note(const std::string& s) {
    fake.calls.push_back(s);
}

HWND CreateWindow(const WindowCreate* c) {
    fake.lastCreate = *c;
    Note("create");
    if (fake.failCreate) {
        return 0;
    }
    HWND hwnd = c->kind == kWindowAdopted ? c->parent : fake.nextWindow++;
    fake.existing.push_back(hwnd);
    MessageSetWindowProc(hwnd, c->proc);
    CREATESTRUCTA create;
    create.lpCreateParams = c->createParam;
    create.hwndParent = c->parent;
    create.cx = c->width;
    create.cy = c->height;
    SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create));
    return hwnd;
}
void ShowWindow(HWND hwnd) {
    Note("show");
    SendMessageA(hwnd, WM_SHOWWINDOW, 1, 0);
}
void SetForeground(HWND hwnd) {
    Note("foreground " + std::to_string(hwnd));
}
HWND GetForeground() {
    return fake.foreground;
}
int IsWindow(HWND hwnd) {
    return std::find(fake.existing.begin(), fake.existing.end(), hwnd) != fake.existing.end();
}
HWND FindWindow(const char* cls, const char* title) {
    return std::strcmp(cls, "ScreenSaverClass") == 0 && std::strcmp(title, "Screen Saver") == 0
               ? fake.otherSaver
               : 0;
}
HWND GetParent(HWND) {
    return fake.parentOf;
}
int GetClientSize(HWND hwnd, int* w, int* h) {
    if (!IsWindow(hwnd)) {
        return 0;
    }
    *w = fake.parentWidth;
    *h = fake.parentHeight;
    return 1;
}
HWND FakeRootWindow() {
    return fake.rootWindow;
}

int ScreenWidth() {
    return fake.screenWidth;
}
int ScreenHeight() {
    return fake.screenHeight;
}
void GetCursor(int* x, int* y) {
    *x = fake.cursorX;
    *y = fake.cursorY;
}
void HideCursor() {
    ++fake.cursorHidden;
}
DeviceContext GetDC(HWND hwnd) {
    return hwnd;
}
void ReleaseDC(HWND, DeviceContext) {
    Note("releaseDC");
}
int Depth(DeviceContext) {
    return fake.colourDepth;
}
int Describe(DeviceContext, int index, PixelFormatDescription* out) {
    int n = static_cast<int>(fake.formats.size());
    if (index < 1 || index > n) {
        return 0;
    }
    *out = fake.formats[static_cast<size_t>(index - 1)];
    return n;
}
int Choose(DeviceContext, const PixelFormatDescription* request) {
    Note("choose flags=" + std::to_string(request->dwFlags) + " colour=" +
         std::to_string(request->cColorBits) + " depth=" + std::to_string(request->cDepthBits));
    return fake.systemChoice;
}
int SetFormat(DeviceContext, int index) {
    Note("setFormat " + std::to_string(index));
    if (fake.failSetFormat) {
        return 0;
    }
    fake.setFormat = index;
    return 1;
}
GlContext CreateContext(DeviceContext) {
    Note("createContext");
    return fake.failContext ? 0 : 77;
}
int MakeCurrent(DeviceContext, GlContext context) {
    Note("makeCurrent " + std::to_string(context));
    fake.current = context;
    return 1;
}
void DeleteContext(GlContext) {
    Note("deleteContext");
}
void Swap(DeviceContext) {
    ++fake.swaps;
}
void Viewport(int w, int h) {
    fake.viewportWidth = w;
    fake.viewportHeight = h;
}
int GetPriority() {
    return fake.priority;
}
void SetPriority(int nice) {
    fake.priority = nice;
}

int GetMonitors(MonitorRect* out, int capacity) {
    const int n = std::min(static_cast<int>(fake.monitors.size()), capacity);
    std::copy(fake.monitors.begin(), fake.monitors.begin() + n, out);
    return n;
}
int ScreenDpi() {
    return fake.dpi;
}

void SourceDestroy(HWND hwnd) {
    Note("destroy " + std::to_string(hwnd));
}
void SourceSetText(HWND, const char* text) {
    Note(std::string("title ") + text);
}
const MessageSource kFakeSource = {nullptr, nullptr, SourceDestroy, SourceSetText};

}  // namespace

const WindowServices kFakeServices = {
    CreateWindow,  ShowWindow,     SetForeground, GetForeground, IsWindow,  FindWindow,
    GetParent,     GetClientSize,  ScreenWidth,   ScreenHeight,  GetCursor, HideCursor,
    GetDC,         ReleaseDC,      Depth,         Describe,      Choose,    SetFormat,
    CreateContext, MakeCurrent,    DeleteContext, Swap,          Viewport,  GetPriority,
    SetPriority,   FakeRootWindow, GetMonitors, ScreenDpi,
};

void ResetFakePlatform() {
    fake = FakePlatform{};
    // One good format: double-buffered RGBA of the device's depth with a depth buffer.
    fake.formats.push_back(PixelFormatDescription{
        PFD_SUPPORT_OPENGL | PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER, PFD_TYPE_RGBA, 24, 24});
    MessageSetSource(&kFakeSource);
    MessageReset();
    SaverResetForTests();
    shellServices = &kFakeServices;
}

int DispatchPending() {
    int n = 0;
    MSG msg;
    while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_TIMER) {
            // Timers are the tests' to drive.
            continue;
        }
        DispatchMessageA(&msg);
        ++n;
    }
    return n;
}
