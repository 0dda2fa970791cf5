#include "settings/settings_dialog.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/dialog_backend.h"
#include "settings/city_file.h"
#include "settings/city_list.h"
#include "settings/cp1251.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"
#include "tests/support/temporary_store.h"

// The settings dialog procedure in the headless host, with a temporary
// settings store and small city files: what it shows, stores and asks.

namespace {

std::deque<std::function<void(HWND)>> actions;
std::deque<int> answers;

int Act(HWND dialog, void*) {
    if (actions.empty()) {
        return 0;
    }
    auto action = actions.front();
    actions.pop_front();
    action(dialog);
    return 1;
}

int Answer(const MessageBoxRecord& box, void*) {
    if (answers.empty()) {
        return MessageBoxDefaultButton(box.type);
    }
    int a = answers.front();
    answers.pop_front();
    return a;
}

const HeadlessPerson person = {Act, Answer, nullptr, nullptr};

std::string Cp(const char* utf8) {
    std::string out;
    Cp1251FromUtf8(utf8, &out);
    return out;
}

CityRecord City(const std::string& name, float lat, float lon) {
    CityRecord r;
    r.latitude = lat;
    r.longitude = lon;
    r.name = name;
    return r;
}

class SettingsDialogTest : public TemporaryStore {
  protected:
    void SetUp() override {
        TemporaryStore::SetUp();
        const char* tz = std::getenv("TZ");
        savedZone_ = tz ? tz : "";
        hadZone_ = tz != nullptr;
        Zone("Europe/Paris");
        MessageReset();
        DialogSetBackend(nullptr);
        HeadlessSetPerson(&person);
        DialogTakeMessageBoxes();
        actions.clear();
        answers.clear();
        placeLatitude = 55.0 + 8.0 / 60.0;
        placeLongitude = 60.0 + 8.0 / 60.0;
        uiTextLanguageOffset = kUiTextRussian;
        ASSERT_EQ(SettingsCreateKey(kSettingsSubkey), 1);
        en_ = root_ + "/town_en";
        ru_ = root_ + "/town_ru";
        SettingsWriteString(kSettingsSubkey, kSettingPlaces00, en_.c_str(),
                            static_cast<uint32_t>(en_.size()));
        SettingsWriteString(kSettingsSubkey, kSettingPlaces01, ru_.c_str(),
                            static_cast<uint32_t>(ru_.size()));
    }
    void TearDown() override {
        if (hadZone_) {
            setenv("TZ", savedZone_.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
        TemporaryStore::TearDown();
    }
    static void Zone(const char* name) {
        setenv("TZ", name, 1);
        tzset();
    }
    void WriteTowns(const std::string& path, const std::vector<CityRecord>& records) {
        std::vector<uint8_t> b = CityFileEncode(records);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    std::vector<CityRecord> ReadTowns(const std::string& path) {
        std::vector<uint8_t> b;
        CityFileReadBytes(path, &b);
        return CityFileParse(b).records;
    }
    void EnglishTowns() {
        WriteTowns(en_, {City("Paris", 48.8566f, 2.3522f), City("London", 51.5f, -0.12f),
                         City("Belem", -1.45f, -48.5f), City("Athens", 37.98f, 23.73f),
                         City("belem", 10.0f, 10.0f)});
    }
    template <class T>
    void Set(const char* name, T value) {
        SettingsWriteBinary(kSettingsSubkey, name, &value, sizeof value);
    }
    template <class T>
    T Get(const char* name, T preset) {
        SettingsReadValue(kSettingsSubkey, name, &preset, sizeof preset);
        return preset;
    }
    INT_PTR Run() { return SettingsDialogRun(0); }

    static const ControlRecord& Control(HWND d, int id) { return *DialogFindControl(d, id); }
    static std::string Text(HWND d, int id) { return Control(d, id).text; }
    static std::string Fields(HWND d) {
        std::string s;
        for (int id = kIdLatitudeDegrees; id <= kIdLongitudeSeconds; ++id) {
            s += Text(d, id) + (id == kIdLongitudeSeconds ? "" : " ");
        }
        return s;
    }
    static void TypePlace(HWND d, const char* lat, const char* lon) {
        std::string a = lat, b = lon;
        auto put = [d](int first, const std::string& dms) {
            size_t p1 = dms.find(' '), p2 = dms.rfind(' ');
            PersonTypes(d, first, dms.substr(0, p1).c_str());
            PersonTypes(d, first + 1, dms.substr(p1 + 1, p2 - p1 - 1).c_str());
            PersonTypes(d, first + 2, dms.substr(p2 + 1).c_str());
        };
        put(kIdLatitudeDegrees, a);
        put(kIdLongitudeDegrees, b);
    }

    std::string en_, ru_;
    std::string savedZone_;
    bool hadZone_ = false;
};

TEST_F(SettingsDialogTest, OpensWithTheZonesCityWhenNothingIsStored) {
    EnglishTowns();
    std::vector<std::string> shown;
    actions = {[&](HWND d) {
        EXPECT_EQ(Text(d, kIdLanguage), "English");
        EXPECT_EQ(DialogFind(d)->title, " Nocturo");
        EXPECT_EQ(Text(d, kIdAddCity), "Add place in the list");
        EXPECT_TRUE(Control(d, kIdShowStars).checked);
        shown = Control(d, kIdCityList).items;
        EXPECT_EQ(Text(d, kIdCityList), "Paris");
        EXPECT_EQ(Fields(d), "48 51 24 2 21 8");
        EXPECT_EQ(Text(d, kIdLatitudeButton), "Northern");
        PersonPressesEscape(d);
    }};
    EXPECT_EQ(Run(), 2);
    EXPECT_EQ(shown, (std::vector<std::string>{"Athens", "Belem", "belem", "London", "Paris"}));
    EXPECT_EQ(Get<int32_t>(kSettingLanguage, -9), 0);  // written back
    EXPECT_EQ(Get<int32_t>(kSettingCityCurrentEn, -9), 4);
    EXPECT_FLOAT_EQ(static_cast<float>(Get<double>(kSettingLatitude, 0)), 48.8566f);
}

TEST_F(SettingsDialogTest, StoredPlaceWithPlaceOtherSelectsNoCity) {
    EnglishTowns();
    Set<double>(kSettingLatitude, -33.5);
    Set<double>(kSettingLongitude, -70.25);
    Set<uint8_t>(kSettingPlaceOther, 1);
    Set<uint8_t>(kSettingShowStar, 0);
    actions = {[&](HWND d) {
                   EXPECT_EQ(Control(d, kIdCityList).selection, -1);
                   EXPECT_EQ(Fields(d), "33 30 0 70 15 0");
                   EXPECT_EQ(Text(d, kIdLatitudeButton), "Southern");
                   EXPECT_EQ(Text(d, kIdLongitudeButton), "Western");
                   EXPECT_FALSE(Control(d, kIdShowStars).checked);
                   PersonPicks(d, kIdCityList, 0);  // any city sets it back
               },
               [&](HWND d) {
                   EXPECT_EQ(Get<uint8_t>(kSettingPlaceOther, 9), 0);
                   EXPECT_EQ(Text(d, kIdCityList), "Athens");
                   PersonClicks(d, kIdShowStars);
               },
               [&](HWND d) { PersonPressesReturn(d, 0); }};
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(Get<uint8_t>(kSettingShowStar, 9), 1);
    EXPECT_FLOAT_EQ(static_cast<float>(Get<double>(kSettingLatitude, 0)), 37.98f);
}

// The sky view and the Moon's facts start cleared when nothing is stored,
// show what is stored, and a click writes at once (before the dialog ends),
// with their texts in both languages.
TEST_F(SettingsDialogTest, SkyViewAndMoonFactsBoxesStoreAtOnce) {
    EnglishTowns();
    Set<uint8_t>(kSettingShowMoonFacts, 1);
    actions = {[&](HWND d) {
                   EXPECT_EQ(Text(d, kIdSkyView), "Sky view");
                   EXPECT_EQ(Text(d, kIdShowMoonFacts), "Moon facts");
                   EXPECT_FALSE(Control(d, kIdSkyView).checked);
                   EXPECT_TRUE(Control(d, kIdShowMoonFacts).checked);
                   PersonClicks(d, kIdSkyView);
               },
               [&](HWND d) {
                   EXPECT_EQ(Get<uint8_t>(kSettingSkyView, 9), 1);
                   PersonClicks(d, kIdShowMoonFacts);
               },
               [&](HWND d) {
                   EXPECT_EQ(Get<uint8_t>(kSettingShowMoonFacts, 9), 0);
                   PersonPicks(d, kIdLanguage, 1);
               },
               [&](HWND d) {
                   EXPECT_EQ(Text(d, kIdSkyView), Cp("Луна как на небе"));
                   EXPECT_EQ(Text(d, kIdShowMoonFacts), Cp("Сведения о Луне"));
                   PersonPressesEscape(d);
               }};
    EXPECT_EQ(Run(), 2);
    // Escape undoes nothing.
    EXPECT_EQ(Get<uint8_t>(kSettingSkyView, 9), 1);
    EXPECT_EQ(Get<uint8_t>(kSettingShowMoonFacts, 9), 0);
}

TEST_F(SettingsDialogTest, TypedPlacesAreFoldedRoundedAndRangeChecked) {
    struct Case {
        const char* lat;
        const char* lon;
        int result;         // 1: stored and ended; 0: a warning and the dialog stays
        const char* shown;  // the fields after showing the stored place again
    };
    const Case cases[] = {
        {"10 75 0", "20 0 3599.6", 1, "11 15 0 21 0 0"},  // minutes and seconds fold upwards
        {"0 0 0", "0 0 0", 1, "0 0 0 0 0 0"},
        {"90 0 0", "180 0 0", 1, "90 0 0 180 0 0"},
        {"90 0 1", "10 0 0", 0, ""},
        {"10 0 0", "180 0 0.5", 0, ""},
        {"-5 0 0", "1 0 0", 1, "5 0 0 1 0 0"},  // a minus typed is a negative number
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.lat) + " / " + c.lon);
        Set<uint8_t>(kSettingPlaceOther, 0);
        std::vector<MessageBoxRecord> boxes;
        actions = {[&](HWND d) {
                       TypePlace(d, c.lat, c.lon);
                       EXPECT_EQ(Get<uint8_t>(kSettingPlaceOther, 9), 1);
                       PersonPressesReturn(d, 0);
                   },
                   [&](HWND d) {
                       boxes = DialogTakeMessageBoxes();
                       PersonPressesEscape(d);
                   }};
        INT_PTR result = Run();
        if (c.result == 1) {
            EXPECT_EQ(result, 1);
            actions = {[&](HWND d) {
                EXPECT_EQ(Fields(d), c.shown);
                PersonPressesEscape(d);
            }};
            Run();
        } else {
            EXPECT_EQ(result, 2);  // OK kept it open; Escape ended it
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].caption, "Nocturo");
            EXPECT_EQ(boxes[0].type & MB_ICONMASK, MB_ICONWARNING);
            EXPECT_NE(boxes[0].text.find("out of range"), std::string::npos);
        }
    }
}

