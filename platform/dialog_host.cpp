#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/dialog_backend.h"
#include "platform/dialog_host.h"
#include "platform/timers.h"

// The host's records of open dialogs and the calls that work on them. The
// records are the truth for both back ends: every Get call reads them, every
// Set call changes them and then tells the back end.

namespace {

// Dialog handles have the top bit set, which no X11 window id has; a
// control's handle is its dialog's plus its position in the template + 1.
constexpr HWND kDialogHandleBase = 0x80000000u;
constexpr HWND kDialogHandleStride = 0x1000u;
constexpr int kMostControls = 0xFFF;

std::vector<DialogRecord*> openDialogs;
std::vector<MessageBoxRecord> shownBoxes;
HWND nextDialogHandle = kDialogHandleBase;
const DialogBackend* backendSlot = nullptr;
const HeadlessPerson* personSlot = nullptr;

int AsciiCompareNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        int ca = static_cast<unsigned char>(*a);
        int cb = static_cast<unsigned char>(*b);
        if (ca >= 'A' && ca <= 'Z') {
            ca += 'a' - 'A';
        }
        if (cb >= 'A' && cb <= 'Z') {
            cb += 'a' - 'A';
        }
        if (ca != cb || ca == 0) {
            return ca - cb;
        }
    }
}

int (*collateSlot)(const char*, const char*) = AsciiCompareNoCase;
int (*equalSlot)(const char*, const char*) = AsciiCompareNoCase;

const DialogBackend* Backend() {
    return backendSlot ? backendSlot : DialogHeadlessBackend();
}

// Runs f on the thread that owns the dialogs, waiting for it there.
template <class F>
auto OnQueue(F f) -> decltype(f()) {
    if (MessageOnQueueThread()) {
        return f();
    }
    using R = decltype(f());
    struct Box {
        F* f;
        R result;
    } box{&f, R{}};
    MessageRunOnQueueThread(
        [](void* p) {
            auto* b = static_cast<Box*>(p);
            b->result = (*b->f)();
        },
        &box);
    return box.result;
}

void Updated(DialogRecord* dialog, ControlRecord* control) {
    const DialogBackend* b = Backend();
    if (b->update) {
        b->update(dialog, control);
    }
}

DialogRecord* DialogOfControl(HWND control) {
    HWND base = control & ~(kDialogHandleStride - 1);
    return DialogFind(base);
}

bool IsList(const ControlRecord& c) {
    return c.kind == kControlDropDownList || c.kind == kControlComboList ||
           c.kind == kControlListBox;
}

bool HasEditField(const ControlRecord& c) {
    return c.kind == kControlEdit || c.kind == kControlComboList;
}

int CopyOut(const std::string& text, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    int n = std::min(static_cast<int>(text.size()), size - 1);
    std::memcpy(buffer, text.data(), static_cast<size_t>(n));
    buffer[n] = 0;
    return n;
}

void SendCommand(DialogRecord* dialog, const ControlRecord* control, int id, int code) {
    SendMessageA(dialog->hwnd, WM_COMMAND, MAKEWPARAM(id, code),
                 static_cast<LPARAM>(control ? control->hwnd : 0));
}

int FindExact(const ControlRecord& c, WPARAM startAfter, const char* text) {
    int count = static_cast<int>(c.items.size());
    if (count == 0 || text == nullptr) {
        return -1;
    }
    int start = static_cast<int>(static_cast<intptr_t>(startAfter));
    start = (start < 0 || start >= count) ? 0 : start + 1;
    for (int k = 0; k < count; ++k) {
        int i = (start + k) % count;
        if (equalSlot(c.items[static_cast<size_t>(i)].c_str(), text) == 0) {
            return i;
        }
    }
    return -1;
}

int AddItem(ControlRecord& c, const char* text, bool sortedInsert) {
    std::string item = text ? text : "";
    size_t at = c.items.size();
    if (sortedInsert && (c.style & kControlSorted)) {
        // After every item that sorts the same, so equal names keep their order.
        auto it = std::upper_bound(c.items.begin(), c.items.end(), item,
                                   [](const std::string& a, const std::string& b) {
                                       return collateSlot(a.c_str(), b.c_str()) < 0;
                                   });
        at = static_cast<size_t>(it - c.items.begin());
    }
    c.items.insert(c.items.begin() + static_cast<std::ptrdiff_t>(at), item);
    if (c.selection >= static_cast<int>(at)) {
        ++c.selection;
    }
    return static_cast<int>(at);
}

