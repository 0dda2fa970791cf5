#pragma once

#include <string>
#include <vector>

#include "platform/dialog_host.h"

// The inside of the dialog host, shared by its back ends, the scripting tool
// and the tests. The host keeps every control's state as a plain record (the
// headless back end is nothing more); the GTK back end shows the records as
// widgets and turns what a person does into the Person* calls below, exactly
// as a script or a test does.

struct ControlRecord {
    HWND hwnd = 0;
    int id = 0;
    DialogControlKind kind = kControlLabel;
    uint32_t style = 0;
    std::string text;  // labels, buttons, edit fields, the edit field of a combined list
    bool checked = false;
    bool enabled = true;
    bool visible = true;
    bool modified = false;           // edit fields: changed by a person since cleared
    int textLimit = 0;               // most characters a person may type (0: no limit)
    std::vector<std::string> items;  // lists, in shown order
    int selection = -1;              // lists: the selected position, -1 none
    int rangeLow = 0, rangeHigh = 100, position = 0, step = 10;  // progress bars
    const DialogControl* source = nullptr;                       // its template entry
};

struct DialogRecord {
    HWND hwnd = 0;
    HWND owner = 0;
    const DialogTemplate* dialogTemplate = nullptr;
    DLGPROC proc = nullptr;
    std::string title;
    std::vector<ControlRecord> controls;  // in template order
    bool visible = true;
    bool ended = false;
    INT_PTR result = 0;
    void* view = nullptr;  // the back end's own data (GTK: the widgets)
};

struct MessageBoxRecord {
    HWND owner = 0;
    std::string text;     // Windows-1251, as the caller gave it
    std::string caption;  // Windows-1251
    UINT type = 0;
    int answer = 0;  // the button pressed
};

// The open dialogs, innermost last; null when the handle is not one.
DialogRecord* DialogFind(HWND dialog);
ControlRecord* DialogFindControl(HWND dialog, int id);
ControlRecord* DialogFindControlByHandle(HWND control);
const std::vector<DialogRecord*>& DialogOpenDialogs();
// The message boxes shown since the last DialogTakeMessageBoxes, oldest first.
std::vector<MessageBoxRecord> DialogTakeMessageBoxes();

// ---- What a person does ----------------------------------------------------
// Each acts on the innermost dialog's controls the way the person would and
// sends the dialog procedure what Windows would send. They return 0 when the
// control does not exist, is disabled or hidden, or the action does not
// apply to it.

// Replaces an edit field's text (or a combined list's edit field) as typed:
// sets the modified flag and sends EN_CHANGE (CBN_EDITCHANGE for a list).
int PersonTypes(HWND dialog, int id, const char* text);
// Clicks a button or check box (a check box flips first): BN_CLICKED.
int PersonClicks(HWND dialog, int id);
// Picks the list entry at a shown position: CBN_SELCHANGE / LBN_SELCHANGE;
// a combined list's edit field takes the entry's text.
int PersonPicks(HWND dialog, int id, int position);
// Return (IDOK, or the focused push button `focusId` when it is not 0) and
// Escape (IDCANCEL); the close box is Escape.
int PersonPressesReturn(HWND dialog, int focusId);
int PersonPressesEscape(HWND dialog);

// ---- Back ends -------------------------------------------------------------

struct DialogBackend {
    // Makes the widgets of a new dialog (called before WM_INITDIALOG).
    void (*open)(DialogRecord* dialog);
    // Runs until dialog->ended, delivering the project's timers, posted
    // messages and calls from other threads (DialogPump) meanwhile.
    void (*runModal)(DialogRecord* dialog);
    // Removes the widgets (the record goes right after).
    void (*close)(DialogRecord* dialog);
    // A control's or the dialog's record changed (control null: the title,
    // visibility or the whole dialog).
    void (*update)(DialogRecord* dialog, ControlRecord* control);
    // Shows a message box and returns the pressed button's id.
    int (*messageBox)(MessageBoxRecord* box);
    // The folder chooser: 1 with *path set, 0 when cancelled.
    int (*chooseFolder)(HWND owner, const char* title, std::string* path);
};

// The back end for every later dialog (null: the headless one).
void DialogSetBackend(const DialogBackend* backend);
const DialogBackend* DialogHeadlessBackend();

// For back ends: delivers everything that is waiting for the open dialogs
// (calls from other threads, posted messages, due timers). Returns the
// milliseconds until the next timer is due, -1 when none.
int DialogPump();
// Waits at most timeoutMs for a call from another thread or a due timer and
// then pumps; returns early when the innermost dialog ends.
void DialogWait(int timeoutMs);

// ---- The headless back end's person ----------------------------------------

// Who acts in a headless dialog: a test or a script. `act` is called each
// time the innermost dialog waits for the person; it performs one action
// (Person* calls, DialogWait) and returns 1, or 0 to give up, which ends
// every open dialog with IDCANCEL. `answer` decides a message box (return
// the button id); `chooseFolder` answers the folder chooser as the back end
// slot does. Any slot may be null: no action gives up, message boxes take
// their default button, the folder chooser is cancelled.
struct HeadlessPerson {
    int (*act)(HWND dialog, void* context) = nullptr;
    int (*answer)(const MessageBoxRecord& box, void* context) = nullptr;
    int (*chooseFolder)(const char* title, std::string* path, void* context) = nullptr;
    void* context = nullptr;
};

void HeadlessSetPerson(const HeadlessPerson* person);

// The default button of a message box type (what Return would press).
int MessageBoxDefaultButton(UINT type);
