#include "installer/setup_dialogs.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <thread>

#include "installer/carried_files.h"
#include "installer/desktop_handover.h"
#include "installer/setup_flow.h"
#include "installer/setup_places.h"
#include "installer/setup_text.h"
#include "platform/timers.h"
#include "settings/cp1251.h"

namespace {

std::string logo = SetupLogoBitmap();

const DialogControl kMainControls[] = {
    {kSetupLogo, kControlPicture, "", 0, 0, 3, 1, 0, 0, 0, 0,
     reinterpret_cast<const unsigned char*>(logo.data()), logo.size()},
    {kSetupWelcomeText, kControlLabel, "", 0, 1, 1, 2, kControlCentered | kControlFill, 0, 0, 0,
     nullptr, 0, kSetupWelcomeFont},
    {kSetupVersionLine, kControlLabel, "", 1, 1, 1, 2, kControlCentered},
    {kSetupCopyrightLine, kControlLabel, "", 2, 1, 1, 2, kControlCentered},
    {kSetupFolderText, kControlLabel, "", 3, 0, 1, 3, kControlWrap},
    {kSetupFolderField, kControlEdit, "", 4, 0, 1, 2, kControlFill, 0, 44},
    {kSetupBrowseButton, kControlButton, "", 4, 2},
    {kSetupLanguageText, kControlLabel, "", 5, 0},
    {kSetupLanguageList, kControlDropDownList, "", 5, 1},
    {kSetupInstallButton, kControlButton, "", 6, 1, 1, 1, kControlDefault},
    {kSetupCancelButton, kControlButton, "", 6, 2},
};

const DialogControl kProgressControls[] = {
    {kSetupProgressIcon, kControlIcon, "system-software-install", 0, 0, 2, 1},
    {kSetupStatusLine, kControlLabel, "", 0, 1, 1, 1, kControlFill},
    {kSetupProgressBar, kControlProgressBar, "", 1, 1, 1, 1, kControlFill, 0, 40},
    {kSetupProgressCancel, kControlButton, "", 2, 1},
};

// The install in progress: one per process, as the dialogs share it.
SetupSession session;
SetupUnpackControl unpackControl;
std::thread worker;
bool workerSentResult = false;  // the worker's command 1 is the only one taken
bool cancelledBeforeWorkerEnded = false;
int exitCode = kSetupExitInterrupted;
std::string systemDefaults = kXscreensaverSystemDefaults;

int Message(HWND owner, int id, UINT type) {
    return MessageBoxA(owner, SetupTextGet(id), kSetupMessageCaption, type);
}

void ApplyTexts(HWND dialog) {
    SetWindowTextA(dialog, SetupTextGet(kSetupTitle));
    SetDlgItemTextA(dialog, kSetupCancelButton, SetupTextGet(kSetupCancel));
    SetDlgItemTextA(dialog, kSetupInstallButton, SetupTextGet(kSetupInstall));
    SetDlgItemTextA(dialog, kSetupCopyrightLine, SetupTextGet(kSetupCopyright));
    SetDlgItemTextA(dialog, kSetupBrowseButton, SetupTextGet(kSetupBrowse));
    SetDlgItemTextA(dialog, kSetupFolderText, SetupTextGet(kSetupFolderLabel));
    SetDlgItemTextA(dialog, kSetupVersionLine, SetupTextGet(kSetupVersion));
    SetDlgItemTextA(dialog, kSetupLanguageText, SetupTextGet(kSetupLanguageLabel));
    SetDlgItemTextA(dialog, kSetupWelcomeText, SetupTextGet(kSetupWelcome));
    InvalidateRect(dialog, nullptr, 1);
}

// Paths are UTF-8 on the disk and Windows-1251 in the dialog's texts.
std::string FieldFromPath(const std::string& path) {
    std::string text;
    Cp1251FromUtf8(path.c_str(), &text);
    return text;
}

INT_PTR ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

void SetProgress(void* context, int total) {
    SendDlgItemMessageA(static_cast<HWND>(reinterpret_cast<uintptr_t>(context)), kSetupProgressBar,
                        PBM_SETPOS, static_cast<WPARAM>(total), 0);
}

void ShowCopyMessage(void* context, const char* text) {
    MessageBoxA(static_cast<HWND>(reinterpret_cast<uintptr_t>(context)), text, kSetupMessageCaption,
                MB_OK);
}

void Pause(int milliseconds) {
    usleep(static_cast<useconds_t>(milliseconds) * 1000);
}

void Install(HWND dialog) {
    char typed[299] = {};
    GetDlgItemTextA(dialog, kSetupFolderField, typed, sizeof typed);
    const std::string path = Cp1251ToUtf8(typed);
    const int check = SetupBeginSession(path, setupTextLanguageOffset, &session);
    if (check != kSetupFolderOk) {
        // An empty field would mean the root directory: ask again instead.
        Message(dialog, check == kSetupFolderIsEmpty ? kSetupFolderEmpty : kSetupFolderTooLong,
                MB_OK | MB_ICONWARNING | MB_TOPMOST);
        return;
    }
    ShowWindow(dialog, SW_HIDE);
    EndDialog(dialog, kSetupInstallButton);
    DialogBoxParamA(&setupProgressTemplate, 0, ProgressDialogProc, 0);
}

INT_PTR MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        SetupTextBuild();
        SendDlgItemMessageA(dialog, kSetupLanguageList, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>("English"));
        SendDlgItemMessageA(dialog, kSetupLanguageList, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>("Russian"));
        SendDlgItemMessageA(dialog, kSetupLanguageList, CB_SETCURSEL, 0, 0);
        setupTextLanguageOffset = kSetupTextEnglish;
        ApplyTexts(dialog);
        SendDlgItemMessageA(dialog, kSetupFolderField, EM_LIMITTEXT, 298, 0);
        SetDlgItemTextA(dialog, kSetupFolderField, FieldFromPath(SetupDefaultFolder()).c_str());
        return 1;
    }
    if (message != WM_COMMAND) {
        return 0;
    }
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == kSetupLanguageList && code == CBN_SELCHANGE) {
        const LRESULT selection =
            SendDlgItemMessageA(dialog, kSetupLanguageList, CB_GETCURSEL, 0, 0);
        if (selection == 0) {
            setupTextLanguageOffset = kSetupTextEnglish;
        } else if (selection == 1) {
            setupTextLanguageOffset = kSetupTextRussian;
        }
        ApplyTexts(dialog);
    } else if (id == kSetupBrowseButton && code == BN_CLICKED) {
        char path[300] = {};
        GetDlgItemTextA(dialog, kSetupFolderField, path, sizeof path);
        if (DialogChooseFolder(dialog, SetupTextGet(kSetupBrowseTitle), path, sizeof path)) {
            SetDlgItemTextA(dialog, kSetupFolderField, path);
        }
    } else if (id == kSetupCancelButton || id == IDCANCEL) {
        if (Message(dialog, kSetupConfirmExit,
                    MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONINFORMATION | MB_TOPMOST) == IDOK) {
            exitCode = kSetupExitInterrupted;
            EndDialog(dialog, IDCANCEL);
        }
    } else if (id == kSetupInstallButton) {
        Install(dialog);
    }
    return 1;
}

