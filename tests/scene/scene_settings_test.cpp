// What the scene takes from the settings at start: language, texture paths,
// display flags and the place with its fallbacks.

#include "scene/scene_settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>

#include "settings/settings_place.h"
#include "settings/settings_store.h"
#include "settings/ui_locale.h"
#include "settings/ui_text.h"
#include "tests/support/temporary_store.h"

namespace {

// The slot as the scene starts with it: the system's time zone.
int32_t (*const systemStandardBias)() = sceneStandardBias;
int32_t testBias = 0;
int32_t TestBias() {
    return testBias;
}

class SceneSettingsTest : public TemporaryStore {
  protected:
    void SetUp() override {
        TemporaryStore::SetUp();
        uiTextLanguageOffset = kUiTextRussian;  // as at start-up
        uiLocale = kUiLocaleEnglish;
        testBias = 0;
        sceneStandardBias = TestBias;
    }

    void WithKey() { ASSERT_EQ(SettingsCreateKey(kSettingsSubkey), 1); }

    void Write(const char* name, const void* data, uint32_t size) {
        ASSERT_EQ(SettingsWriteBinary(kSettingsSubkey, name, data, size), 1) << name;
    }
    void WriteInt(const char* name, int32_t value) { Write(name, &value, 4); }
    void WriteDouble(const char* name, double value) { Write(name, &value, 8); }

    void Start() {
        options = SceneOptions{};
        SceneReadLanguage();
        SceneReadSettings(options);
    }

    SceneOptions options;  // what the last Start read

