#pragma once

#include "platform/dialog_host.h"

// The settings dialog (template 2003): language, the four display flags, and
// the observer's place, picked from the city list or typed in degrees,
// minutes and seconds. Every change is written to the settings at once;
// there is nothing to apply, and cancelling undoes nothing.

// Control ids of template 2003.
constexpr int kIdCityList = 1002;
constexpr int kIdLatitudeDegrees = 1003;
constexpr int kIdLatitudeMinutes = 1004;
constexpr int kIdLatitudeSeconds = 1005;
constexpr int kIdLongitudeDegrees = 1006;
constexpr int kIdLongitudeMinutes = 1007;
constexpr int kIdLongitudeSeconds = 1008;
constexpr int kIdLatitudeButton = 1009;
constexpr int kIdLongitudeButton = 1010;
constexpr int kIdLongitudeLabel = 1011;
constexpr int kIdPlaceGroup = 1012;
constexpr int kIdCityListLabel = 1013;
constexpr int kIdShowStars = 1014;
constexpr int kIdUnitsLabel = 1015;
constexpr int kIdAddCity = 1016;
constexpr int kIdDeleteCity = 1017;
constexpr int kIdShowText = 1018;
constexpr int kIdLanguageLabel = 1019;
constexpr int kIdLanguage = 1021;
constexpr int kIdAbout = 1024;
constexpr int kIdSkyView = 1030;
constexpr int kIdShowMoonFacts = 1031;
constexpr int kIdLatitudeLabel = -1;  // the template's one control without an id

// The place the dialog shows and edits (degrees, north and east positive);
// 55° 08′ N, 60° 08′ E when the process starts.
extern double placeLatitude;
extern double placeLongitude;

// The open settings dialog, 0 when none.
extern HWND settingsDialogWindow;

const DialogTemplate* SettingsDialogTemplate();

// The dialog procedure.
INT_PTR SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the dialog modally with the interface locale's list order and
// returns its end value (1 OK, 2 cancel, -1 when it cannot be shown).
INT_PTR SettingsDialogRun(HWND owner);

// Shows the place in the six fields and the two hemisphere buttons, and
// writes Latitude and Longitude.
void SettingsShowPlace();
// Reads the six fields and the two buttons into the place, and writes it.
void SettingsReadPlace();
// Sets every text of the dialog from the interface texts.
void SettingsApplyTexts();

// An angle's absolute value as whole degrees, minutes and seconds, the
// seconds rounded half up, 60 seconds and 60 minutes folded upwards.
struct DegreesMinutesSeconds {
    int degrees = 0, minutes = 0, seconds = 0;
};
DegreesMinutesSeconds SplitAngle(double angle);
