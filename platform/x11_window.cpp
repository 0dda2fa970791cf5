#include "platform/x11_window.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>
#include <poll.h>
#include <unistd.h>

#include <cstring>
#include <map>

#include "platform/glx_context.h"
#include "platform/process.h"
#include "platform/timers.h"
#include "platform/x11_monitors.h"

namespace {

struct XWin {
    Window window = 0;
    WindowKind kind = kWindowTopLevel;
    bool gone = false;
    bool minimized = false;
    int width = 0;
    int height = 0;
    VisualID visual = 0;
    int depth = 0;
    int format = 0;
    bool inputPending = false;  // full screen: take the input at the first frame
};

Display* dpy = nullptr;
std::map<HWND, XWin> windows;
Cursor blankCursor = None;
Atom wmProtocols = None;
Atom wmDeleteWindow = None;
int trapDepth = 0;
int trappedError = 0;

int OnXError(Display*, XErrorEvent* event) {
    // Windows of other programs may vanish at any moment (a daemon's window,
    // a preview parent); the errors that follow are expected and harmless.
    trappedError = event->error_code;
    return 0;
}

int OnXIOError(Display*) {
    // The display went away: nothing is left to draw on. Only
    // async-signal-safe calls here; Xlib must not be entered again.
    static const char kMessage[] = "Nocturo.scr: the connection to the X server was lost\n";
    ssize_t ignored = write(2, kMessage, sizeof kMessage - 1);
    (void)ignored;
    _exit(1);
}

XWin* Find(HWND hwnd) {
    auto it = windows.find(hwnd);
    return it == windows.end() ? nullptr : &it->second;
}

void ReadVisual(XWin* w) {
    XWindowAttributes a;
    if (XGetWindowAttributes(dpy, w->window, &a)) {
        w->visual = XVisualIDFromVisual(a.visual);
        w->depth = a.depth;
        w->width = a.width;
        w->height = a.height;
    }
}

Cursor BlankCursor() {
    if (blankCursor == None) {
        char bits[1] = {0};
        Pixmap pixmap = XCreateBitmapFromData(dpy, DefaultRootWindow(dpy), bits, 1, 1);
        XColor black{};
        blankCursor = XCreatePixmapCursor(dpy, pixmap, pixmap, &black, &black, 0, 0);
        XFreePixmap(dpy, pixmap);
    }
    return blankCursor;
}

WPARAM VirtualKey(KeySym sym) {
    if (sym >= XK_a && sym <= XK_z) {
        return 'A' + (sym - XK_a);
    }
    if (sym >= XK_A && sym <= XK_Z) {
        return 'A' + (sym - XK_A);
    }
    if (sym >= XK_0 && sym <= XK_9) {
        return '0' + (sym - XK_0);
    }
    if (sym >= XK_F1 && sym <= XK_F24) {
        return VK_F1 + (sym - XK_F1);
    }
    switch (sym) {
        case XK_Escape:
            return VK_ESCAPE;
        case XK_Return:
        case XK_KP_Enter:
            return VK_RETURN;
        case XK_BackSpace:
            return VK_BACK;
        case XK_Tab:
            return VK_TAB;
        case XK_space:
            return VK_SPACE;
        case XK_Shift_L:
        case XK_Shift_R:
            return VK_SHIFT;
        case XK_Control_L:
        case XK_Control_R:
            return VK_CONTROL;
        case XK_Alt_L:
        case XK_Alt_R:
        case XK_Meta_L:
        case XK_Meta_R:
        case XK_ISO_Level3_Shift:
            return VK_MENU;
        case XK_Left:
            return 0x25;
        case XK_Up:
            return 0x26;
        case XK_Right:
            return 0x27;
        case XK_Down:
            return 0x28;
        default:
            return 0xFF;  // a key without a code of its own still counts as a key
    }
}

void TranslateKey(HWND hwnd, XKeyEvent* event) {
    char text[16];
    KeySym sym = NoSymbol;
    int n = XLookupString(event, text, sizeof text, &sym, nullptr);
    WPARAM vk = VirtualKey(sym);
    // Alt alone, or any key with Alt held, is a system key.
    bool system = vk == VK_MENU || (event->state & Mod1Mask) != 0 || sym == XK_F10;
    MessageQueueInput(hwnd, system ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, 1);
    if (!system) {
        for (int i = 0; i < n; ++i) {
            unsigned char c = static_cast<unsigned char>(text[i]);
            if (c >= 0x20 || c == '\r' || c == '\b' || c == '\t' || c == 0x1B) {
                MessageQueueInput(hwnd, WM_CHAR, c, 1);
            }
        }
    }
}

bool Focusing(const XFocusChangeEvent& e) {
    // Grabs and focus moving among the window's own parts change nothing.
    return e.mode == NotifyNormal || e.mode == NotifyWhileGrabbed
               ? e.detail != NotifyInferior && e.detail != NotifyPointer
               : false;
}

void Translate(XEvent* event) {
    HWND hwnd = static_cast<HWND>(event->xany.window);
    XWin* w = Find(hwnd);
    if (w == nullptr) {
        return;
    }
    switch (event->type) {
        case Expose:
            if (event->xexpose.count == 0) {
                MessageQueuePaint(hwnd);
            }
            break;
        case ConfigureNotify:
            if (event->xconfigure.window == w->window &&
                (event->xconfigure.width != w->width || event->xconfigure.height != w->height)) {
                w->width = event->xconfigure.width;
                w->height = event->xconfigure.height;
                MessageQueueInput(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->width, w->height));
            }
            break;
        case UnmapNotify:
            // A managed window is unmapped when it is iconified.
            if (w->kind == kWindowTopLevel && event->xunmap.window == w->window && !w->minimized) {
                w->minimized = true;
                MessageQueueInput(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
            }
            break;
        case MapNotify:
            if (w->minimized && event->xmap.window == w->window) {
                w->minimized = false;
                MessageQueueInput(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->width, w->height));
            }
            break;
        case KeyPress:
            TranslateKey(hwnd, &event->xkey);
            break;
        case ButtonPress: {
            unsigned b = event->xbutton.button;
            LPARAM at = MAKELPARAM(event->xbutton.x, event->xbutton.y);
            if (b == Button1) {
                MessageQueueInput(hwnd, WM_LBUTTONDOWN, 0, at);
            } else if (b == Button2) {
                MessageQueueInput(hwnd, WM_MBUTTONDOWN, 0, at);
            } else if (b == Button3) {
                MessageQueueInput(hwnd, WM_RBUTTONDOWN, 0, at);
            } else if (b == Button4 || b == Button5) {
                WPARAM delta =
                    static_cast<WPARAM>(static_cast<uint16_t>(b == Button4 ? 120 : -120));
                MessageQueueInput(hwnd, WM_MOUSEWHEEL, delta << 16, at);
            }
            // Buttons 6 and up (sideways wheel, extra buttons) mean nothing.
            break;
        }
        case MotionNotify:
            MessageQueueInput(hwnd, WM_MOUSEMOVE, 0,
                              MAKELPARAM(event->xmotion.x, event->xmotion.y));
            break;
        case FocusIn:
            if (Focusing(event->xfocus)) {
                MessageQueueInput(hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
                MessageQueueInput(hwnd, WM_ACTIVATEAPP, 1, 0);
            }
            break;
        case FocusOut:
            if (Focusing(event->xfocus)) {
                MessageQueueInput(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
                MessageQueueInput(hwnd, WM_ACTIVATEAPP, 0, 0);
            }
            break;
        case ClientMessage:
            if (event->xclient.message_type == wmProtocols &&
                static_cast<Atom>(event->xclient.data.l[0]) == wmDeleteWindow) {
                MessageQueueInput(hwnd, WM_CLOSE, 0, 0);
            }
            break;
        case DestroyNotify:
            if (event->xdestroywindow.window == w->window) {
                // Destroyed from outside (a preview parent or a daemon went away).
                w->gone = true;
                DestroyWindow(hwnd);
            }
            break;
        default:
            break;
    }
}

void Poll() {
    while (dpy != nullptr && XPending(dpy) > 0) {
        XEvent event;
        XNextEvent(dpy, &event);
        Translate(&event);
    }
}

void Wait(int timeoutMs) {
    if (dpy == nullptr) {
        return;
    }
    XFlush(dpy);
    if (XPending(dpy) == 0) {
        pollfd fd{ConnectionNumber(dpy), POLLIN, 0};
        poll(&fd, 1, timeoutMs);
    }
    Poll();
}

void NativeDestroy(HWND hwnd) {
    XWin* w = Find(hwnd);
    if (w == nullptr) {
        return;
    }
    if (!w->gone) {
        X11BeginTrap();
        if (w->kind == kWindowAdopted) {
            XSelectInput(dpy, w->window, 0);  // the window is its owner's
        } else {
            XDestroyWindow(dpy, w->window);
        }
        X11EndTrap();
    }
    windows.erase(hwnd);
}

void SetText(HWND hwnd, const char* text) {
    XWin* w = Find(hwnd);
    if (w != nullptr && w->kind != kWindowAdopted && !w->gone) {
        XStoreName(dpy, w->window, text != nullptr ? text : "");
    }
}

const MessageSource kSource = {Poll, Wait, NativeDestroy, SetText};

constexpr long kOwnEvents = ExposureMask | StructureNotifyMask | KeyPressMask | ButtonPressMask |
                            PointerMotionMask | FocusChangeMask;

void SetClassAndName(Window window, const char* className) {
    XClassHint hint;
    hint.res_name = const_cast<char*>("Nocturo.scr");
    hint.res_class = const_cast<char*>(className);
    XSetClassHint(dpy, window, &hint);
    XStoreName(dpy, window, "");
}

HWND CreateWindow(const WindowCreate* c) {
    if (dpy == nullptr) {
        return 0;
    }
    int screen = DefaultScreen(dpy);
    XWin w;
    w.kind = c->kind;
    if (c->kind == kWindowAdopted) {
        w.window = c->parent;
        X11BeginTrap();
        XSelectInput(dpy, w.window,
                     ExposureMask | StructureNotifyMask | KeyPressMask | PointerMotionMask);
        if (X11EndTrap()) {
            return 0;
        }
        // Only one client may select button presses on a window; take them
        // only when nobody else has.
        X11BeginTrap();
        XSelectInput(dpy, w.window,
                     ExposureMask | StructureNotifyMask | KeyPressMask | PointerMotionMask |
                         ButtonPressMask);
        if (X11EndTrap()) {
            XSelectInput(dpy, w.window,
                         ExposureMask | StructureNotifyMask | KeyPressMask | PointerMotionMask);
        }
    } else {
        XSetWindowAttributes a{};
        unsigned long mask = CWBackPixel | CWBorderPixel | CWEventMask;
        a.background_pixel = BlackPixel(dpy, screen);
        a.border_pixel = BlackPixel(dpy, screen);
        a.event_mask = kOwnEvents;
        Window parent = RootWindow(dpy, screen);
        if (c->kind == kWindowFullScreen) {
            a.override_redirect = True;
            a.cursor = BlankCursor();
            mask |= CWOverrideRedirect | CWCursor;
        } else if (c->kind == kWindowChild) {
            parent = c->parent;
        }
        if (c->kind != kWindowFullScreen) {
            mask |= CWCursor;
            a.cursor = c->arrowCursor ? XCreateFontCursor(dpy, XC_left_ptr) : BlankCursor();
        }
        int width = c->width > 0 ? c->width : 1;  // X windows are never 0 wide
        int height = c->height > 0 ? c->height : 1;
        X11BeginTrap();
        w.window = XCreateWindow(dpy, parent, c->x, c->y, static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), 0, CopyFromParent, InputOutput,
                                 CopyFromParent, mask, &a);
        if (X11EndTrap() || w.window == 0) {
            return 0;
        }
        SetClassAndName(w.window, c->className);
        if (c->kind == kWindowTopLevel) {
            XSizeHints hints{};
            hints.flags = USPosition | USSize;
            hints.x = c->x;
            hints.y = c->y;
            hints.width = width;
            hints.height = height;
            XSetWMNormalHints(dpy, w.window, &hints);
            XSetWMProtocols(dpy, w.window, &wmDeleteWindow, 1);
        }
    }
    ReadVisual(&w);
    HWND hwnd = static_cast<HWND>(w.window);
    windows[hwnd] = w;
    MessageSetWindowProc(hwnd, c->proc);
    CREATESTRUCTA create;
    create.lpCreateParams = c->createParam;
    create.hwndParent = c->parent;
    create.x = c->x;
    create.y = c->y;
    create.cx = c->kind == kWindowAdopted ? w.width : c->width;
    create.cy = c->kind == kWindowAdopted ? w.height : c->height;
    SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create));
    return hwnd;
}

