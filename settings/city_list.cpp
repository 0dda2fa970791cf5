#include "settings/city_list.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/dialog_host.h"
#include "platform/time_zone.h"
#include "settings/cp1251.h"
#include "settings/data_files.h"
#include "settings/settings_dialog.h"
#include "settings/settings_store.h"
#include "settings/ui_locale.h"
#include "settings/ui_text.h"

CityList cityList;

namespace {

struct ZoneCity {
    int hours;
    const char* english;
    const char* russian;  // UTF-8 here, Windows-1251 when used
};

constexpr ZoneCity kZoneCities[] = {
    {-10, "Honolulu", "Гонолулу"},
    {-9, "Barrow (s)", "Барроу"},
    {-8, "Los Angeles Ap (s)", "Лос Анжелес"},
    {-7, "Williston", ""},
    {-6, "Chicago Co", "Чикаго"},
    {-5, "New York", "Нью-Йорк"},
    {-4, "Caracas", "Каракас"},
    {-3, "Buenos Aires", "Буэнос Айрес"},
    {0, "London", "Лондон"},
    {1, "Paris", "Париж"},
    {2, "Athens", "Киев"},
    {3, "Moscow", "Москва"},
    {4, "Samara", "Самара"},
    {5, "Ekaterinburg", "Екатеринбург"},
    {6, "Novosibirsk", "Новосибирск"},
    {7, "Bangkok", "Красноярск"},
    {8, "Hong Kong", "Иркутск"},
    {9, "Tokyo", "Якутск"},
    {10, "Canberra", "Владивосток"},
    {11, "Magadan", "Магадан"},
    {12, "Auckland", "Оклэнд"},
};

// The longest name the list's edit field takes: what a file may hold.
constexpr int kTypedNameSize = 299;

bool Russian() {
    return uiTextLanguageOffset == kUiTextRussian;
}

std::string SettingsPath() {
    char path[301] = {};
    if (!SettingsReadValue(kSettingsSubkey, Russian() ? kSettingPlaces01 : kSettingPlaces00, path,
                           300)) {
        path[0] = 0;
    }
    return path;
}

// The city file the list is read from: the one the settings name, else the
// installed one (settings/data_files.h).
std::string CurrentPath() {
    return DataFindFile(SettingsPath().c_str(),
                        Russian() ? kDataCitiesRussian : kDataCitiesEnglish);
}

// The city file that adding and deleting change: the one the settings name,
// else the user's installed one; never a system-wide file ("" then).
std::string ChangedPath() {
    std::string named = SettingsPath();
    if (!named.empty()) {
        return named;
    }
    std::string found = CurrentPath();
    std::string user = DataUserFolder();
    if (!user.empty() && found.compare(0, user.size(), user) == 0) {
        return found;
    }
    return "";
}

LRESULT List(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendDlgItemMessageA(settingsDialogWindow, kIdCityList, message, wParam, lParam);
}

int Find(const std::string& name) {
    return static_cast<int>(
        List(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name.c_str())));
}

std::string TypedName() {
    char name[kTypedNameSize + 1] = {};
    GetDlgItemTextA(settingsDialogWindow, kIdCityList, name, kTypedNameSize);
    return name;
}

void Message(const std::string& text, int captionId, UINT type) {
    MessageBoxA(settingsDialogWindow, text.c_str(), UiTextGet(captionId), type);
}

void Message(int textId, int captionId, UINT type) {
    Message(std::string(UiTextGet(textId)), captionId, type);
}

std::string Filled(int textId, const std::string& name) {
    size_t needed = UiTextFill(nullptr, 0, textId, name.c_str());
    std::string out(needed + 1, '\0');
    UiTextFill(out.data(), out.size(), textId, name.c_str());
    out.resize(needed);
    return out;
}

// The list as the file now is: entries, count and the sorted list.
void TakeRecords(const std::vector<CityRecord>& records) {
    cityList.entries = records;
    if (cityList.entries.size() > static_cast<size_t>(kCityCapacity)) {
        cityList.entries.resize(kCityCapacity);
    }
    cityList.count = static_cast<int16_t>(cityList.entries.size());
    List(CB_RESETCONTENT, 0, 0);
    for (const CityRecord& r : cityList.entries) {
        List(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(r.name.c_str()));
    }
}