TEST_F(SettingsDialogTest, HemisphereButtonsAtZeroAndSecondsRoundingToSixty) {
    Set<double>(kSettingLatitude, 0.0);
    Set<double>(kSettingLongitude, 10.0 + 59.0 / 60.0 + 59.6 / 3600.0);
    Set<uint8_t>(kSettingPlaceOther, 1);
    actions = {[&](HWND d) {
                   EXPECT_EQ(Text(d, kIdLatitudeButton), "Southern");
                   EXPECT_EQ(Fields(d), "0 0 0 11 0 0");
                   PersonClicks(d, kIdLatitudeButton);
               },
               [&](HWND d) {
                   // The negated zero is not north of the equator either.
                   EXPECT_EQ(Text(d, kIdLatitudeButton), "Southern");
                   PersonClicks(d, kIdLongitudeButton);
               },
               [&](HWND d) {
                   EXPECT_EQ(Text(d, kIdLongitudeButton), "Western");
                   PersonPressesEscape(d);
               }};
    EXPECT_EQ(Run(), 2);
    // Switched, then cancelled: PlaceOther is set, the switch is not stored.
    EXPECT_EQ(Get<uint8_t>(kSettingPlaceOther, 9), 1);
    EXPECT_GT(Get<double>(kSettingLongitude, 0), 0);
}

