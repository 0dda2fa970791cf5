#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/messages.h"

// Modal dialogs with the Windows calls that dialog procedures are written
// against: a template names the controls by id, the host makes them, sends
// WM_INITDIALOG, then one WM_COMMAND per action of the person, and returns
// the value given to EndDialog. Two back ends serve the same calls: GTK 3
// for people (platform/dialog_gtk.h) and a headless one for tests and
// scripts (platform/dialog_backend.h). All texts here are Windows-1251; only
// the GTK back end converts them, to UTF-8 and back.
//
// Dialogs, message boxes and controls belong to the thread that opened the
// first dialog. Any call below made from another thread (the installer's
// worker) runs on that thread while the caller waits, as SendMessage does on
// Windows.

using INT_PTR = intptr_t;
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

// ---- Templates -------------------------------------------------------------

enum DialogControlKind {
    kControlLabel,         // static text
    kControlGroupBox,      // a frame with a caption that holds other controls
    kControlButton,        // push button
    kControlCheckBox,      // check box (the state flips before BN_CLICKED)
    kControlEdit,          // one-line edit field
    kControlDropDownList,  // drop-down list without an edit field (CBS_DROPDOWNLIST)
    kControlComboList,     // always-open list with an edit field above it (CBS_SIMPLE)
    kControlListBox,       // list without an edit field (LBS_NOTIFY)
    kControlProgressBar,   // progress bar, 0..100 unless set otherwise
    kControlPicture,       // a picture from BMP or PNG bytes
    kControlIcon,          // a desktop icon by its freedesktop name ("dialog-information")
};

// Style flags of a control.
constexpr uint32_t kControlDefault = 0x01;   // the default push button: Return presses it
constexpr uint32_t kControlFlat = 0x02;      // a push button drawn flat (no relief)
constexpr uint32_t kControlSorted = 0x04;    // a list kept in the host's text order
constexpr uint32_t kControlCentered = 0x08;  // a label centred in its cell
constexpr uint32_t kControlLink = 0x10;      // a flat button shown as a link
constexpr uint32_t kControlWrap = 0x20;      // a label that wraps its text
constexpr uint32_t kControlFill = 0x40;      // takes the spare width of its row
constexpr uint32_t kControlTall = 0x80;      // takes the spare height of its column
constexpr uint32_t kControlHidden = 0x100;   // made invisible (ShowWindow shows it)

// One control. Controls are laid out on a grid of cells (rows and columns
// from 0); `parent` names the group box whose own grid holds the control, 0
// the dialog's grid. Sizes are the smallest the back end gives, in
// characters of the dialog font (0: the widget's natural size).
struct DialogControl {
    int id = 0;  // -1 for labels nobody addresses
    DialogControlKind kind = kControlLabel;
    const char* text = "";  // initial text, Windows-1251
    int row = 0, column = 0, rowSpan = 1, columnSpan = 1;
    uint32_t style = 0;
    int parent = 0;
    int widthChars = 0;  // edit fields, lists: the width they ask for
    int heightRows = 0;  // lists: the rows they show
    // Pictures: the bytes of a BMP or PNG file. Labels: an optional Pango
    // font description ("Sans Serif Bold 14px") for the label's own font.
    const unsigned char* image = nullptr;
    size_t imageSize = 0;
    const char* font = nullptr;
};

struct DialogTemplate {
    int id = 0;              // the template's number (2003, 102, 133, 130)
    const char* title = "";  // initial title, Windows-1251
    const DialogControl* controls = nullptr;
    int controlCount = 0;
};

// ---- Messages and notifications --------------------------------------------

constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Notification codes (the high word of WM_COMMAND's wParam).
constexpr int BN_CLICKED = 0;
constexpr int CBN_SELCHANGE = 1;
constexpr int LBN_SELCHANGE = 1;
constexpr int CBN_EDITCHANGE = 5;  // the person changed a combined list's edit field
constexpr int EN_CHANGE = 0x0300;  // an edit field's text changed (program or person)

inline WPARAM MAKEWPARAM(int low, int high) {
    return (static_cast<WPARAM>(static_cast<uint16_t>(high)) << 16) | static_cast<uint16_t>(low);
}

// Edit fields (also the edit field of a combined list).
constexpr UINT EM_GETMODIFY =
    0x00B8;  // 1 when a person changed the text since the flag was cleared
constexpr UINT EM_SETMODIFY = 0x00B9;  // wParam: the new flag
constexpr UINT EM_LIMITTEXT = 0x00C5;  // wParam: most characters a person may type (0: no limit)

// Buttons and check boxes.
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_CLICK = 0x00F5;  // as if the person clicked it
constexpr UINT BST_UNCHECKED = 0;
constexpr UINT BST_CHECKED = 1;

// Drop-down and combined lists. Positions are in shown order.
constexpr UINT CB_ADDSTRING = 0x0143;     // lParam: text; returns its position
constexpr UINT CB_DELETESTRING = 0x0144;  // wParam: position; returns the count left
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;  // CB_ERR when nothing is selected
constexpr UINT CB_GETLBTEXT = 0x0148;  // wParam: position, lParam: buffer (large enough)
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_INSERTSTRING = 0x014A;  // wParam: position (-1 the end); never sorted
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;  // wParam: start after (-1: from the top), lParam: text
constexpr UINT CB_SETCURSEL = 0x014E;        // wParam: position, -1 none; sets the edit text too
constexpr LRESULT CB_ERR = -1;

// List boxes.
constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_DELETESTRING = 0x0182;
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTEXT = 0x0189;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_FINDSTRINGEXACT = 0x01A2;
constexpr LRESULT LB_ERR = -1;

// Progress bars.
constexpr UINT PBM_SETRANGE = 0x0401;  // lParam: MAKELPARAM(low, high); returns the old range
constexpr UINT PBM_SETPOS = 0x0402;  // wParam: position, clamped to the range; returns the old one
constexpr UINT PBM_DELTAPOS = 0x0403;
constexpr UINT PBM_SETSTEP = 0x0404;
constexpr UINT PBM_STEPIT = 0x0405;  // advances by the step, wrapping past the top as Windows does
constexpr UINT PBM_GETPOS = 0x0408;

// ---- Dialog calls ----------------------------------------------------------

// Runs a dialog modally and returns the value given to EndDialog, or -1 when
// no back end can show it. `owner` is a dialog of this host, an X window of
// another program (the dialog is kept above it), or 0.
INT_PTR DialogBoxParamA(const DialogTemplate* dialogTemplate, HWND owner, DLGPROC proc,
                        LPARAM param);
// Ends the dialog once the message in hand has been answered.
int EndDialog(HWND dialog, INT_PTR result);

HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND control);
// The dialog a control belongs to (the dialog itself for a dialog), or 0.
HWND GetParent(HWND control);

// The text of a dialog (its title) or of a control.
int SetWindowTextA(HWND window, const char* text);
// Copies at most size - 1 bytes and a zero; returns the bytes copied.
int GetWindowTextA(HWND window, char* buffer, int size);
int SetDlgItemTextA(HWND dialog, int id, const char* text);
UINT GetDlgItemTextA(HWND dialog, int id, char* buffer, int size);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);

int CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;
// Shows or hides a dialog or a control; returns 1 when it was visible before.
int ShowWindow(HWND window, int command);
int EnableWindow(HWND window, int enable);
int IsWindowVisible(HWND window);
// Redraws a dialog (its label fonts and texts are read again).
int InvalidateRect(HWND window, const void* rect, int erase);

// ---- Message boxes and the folder chooser ----------------------------------

constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_OKCANCEL = 0x0001;
constexpr UINT MB_YESNO = 0x0004;
constexpr UINT MB_ICONERROR = 0x0010;
constexpr UINT MB_ICONQUESTION = 0x0020;
constexpr UINT MB_ICONWARNING = 0x0030;
constexpr UINT MB_ICONINFORMATION = 0x0040;
constexpr UINT MB_DEFBUTTON1 = 0x0000;
constexpr UINT MB_DEFBUTTON2 = 0x0100;
constexpr UINT MB_TOPMOST = 0x40000;
constexpr UINT MB_TYPEMASK = 0x000F;
constexpr UINT MB_ICONMASK = 0x00F0;
constexpr UINT MB_DEFMASK = 0x0F00;

// A modal message box over `owner` (0: none). Returns the id of the button
// pressed (IDOK, IDCANCEL, IDYES, IDNO); closing it counts as Cancel where
// there is one, as No for Yes/No, as OK for OK alone.
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);

// Lets the person pick a folder, starting at `path` (may be empty). On a
// pick, `path` (size bytes) holds the folder's full path and 1 is returned;
// 0 when cancelled or the path does not fit.
int DialogChooseFolder(HWND owner, const char* title, char* path, size_t size);

// ---- Text order of sorted lists --------------------------------------------

// How sorted lists order their items and how the exact find compares
// (both <0, 0, >0, without regard to case). Byte order until set; the
// settings dialog sets the interface locale's collation.
void DialogSetTextOrder(int (*collate)(const char*, const char*),
                        int (*equalNoCase)(const char*, const char*));