void SetSelection(ControlRecord& c, int position) {
    if (position < 0 || position >= static_cast<int>(c.items.size())) {
        c.selection = -1;
        if (c.kind == kControlComboList || c.kind == kControlDropDownList) {
            c.text.clear();
        }
        return;
    }
    c.selection = position;
    if (c.kind != kControlListBox) {
        c.text = c.items[static_cast<size_t>(position)];
    }
}

LRESULT ListMessage(DialogRecord* dialog, ControlRecord& c, UINT message, WPARAM wParam,
                    LPARAM lParam) {
    int count = static_cast<int>(c.items.size());
    int index = static_cast<int>(static_cast<intptr_t>(wParam));
    LRESULT result = CB_ERR;
    switch (message) {
        case CB_ADDSTRING:
        case LB_ADDSTRING:
            result = AddItem(c, reinterpret_cast<const char*>(lParam), true);
            break;
        case CB_INSERTSTRING:
            if (index > count) {
                return CB_ERR;
            }
            if (index < 0) {
                index = count;
            }
            c.items.insert(c.items.begin() + index,
                           lParam ? reinterpret_cast<const char*>(lParam) : "");
            if (c.selection >= index) {
                ++c.selection;
            }
            result = index;
            break;
        case CB_DELETESTRING:
        case LB_DELETESTRING:
            if (index < 0 || index >= count) {
                return CB_ERR;
            }
            c.items.erase(c.items.begin() + index);
            if (c.selection == index) {
                c.selection = -1;
            } else if (c.selection > index) {
                --c.selection;
            }
            result = count - 1;
            break;
        case CB_RESETCONTENT:
        case LB_RESETCONTENT:
            c.items.clear();
            c.selection = -1;
            if (c.kind != kControlListBox) {
                c.text.clear();
            }
            result = 0;
            break;
        case CB_SETCURSEL:
        case LB_SETCURSEL:
            SetSelection(c, index);
            result = c.selection;
            break;
        case CB_GETCURSEL:
        case LB_GETCURSEL:
            return c.selection;
        case CB_GETCOUNT:
        case LB_GETCOUNT:
            return count;
        case CB_GETLBTEXT:
        case LB_GETTEXT:
            if (index < 0 || index >= count || lParam == 0) {
                return CB_ERR;
            }
            {
                const std::string& item = c.items[static_cast<size_t>(index)];
                std::memcpy(reinterpret_cast<char*>(lParam), item.c_str(), item.size() + 1);
                return static_cast<LRESULT>(item.size());
            }
        case CB_GETLBTEXTLEN:
            if (index < 0 || index >= count) {
                return CB_ERR;
            }
            return static_cast<LRESULT>(c.items[static_cast<size_t>(index)].size());
        case CB_FINDSTRINGEXACT:
        case LB_FINDSTRINGEXACT:
            return FindExact(c, wParam, reinterpret_cast<const char*>(lParam));
        default:
            return 0;
    }
    Updated(dialog, &c);
    return result;
}

LRESULT ProgressMessage(DialogRecord* dialog, ControlRecord& c, UINT message, WPARAM wParam,
                        LPARAM lParam) {
    int old = c.position;
    switch (message) {
        case PBM_SETRANGE: {
            LRESULT was = MAKELPARAM(c.rangeLow, c.rangeHigh);
            c.rangeLow = LOWORD(static_cast<uintptr_t>(lParam));
            c.rangeHigh = HIWORD(static_cast<uintptr_t>(lParam));
            c.position = std::clamp(c.position, c.rangeLow, std::max(c.rangeLow, c.rangeHigh));
            Updated(dialog, &c);
            return was;
        }
        case PBM_SETPOS:
            c.position = static_cast<int>(static_cast<intptr_t>(wParam));
            break;
        case PBM_DELTAPOS:
            c.position += static_cast<int>(static_cast<intptr_t>(wParam));
            break;
        case PBM_SETSTEP: {
            int was = c.step;
            c.step = static_cast<int>(static_cast<intptr_t>(wParam));
            return was;
        }
        case PBM_STEPIT:
            c.position += c.step;
            if (c.position > c.rangeHigh && c.rangeHigh > c.rangeLow) {
                // Past the top the bar starts over from the bottom.
                c.position = c.rangeLow + (c.position - c.rangeLow) % (c.rangeHigh - c.rangeLow);
            }
            break;
        case PBM_GETPOS:
            return c.position;
        default:
            return 0;
    }
    c.position = std::clamp(c.position, c.rangeLow, std::max(c.rangeLow, c.rangeHigh));
    Updated(dialog, &c);
    return old;
}