TEST_F(SettingsDialogTest, RussianFieldsReadADecimalCommaAndSwitchingReloadsTheList) {
    EnglishTowns();
    WriteTowns(ru_, {City(Cp("Москва"), 55.75f, 37.62f), City(Cp("Париж"), 48.87f, 2.33f)});
    Set<uint8_t>(kSettingPlaceOther, 1);
    actions = {[&](HWND d) { PersonPicks(d, kIdLanguage, 1); },
               [&](HWND d) {
                   EXPECT_EQ(Text(d, kIdAddCity), Cp("Добавить в список"));
                   EXPECT_EQ(Control(d, kIdCityList).items,
                             (std::vector<std::string>{Cp("Москва"), Cp("Париж")}));
                   TypePlace(d, "10 30,5 0", "20 0 1.9");
                   PersonPressesReturn(d, 0);
               }};
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(Get<int32_t>(kSettingLanguage, -9), 1);
    EXPECT_DOUBLE_EQ(Get<double>(kSettingLatitude, 0), 10.0 + 30.5 / 60.0);
    EXPECT_DOUBLE_EQ(Get<double>(kSettingLongitude, 0), 20.0 + 1.0 / 3600.0);  // '.' ends it
}

TEST_F(SettingsDialogTest, AddingCities) {
    // The first city goes into a file that does not exist yet.
    Set<uint8_t>(kSettingPlaceOther, 1);
    actions = {[&](HWND d) {
                   PersonTypes(d, kIdCityList, "Home");
                   TypePlace(d, "45 30 0", "7 15 0");
                   answers = {IDYES};
                   PersonClicks(d, kIdAddCity);
               },
               [&](HWND d) {
                   std::vector<MessageBoxRecord> boxes = DialogTakeMessageBoxes();
                   ASSERT_EQ(boxes.size(), 1u);
                   EXPECT_EQ(boxes[0].text,
                             "In the list the new location will be added:\n\rName: Home\n\r"
                             "Latitude: 45\xB0"
                             "30'0\" N  Longitude: 7\xB0"
                             "15'0\" E \n\r");
                   EXPECT_EQ(boxes[0].type, MB_YESNO | MB_ICONINFORMATION);
                   EXPECT_EQ(Control(d, kIdCityList).items, std::vector<std::string>{"Home"});
                   EXPECT_EQ(Control(d, kIdCityList).selection, 0);
                   // The same name in other letters is refused.
                   PersonTypes(d, kIdCityList, "HOME");
                   PersonClicks(d, kIdAddCity);
               },
               [&](HWND d) {
                   std::vector<MessageBoxRecord> boxes = DialogTakeMessageBoxes();
                   ASSERT_EQ(boxes.size(), 1u);
                   EXPECT_EQ(boxes[0].text,
                             "The name: HOME already is in the list,\n\r the location will not "
                             "be added!");
                   // Declined: nothing added, but the typed place is stored.
                   PersonTypes(d, kIdCityList, "Away");
                   TypePlace(d, "1 0 0", "2 0 0");
                   answers = {IDNO};
                   PersonClicks(d, kIdAddCity);
               },
               [&](HWND d) { PersonPressesEscape(d); }};
    EXPECT_EQ(Run(), 2);
    std::vector<CityRecord> file = ReadTowns(en_);
    ASSERT_EQ(file.size(), 1u);
    EXPECT_EQ(file[0].name, "Home");
    EXPECT_FLOAT_EQ(file[0].latitude, 45.5f);
    EXPECT_DOUBLE_EQ(Get<double>(kSettingLatitude, 0), 1.0);

    // A full list refuses before asking.
    std::vector<CityRecord> full;
    for (int i = 0; i < kCityCapacity; ++i) {
        full.push_back(City("c" + std::to_string(i), 0, 0));
    }
    WriteTowns(en_, full);
    DialogTakeMessageBoxes();
    actions = {[&](HWND d) {
                   PersonTypes(d, kIdCityList, "One more");
                   PersonClicks(d, kIdAddCity);
               },
               [&](HWND d) { PersonPressesEscape(d); }};
    Run();
    std::vector<MessageBoxRecord> boxes = DialogTakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Addition to the list");
    EXPECT_EQ(boxes[0].text.substr(0, 20), "It is impossible to ");
    EXPECT_EQ(ReadTowns(en_).size(), static_cast<size_t>(kCityCapacity));
}

