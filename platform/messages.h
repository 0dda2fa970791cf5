#pragma once

#include <cstdint>

// The one message queue of the process: posted messages (first in, first
// out), sent messages (handled at once, re-entrantly), input and paint that
// a message source (the X11 layer, or a test) feeds in, and timers. The
// names, numbers and delivery order are the Windows ones the saver was
// written against; there is exactly one thread, so nothing here locks.

using HWND = uint32_t;  // an X11 window id; 0 is no window
using UINT = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
// Timer procedure: window (0 for a thread timer), WM_TIMER, timer id, tick count.
using TIMERPROC = void (*)(HWND, UINT, uintptr_t, uint32_t);

struct MSG {
    HWND hwnd = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    uint32_t time = 0;
};

// Creation data handed to WM_CREATE through lParam.
struct CREATESTRUCTA {
    void* lpCreateParams = nullptr;
    HWND hwndParent = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
};

constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_HELP = 0x0053;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_QUERYNEWPALETTE = 0x030F;
constexpr UINT WM_PALETTECHANGED = 0x0311;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;

constexpr WPARAM SC_NEXTWINDOW = 0xF040;
constexpr WPARAM SC_PREVWINDOW = 0xF050;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_SCREENSAVE = 0xF140;

constexpr WPARAM VK_BACK = 0x08;
constexpr WPARAM VK_TAB = 0x09;
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_SHIFT = 0x10;
constexpr WPARAM VK_CONTROL = 0x11;
constexpr WPARAM VK_MENU = 0x12;  // Alt
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_SPACE = 0x20;
constexpr WPARAM VK_F1 = 0x70;

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
constexpr UINT PM_NOYIELD = 0x0002;

inline LPARAM MAKELPARAM(int low, int high) {
    return static_cast<LPARAM>((static_cast<uint32_t>(high) << 16) |
                               (static_cast<uint32_t>(low) & 0xFFFF));
}
inline int LOWORD(uintptr_t v) {
    return static_cast<int>(v & 0xFFFF);
}
inline int HIWORD(uintptr_t v) {
    return static_cast<int>((v >> 16) & 0xFFFF);
}

// Where input comes from. The X11 layer installs one; tests install fakes.
struct MessageSource {
    // Moves whatever input has arrived into the queue, without waiting.
    void (*poll)() = nullptr;
    // Waits at most timeoutMs (-1: without limit) for input, then polls.
    void (*wait)(int timeoutMs) = nullptr;
    // The native half of DestroyWindow (the queue has already sent WM_DESTROY).
    void (*destroyWindow)(HWND) = nullptr;
    // The native half of a WM_SETTEXT that reaches DefWindowProcA.
    void (*setWindowText)(HWND, const char*) = nullptr;
};

void MessageSetSource(const MessageSource* source);
// Forgets every window, message, timer and the quit request (tests).
void MessageReset();

// Window procedures by window. A message for a window without one is dropped.
void MessageSetWindowProc(HWND hwnd, WNDPROC proc);
WNDPROC MessageGetWindowProc(HWND hwnd);

// For message sources: input in arrival order, after everything posted.
void MessageQueueInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// For message sources: the window needs painting; one WM_PAINT however often asked.
void MessageQueuePaint(HWND hwnd);

int PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

// Waits for the next message: posted, then the quit request, then input, then
// paint, then a due timer. Returns 0 for WM_QUIT, 1 otherwise, and -1 when
// nothing could ever arrive (no source, no timer, nothing queued).
int GetMessageA(MSG* msg);
// The same order restricted to one window (0: any) and a message range
// (0, 0: all); returns 1 when a message was found.
int PeekMessageA(MSG* msg, HWND hwnd, UINT first, UINT last, UINT remove);
int TranslateMessage(const MSG* msg);
// Calls the window procedure, or the timer procedure of a WM_TIMER that has one.
LRESULT DispatchMessageA(const MSG* msg);

// Default processing: WM_CLOSE destroys the window, WM_SETTEXT sets its title,
// everything else returns 0.
LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Sends WM_DESTROY, forgets the window and its timers, then destroys the native window.
int DestroyWindow(HWND hwnd);

// Calls from other threads. Until a thread claims the queue every thread
// counts as its own (one thread, nothing locks). Once claimed (the dialog
// host does, for the installer's worker), SendMessageA, SetTimer and
// KillTimer made on another thread run on the claiming thread while the
// caller waits, as a sent message between threads does on Windows.
void MessageClaimQueueThread();
bool MessageOnQueueThread();
// Runs fn(arg) on the queue's thread and returns when it has run.
void MessageRunOnQueueThread(void (*fn)(void*), void* arg);
// For loops on the queue's thread: runs the waiting calls; returns how many ran.
int MessageRunThreadCalls();
// Waits at most timeoutMs (-1: without limit) for a call from another thread;
// 1 when one is waiting.
int MessageWaitThreadCall(int timeoutMs);
// Called on the sending thread whenever a call is queued, so that a loop
// sleeping somewhere else (GTK's) wakes up; null for none.
void MessageSetThreadCallWake(void (*wake)());