LRESULT ControlWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogRecord* dialog = DialogOfControl(hwnd);
    ControlRecord* c = DialogFindControlByHandle(hwnd);
    if (dialog == nullptr || c == nullptr) {
        return 0;
    }
    switch (message) {
        case WM_SETTEXT: {
            c->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
            c->modified = false;
            Updated(dialog, c);
            if (c->kind == kControlEdit) {
                SendCommand(dialog, c, c->id, EN_CHANGE);
            }
            return 1;
        }
        case WM_GETTEXT:
            return CopyOut(c->text, reinterpret_cast<char*>(lParam),
                           static_cast<int>(static_cast<intptr_t>(wParam)));
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(c->text.size());
        case EM_GETMODIFY:
            return c->modified ? 1 : 0;
        case EM_SETMODIFY:
            c->modified = wParam != 0;
            return 0;
        case EM_LIMITTEXT:
            c->textLimit = static_cast<int>(wParam);
            return 0;
        case BM_GETCHECK:
            return c->checked ? BST_CHECKED : BST_UNCHECKED;
        case BM_SETCHECK:
            c->checked = wParam == BST_CHECKED;
            Updated(dialog, c);
            return 0;
        case BM_CLICK:
            PersonClicks(dialog->hwnd, c->id);
            return 0;
        default:
            break;
    }
    if (IsList(*c) && message >= CB_ADDSTRING && message <= LB_FINDSTRINGEXACT) {
        return ListMessage(dialog, *c, message, wParam, lParam);
    }
    if (c->kind == kControlProgressBar && message >= PBM_SETRANGE && message <= PBM_GETPOS) {
        return ProgressMessage(dialog, *c, message, wParam, lParam);
    }
    return 0;
}

LRESULT DialogWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogRecord* dialog = DialogFind(hwnd);
    if (dialog == nullptr) {
        return 0;
    }
    switch (message) {
        case WM_SETTEXT:
            dialog->title = lParam ? reinterpret_cast<const char*>(lParam) : "";
            Updated(dialog, nullptr);
            return 1;
        case WM_GETTEXT:
            return CopyOut(dialog->title, reinterpret_cast<char*>(lParam),
                           static_cast<int>(static_cast<intptr_t>(wParam)));
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(dialog->title.size());
        default:
            break;
    }
    INT_PTR answered = dialog->proc ? dialog->proc(hwnd, message, wParam, lParam) : 0;
    if (message == WM_CLOSE && answered == 0 && !dialog->ended) {
        // As the default dialog procedure: the close request is Cancel.
        SendCommand(dialog, nullptr, IDCANCEL, BN_CLICKED);
    }
    return answered;
}

void GiveUp() {
    for (DialogRecord* d : openDialogs) {
        if (!d->ended) {
            d->ended = true;
            d->result = IDCANCEL;
        }
    }
}

// ---- The headless back end -------------------------------------------------

void HeadlessRunModal(DialogRecord* dialog) {
    while (!dialog->ended) {
        DialogPump();
        if (dialog->ended) {
            break;
        }
        if (personSlot == nullptr || personSlot->act == nullptr ||
            !personSlot->act(dialog->hwnd, personSlot->context)) {
            GiveUp();
        }
    }
}

int HeadlessMessageBox(MessageBoxRecord* box) {
    if (personSlot && personSlot->answer) {
        return personSlot->answer(*box, personSlot->context);
    }
    return MessageBoxDefaultButton(box->type);
}

int HeadlessChooseFolder(HWND, const char* title, std::string* path) {
    if (personSlot && personSlot->chooseFolder) {
        return personSlot->chooseFolder(title, path, personSlot->context);
    }
    return 0;
}

const DialogBackend headlessBackend = {
    nullptr, HeadlessRunModal, nullptr, nullptr, HeadlessMessageBox, HeadlessChooseFolder,
};

bool IsButtonOf(UINT type, int id) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return id == IDOK || id == IDCANCEL;
        case MB_YESNO:
            return id == IDYES || id == IDNO;
        default:
            return id == IDOK;
    }
}

}  // namespace

// ---- Records ---------------------------------------------------------------

