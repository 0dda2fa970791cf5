#include "settings/settings_dialog.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "settings/about_box.h"
#include "settings/city_list.h"
#include "settings/settings_store.h"
#include "settings/ui_locale.h"
#include "settings/ui_text.h"

double placeLatitude = 55.0 + 8.0 / 60.0;
double placeLongitude = 60.0 + 8.0 / 60.0;
HWND settingsDialogWindow = 0;

namespace {

// The controls of template 2003 on the host's grid: language and the four
// flags on top, then the place group with the city list on the left and
// the coordinates and the list buttons on the right, About and OK below.
// Texts are set from the interface texts when the dialog opens.
const DialogControl kControls[] = {
    {kIdLanguageLabel, kControlLabel, "Language", 0, 0},
    {kIdLanguage, kControlDropDownList, "", 0, 1, 1, 1, kControlFill},
    {kIdShowStars, kControlCheckBox, "Show stars", 1, 0, 1, 2},
    {kIdShowText, kControlCheckBox, "Show text information", 2, 0, 1, 2},
    {kIdSkyView, kControlCheckBox, "Sky view", 3, 0, 1, 2},
    {kIdShowMoonFacts, kControlCheckBox, "Moon facts", 4, 0, 1, 2},
    {kIdPlaceGroup, kControlGroupBox, "Observer place", 5, 0, 1, 2, kControlFill | kControlTall},
    {kIdCityListLabel, kControlLabel, "List of the Cities", 0, 0, 1, 1, 0, kIdPlaceGroup},
    {kIdCityList, kControlComboList, "", 1, 0, 6, 1, kControlSorted | kControlFill | kControlTall,
     kIdPlaceGroup, 26, 12},
    {kIdUnitsLabel, kControlLabel, "degrees   minutes   seconds", 1, 2, 1, 3, 0, kIdPlaceGroup},
    {kIdLatitudeLabel, kControlLabel, "Latitude", 2, 1, 1, 1, 0, kIdPlaceGroup},
    {kIdLatitudeDegrees, kControlEdit, "", 2, 2, 1, 1, 0, kIdPlaceGroup, 4},
    {kIdLatitudeMinutes, kControlEdit, "", 2, 3, 1, 1, 0, kIdPlaceGroup, 4},
    {kIdLatitudeSeconds, kControlEdit, "", 2, 4, 1, 1, 0, kIdPlaceGroup, 4},
    {kIdLatitudeButton, kControlButton, "Northern", 2, 5, 1, 1, kControlFlat, kIdPlaceGroup},
    {kIdLongitudeLabel, kControlLabel, "Longitude", 3, 1, 1, 1, 0, kIdPlaceGroup},
    {kIdLongitudeDegrees, kControlEdit, "", 3, 2, 1, 1, 0, kIdPlaceGroup, 4},
    {kIdLongitudeMinutes, kControlEdit, "", 3, 3, 1, 1, 0, kIdPlaceGroup, 4},
    {kIdLongitudeSeconds, kControlEdit, "", 3, 4, 1, 1, 0, kIdPlaceGroup, 4},
    {kIdLongitudeButton, kControlButton, "Eastern", 3, 5, 1, 1, kControlFlat, kIdPlaceGroup},
    {kIdAddCity, kControlButton, "Add place in the list", 4, 1, 1, 5, 0, kIdPlaceGroup},
    {kIdDeleteCity, kControlButton, "Delete place from the list", 5, 1, 1, 5, 0, kIdPlaceGroup},
    // Takes the height the list needs beyond the rows beside it.
    {0, kControlLabel, "", 6, 1, 1, 5, kControlTall, kIdPlaceGroup},
    {kIdAbout, kControlButton, "About", 6, 0},
    {IDOK, kControlButton, "OK", 6, 1, 1, 1, kControlDefault},
};

const DialogTemplate kTemplate = {2003, " Nocturo", kControls,
                                  static_cast<int>(sizeof kControls / sizeof kControls[0])};

// The most characters a coordinate field is read with.
constexpr int kFieldChars = 18;

void SetText(int id, int textId) {
    SetDlgItemTextA(settingsDialogWindow, id, UiTextGet(textId));
}

void WriteByte(const char* name, uint8_t value) {
    SettingsWriteBinary(kSettingsSubkey, name, &value, 1);
}

void WritePlace() {
    SettingsWriteBinary(kSettingsSubkey, kSettingLatitude, &placeLatitude, 8);
    SettingsWriteBinary(kSettingsSubkey, kSettingLongitude, &placeLongitude, 8);
}

void SetNumber(int id, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    SetDlgItemTextA(settingsDialogWindow, id, text);
}

double ReadField(int id) {
    char text[kFieldChars + 1] = {};
    GetDlgItemTextA(settingsDialogWindow, id, text, sizeof text);
    return UiLocaleToDouble(text);
}

void ShowHemispheres() {
    SetText(kIdLatitudeButton, placeLatitude > 0 ? 9 : 10);
    SetText(kIdLongitudeButton, placeLongitude > 0 ? 11 : 12);
}

// Fills the city list for the current language and chooses its city.
void FillCities() {
    CityListLoad();
    CityChooseCurrent();
}

// A flag's box from the store; a missing value shows its default.
void ReadCheck(const char* name, int id, uint8_t fallback = 1) {
    uint8_t value = fallback;
    SettingsReadValue(kSettingsSubkey, name, &value, 1);
    CheckDlgButton(settingsDialogWindow, id, (value & 1) ? BST_CHECKED : BST_UNCHECKED);
}

void SelectLanguage(int32_t value) {
    UiTextSelectLanguage(value);
}

void Open(HWND dialog) {
    settingsDialogWindow = dialog;
    int32_t language = kSettingsDefaultLanguage;
    if (!SettingsReadValue(kSettingsSubkey, kSettingLanguage, &language, 4)) {
        int32_t english = kSettingsLanguageEnglish;
        SettingsWriteBinary(kSettingsSubkey, kSettingLanguage, &english, 4);
    }
    SendDlgItemMessageA(dialog, kIdLanguage, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("English"));
    SendDlgItemMessageA(dialog, kIdLanguage, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Russian"));
    SendDlgItemMessageA(dialog, kIdLanguage, CB_SETCURSEL, static_cast<WPARAM>(language), 0);
    SelectLanguage(language);
    UiTextBuild();
    SettingsApplyTexts();
    // A name longer than a city file holds cannot be typed.
    SendDlgItemMessageA(dialog, kIdCityList, EM_LIMITTEXT, kCityNameLongest, 0);
    double latitude = placeLatitude, longitude = placeLongitude;
    if (SettingsReadValue(kSettingsSubkey, kSettingLatitude, &latitude, 8)) {
        placeLatitude = latitude;
    }
    if (SettingsReadValue(kSettingsSubkey, kSettingLongitude, &longitude, 8)) {
        placeLongitude = longitude;
    }
    SettingsShowPlace();
    FillCities();
    ReadCheck(kSettingShowStar, kIdShowStars);
    ReadCheck(kSettingShowText, kIdShowText);
    ReadCheck(kSettingSkyView, kIdSkyView, kSettingsDefaultSkyView);
    ReadCheck(kSettingShowMoonFacts, kIdShowMoonFacts, kSettingsDefaultShowMoonFacts);
}

void SwitchHemisphere(double* angle, int id, int positiveText, int negativeText) {
    *angle = -*angle;
    SetText(id, *angle > 0 ? positiveText : negativeText);
    WriteByte(kSettingPlaceOther, 1);
}

void Command(HWND dialog, int id, int code) {
    switch (id) {
        case IDOK:
            SettingsReadPlace();
            if (std::fabs(placeLongitude) > 180.0) {
                MessageBoxA(dialog, UiTextGet(39), "Nocturo", MB_OK | MB_ICONWARNING);
            } else if (std::fabs(placeLatitude) > 90.0) {
                MessageBoxA(dialog, UiTextGet(40), "Nocturo", MB_OK | MB_ICONWARNING);
            } else {
                WritePlace();
                EndDialog(dialog, 1);
            }
            return;
        case IDCANCEL:
            EndDialog(dialog, 2);
            return;
        case kIdCityList:
            if (code == CBN_SELCHANGE) {
                CityListSelect(
                    static_cast<int>(SendDlgItemMessageA(dialog, kIdCityList, CB_GETCURSEL, 0, 0)));
                WriteByte(kSettingPlaceOther, 0);
            }
            return;
        case kIdLatitudeDegrees:
        case kIdLatitudeMinutes:
        case kIdLatitudeSeconds:
        case kIdLongitudeDegrees:
        case kIdLongitudeMinutes:
        case kIdLongitudeSeconds:
            if (SendDlgItemMessageA(dialog, id, EM_GETMODIFY, 0, 0)) {
                SendDlgItemMessageA(dialog, id, EM_SETMODIFY, 0, 0);
                WriteByte(kSettingPlaceOther, 1);
            }
            return;
        case kIdLatitudeButton:
            SwitchHemisphere(&placeLatitude, id, 9, 10);
            return;
        case kIdLongitudeButton:
            SwitchHemisphere(&placeLongitude, id, 11, 12);
            return;
        case kIdShowStars:
        case kIdShowText:
            WriteByte(id == kIdShowStars ? kSettingShowStar : kSettingShowText,
                      static_cast<uint8_t>(IsDlgButtonChecked(dialog, id) & 1));
            return;
        case kIdSkyView:
        case kIdShowMoonFacts:
            WriteByte(id == kIdSkyView ? kSettingSkyView : kSettingShowMoonFacts,
                      static_cast<uint8_t>(IsDlgButtonChecked(dialog, id) & 1));
            return;
        case kIdAddCity:
            CityListAdd();
            return;
        case kIdDeleteCity:
            CityListDelete();
            return;
        case kIdLanguage:
            if (code == CBN_SELCHANGE) {
                int32_t selection = static_cast<int32_t>(
                    SendDlgItemMessageA(dialog, kIdLanguage, CB_GETCURSEL, 0, 0));
                SelectLanguage(selection);
                SettingsApplyTexts();
                SettingsWriteBinary(kSettingsSubkey, kSettingLanguage, &selection, 4);
                FillCities();
            }
            return;
        case kIdAbout:
            AboutBoxRun(dialog);
            return;
        default:
            return;
    }
}

}  // namespace

const DialogTemplate* SettingsDialogTemplate() {
    return &kTemplate;
}

DegreesMinutesSeconds SplitAngle(double angle) {
    double a = std::fabs(angle);
    DegreesMinutesSeconds s;
    double degrees = std::floor(a);
    double minutes = std::floor((a - degrees) * 60.0);
    double seconds = ((a - degrees) * 60.0 - minutes) * 60.0;
    double whole = std::floor(seconds);
    s.degrees = static_cast<int>(degrees);
    s.minutes = static_cast<int>(minutes);
    s.seconds = static_cast<int>(whole) + (seconds - whole >= 0.5 ? 1 : 0);
    if (s.seconds == 60) {
        s.seconds = 0;
        ++s.minutes;
        if (s.minutes == 60) {
            s.minutes = 0;
            ++s.degrees;
        }
    }
    return s;
}

void SettingsShowPlace() {
    DegreesMinutesSeconds lat = SplitAngle(placeLatitude);
    DegreesMinutesSeconds lon = SplitAngle(placeLongitude);
    SetNumber(kIdLatitudeDegrees, lat.degrees);
    SetNumber(kIdLatitudeMinutes, lat.minutes);
    SetNumber(kIdLatitudeSeconds, lat.seconds);
    SetNumber(kIdLongitudeDegrees, lon.degrees);
    SetNumber(kIdLongitudeMinutes, lon.minutes);
    SetNumber(kIdLongitudeSeconds, lon.seconds);
    ShowHemispheres();
    WritePlace();
}

void SettingsReadPlace() {
    placeLatitude = ReadField(kIdLatitudeDegrees) + ReadField(kIdLatitudeMinutes) / 60.0 +
                    ReadField(kIdLatitudeSeconds) / 3600.0;
    placeLongitude = ReadField(kIdLongitudeDegrees) + ReadField(kIdLongitudeMinutes) / 60.0 +
                     ReadField(kIdLongitudeSeconds) / 3600.0;
    char text[64] = {};
    GetDlgItemTextA(settingsDialogWindow, kIdLatitudeButton, text, sizeof text);
    if (std::strcmp(text, UiTextGet(9)) != 0) {
        placeLatitude = -placeLatitude;
    }
    GetDlgItemTextA(settingsDialogWindow, kIdLongitudeButton, text, sizeof text);
    if (std::strcmp(text, UiTextGet(11)) != 0) {
        placeLongitude = -placeLongitude;
    }
    WritePlace();
}

void SettingsApplyTexts() {
    SetWindowTextA(settingsDialogWindow, UiTextGet(2));
    SetText(kIdShowStars, 4);
    SetText(kIdShowText, 5);
    SetText(kIdSkyView, 65);
    SetText(kIdShowMoonFacts, 66);
    SetText(kIdPlaceGroup, 6);
    SetText(kIdLatitudeLabel, 7);
    SetText(kIdLongitudeLabel, 8);
    ShowHemispheres();
    SetText(kIdCityListLabel, 15);
    SetText(kIdAddCity, 16);
    SetText(kIdDeleteCity, 17);
    SetText(kIdUnitsLabel, 25);
    SetText(kIdLanguageLabel, 13);
    SetText(kIdAbout, 52);
}

INT_PTR SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        Open(dialog);
        return 0;
    }
    if (message == WM_COMMAND) {
        Command(dialog, LOWORD(wParam), HIWORD(wParam));
        return 1;
    }
    return 0;
}

INT_PTR SettingsDialogRun(HWND owner) {
    DialogSetTextOrder(UiLocaleCollateNoCase, UiLocaleCompareNoCase);
    INT_PTR result = DialogBoxParamA(&kTemplate, owner, SettingsDialogProc, 0);
    settingsDialogWindow = 0;
    return result;
}
