#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/dialog_backend.h"
#include "platform/dialog_host.h"
#include "platform/timers.h"

// The headless dialog host: what a dialog procedure sees of the controls and
// of a person's actions, timers in a dialog and calls from a worker thread.

namespace {

constexpr int kList = 10, kField = 11, kCheck = 12, kBar = 13, kButton = 14;

const DialogControl kControls[] = {
    {kList, kControlComboList, "", 0, 0, 1, 1, kControlSorted},
    {kField, kControlEdit, "start"},
    {kCheck, kControlCheckBox, "Check"},
    {kBar, kControlProgressBar, ""},
    {kButton, kControlButton, "Other"},
    {IDOK, kControlButton, "OK", 0, 0, 1, 1, kControlDefault},
};
const DialogTemplate kTemplate = {1, "Test", kControls, 6};

struct Seen {
    UINT message;
    int id;
    int code;
};

// The dialog procedure of the test: records every message and runs the
// test's own opening and command handlers.
std::vector<Seen> seen;
std::function<void(HWND)> onOpen;
std::function<void(HWND, int, int)> onCommand;
std::function<void(HWND, WPARAM)> onTimer;

INT_PTR TestProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        seen.push_back({message, 0, 0});
        if (onOpen) {
            onOpen(dialog);
        }
        return 0;
    }
    if (message == WM_COMMAND) {
        seen.push_back({message, LOWORD(wParam), HIWORD(wParam)});
        if (onCommand) {
            onCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        }
        return 1;
    }
    if (message == WM_TIMER && onTimer) {
        onTimer(dialog, wParam);
    }
    return 0;
}

// The person: a list of actions, one per call.
std::vector<std::function<void(HWND)>> actions;
size_t nextAction = 0;
int Act(HWND dialog, void*) {
    if (nextAction >= actions.size()) {
        return 0;
    }
    actions[nextAction++](dialog);
    return 1;
}
std::vector<int> answers;
int Answer(const MessageBoxRecord& box, void*) {
    if (answers.empty()) {
        return MessageBoxDefaultButton(box.type);
    }
    int a = answers.front();
    answers.erase(answers.begin());
    return a;
}
const HeadlessPerson person = {Act, Answer, nullptr, nullptr};

class DialogHostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MessageReset();
        DialogSetBackend(nullptr);
        HeadlessSetPerson(&person);
        DialogSetTextOrder(nullptr, nullptr);
        seen.clear();
        actions.clear();
        answers.clear();
        nextAction = 0;
        onOpen = nullptr;
        onCommand = [](HWND d, int id, int) {
            if (id == IDOK || id == IDCANCEL) {
                EndDialog(d, id);
            }
        };
        onTimer = nullptr;
        DialogTakeMessageBoxes();
    }
    INT_PTR Run() { return DialogBoxParamA(&kTemplate, 0, TestProc, 0); }
};