DialogRecord* DialogFind(HWND dialog) {
    for (DialogRecord* d : openDialogs) {
        if (d->hwnd == dialog) {
            return d;
        }
    }
    return nullptr;
}

ControlRecord* DialogFindControl(HWND dialog, int id) {
    DialogRecord* d = DialogFind(dialog);
    if (d == nullptr) {
        return nullptr;
    }
    for (ControlRecord& c : d->controls) {
        if (c.id == id) {
            return &c;
        }
    }
    return nullptr;
}

ControlRecord* DialogFindControlByHandle(HWND control) {
    DialogRecord* d = DialogOfControl(control);
    if (d == nullptr || control == d->hwnd) {
        return nullptr;
    }
    size_t index = static_cast<size_t>(control - d->hwnd - 1);
    return index < d->controls.size() ? &d->controls[index] : nullptr;
}

const std::vector<DialogRecord*>& DialogOpenDialogs() {
    return openDialogs;
}

std::vector<MessageBoxRecord> DialogTakeMessageBoxes() {
    return OnQueue([] {
        std::vector<MessageBoxRecord> boxes;
        boxes.swap(shownBoxes);
        return boxes;
    });
}

void DialogSetBackend(const DialogBackend* backend) {
    backendSlot = backend;
}

const DialogBackend* DialogHeadlessBackend() {
    return &headlessBackend;
}

void HeadlessSetPerson(const HeadlessPerson* person) {
    personSlot = person;
}

void DialogSetTextOrder(int (*collate)(const char*, const char*),
                        int (*equalNoCase)(const char*, const char*)) {
    collateSlot = collate ? collate : AsciiCompareNoCase;
    equalSlot = equalNoCase ? equalNoCase : AsciiCompareNoCase;
}

int MessageBoxDefaultButton(UINT type) {
    bool second = (type & MB_DEFMASK) == MB_DEFBUTTON2;
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return second ? IDCANCEL : IDOK;
        case MB_YESNO:
            return second ? IDNO : IDYES;
        default:
            return IDOK;
    }
}

// ---- The loop --------------------------------------------------------------

int DialogPump() {
    MessageRunThreadCalls();
    // Enough rounds for every waiting message; a timer that comes due again
    // at once waits for the next pump.
    for (int round = 0; round < 1000; ++round) {
        bool any = false;
        std::vector<HWND> handles;
        for (DialogRecord* d : openDialogs) {
            handles.push_back(d->hwnd);
        }
        for (HWND h : handles) {
            MSG msg;
            if (DialogFind(h) && PeekMessageA(&msg, h, 0, 0, PM_REMOVE)) {
                DispatchMessageA(&msg);
                any = true;
            }
        }
        any = MessageRunThreadCalls() > 0 || any;
        if (!any) {
            break;
        }
    }
    return TimerNextDueIn(GetTickCount());
}

void DialogWait(int timeoutMs) {
    uint32_t start = GetTickCount();
    for (;;) {
        int next = DialogPump();
        if (openDialogs.empty() || openDialogs.back()->ended) {
            return;
        }
        int left = timeoutMs - static_cast<int>(GetTickCount() - start);
        if (left <= 0) {
            return;
        }
        MessageWaitThreadCall(next >= 0 ? std::min(next, left) : left);
    }
}

// ---- Dialog calls ----------------------------------------------------------

INT_PTR DialogBoxParamA(const DialogTemplate* dialogTemplate, HWND owner, DLGPROC proc,
                        LPARAM param) {
    MessageClaimQueueThread();
    return OnQueue([=]() -> INT_PTR {
        if (dialogTemplate == nullptr || dialogTemplate->controlCount > kMostControls) {
            return -1;
        }
        auto dialog = std::make_unique<DialogRecord>();
        dialog->hwnd = nextDialogHandle;
        nextDialogHandle += kDialogHandleStride;
        if (nextDialogHandle < kDialogHandleBase) {
            nextDialogHandle = kDialogHandleBase;
        }
        dialog->owner = owner;
        dialog->dialogTemplate = dialogTemplate;
        dialog->proc = proc;
        dialog->title = dialogTemplate->title ? dialogTemplate->title : "";
        for (int i = 0; i < dialogTemplate->controlCount; ++i) {
            const DialogControl& t = dialogTemplate->controls[i];
            ControlRecord c;
            c.hwnd = dialog->hwnd + static_cast<HWND>(i) + 1;
            c.id = t.id;
            c.kind = t.kind;
            c.style = t.style;
            c.text = t.text ? t.text : "";
            c.visible = (t.style & kControlHidden) == 0;
            c.source = &t;
            dialog->controls.push_back(c);
        }
        DialogRecord* d = dialog.get();
        openDialogs.push_back(d);
        MessageSetWindowProc(d->hwnd, DialogWindowProc);
        for (const ControlRecord& c : d->controls) {
            MessageSetWindowProc(c.hwnd, ControlWindowProc);
        }
        const DialogBackend* b = Backend();
        if (b->open) {
            b->open(d);
        }
        SendMessageA(d->hwnd, WM_INITDIALOG, 0, param);
        if (!d->ended) {
            b->runModal(d);
        }
        if (b->close) {
            b->close(d);
        }
        for (const ControlRecord& c : d->controls) {
            MessageSetWindowProc(c.hwnd, nullptr);
        }
        MessageSetWindowProc(d->hwnd, nullptr);
        TimerKillWindow(d->hwnd);
        openDialogs.erase(std::find(openDialogs.begin(), openDialogs.end(), d));
        return d->result;
    });
}

