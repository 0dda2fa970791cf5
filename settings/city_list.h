#pragma once

#include <cstdint>
#include <vector>

#include "settings/city_file.h"

// The city list of the current language in memory, and the settings
// dialog's operations on it: load, the time zone's default city, select,
// add and delete. Cities are shown in the dialog's sorted list (control
// 1002) and known by their position there; CityCurrent_en / CityCurrent_ru
// hold those positions.

struct CityList {
    int16_t count = 0;
    std::vector<CityRecord> entries;  // file order, at most kCityCapacity
    int32_t currentRu = -1;
    int32_t currentEn = -1;
};

extern CityList cityList;

// The default city's name of a whole-hour offset east of Greenwich in a
// language (offset 100 English, 0 Russian); "" where the table has none.
const char* CityDefaultName(int offsetHours, int languageOffset);

// Reloads the list for the current language from the file named by
// places00 / places01 and refills the dialog's sorted list. Returns 0 when
// the settings key cannot be made (the list then stays as it was).
int CityListLoad();
// The sorted position of the time zone's default city, or -1.
int CityDefaultForZone();
// The computer's standard-time offset in whole hours east, halves rounded up.
int CityZoneHours();
// After a load: the current position (stored, else the zone's, else 0);
// unless PlaceOther is set, it is selected, shown and highlighted.
void CityChooseCurrent();
// Makes the city at a sorted position the place.
void CityListSelect(int position);
// Adds the typed name with the typed place (asking first).
void CityListAdd();
// Deletes the typed or selected city (asking first).
void CityListDelete();