TEST_F(DialogHostTest, SortedListOrdersFindsFirstMatchAndKeepsSelection) {
    std::vector<std::string> shown;
    int found = -2, foundNext = -2, missing = -2, selectedAfterDelete = -2;
    std::string editAfterSelect;
    onOpen = [&](HWND d) {
        for (const char* name : {"belem", "Paris", "Belem", "athens"}) {
            SendDlgItemMessageA(d, kList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        }
        found = static_cast<int>(SendDlgItemMessageA(d, kList, CB_FINDSTRINGEXACT, -1,
                                                     reinterpret_cast<LPARAM>("BELEM")));
        foundNext = static_cast<int>(SendDlgItemMessageA(d, kList, CB_FINDSTRINGEXACT, found,
                                                         reinterpret_cast<LPARAM>("belem")));
        missing = static_cast<int>(
            SendDlgItemMessageA(d, kList, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("Bel")));
        SendDlgItemMessageA(d, kList, CB_SETCURSEL, 3, 0);
        char text[32];
        GetDlgItemTextA(d, kList, text, sizeof text);
        editAfterSelect = text;
        SendDlgItemMessageA(d, kList, CB_DELETESTRING, 0, 0);
        selectedAfterDelete = static_cast<int>(SendDlgItemMessageA(d, kList, CB_GETCURSEL, 0, 0));
        for (int i = 0; i < SendDlgItemMessageA(d, kList, CB_GETCOUNT, 0, 0); ++i) {
            SendDlgItemMessageA(d, kList, CB_GETLBTEXT, static_cast<WPARAM>(i),
                                reinterpret_cast<LPARAM>(text));
            shown.push_back(text);
        }
        EndDialog(d, 7);
    };
    EXPECT_EQ(Run(), 7);
    // Equal names keep the order they came in; the find returns the first.
    EXPECT_EQ(found, 1);
    EXPECT_EQ(foundNext, 2);
    EXPECT_EQ(missing, -1);
    EXPECT_EQ(editAfterSelect, "Paris");
    EXPECT_EQ(selectedAfterDelete, 2);
    EXPECT_EQ(shown, (std::vector<std::string>{"belem", "Belem", "Paris"}));
}

TEST_F(DialogHostTest, ModifiedFlagIsSetOnlyByThePerson) {
    std::vector<int> modifiedAtChange;
    onOpen = [](HWND d) {
        SetDlgItemTextA(d, kField, "by program");
        SendDlgItemMessageA(d, kList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x"));
    };
    onCommand = [&](HWND d, int id, int code) {
        if (id == kField && code == EN_CHANGE) {
            modifiedAtChange.push_back(
                static_cast<int>(SendDlgItemMessageA(d, kField, EM_GETMODIFY, 0, 0)));
            SendDlgItemMessageA(d, kField, EM_SETMODIFY, 0, 0);
        }
        if (id == IDOK || id == IDCANCEL) {
            EndDialog(d, id);
        }
    };
    actions = {
        [](HWND d) { EXPECT_EQ(PersonTypes(d, kField, "typed"), 1); },
        [](HWND d) { EXPECT_EQ(PersonPicks(d, kList, 0), 1); },
        [](HWND d) { EXPECT_EQ(PersonPicks(d, kList, 5), 0); },
        [](HWND d) { EXPECT_EQ(PersonClicks(d, kCheck), 1); },
        [](HWND d) {
            EXPECT_EQ(IsDlgButtonChecked(d, kCheck), BST_CHECKED);
            PersonPressesEscape(d);
        },
    };
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_EQ(modifiedAtChange, (std::vector<int>{0, 1}));
    std::vector<std::pair<int, int>> commands;
    for (const Seen& s : seen) {
        if (s.message == WM_COMMAND) {
            commands.push_back({s.id, s.code});
        }
    }
    EXPECT_EQ(commands, (std::vector<std::pair<int, int>>{{kField, EN_CHANGE},
                                                          {kField, EN_CHANGE},
                                                          {kList, CBN_SELCHANGE},
                                                          {kCheck, BN_CLICKED},
                                                          {IDCANCEL, BN_CLICKED}}));
}

TEST_F(DialogHostTest, ReturnPressesTheDefaultOrTheFocusedButton) {
    actions = {
        [](HWND d) { PersonPressesReturn(d, kButton); },
        [](HWND d) { PersonPressesReturn(d, kField); },
    };
    EXPECT_EQ(Run(), IDOK);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1].id, kButton);
    EXPECT_EQ(seen[2].id, IDOK);
}

TEST_F(DialogHostTest, MessageBoxesAnswerAndFallBackToTheirDefault) {
    std::vector<int> results;
    onOpen = [&](HWND d) {
        answers = {IDYES, 12345};
        results.push_back(MessageBoxA(d, "a", "c", MB_YESNO | MB_ICONWARNING));
        // An answer that is no button of the box counts as closing it.
        results.push_back(MessageBoxA(d, "b", "c", MB_YESNO | MB_DEFBUTTON2));
        results.push_back(MessageBoxA(d, "c", "c", MB_OKCANCEL | MB_DEFBUTTON2));
        EndDialog(d, 1);
    };
    Run();
    EXPECT_EQ(results, (std::vector<int>{IDYES, IDNO, IDCANCEL}));
    std::vector<MessageBoxRecord> boxes = DialogTakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "a");
    EXPECT_EQ(boxes[0].type & MB_ICONMASK, MB_ICONWARNING);
    EXPECT_TRUE(DialogTakeMessageBoxes().empty());
}

