// nocturo-dialog: runs the real settings dialog (or the About box) in the
// headless dialog host and acts on it from standard input, one action a
// line. After each action it prints the dialog's visible state as one JSON
// line; at the end the dialog's end value is the exit code. Texts read and
// printed are UTF-8. See docs/dialogs.md for the actions.
//
//   printf 'pick city Paris\nok\n' | nocturo-dialog

#include <cstdio>
#include <cstring>
#include <deque>
#include <iostream>
#include <string>

#include "platform/dialog_backend.h"
#include "settings/about_box.h"
#include "settings/cp1251.h"
#include "settings/settings_dialog.h"
#include "settings/settings_store.h"
#include "settings/ui_locale.h"
#include "settings/ui_text.h"

namespace {

struct Alias {
    const char* name;
    int id;
};

// Names for the controls of the settings dialog and the About box.
constexpr Alias kAliases[] = {
    {"ok", IDOK},
    {"cancel", IDCANCEL},
    {"language", kIdLanguage},
    {"stars", kIdShowStars},
    {"text", kIdShowText},
    {"sky-view", kIdSkyView},
    {"moon-facts", kIdShowMoonFacts},
    {"city", kIdCityList},
    {"lat-deg", kIdLatitudeDegrees},
    {"lat-min", kIdLatitudeMinutes},
    {"lat-sec", kIdLatitudeSeconds},
    {"lon-deg", kIdLongitudeDegrees},
    {"lon-min", kIdLongitudeMinutes},
    {"lon-sec", kIdLongitudeSeconds},
    {"lat-hemisphere", kIdLatitudeButton},
    {"lon-hemisphere", kIdLongitudeButton},
    {"add", kIdAddCity},
    {"delete", kIdDeleteCity},
    {"about", kIdAbout},
    {"web", kIdAboutWebLink},
    {"mail", kIdAboutMailLink},
};

std::string Json(const std::string& utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char esc[8];
                    std::snprintf(esc, sizeof esc, "\\u%04x", c);
                    out += esc;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

std::string JsonText(const std::string& cp1251) {
    return Json(Cp1251ToUtf8(cp1251.c_str()));
}

const char* KindName(DialogControlKind kind) {
    switch (kind) {
        case kControlLabel:
            return "label";
        case kControlGroupBox:
            return "group";
        case kControlButton:
            return "button";
        case kControlCheckBox:
            return "check";
        case kControlEdit:
            return "edit";
        case kControlDropDownList:
            return "dropdown";
        case kControlComboList:
            return "combolist";
        case kControlListBox:
            return "list";
        case kControlProgressBar:
            return "progress";
        case kControlPicture:
            return "picture";
        case kControlIcon:
            return "icon";
    }
    return "?";
}

std::string IconName(UINT type) {
    switch (type & MB_ICONMASK) {
        case MB_ICONWARNING:
            return "warning";
        case MB_ICONINFORMATION:
            return "information";
        case MB_ICONQUESTION:
            return "question";
        case MB_ICONERROR:
            return "error";
        default:
            return "none";
    }
}

std::string ButtonsName(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return "okcancel";
        case MB_YESNO:
            return "yesno";
        default:
            return "ok";
    }
}

std::string AnswerName(int id) {
    switch (id) {
        case IDOK:
            return "ok";
        case IDCANCEL:
            return "cancel";
        case IDYES:
            return "yes";
        case IDNO:
            return "no";
        default:
            return "none";
    }
}

std::string DialogJson(const DialogRecord* d) {
    if (d == nullptr) {
        return "null";
    }
    std::string out = "{\"template\":" + std::to_string(d->dialogTemplate->id) +
                      ",\"title\":" + JsonText(d->title) + ",\"controls\":[";
    bool first = true;
    for (const ControlRecord& c : d->controls) {
        out += first ? "" : ",";
        first = false;
        out += "{\"id\":" + std::to_string(c.id) + ",\"kind\":\"" + KindName(c.kind) + "\"";
        out += ",\"text\":" + JsonText(c.text);
        if (c.kind == kControlCheckBox) {
            out += std::string(",\"checked\":") + (c.checked ? "true" : "false");
        }
        if (!c.enabled) {
            out += ",\"enabled\":false";
        }
        if (!c.visible) {
            out += ",\"visible\":false";
        }
        if (c.kind == kControlProgressBar) {
            out += ",\"position\":" + std::to_string(c.position);
        }
        if (c.kind == kControlDropDownList || c.kind == kControlComboList ||
            c.kind == kControlListBox) {
            out += ",\"selection\":" + std::to_string(c.selection) + ",\"items\":[";
            for (size_t i = 0; i < c.items.size(); ++i) {
                out += (i ? "," : "") + JsonText(c.items[i]);
            }
            out += "]";
        }
        out += "}";
    }
    return out + "]}";
}

std::string SettingsJson() {
    std::string out = "{";
    bool first = true;
    for (const SettingsValueInfo& v : settingsValues) {
        std::string value;
        if (v.kind == kSettingsText) {
            char text[301] = {};
            if (!SettingsReadString(kSettingsSubkey, v.name, text, 300)) {
                continue;
            }
            value = Json(text);
        } else if (v.kind == kSettingsDouble) {
            double d = 0;
            if (!SettingsReadValue(kSettingsSubkey, v.name, &d, 8)) {
                continue;
            }
            char text[40];
            std::snprintf(text, sizeof text, "%.10g", d);
            value = text;
        } else if (v.kind == kSettingsInt32) {
            int32_t i = 0;
            if (!SettingsReadValue(kSettingsSubkey, v.name, &i, 4)) {
                continue;
            }
            value = std::to_string(i);
        } else {
            uint8_t b = 0;
            if (!SettingsReadValue(kSettingsSubkey, v.name, &b, 1)) {
                continue;
            }
            value = std::to_string(b);
        }
        out += (first ? "\"" : ",\"") + std::string(v.name) + "\":" + value;
        first = false;
    }
    return out + "}";
}

// The headless tool opens no browser: the About box's links are reported.
std::vector<std::string> opened;
void RecordOpen(const std::string& address) {
    opened.push_back(address);
}

struct Script {
    std::deque<int> answers;  // for the next message boxes
    std::string folder;       // for the next folder chooser
    bool haveFolder = false;
    std::string lastAction;
    bool lastOk = true;
    bool reportPending = false;
    bool escapedAtEnd = false;
};

void Report(Script& s) {
    if (!s.reportPending) {
        return;
    }
    s.reportPending = false;
    const auto& open = DialogOpenDialogs();
    const DialogRecord* d = open.empty() ? nullptr : open.back();
    std::string out = "{\"action\":" + Json(s.lastAction) +
                      ",\"ok\":" + (s.lastOk ? "true" : "false") + ",\"dialog\":" + DialogJson(d) +
                      ",\"messageBoxes\":[";
    std::vector<MessageBoxRecord> boxes = DialogTakeMessageBoxes();
    for (size_t i = 0; i < boxes.size(); ++i) {
        const MessageBoxRecord& b = boxes[i];
        out += (i ? "," : "") + std::string("{\"text\":") + JsonText(b.text) +
               ",\"caption\":" + JsonText(b.caption) + ",\"icon\":\"" + IconName(b.type) +
               "\",\"buttons\":\"" + ButtonsName(b.type) + "\",\"default\":\"" +
               AnswerName(MessageBoxDefaultButton(b.type)) + "\",\"answer\":\"" +
               AnswerName(b.answer) + "\"}";
    }
    out += "],\"opened\":[";
    for (size_t i = 0; i < opened.size(); ++i) {
        out += (i ? "," : "") + Json(opened[i]);
    }
    opened.clear();
    out += "],\"settings\":" + SettingsJson() + "}";
    std::fputs(out.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int ControlId(const std::string& word) {
    for (const Alias& a : kAliases) {
        if (word == a.name) {
            return a.id;
        }
    }
    char* end = nullptr;
    long id = std::strtol(word.c_str(), &end, 10);
    return (!word.empty() && *end == 0) ? static_cast<int>(id) : 0;
}

std::string ToCp1251(const std::string& utf8) {
    std::string out;
    Cp1251FromUtf8(utf8.c_str(), &out);
    return out;
}

// Splits "verb rest" and "word rest".
void Split(const std::string& line, std::string* first, std::string* rest) {
    size_t space = line.find(' ');
    *first = line.substr(0, space);
    *rest = space == std::string::npos ? "" : line.substr(space + 1);
}

bool Perform(HWND dialog, Script& s, const std::string& line) {
    std::string verb, rest, word, text;
    Split(line, &verb, &rest);
    Split(rest, &word, &text);
    if (verb == "type") {
        return PersonTypes(dialog, ControlId(word), ToCp1251(text).c_str()) == 1;
    }
    if (verb == "click") {
        return PersonClicks(dialog, ControlId(rest)) == 1;
    }
    if (verb == "pick" || verb == "pickat") {
        int id = ControlId(word);
        ControlRecord* c = DialogFindControl(dialog, id);
        if (c == nullptr) {
            return false;
        }
        int position = -1;
        if (verb == "pickat") {
            position = std::atoi(text.c_str());
        } else {
            std::string name = ToCp1251(text);
            position = static_cast<int>(
                SendDlgItemMessageA(dialog, id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(name.c_str())));
        }
        return PersonPicks(dialog, id, position) == 1;
    }
    if (verb == "language") {
        int position = rest == "en" || rest == "English"   ? 0
                       : rest == "ru" || rest == "Russian" ? 1
                                                           : -1;
        return PersonPicks(dialog, kIdLanguage, position) == 1;
    }
    if (verb == "answer") {
        int id = rest == "yes"      ? IDYES
                 : rest == "no"     ? IDNO
                 : rest == "ok"     ? IDOK
                 : rest == "cancel" ? IDCANCEL
                                    : 0;
        if (id == 0) {
            return false;
        }
        s.answers.push_back(id);
        return true;
    }
    if (verb == "folder") {
        s.folder = ToCp1251(rest);
        s.haveFolder = true;
        return true;
    }
    if (verb == "ok" || verb == "return") {
        return PersonPressesReturn(dialog, rest.empty() ? 0 : ControlId(rest)) == 1;
    }
    if (verb == "cancel" || verb == "escape" || verb == "close") {
        return PersonPressesEscape(dialog) == 1;
    }
    if (verb == "wait") {
        DialogWait(std::atoi(rest.c_str()));
        return true;
    }
    if (verb == "state") {
        return true;
    }
    return false;
}

int Act(HWND dialog, void* context) {
    Script& s = *static_cast<Script*>(context);
    Report(s);
    std::string line;
    for (;;) {
        if (!std::getline(std::cin, line)) {
            // The end of the script closes the dialog, as a person would.
            if (s.escapedAtEnd) {
                return 0;
            }
            s.escapedAtEnd = true;
            PersonPressesEscape(dialog);
            return 1;
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && line[0] != '#') {
            break;
        }
    }
    s.lastAction = line;
    s.reportPending = true;
    s.lastOk = Perform(dialog, s, line);
    return 1;
}

int Answer(const MessageBoxRecord& box, void* context) {
    Script& s = *static_cast<Script*>(context);
    if (s.answers.empty()) {
        return MessageBoxDefaultButton(box.type);
    }
    int id = s.answers.front();
    s.answers.pop_front();
    return id;
}

int ChooseFolder(const char*, std::string* path, void* context) {
    Script& s = *static_cast<Script*>(context);
    if (!s.haveFolder) {
        return 0;
    }
    s.haveFolder = false;
    *path = s.folder;
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string which = argc > 1 ? argv[1] : "settings";
    if (argc > 2 || (which != "settings" && which != "about")) {
        std::fprintf(
            stderr,
            "usage: nocturo-dialog [settings|about] < actions\n"
            "actions, one a line: type ID TEXT | click ID | pick ID NAME | pickat ID N |\n"
            "  language en|ru | answer yes|no|ok|cancel | folder PATH | ok | return [ID] |\n"
            "  cancel | wait MS | state   (ID: a number or a name such as city, lat-deg)\n");
        return 64;
    }
    Script script;
    HeadlessPerson person{Act, Answer, ChooseFolder, &script};
    HeadlessSetPerson(&person);
    aboutOpenSlot = RecordOpen;
    INT_PTR result = 0;
    if (which == "settings") {
        result = SettingsDialogRun(0);
    } else {
        // The About box speaks the stored language, as it does inside the dialog.
        int32_t language = kSettingsDefaultLanguage;
        SettingsReadValue(kSettingsSubkey, kSettingLanguage, &language, 4);
        UiTextSelectLanguage(language);
        UiTextBuild();
        result = AboutBoxRun(0);
    }
    Report(script);
    std::printf("{\"ended\":true,\"result\":%d,\"settings\":%s}\n", static_cast<int>(result),
                SettingsJson().c_str());
    return static_cast<int>(result);
}