TEST_F(SettingsDialogTest, DeletingCities) {
    EnglishTowns();  // Paris London Belem Athens belem; shown: Athens Belem belem London Paris
    // Position 0: the neighbour is position 0 again.
    actions = {[&](HWND d) {
                   PersonPicks(d, kIdCityList, 0);
                   answers = {IDYES};
                   PersonClicks(d, kIdDeleteCity);
               },
               [&](HWND d) {
                   EXPECT_EQ(Text(d, kIdCityList), "Belem");
                   // The last one: the new last is selected.
                   PersonPicks(d, kIdCityList, 3);
                   answers = {IDYES};
                   PersonClicks(d, kIdDeleteCity);
               },
               [&](HWND d) {
                   EXPECT_EQ(Text(d, kIdCityList), "London");
                   // The name held twice: the first in file order goes.
                   PersonTypes(d, kIdCityList, "BELEM");
                   answers = {IDYES};
                   PersonClicks(d, kIdDeleteCity);
               },
               [&](HWND d) {
                   // Declined (No is the default) and names not in the list.
                   PersonTypes(d, kIdCityList, "London");
                   PersonClicks(d, kIdDeleteCity);
                   PersonTypes(d, kIdCityList, "");
                   PersonClicks(d, kIdDeleteCity);
                   PersonTypes(d, kIdCityList, "100% Nowhere");
                   PersonClicks(d, kIdDeleteCity);
                   PersonPressesEscape(d);
               }};
    EXPECT_EQ(Run(), 2);
    std::vector<std::string> names;
    std::vector<CityRecord> file = ReadTowns(en_);
    for (const CityRecord& r : file) {
        names.push_back(r.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"London", "belem"}));
    EXPECT_FLOAT_EQ(file[1].latitude, 10.0f);
    std::vector<MessageBoxRecord> boxes = DialogTakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 6u);
    EXPECT_EQ(boxes[0].text, "Are you sure, that you want to delete the location - Athens");
    EXPECT_EQ(boxes[0].type, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
    EXPECT_EQ(boxes[3].answer, IDNO);
    EXPECT_EQ(boxes[4].text, "The city is not selected from the list!");
    EXPECT_EQ(boxes[5].text, "The Name '100% Nowhere' is absent in the list!");
    EXPECT_EQ(boxes[5].caption, "Deleting from the list");
}

TEST_F(SettingsDialogTest, DeletingWithTheFileGoneKeepsEverythingElse) {
    EnglishTowns();
    actions = {[&](HWND d) {
                   std::remove(en_.c_str());
                   PersonPicks(d, kIdCityList, 1);
                   answers = {IDYES};
                   PersonClicks(d, kIdDeleteCity);
               },
               [&](HWND d) { PersonPressesEscape(d); }};
    Run();
    std::vector<MessageBoxRecord> boxes = DialogTakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "The file with the cities database is not found!");
    EXPECT_EQ(boxes[1].caption, "Observer place");
    EXPECT_FALSE(std::filesystem::exists(en_));  // never made again by a delete
}

}  // namespace