TEST_F(DialogHostTest, ProgressBarClampsAndStepsAroundTheRange) {
    std::vector<int> positions;
    onOpen = [&](HWND d) {
        SendDlgItemMessageA(d, kBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        SendDlgItemMessageA(d, kBar, PBM_SETPOS, 105, 0);
        positions.push_back(static_cast<int>(SendDlgItemMessageA(d, kBar, PBM_GETPOS, 0, 0)));
        SendDlgItemMessageA(d, kBar, PBM_SETPOS, 90, 0);
        SendDlgItemMessageA(d, kBar, PBM_SETSTEP, 15, 0);
        SendDlgItemMessageA(d, kBar, PBM_STEPIT, 0, 0);
        positions.push_back(static_cast<int>(SendDlgItemMessageA(d, kBar, PBM_GETPOS, 0, 0)));
        EndDialog(d, 1);
    };
    Run();
    EXPECT_EQ(positions, (std::vector<int>{100, 5}));
}

TEST_F(DialogHostTest, TimersAndAWorkersSentMessagesRunOnTheDialogThread) {
    constexpr UINT kWorkerDone = WM_APP + 5;
    std::thread::id dialogThread = std::this_thread::get_id();
    std::atomic<bool> workerSawPosition{false};
    std::thread worker;
    std::atomic<int> ticks{0};
    std::atomic<int> ticksAtKill{-1};
    bool doneOnDialogThread = false;
    static std::function<void(HWND, UINT, WPARAM)> other;
    other = [&](HWND d, UINT message, WPARAM wParam) {
        if (message == kWorkerDone) {
            doneOnDialogThread = std::this_thread::get_id() == dialogThread;
            EndDialog(d, static_cast<INT_PTR>(wParam));
        }
    };
    onOpen = [&](HWND d) { SetTimer(d, 1, 10, nullptr); };
    onTimer = [&](HWND d, WPARAM id) {
        if (id != 1 || ++ticks != 3) {
            return;
        }
        worker = std::thread([d, &workerSawPosition, &ticks, &ticksAtKill] {
            KillTimer(d, 1);
            ticksAtKill = ticks.load();
            SendDlgItemMessageA(d, kBar, PBM_SETPOS, 40, 0);
            workerSawPosition = SendDlgItemMessageA(d, kBar, PBM_GETPOS, 0, 0) == 40;
            ShowWindow(d, SW_HIDE);
            SendMessageA(d, kWorkerDone, 9, 0);
        });
    };
    actions.assign(1000, [](HWND) { DialogWait(50); });
    DLGPROC proc = [](HWND d, UINT m, WPARAM w, LPARAM l) -> INT_PTR {
        if (m >= WM_APP) {
            other(d, m, w);
            return 1;
        }
        return TestProc(d, m, w, l);
    };
    EXPECT_EQ(DialogBoxParamA(&kTemplate, 0, proc, 0), 9);
    worker.join();
    // The worker stopped the timer: no tick came after it.
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(ticks, ticksAtKill);
    EXPECT_TRUE(workerSawPosition);
    EXPECT_TRUE(doneOnDialogThread);
}

TEST_F(DialogHostTest, NestedDialogsAndGivingUpCancelEveryOpenDialog) {
    INT_PTR inner = 0;
    onOpen = [&](HWND d) {
        EXPECT_EQ(DialogOpenDialogs().size(), inner == 0 ? 1u : 2u);
        if (inner == 0) {
            inner = 1;
            inner = DialogBoxParamA(&kTemplate, d, TestProc, 0);
        }
    };
    // No actions at all: the person gives up at once.
    EXPECT_EQ(Run(), IDCANCEL);
    EXPECT_EQ(inner, IDCANCEL);
    EXPECT_TRUE(DialogOpenDialogs().empty());
}

}  // namespace