void WaitViewable(Window window) {
    for (int i = 0; i < 200; ++i) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(dpy, window, &a) || a.map_state == IsViewable) {
            return;
        }
        Sleep(5);
    }
}

void TakeInput(Window window) {
    // Another client may hold a grab for a moment (a menu, a key being
    // released); try for about a second, then run without.
    for (int i = 0; i < 20; ++i) {
        if (XGrabKeyboard(dpy, window, True, GrabModeAsync, GrabModeAsync, CurrentTime) ==
            GrabSuccess) {
            break;
        }
        Sleep(50);
    }
    for (int i = 0; i < 20; ++i) {
        if (XGrabPointer(dpy, window, True, ButtonPressMask | PointerMotionMask, GrabModeAsync,
                         GrabModeAsync, None, BlankCursor(), CurrentTime) == GrabSuccess) {
            break;
        }
        Sleep(50);
    }
}

void ShowWindow(HWND hwnd) {
    XWin* w = Find(hwnd);
    if (w == nullptr) {
        return;
    }
    if (w->kind != kWindowAdopted) {
        XMapRaised(dpy, w->window);
        if (w->kind != kWindowChild) {
            // Focus can only be given to a window on screen (a window manager
            // maps a top-level window a moment later).
            WaitViewable(w->window);
        }
        if (w->kind == kWindowFullScreen) {
            // The keyboard and pointer are taken only once the first frame
            // is on screen (SwapBuffers), so a saver still reading its
            // settings and pictures, or one that cannot draw, never locks
            // the screen.
            w->inputPending = true;
        }
        XFlush(dpy);
    } else {
        // The daemon's window is on screen already and will not be exposed
        // for us: paint it once as a newly shown window would be.
        MessageQueuePaint(hwnd);
    }
    SendMessageA(hwnd, WM_SHOWWINDOW, 1, 0);
}

