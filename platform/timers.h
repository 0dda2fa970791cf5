#pragma once

#include <cstdint>

#include "platform/messages.h"

// Window timers and thread timers (no window, a timer procedure). A timer
// that has come due is only a flag: GetMessageA turns it into one WM_TIMER
// when nothing else waits, so missed ticks of one timer merge into one.

// Starts or restarts a timer. With a window the id is the caller's; without
// one the id is chosen here and returned. Returns 0 on failure.
uintptr_t SetTimer(HWND hwnd, uintptr_t id, UINT periodMs, TIMERPROC proc);
int KillTimer(HWND hwnd, uintptr_t id);

// Milliseconds since an arbitrary start, wrapping at 2^32.
uint32_t GetTickCount();
// Sleep(0) gives up the rest of the time slice.
void Sleep(uint32_t ms);

// For tests: replaces the clock behind GetTickCount (nullptr: the real one).
void TimerSetClock(uint32_t (*now)());

// For the message queue.
// Finds the due timer with the earliest due time (of hwnd, or of any window
// when anyWindow), fills msg and returns 1; with remove, the timer is
// rescheduled past now.
int TimerTakeDue(HWND hwnd, bool anyWindow, uint32_t now, MSG* msg, bool remove = true);
// Milliseconds until the next timer comes due (0 if one is due), -1 if none.
int TimerNextDueIn(uint32_t now);
void TimerKillWindow(HWND hwnd);
void TimerReset();
