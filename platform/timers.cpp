#include "platform/timers.h"

#include <sched.h>
#include <time.h>

#include <vector>

namespace {

struct Timer {
    HWND hwnd;
    uintptr_t id;
    uint32_t period;
    TIMERPROC proc;
    uint32_t due;  // tick count at which the next WM_TIMER is owed
};

std::vector<Timer> timers;
uintptr_t nextThreadTimerId = 1;
uint32_t (*clockSlot)() = nullptr;

// Windows never runs a timer faster than every 10 ms.
constexpr uint32_t kMinimumPeriod = 10;

bool IsDue(const Timer& t, uint32_t now) {
    return static_cast<int32_t>(now - t.due) >= 0;
}

uint32_t RealTickCount() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u +
                                 static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}

struct TimerCall {
    HWND hwnd;
    uintptr_t id;
    UINT period;
    TIMERPROC proc;
    uintptr_t result;
};

}  // namespace

uintptr_t SetTimer(HWND hwnd, uintptr_t id, UINT periodMs, TIMERPROC proc) {
    if (!MessageOnQueueThread()) {
        TimerCall call{hwnd, id, periodMs, proc, 0};
        MessageRunOnQueueThread(
            [](void* p) {
                auto* c = static_cast<TimerCall*>(p);
                c->result = SetTimer(c->hwnd, c->id, c->period, c->proc);
            },
            &call);
        return call.result;
    }
    uint32_t period = periodMs < kMinimumPeriod ? kMinimumPeriod : periodMs;
    uint32_t now = GetTickCount();
    if (hwnd == 0) {
        if (id == 0) {
            id = nextThreadTimerId++;
        } else {
            bool known = false;
            for (const Timer& t : timers) {
                known = known || (t.hwnd == 0 && t.id == id);
            }
            if (!known) {
                id = nextThreadTimerId++;
            }
        }
    }
    for (Timer& t : timers) {
        if (t.hwnd == hwnd && t.id == id) {
            t.period = period;
            t.proc = proc;
            t.due = now + period;
            return hwnd == 0 ? id : 1;
        }
    }
    timers.push_back(Timer{hwnd, id, period, proc, now + period});
    return hwnd == 0 ? id : 1;
}

int KillTimer(HWND hwnd, uintptr_t id) {
    if (!MessageOnQueueThread()) {
        TimerCall call{hwnd, id, 0, nullptr, 0};
        MessageRunOnQueueThread(
            [](void* p) {
                auto* c = static_cast<TimerCall*>(p);
                c->result = static_cast<uintptr_t>(KillTimer(c->hwnd, c->id));
            },
            &call);
        return static_cast<int>(call.result);
    }
    for (auto it = timers.begin(); it != timers.end(); ++it) {
        if (it->hwnd == hwnd && it->id == id) {
            timers.erase(it);
            return 1;
        }
    }
    return 0;
}

uint32_t GetTickCount() {
    return clockSlot ? clockSlot() : RealTickCount();
}

void Sleep(uint32_t ms) {
    if (ms == 0) {
        sched_yield();
        return;
    }
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0) {
    }
}

void TimerSetClock(uint32_t (*now)()) {
    clockSlot = now;
}

int TimerTakeDue(HWND hwnd, bool anyWindow, uint32_t now, MSG* msg, bool remove) {
    Timer* best = nullptr;
    for (Timer& t : timers) {
        if ((anyWindow || t.hwnd == hwnd) && IsDue(t, now) &&
            (best == nullptr || static_cast<int32_t>(t.due - best->due) < 0)) {
            best = &t;
        }
    }
    if (best == nullptr) {
        return 0;
    }
    msg->hwnd = best->hwnd;
    msg->message = WM_TIMER;
    msg->wParam = best->id;
    msg->lParam = reinterpret_cast<LPARAM>(best->proc);
    msg->time = now;
    if (!remove) {
        return 1;
    }
    // Every tick missed so far is merged into this one message; the timer
    // keeps its phase.
    uint32_t late = now - best->due;
    best->due += (late / best->period + 1) * best->period;
    return 1;
}

int TimerNextDueIn(uint32_t now) {
    int best = -1;
    for (const Timer& t : timers) {
        int in = IsDue(t, now) ? 0 : static_cast<int>(t.due - now);
        if (best < 0 || in < best) {
            best = in;
        }
    }
    return best;
}

void TimerKillWindow(HWND hwnd) {
    std::erase_if(timers, [hwnd](const Timer& t) { return t.hwnd == hwnd && hwnd != 0; });
}

void TimerReset() {
    timers.clear();
    nextThreadTimerId = 1;
}