void SetForegroundWindow(HWND hwnd) {
    XWin* w = Find(hwnd);
    if (w != nullptr && w->kind == kWindowAdopted) {
        return;  // the daemon decides
    }
    X11BeginTrap();
    XRaiseWindow(dpy, hwnd);
    XWindowAttributes a;
    if (XGetWindowAttributes(dpy, hwnd, &a) && a.map_state == IsViewable) {
        XSetInputFocus(dpy, hwnd, RevertToParent, CurrentTime);
    }
    X11EndTrap();
}

HWND GetForegroundWindow() {
    Window focus = None;
    int revert = 0;
    XGetInputFocus(dpy, &focus, &revert);
    return focus == None || focus == PointerRoot ? 0 : static_cast<HWND>(focus);
}

int IsWindow(HWND hwnd) {
    if (hwnd == 0 || dpy == nullptr) {
        return 0;
    }
    XWindowAttributes a;
    X11BeginTrap();
    Status ok = XGetWindowAttributes(dpy, hwnd, &a);
    return X11EndTrap() == 0 && ok ? 1 : 0;
}

bool Matches(Window window, const char* className, const char* title) {
    bool match = false;
    XClassHint hint{};
    if (XGetClassHint(dpy, window, &hint)) {
        match = hint.res_class != nullptr && std::strcmp(hint.res_class, className) == 0;
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    if (match) {
        char* name = nullptr;
        match = XFetchName(dpy, window, &name) && name != nullptr && std::strcmp(name, title) == 0;
        if (name != nullptr) {
            XFree(name);
        }
    }
    return match;
}

HWND FindWindow(const char* className, const char* title) {
    X11BeginTrap();
    Window root = DefaultRootWindow(dpy), parent = 0, *children = nullptr;
    unsigned n = 0;
    HWND found = 0;
    if (XQueryTree(dpy, root, &root, &parent, &children, &n)) {
        for (unsigned i = 0; i < n && found == 0; ++i) {
            if (Matches(children[i], className, title)) {
                found = static_cast<HWND>(children[i]);
                continue;
            }
            // Under a window manager the top-level window sits in a frame.
            Window r = 0, p = 0, *inner = nullptr;
            unsigned m = 0;
            if (XQueryTree(dpy, children[i], &r, &p, &inner, &m)) {
                for (unsigned j = 0; j < m && found == 0; ++j) {
                    if (Matches(inner[j], className, title)) {
                        found = static_cast<HWND>(inner[j]);
                    }
                }
                if (inner != nullptr) {
                    XFree(inner);
                }
            }
        }
        if (children != nullptr) {
            XFree(children);
        }
    }
    X11EndTrap();
    return found;
}

HWND GetParent(HWND hwnd) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned n = 0;
    X11BeginTrap();
    Status ok = XQueryTree(dpy, hwnd, &root, &parent, &children, &n);
    if (children != nullptr) {
        XFree(children);
    }
    if (X11EndTrap() || !ok || parent == root) {
        return 0;
    }
    return static_cast<HWND>(parent);
}

