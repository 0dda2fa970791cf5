#include "platform/dialog_gtk.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/dialog_backend.h"
#include "platform/dialog_host.h"
#include "platform/timers.h"

// The GTK back end on the test display: what a person types and presses in
// the widgets reaches the dialog procedure as the headless host delivers it
// (the field first in the grid has the focus; Return there is OK).

namespace {

constexpr int kField = 10, kList = 11;

const DialogControl kControls[] = {
    {kField, kControlEdit, "", 0, 0, 1, 1, 0, 0, 10},
    {kList, kControlComboList, "", 1, 0, 1, 1, kControlSorted, 0, 20, 5},
    {IDOK, kControlButton, "OK", 2, 0, 1, 1, kControlDefault},
};
const DialogTemplate kTemplate = {1, "GTK test", kControls, 3};

std::vector<std::string> typed;  // the field's text at each EN_CHANGE a person made
int timerTicks = 0;

INT_PTR Proc(HWND d, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        for (const char* name : {"b", "a", "c"}) {
            SendDlgItemMessageA(d, kList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        }
        SetTimer(d, 1, 50, nullptr);
        // The person types into the focused field and presses Return there.
        std::system("(sleep 1; xdotool type --delay 50 'Oslo'; xdotool key Return) &");
        return 0;
    }
    if (message == WM_TIMER) {
        ++timerTicks;
    }
    if (message == WM_COMMAND) {
        int id = LOWORD(wParam);
        if (id == kField && HIWORD(wParam) == EN_CHANGE &&
            SendDlgItemMessageA(d, kField, EM_GETMODIFY, 0, 0)) {
            char text[32];
            GetDlgItemTextA(d, kField, text, sizeof text);
            typed.push_back(text);
        }
        if (id == IDOK || id == IDCANCEL) {
            EndDialog(d, id == IDOK ? 5 : 6);
        }
        return 1;
    }
    return 0;
}

TEST(DialogGtkTest, TypingAndReturnReachTheProcedureWithTimersRunning) {
    if (std::getenv("DISPLAY") == nullptr || !DialogUseGtk()) {
        GTEST_SKIP() << "needs the test display";
    }
    EXPECT_EQ(DialogBoxParamA(&kTemplate, 0, Proc, 0), 5);
    EXPECT_EQ(typed, (std::vector<std::string>{"O", "Os", "Osl", "Oslo"}));
    EXPECT_GT(timerTicks, 5);  // the dialog's timer ran while GTK waited
    DialogSetBackend(nullptr);
}

}  // namespace
