#include "platform/messages.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/timers.h"

namespace {

const MessageSource* source = nullptr;
std::unordered_map<HWND, WNDPROC> procs;
std::deque<MSG> posted;
std::deque<MSG> input;
std::vector<HWND> paints;  // windows owed a WM_PAINT, in order of asking
bool quitPending = false;
int quitCode = 0;

bool Matches(const MSG& m, HWND hwnd, UINT first, UINT last) {
    if (hwnd != 0 && m.hwnd != hwnd) {
        return false;
    }
    if (first == 0 && last == 0) {
        return true;
    }
    return m.message >= first && m.message <= last;
}

MSG Make(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG m;
    m.hwnd = hwnd;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = GetTickCount();
    return m;
}

int TakeFrom(std::deque<MSG>& queue, MSG* msg, HWND hwnd, UINT first, UINT last, bool remove) {
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (Matches(*it, hwnd, first, last)) {
            *msg = *it;
            if (remove) {
                queue.erase(it);
            }
            return 1;
        }
    }
    return 0;
}

int TakePaint(MSG* msg, HWND hwnd, UINT first, UINT last, bool remove) {
    for (auto it = paints.begin(); it != paints.end(); ++it) {
        MSG m = Make(*it, WM_PAINT, 0, 0);
        if (Matches(m, hwnd, first, last)) {
            *msg = m;
            if (remove) {
                paints.erase(it);
            }
            return 1;
        }
    }
    return 0;
}

int TakeTimer(MSG* msg, HWND hwnd, UINT first, UINT last, bool remove) {
    MSG probe = Make(hwnd, WM_TIMER, 0, 0);
    if (!Matches(probe, 0, first, last)) {
        return 0;
    }
    return TimerTakeDue(hwnd, hwnd == 0, GetTickCount(), msg, remove);
}

// Calls waiting from other threads, each done once the queue's thread ran it.
struct ThreadCall {
    void (*fn)(void*);
    void* arg;
    bool done;
};
std::mutex callMutex;
std::condition_variable callArrived;
std::condition_variable callDone;
std::deque<ThreadCall*> threadCalls;
std::thread::id queueThread;
bool queueClaimed = false;
void (*wakeSlot)() = nullptr;

struct SendArgs {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
};

void SendOnQueueThread(void* p) {
    auto* a = static_cast<SendArgs*>(p);
    a->result = SendMessageA(a->hwnd, a->message, a->wParam, a->lParam);
}

}  // namespace

void MessageClaimQueueThread() {
    std::lock_guard<std::mutex> lock(callMutex);
    if (!queueClaimed) {
        queueClaimed = true;
        queueThread = std::this_thread::get_id();
    }
}

bool MessageOnQueueThread() {
    std::lock_guard<std::mutex> lock(callMutex);
    return !queueClaimed || queueThread == std::this_thread::get_id();
}

void MessageRunOnQueueThread(void (*fn)(void*), void* arg) {
    if (MessageOnQueueThread()) {
        fn(arg);
        return;
    }
    ThreadCall call{fn, arg, false};
    void (*wake)() = nullptr;
    {
        std::lock_guard<std::mutex> lock(callMutex);
        threadCalls.push_back(&call);
        wake = wakeSlot;
    }
    callArrived.notify_all();
    if (wake) {
        wake();
    }
    std::unique_lock<std::mutex> lock(callMutex);
    callDone.wait(lock, [&call] { return call.done; });
}

int MessageRunThreadCalls() {
    int ran = 0;
    for (;;) {
        ThreadCall* call = nullptr;
        {
            std::lock_guard<std::mutex> lock(callMutex);
            if (threadCalls.empty()) {
                return ran;
            }
            call = threadCalls.front();
            threadCalls.pop_front();
        }
        call->fn(call->arg);
        {
            std::lock_guard<std::mutex> lock(callMutex);
            call->done = true;
        }
        callDone.notify_all();
        ++ran;
    }
}

int MessageWaitThreadCall(int timeoutMs) {
    std::unique_lock<std::mutex> lock(callMutex);
    auto waiting = [] { return !threadCalls.empty(); };
    if (timeoutMs < 0) {
        callArrived.wait(lock, waiting);
        return 1;
    }
    return callArrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), waiting) ? 1 : 0;
}