int GetClientSize(HWND hwnd, int* width, int* height) {
    XWindowAttributes a;
    X11BeginTrap();
    Status ok = XGetWindowAttributes(dpy, hwnd, &a);
    if (X11EndTrap() || !ok) {
        return 0;
    }
    *width = a.width;
    *height = a.height;
    return 1;
}

HWND ScreenRootWindow() {
    return dpy != nullptr ? static_cast<HWND>(DefaultRootWindow(dpy)) : 0;
}

int ScreenWidth() {
    return DisplayWidth(dpy, DefaultScreen(dpy));
}
int ScreenHeight() {
    return DisplayHeight(dpy, DefaultScreen(dpy));
}

int GetMonitors(MonitorRect* out, int capacity) {
    return X11GetMonitors(dpy, out, capacity);
}
int ScreenDpi() {
    return X11ScreenDpi(dpy);
}

void GetCursorPos(int* x, int* y) {
    Window root = 0, child = 0;
    int wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(dpy, DefaultRootWindow(dpy), &root, &child, x, y, &wx, &wy, &mask);
}

void HideCursor() {
    for (auto& [hwnd, w] : windows) {
        // A daemon's window keeps the daemon's cursor.
        if (w.kind != kWindowAdopted && !w.gone) {
            XDefineCursor(dpy, w.window, BlankCursor());
        }
    }
}