    int32_t StoredLanguage() {
        int32_t language = -100;
        EXPECT_EQ(SettingsReadValue(kSettingsSubkey, kSettingLanguage, &language, 4), 1);
        return language;
    }
};

TEST_F(SceneSettingsTest, AbsentLanguageIsWrittenBackAsEnglish) {
    WithKey();
    Start();
    EXPECT_EQ(uiTextLanguageOffset, kUiTextEnglish);
    EXPECT_EQ(StoredLanguage(), 0);
    EXPECT_EQ(options.place.latitude, 40.0);
    EXPECT_TRUE(options.place.Defaulted());
    // A value too long for its reader counts as absent and is replaced.
    const uint8_t tooLong[5] = {1, 0, 0, 0, 0};
    Write(kSettingLanguage, tooLong, 5);
    uiTextLanguageOffset = kUiTextRussian;
    Start();
    EXPECT_EQ(uiTextLanguageOffset, kUiTextEnglish);
    EXPECT_EQ(StoredLanguage(), 0);
}

TEST_F(SceneSettingsTest, LanguageValuesSelectOrKeepTheLanguage) {
    WithKey();
    struct Case {
        int32_t stored;
        int before;
        int after;
        double latitude;  // the fallback that follows from the language
    };
    const Case cases[] = {
        {0, kUiTextRussian, kUiTextEnglish, 40.0},  {1, kUiTextEnglish, kUiTextRussian, 55.0},
        {7, kUiTextRussian, kUiTextRussian, 55.0},  // at start-up: Russian
        {2, kUiTextEnglish, kUiTextEnglish, 40.0},  // whatever was active stays
        {-1, kUiTextRussian, kUiTextRussian, 55.0},
    };
    for (const Case& c : cases) {
        WriteInt(kSettingLanguage, c.stored);
        uiTextLanguageOffset = c.before;
        Start();
        EXPECT_EQ(uiTextLanguageOffset, c.after) << c.stored;
        EXPECT_EQ(uiLocale, c.after == kUiTextEnglish ? kUiLocaleEnglish : kUiLocaleRussian)
            << c.stored;
        EXPECT_EQ(options.place.latitude, c.latitude) << c.stored;
        EXPECT_EQ(StoredLanguage(), c.stored) << "the value is not corrected";
    }
}

TEST_F(SceneSettingsTest, WithoutTheKeyEverythingFallsBackAndNothingIsWritten) {
    testBias = -60;
    Start();
    EXPECT_EQ(uiTextLanguageOffset, kUiTextEnglish);
    EXPECT_STREQ(options.largeTexturePath, "null");
    EXPECT_STREQ(options.smallTexturePath, "null");
    EXPECT_TRUE(options.showText);
    EXPECT_TRUE(options.showStars);
    EXPECT_EQ(options.place.latitude, 40.0);
    EXPECT_EQ(options.place.longitude, 15.0);
    EXPECT_TRUE(options.place.Defaulted());
    // The write-back of Language is lost with the key; nothing is made.
    RegistryKey key;
    EXPECT_EQ(RegistryOpenKey(kRegistryCurrentUser, "SOFTWARE\\Quillfen\\Nocturo\\Setting",
                              kRegistryRead, &key),
              0);
    EXPECT_FALSE(std::filesystem::exists(directory_));
}

TEST_F(SceneSettingsTest, LongitudeFallsBackToTheStandardTimeZone) {
    struct Case {
        int32_t bias;  // minutes, UTC = local + bias
        double longitude;
    };
    const Case cases[] = {
        {-330, 90.0},                 // UTC+5:30 rounds up to +6
        {210, -45.0},                 // UTC-3:30: floor -4, remainder one half, up to -3
        {-780, 180.0},                // UTC+13 is held at +12
        {840, -180.0},                // UTC-14 is held at -12
        {0, 0.0},      {-345, 90.0},  // UTC+5:45
        {-29, 0.0},                   // just under half an hour east
        {-30, 15.0},                  // half an hour east rounds up
        {30, 0.0},                    // half an hour west also rounds up, to zero
        {31, -15.0},
    };
    WithKey();
    WriteInt(kSettingLanguage, 0);
    WriteDouble(kSettingLatitude, 10.0);
    for (const Case& c : cases) {
        testBias = c.bias;
        Start();
        EXPECT_EQ(options.place.longitude, c.longitude) << c.bias;
        EXPECT_EQ(options.place.latitude, 10.0);
        EXPECT_TRUE(options.place.Defaulted()) << "latitude present, longitude absent";
        EXPECT_EQ(SettingsLongitudeFromStandardBias(c.bias), c.longitude) << c.bias;
    }
    // Fallbacks are never written back.
    double longitude = 0.0;
    EXPECT_EQ(SettingsReadValue(kSettingsSubkey, kSettingLongitude, &longitude, 8), 0);
}

TEST_F(SceneSettingsTest, ToolsSeeTheStartPlaceWithoutChangingTheStore) {
    WithKey();
    testBias = -330;
    SettingsPlace place = SettingsReadStartPlace(testBias);
    EXPECT_EQ(place.latitude, 40.0);
    EXPECT_EQ(place.longitude, 90.0);
    EXPECT_TRUE(place.Defaulted());
    int32_t language = 0;
    EXPECT_EQ(SettingsReadValue(kSettingsSubkey, kSettingLanguage, &language, 4), 0);

    for (int32_t stored : {0, 1, 7}) {
        WriteInt(kSettingLanguage, stored);
        place = SettingsReadStartPlace(testBias);
        uiTextLanguageOffset = kUiTextRussian;
        Start();
        EXPECT_EQ(place.latitude, options.place.latitude) << stored;
        EXPECT_EQ(place.longitude, options.place.longitude) << stored;
        EXPECT_EQ(place.Defaulted(), options.place.Defaulted()) << stored;
    }
}

TEST_F(SceneSettingsTest, TheLongitudeFallbackFollowsTheSystemZoneWithoutDaylightSaving) {
    WithKey();
    WriteInt(kSettingLanguage, 0);
    sceneStandardBias = systemStandardBias;
    const char* saved = getenv("TZ");
    std::string savedZone = saved != nullptr ? saved : "";
    struct Case {
        const char* zone;
        double longitude;
    };
    // St. John's keeps -3:30 as its standard time also in summer.
    for (Case c : {Case{"Asia/Kolkata", 90.0}, Case{"America/St_Johns", -45.0},
                   Case{"Pacific/Tongatapu", 180.0}, Case{"UTC", 0.0}}) {
        setenv("TZ", c.zone, 1);
        Start();
        EXPECT_EQ(options.place.longitude, c.longitude) << c.zone;
    }
    saved != nullptr ? setenv("TZ", savedZone.c_str(), 1) : unsetenv("TZ");
}

TEST_F(SceneSettingsTest, AStoredPlaceIsTakenAsItIs) {
    WithKey();
    WriteInt(kSettingLanguage, 1);
    WriteDouble(kSettingLatitude, -33.87);
    WriteDouble(kSettingLongitude, 151.21);
    testBias = 300;
    Start();
    EXPECT_EQ(options.place.latitude, -33.87);
    EXPECT_EQ(options.place.longitude, 151.21);
    EXPECT_FALSE(options.place.Defaulted());
}

TEST_F(SceneSettingsTest, AShortLatitudeFillsOnlyItsFirstBytes) {
    WithKey();
    WriteInt(kSettingLanguage, 0);
    const uint8_t shortLatitude[4] = {0x11, 0x22, 0x33, 0x44};
    Write(kSettingLatitude, shortLatitude, 4);
    WriteDouble(kSettingLongitude, 5.0);
    Start();
    double expected = 40.0;  // the preset, English
    std::memcpy(&expected, shortLatitude, 4);
    EXPECT_EQ(options.place.latitude, expected);
    EXPECT_NE(options.place.latitude, 40.0);
    EXPECT_FALSE(options.place.Defaulted());
}

TEST_F(SceneSettingsTest, ACoordinateThatIsNoAngleCountsAsAbsent) {
    WithKey();
    WriteInt(kSettingLanguage, 0);
    testBias = -120;
    for (double bad : {std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity(), 91.0, -1000.0}) {
        WriteDouble(kSettingLatitude, bad);
        WriteDouble(kSettingLongitude, bad == 91.0 ? 181.0 : bad);
        Start();
        EXPECT_EQ(options.place.latitude, 40.0) << bad;
        EXPECT_EQ(options.place.longitude, 30.0) << bad;
        EXPECT_TRUE(options.place.Defaulted()) << bad;
    }
}

TEST_F(SceneSettingsTest, TexturePathsAndFlags) {
    WithKey();
    ASSERT_EQ(SettingsWriteBinary(kSettingsSubkey, kSettingTextures00, "/bin/moon\0", 10), 1);
    ASSERT_EQ(SettingsWriteString(kSettingsSubkey, kSettingTextures01, "/p/moon_256x128.bmp", 19),
              1);
    uint8_t two = 2;
    uint8_t zero = 0;
    Write(kSettingShowText, &two, 1);
    Write(kSettingShowStar, &zero, 1);
    Start();
    EXPECT_STREQ(options.largeTexturePath, "null");  // binary is no text
    EXPECT_STREQ(options.smallTexturePath, "/p/moon_256x128.bmp");
    EXPECT_TRUE(options.showText);
    EXPECT_FALSE(options.showStars);

    // Too long for its reader: the path and the flag fall back.
    std::string longPath(120, 'p');
    ASSERT_EQ(SettingsWriteString(kSettingsSubkey, kSettingTextures01, longPath.c_str(), 120), 1);
    const uint8_t twoBytes[2] = {0, 0};
    Write(kSettingShowStar, twoBytes, 2);
    Start();
    EXPECT_STREQ(options.smallTexturePath, "null");
    EXPECT_TRUE(options.showStars);
}

}  // namespace