int EndDialog(HWND dialog, INT_PTR result) {
    return OnQueue([=] {
        DialogRecord* d = DialogFind(dialog);
        if (d == nullptr) {
            return 0;
        }
        d->ended = true;
        d->result = result;
        return 1;
    });
}

HWND GetDlgItem(HWND dialog, int id) {
    return OnQueue([=] {
        ControlRecord* c = DialogFindControl(dialog, id);
        return c ? c->hwnd : HWND{0};
    });
}

int GetDlgCtrlID(HWND control) {
    return OnQueue([=] {
        ControlRecord* c = DialogFindControlByHandle(control);
        return c ? c->id : 0;
    });
}

HWND GetParent(HWND control) {
    return OnQueue([=] {
        DialogRecord* d = DialogOfControl(control);
        return d ? d->hwnd : HWND{0};
    });
}

int SetWindowTextA(HWND window, const char* text) {
    return static_cast<int>(SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextA(HWND window, char* buffer, int size) {
    if (buffer && size > 0) {
        buffer[0] = 0;
    }
    return static_cast<int>(SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(size),
                                         reinterpret_cast<LPARAM>(buffer)));
}

int SetDlgItemTextA(HWND dialog, int id, const char* text) {
    HWND control = GetDlgItem(dialog, id);
    return control ? SetWindowTextA(control, text) : 0;
}

UINT GetDlgItemTextA(HWND dialog, int id, char* buffer, int size) {
    HWND control = GetDlgItem(dialog, id);
    if (control == 0) {
        if (buffer && size > 0) {
            buffer[0] = 0;
        }
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(control, buffer, size));
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND control = GetDlgItem(dialog, id);
    return control ? SendMessageA(control, message, wParam, lParam) : 0;
}

int CheckDlgButton(HWND dialog, int id, UINT check) {
    return SendDlgItemMessageA(dialog, id, BM_SETCHECK, check, 0) == 0 &&
                   GetDlgItem(dialog, id) != 0
               ? 1
               : 0;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
    return static_cast<UINT>(SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0));
}

int ShowWindow(HWND window, int command) {
    return OnQueue([=] {
        bool show = command != SW_HIDE;
        if (DialogRecord* d = DialogFind(window)) {
            bool was = d->visible;
            d->visible = show;
            Updated(d, nullptr);
            return was ? 1 : 0;
        }
        if (ControlRecord* c = DialogFindControlByHandle(window)) {
            bool was = c->visible;
            c->visible = show;
            Updated(DialogOfControl(window), c);
            return was ? 1 : 0;
        }
        return 0;
    });
}

int EnableWindow(HWND window, int enable) {
    return OnQueue([=] {
        ControlRecord* c = DialogFindControlByHandle(window);
        if (c == nullptr) {
            return 0;
        }
        bool wasDisabled = !c->enabled;
        c->enabled = enable != 0;
        Updated(DialogOfControl(window), c);
        return wasDisabled ? 1 : 0;
    });
}

int IsWindowVisible(HWND window) {
    return OnQueue([=] {
        if (DialogRecord* d = DialogFind(window)) {
            return d->visible ? 1 : 0;
        }
        ControlRecord* c = DialogFindControlByHandle(window);
        return c && c->visible && DialogOfControl(window)->visible ? 1 : 0;
    });
}