void MessageSetThreadCallWake(void (*wake)()) {
    std::lock_guard<std::mutex> lock(callMutex);
    wakeSlot = wake;
}

void MessageSetSource(const MessageSource* s) {
    source = s;
}

void MessageReset() {
    procs.clear();
    posted.clear();
    input.clear();
    paints.clear();
    quitPending = false;
    quitCode = 0;
    TimerReset();
}

void MessageSetWindowProc(HWND hwnd, WNDPROC proc) {
    if (proc == nullptr) {
        procs.erase(hwnd);
    } else {
        procs[hwnd] = proc;
    }
}

WNDPROC MessageGetWindowProc(HWND hwnd) {
    auto it = procs.find(hwnd);
    return it == procs.end() ? nullptr : it->second;
}

void MessageQueueInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    input.push_back(Make(hwnd, message, wParam, lParam));
}

void MessageQueuePaint(HWND hwnd) {
    if (std::find(paints.begin(), paints.end(), hwnd) == paints.end()) {
        paints.push_back(hwnd);
    }
}

int PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    posted.push_back(Make(hwnd, message, wParam, lParam));
    return 1;
}

LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!MessageOnQueueThread()) {
        SendArgs args{hwnd, message, wParam, lParam, 0};
        MessageRunOnQueueThread(SendOnQueueThread, &args);
        return args.result;
    }
    WNDPROC proc = MessageGetWindowProc(hwnd);
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

void PostQuitMessage(int exitCode) {
    quitPending = true;
    quitCode = exitCode;
}

int GetMessageA(MSG* msg) {
    for (;;) {
        if (TakeFrom(posted, msg, 0, 0, 0, true)) {
            return 1;
        }
        if (quitPending) {
            quitPending = false;
            *msg = Make(0, WM_QUIT, static_cast<WPARAM>(quitCode), 0);
            return 0;
        }
        if (source && source->poll) {
            source->poll();
        }
        if (TakeFrom(input, msg, 0, 0, 0, true) || TakePaint(msg, 0, 0, 0, true) ||
            TimerTakeDue(0, true, GetTickCount(), msg)) {
            return 1;
        }
        int timeout = TimerNextDueIn(GetTickCount());
        if (source && source->wait) {
            source->wait(timeout);
        } else if (timeout > 0) {
            Sleep(static_cast<uint32_t>(timeout));
        } else if (timeout < 0) {
            return -1;  // nothing can ever arrive
        }
    }
}

int PeekMessageA(MSG* msg, HWND hwnd, UINT first, UINT last, UINT remove) {
    bool take = (remove & PM_REMOVE) != 0;
    if (source && source->poll) {
        source->poll();
    }
    return TakeFrom(posted, msg, hwnd, first, last, take) ||
           TakeFrom(input, msg, hwnd, first, last, take) ||
           TakePaint(msg, hwnd, first, last, take) || TakeTimer(msg, hwnd, first, last, take);
}

int TranslateMessage(const MSG*) {
    // The message source queues WM_CHAR itself, right after its WM_KEYDOWN.
    return 0;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (msg->message == WM_TIMER && msg->lParam != 0) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_SETTEXT:
            if (source && source->setWindowText) {
                source->setWindowText(hwnd, reinterpret_cast<const char*>(lParam));
            }
            return 1;
        case WM_ERASEBKGND:
            // The native window's background is the class's black.
            return 1;
        default:
            return 0;
    }
}

int DestroyWindow(HWND hwnd) {
    if (MessageGetWindowProc(hwnd) == nullptr) {
        return 0;
    }
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    procs.erase(hwnd);
    TimerKillWindow(hwnd);
    auto forWindow = [hwnd](const MSG& m) { return m.hwnd == hwnd; };
    std::erase_if(posted, forWindow);
    std::erase_if(input, forWindow);
    std::erase(paints, hwnd);
    if (source && source->destroyWindow) {
        source->destroyWindow(hwnd);
    }
    return 1;
}