void UnpackOnWorker(HWND dialog) {
    SetupUnpackPicture(&session, &unpackControl);
    {
        std::lock_guard<std::mutex> hold(unpackControl.lock);
        if (unpackControl.cancelled) {
            return;  // the dialog is gone; nothing to tell it
        }
        workerSentResult = true;
    }
    KillTimer(dialog, kSetupTimerRunning);
    SendDlgItemMessageA(dialog, kSetupProgressBar, PBM_SETPOS, 100, 0);
    ShowWindow(dialog, SW_HIDE);
    const int both = session.settingsResult && session.copyResult && session.unpackResult;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, 0), both);
}

void Finish(HWND dialog, bool copiedAndUnpacked) {
    // The hand-over needs everything in place; a failed registration is a
    // failed install as much as a failed copy.
    const int ok = copiedAndUnpacked && SetupFinish(&session, systemDefaults);
    if (!copiedAndUnpacked) {
        SetupManifestSave(SetupManifestPath(), &session.manifest);
    }
    if (ok) {
        SetupStartSettingsProgram(SetupSettingsPrograms());
        Message(dialog, kSetupComplete, MB_OK | MB_ICONINFORMATION | MB_TOPMOST);
        exitCode = kSetupExitComplete;
    } else {
        Message(dialog, kSetupNotComplete, MB_OK | MB_ICONWARNING | MB_TOPMOST);
        exitCode = kSetupExitNotComplete;
    }
    EndDialog(dialog, 1);
}