int InvalidateRect(HWND window, const void*, int) {
    return OnQueue([=] {
        DialogRecord* d = DialogFind(window);
        if (d == nullptr) {
            d = DialogOfControl(window);
        }
        if (d == nullptr) {
            return 0;
        }
        Updated(d, nullptr);
        return 1;
    });
}

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
    MessageClaimQueueThread();
    return OnQueue([=] {
        MessageBoxRecord box;
        box.owner = owner;
        box.text = text ? text : "";
        box.caption = caption ? caption : "";
        box.type = type;
        int answer = Backend()->messageBox(&box);
        if (!IsButtonOf(type, answer)) {
            // Closing the box: Cancel, No, or OK alone.
            UINT kind = type & MB_TYPEMASK;
            answer = kind == MB_OKCANCEL ? IDCANCEL : kind == MB_YESNO ? IDNO : IDOK;
        }
        box.answer = answer;
        shownBoxes.push_back(box);
        return answer;
    });
}

int DialogChooseFolder(HWND owner, const char* title, char* path, size_t size) {
    return OnQueue([=] {
        std::string chosen = path ? path : "";
        if (!Backend()->chooseFolder(owner, title ? title : "", &chosen)) {
            return 0;
        }
        if (path == nullptr || chosen.size() + 1 > size) {
            return 0;
        }
        std::memcpy(path, chosen.c_str(), chosen.size() + 1);
        return 1;
    });
}

// ---- What a person does ----------------------------------------------------

namespace {

ControlRecord* Usable(HWND dialog, int id) {
    ControlRecord* c = DialogFindControl(dialog, id);
    return c && c->enabled && c->visible ? c : nullptr;
}

}  // namespace

int PersonTypes(HWND dialog, int id, const char* text) {
    ControlRecord* c = Usable(dialog, id);
    if (c == nullptr || !HasEditField(*c)) {
        return 0;
    }
    std::string typed = text ? text : "";
    if (c->textLimit > 0 && static_cast<int>(typed.size()) > c->textLimit) {
        typed.resize(static_cast<size_t>(c->textLimit));
    }
    c->text = typed;
    c->modified = true;
    DialogRecord* d = DialogFind(dialog);
    Updated(d, c);
    SendCommand(d, c, id, c->kind == kControlEdit ? EN_CHANGE : CBN_EDITCHANGE);
    return 1;
}

int PersonClicks(HWND dialog, int id) {
    ControlRecord* c = Usable(dialog, id);
    if (c == nullptr || (c->kind != kControlButton && c->kind != kControlCheckBox)) {
        return 0;
    }
    DialogRecord* d = DialogFind(dialog);
    if (c->kind == kControlCheckBox) {
        c->checked = !c->checked;
        Updated(d, c);
    }
    SendCommand(d, c, id, BN_CLICKED);
    return 1;
}

int PersonPicks(HWND dialog, int id, int position) {
    ControlRecord* c = Usable(dialog, id);
    if (c == nullptr || !IsList(*c) || position < 0 ||
        position >= static_cast<int>(c->items.size())) {
        return 0;
    }
    SetSelection(*c, position);
    c->modified = false;
    DialogRecord* d = DialogFind(dialog);
    Updated(d, c);
    SendCommand(d, c, id, c->kind == kControlListBox ? LBN_SELCHANGE : CBN_SELCHANGE);
    return 1;
}

int PersonPressesReturn(HWND dialog, int focusId) {
    DialogRecord* d = DialogFind(dialog);
    if (d == nullptr) {
        return 0;
    }
    if (focusId != 0) {
        ControlRecord* focused = Usable(dialog, focusId);
        if (focused && focused->kind == kControlButton) {
            return PersonClicks(dialog, focusId);
        }
    }
    for (ControlRecord& c : d->controls) {
        if (c.kind == kControlButton && (c.style & kControlDefault)) {
            if (!c.enabled || !c.visible) {
                return 0;
            }
            SendCommand(d, &c, c.id, BN_CLICKED);
            return 1;
        }
    }
    SendCommand(d, nullptr, IDOK, BN_CLICKED);
    return 1;
}

int PersonPressesEscape(HWND dialog) {
    DialogRecord* d = DialogFind(dialog);
    if (d == nullptr) {
        return 0;
    }
    ControlRecord* cancel = DialogFindControl(dialog, IDCANCEL);
    SendCommand(d, cancel, IDCANCEL, BN_CLICKED);
    return 1;
}