void SelectAndHighlight(int position) {
    CityListSelect(position);
    List(CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

}  // namespace

const char* CityDefaultName(int offsetHours, int languageOffset) {
    static std::string russian[sizeof kZoneCities / sizeof kZoneCities[0]];
    for (size_t i = 0; i < sizeof kZoneCities / sizeof kZoneCities[0]; ++i) {
        if (kZoneCities[i].hours != offsetHours) {
            continue;
        }
        if (languageOffset != kUiTextRussian) {
            return kZoneCities[i].english;
        }
        if (russian[i].empty()) {
            Cp1251FromUtf8(kZoneCities[i].russian, &russian[i]);
        }
        return russian[i].c_str();
    }
    return "";
}

int CityZoneHours() {
    TimeZoneInformation zone;
    GetTimeZoneInformation(zone);
    double hours = -static_cast<double>(zone.bias + zone.standardBias) / 60.0;
    double whole = std::floor(hours);
    return static_cast<int>(whole) + (hours - whole >= 0.5 ? 1 : 0);
}

int CityListLoad() {
    if (!SettingsCreateKey(kSettingsSubkey)) {
        return 0;
    }
    std::string path = CurrentPath();
    cityList.entries.clear();
    cityList.count = 0;
    List(CB_RESETCONTENT, 0, 0);
    int32_t ru = -1, en = -1;
    if (!SettingsReadValue(kSettingsSubkey, kSettingCityCurrentRu, &ru, 4)) {
        ru = -1;
    }
    if (!SettingsReadValue(kSettingsSubkey, kSettingCityCurrentEn, &en, 4)) {
        en = -1;
    }
    cityList.currentRu = ru;
    cityList.currentEn = en;
    std::vector<uint8_t> bytes;
    if (path.empty() || !CityFileReadBytes(path, &bytes)) {
        return 1;
    }
    TakeRecords(CityFileParse(bytes).records);
    return 1;
}

int CityDefaultForZone() {
    const char* name = CityDefaultName(CityZoneHours(), uiTextLanguageOffset);
    return Find(name);
}

void CityChooseCurrent() {
    int position = Russian() ? cityList.currentRu : cityList.currentEn;
    if (position == -1) {
        position = CityDefaultForZone();
    }
    if (position == -1) {
        position = 0;
    }
    uint8_t placeOther = kSettingsDefaultPlaceOther;
    SettingsReadValue(kSettingsSubkey, kSettingPlaceOther, &placeOther, 1);
    if (placeOther == 0) {
        SelectAndHighlight(position);
    }
}

void CityListSelect(int position) {
    const CityRecord* city = nullptr;
    for (const CityRecord& r : cityList.entries) {
        if (Find(r.name) == position) {
            city = &r;
            break;
        }
    }
    if (city == nullptr) {
        return;
    }
    int32_t stored = position;
    if (Russian()) {
        cityList.currentRu = stored;
        SettingsWriteBinary(kSettingsSubkey, kSettingCityCurrentRu, &stored, 4);
    } else {
        cityList.currentEn = stored;
        SettingsWriteBinary(kSettingsSubkey, kSettingCityCurrentEn, &stored, 4);
    }
    placeLatitude = city->latitude;
    placeLongitude = city->longitude;
    SettingsShowPlace();
}

void CityListAdd() {
    if (cityList.count >= kCityCapacity) {
        Message(27, 28, MB_OK | MB_ICONWARNING);
        return;
    }
    std::string name = TypedName();
    // A file cannot hold a longer name; the field takes no more.
    if (name.size() > kCityNameLongest) {
        name.resize(kCityNameLongest);
    }
    if (Find(name) != -1) {
        Message(Filled(29, name), 28, MB_OK | MB_ICONWARNING);
        return;
    }
    SettingsReadPlace();
    DegreesMinutesSeconds lat = SplitAngle(placeLatitude);
    DegreesMinutesSeconds lon = SplitAngle(placeLongitude);
    char latitudeLetter = placeLatitude > 0 ? 'N' : 'S';
    char longitudeLetter = placeLongitude > 0 ? 'E' : 'W';
    std::string ask = UiTextGet(30);
    char line[700];
    std::snprintf(line, sizeof line, "%s: %s\n\r", UiTextGet(18), name.c_str());
    ask += line;
    std::snprintf(line, sizeof line, "%s: %d\xB0%d'%d\" %c  ", UiTextGet(7), lat.degrees,
                  lat.minutes, lat.seconds, latitudeLetter);
    ask += line;
    std::snprintf(line, sizeof line, "%s: %d\xB0%d'%d\" %c \n\r", UiTextGet(8), lon.degrees,
                  lon.minutes, lon.seconds, longitudeLetter);
    ask += line;
    if (MessageBoxA(settingsDialogWindow, ask.c_str(), UiTextGet(28),
                    MB_YESNO | MB_ICONINFORMATION) != IDYES) {
        return;
    }
    CityRecord record;
    record.latitude = static_cast<float>(placeLatitude);
    record.longitude = static_cast<float>(placeLongitude);
    record.name = name;
    // Another program may have changed the file since it was loaded: the
    // capacity and the name are checked again against the file itself.
    enum { kAdded, kFull, kDuplicate } outcome = kAdded;
    CityFileContents after;
    CityRewriteResult result = CityFileRewrite(
        ChangedPath(), true,
        [&](const CityFileContents&, std::vector<CityRecord>* records) {
            if (records->size() >= static_cast<size_t>(kCityCapacity)) {
                outcome = kFull;
                return false;
            }
            for (const CityRecord& r : *records) {
                if (UiLocaleCompareNoCase(r.name.c_str(), name.c_str()) == 0) {
                    outcome = kDuplicate;
                    return false;
                }
            }
            records->push_back(record);
            return true;
        },
        &after);
    if (result == kCityRewriteCannotOpen || result == kCityRewriteCannotWrite) {
        Message(32, 6, MB_OK | MB_ICONWARNING);
        return;
    }
    if (result == kCityRewriteUnchanged) {
        Message(outcome == kFull ? std::string(UiTextGet(27)) : Filled(29, name), 28,
                MB_OK | MB_ICONWARNING);
        return;
    }
    TakeRecords(after.records);
    int position = Find(name);
    if (position != -1) {
        SelectAndHighlight(position);
    }
}

void CityListDelete() {
    std::string name = TypedName();
    int position = Find(name);
    if (position == -1) {
        if (name.empty()) {
            Message(33, 35, MB_OK | MB_ICONWARNING);
        } else {
            Message(Filled(34, name), 35, MB_OK | MB_ICONWARNING);
        }
        return;
    }
    std::string ask = std::string(UiTextGet(36)) + " - " + name;
    if (MessageBoxA(settingsDialogWindow, ask.c_str(), UiTextGet(35),
                    MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) {
        return;
    }
    List(CB_DELETESTRING, static_cast<WPARAM>(position), 0);
    CityFileContents after;
    CityRewriteResult result = CityFileRewrite(
        ChangedPath(), false,
        [&](const CityFileContents&, std::vector<CityRecord>* records) {
            for (auto it = records->begin(); it != records->end(); ++it) {
                if (UiLocaleCompareNoCase(it->name.c_str(), name.c_str()) == 0) {
                    records->erase(it);
                    return true;
                }
            }
            return false;  // not in the file (changed by someone else): leave it intact
        },
        &after);
    if (result == kCityRewriteCannotOpen || result == kCityRewriteCannotWrite) {
        Message(37, 6, MB_OK | MB_ICONWARNING);
        return;
    }
    if (result == kCityRewriteDone) {
        TakeRecords(after.records);
    } else {
        // The file did not hold the name: show what it does hold.
        std::vector<uint8_t> bytes;
        CityFileReadBytes(ChangedPath(), &bytes);
        TakeRecords(CityFileParse(bytes).records);
    }
    int neighbour = std::max(0, std::min(position - 1, cityList.count - 1));
    SelectAndHighlight(neighbour);
}