INT_PTR ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetDlgItemTextA(dialog, kSetupProgressCancel, SetupTextGet(kSetupCancel));
            SetDlgItemTextA(dialog, kSetupStatusLine, SetupTextGet(kSetupCopying));
            if (!SetupPrepareSettings()) {
                return 1;  // stays open, without timers, until Cancel
            }
            SetupWriteSettings(&session);
            SetupManifestSave(SetupManifestPath(), &session.manifest);
            SetWindowTextA(dialog, SetupTextGet(kSetupTitle));
            SendDlgItemMessageA(dialog, kSetupProgressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
            SendDlgItemMessageA(dialog, kSetupProgressBar, PBM_SETSTEP, 1, 0);
            SendDlgItemMessageA(dialog, kSetupProgressBar, PBM_SETPOS, 0, 0);
            SetTimer(dialog, kSetupTimerCopy, 10, nullptr);
            return 1;
        case WM_TIMER:
            if (wParam == kSetupTimerCopy) {
                KillTimer(dialog, kSetupTimerCopy);
                SetupCopyHooks hooks;
                hooks.pause = Pause;
                hooks.progress = SetProgress;
                hooks.message = ShowCopyMessage;
                hooks.context = reinterpret_cast<void*>(static_cast<uintptr_t>(dialog));
                SetupCopyCarriedFiles(&session, hooks);
                SetupManifestSave(SetupManifestPath(), &session.manifest);
                SetTimer(dialog, kSetupTimerUnpack, 1, nullptr);
            } else if (wParam == kSetupTimerUnpack) {
                KillTimer(dialog, kSetupTimerUnpack);
                SetTimer(dialog, kSetupTimerRunning, 100, nullptr);
                SendDlgItemMessageA(dialog, kSetupProgressBar, PBM_SETPOS, 0, 0);
                SetDlgItemTextA(dialog, kSetupStatusLine, SetupTextGet(kSetupUnpacking));
                SendDlgItemMessageA(dialog, kSetupProgressBar, PBM_SETPOS, 0, 0);
                worker = std::thread(UnpackOnWorker, dialog);
            } else if (wParam == kSetupTimerRunning) {
                const LRESULT position =
                    SendDlgItemMessageA(dialog, kSetupProgressBar, PBM_GETPOS, 0, 0);
                SendDlgItemMessageA(dialog, kSetupProgressBar, PBM_SETPOS,
                                    static_cast<WPARAM>((position + 2) % 100), 0);
            }
            return 1;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == IDOK) {
                // Only the worker's own command: Return pressed meanwhile is not one.
                if (workerSentResult) {
                    workerSentResult = false;
                    Finish(dialog, lParam != 0);
                }
            } else if (id == kSetupProgressCancel) {
                {
                    std::lock_guard<std::mutex> hold(unpackControl.lock);
                    unpackControl.cancelled = true;
                    cancelledBeforeWorkerEnded = !unpackControl.finished;
                }
                KillTimer(dialog, kSetupTimerRunning);
                Message(dialog, kSetupInterrupted, MB_OK | MB_ICONWARNING | MB_TOPMOST);
                exitCode = kSetupExitInterrupted;
                EndDialog(dialog, kSetupProgressCancel);
            }
            return 1;
        }
        default:
            return 0;
    }
}

}  // namespace

const DialogTemplate setupMainTemplate = {133, "", kMainControls,
                                          sizeof kMainControls / sizeof kMainControls[0]};
const DialogTemplate setupProgressTemplate = {
    130, "", kProgressControls, sizeof kProgressControls / sizeof kProgressControls[0]};

void SetupDialogsSetSystemDefaults(const std::string& path) {
    systemDefaults = path;
}

int SetupRunDialogs() {
    session = SetupSession{};
    workerSentResult = false;
    cancelledBeforeWorkerEnded = false;
    {
        std::lock_guard<std::mutex> hold(unpackControl.lock);
        unpackControl.cancelled = false;
        unpackControl.finished = false;
    }
    exitCode = kSetupExitInterrupted;
    DialogBoxParamA(&setupMainTemplate, 0, MainDialogProc, 0);
    if (worker.joinable()) {
        if (cancelledBeforeWorkerEnded || !unpackControl.cancelled) {
            // The worker sees the Cancel and removes its temporary picture,
            // or it has already told the dialog its result.
            worker.join();
        } else {
            worker.detach();  // the picture was complete; it ends with the process
        }
    }
    return exitCode;
}

std::string SetupLogoBitmap() {
    CarriedFile small;
    if (!SetupFindResource(kCarriedFirstResource + kCarriedSmallPicture, &small) ||
        small.size < 54) {
        return "";
    }
    auto le32 = [&](size_t at) {
        return static_cast<uint32_t>(small.data[at] | small.data[at + 1] << 8 |
                                     small.data[at + 2] << 16 |
                                     static_cast<uint32_t>(small.data[at + 3]) << 24);
    };
    const uint32_t offset = le32(10), width = le32(18), height = le32(22);
    if (width < 2 || height == 0 || offset + static_cast<size_t>(width) * height > small.size) {
        return "";
    }
    // The near side (the left half) sampled into 90 x 90 grey pixels.
    constexpr int kSide = 90;
    constexpr int kRow = (kSide * 3 + 3) / 4 * 4;
    std::string bmp(54 + kRow * kSide, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bmp[at + i] = static_cast<char>(v >> (8 * i));
        }
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<uint32_t>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, kSide);
    put32(22, kSide);
    bmp[26] = 1;
    bmp[28] = 24;
    put32(34, kRow * kSide);
    const uint32_t half = width / 2;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const uint32_t sx = static_cast<uint32_t>(x) * half / kSide;
            const uint32_t sy = static_cast<uint32_t>(y) * height / kSide;
            const char grey = static_cast<char>(small.data[offset + sy * width + sx]);
            for (int c = 0; c < 3; ++c) {
                bmp[54 + y * kRow + x * 3 + c] = grey;
            }
        }
    }
    return bmp;
}