DeviceContext GetDC(HWND hwnd) {
    return Find(hwnd) != nullptr ? hwnd : 0;
}
void ReleaseDC(HWND, DeviceContext) {}

void SwapBuffers(DeviceContext dc) {
    GlxSwapBuffers(dc);
    XWin* w = Find(static_cast<HWND>(dc));
    if (w != nullptr && w->inputPending && !w->gone) {
        w->inputPending = false;
        TakeInput(w->window);
        XFlush(dpy);
    }
}

const WindowServices kServices = {
    CreateWindow,
    ShowWindow,
    SetForegroundWindow,
    GetForegroundWindow,
    IsWindow,
    FindWindow,
    GetParent,
    GetClientSize,
    ScreenWidth,
    ScreenHeight,
    GetCursorPos,
    HideCursor,
    GetDC,
    ReleaseDC,
    GlxDeviceColourDepth,
    GlxDescribePixelFormat,
    GlxChoosePixelFormat,
    GlxSetPixelFormat,
    GlxCreateContext,
    GlxMakeCurrent,
    GlxDeleteContext,
    SwapBuffers,
    GlxSetViewport,
    PlatformGetPriority,
    PlatformSetPriority,
    ScreenRootWindow,
    GetMonitors,
    ScreenDpi,
};

}  // namespace

int X11Open() {
    if (dpy != nullptr) {
        return 1;
    }
    dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr) {
        return 0;
    }
    XSetErrorHandler(OnXError);
    XSetIOErrorHandler(OnXIOError);
    wmProtocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
    wmDeleteWindow = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    return 1;
}

Display* X11Display() {
    return dpy;
}
const WindowServices* X11WindowServices() {
    return &kServices;
}
const MessageSource* X11MessageSource() {
    return &kSource;
}

void X11BeginTrap() {
    if (trapDepth++ == 0) {
        XSync(dpy, False);
        trappedError = 0;
    }
}

int X11EndTrap() {
    XSync(dpy, False);
    int error = trappedError;
    if (--trapDepth == 0) {
        trappedError = 0;
    }
    return error != 0 ? 1 : 0;
}

int X11GetWindowInfo(HWND hwnd, X11WindowInfo* info) {
    XWin* w = Find(hwnd);
    if (w == nullptr) {
        return 0;
    }
    info->window = w->window;
    info->visual = w->visual;
    info->depth = w->depth;
    info->gone = w->gone;
    return 1;
}

int X11GetWindowFormat(HWND hwnd) {
    XWin* w = Find(hwnd);
    return w != nullptr ? w->format : 0;
}

void X11SetWindowFormat(HWND hwnd, int format) {
    XWin* w = Find(hwnd);
    if (w != nullptr) {
        w->format = format;
    }
}

int X11TopLevelWindows(HWND* out, int max) {
    int n = 0;
    for (const auto& [hwnd, w] : windows) {
        if (n < max && !w.gone && (w.kind == kWindowTopLevel || w.kind == kWindowFullScreen)) {
            out[n++] = hwnd;
        }
    }
    return n;
}
