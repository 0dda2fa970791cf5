// The five settings operations and their success and failure rules, on a
// real store in a temporary folder.

#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/registry_store.h"
#include "tests/support/temporary_store.h"

namespace {

class SettingsStoreTest : public TemporaryStore {};

TEST_F(SettingsStoreTest, WithoutTheKeyEveryWriteIsLostUntilTheKeyIsCreated) {
    int32_t language = 1;
    EXPECT_EQ(SettingsWriteBinary(kSettingsSubkey, kSettingLanguage, &language, 4), 0);
    EXPECT_EQ(SettingsWriteString(kSettingsSubkey, kSettingTextures00, "/x", 2), 0);
    int32_t read = 99;
    EXPECT_EQ(SettingsReadValue(kSettingsSubkey, kSettingLanguage, &read, 4), 0);
    EXPECT_EQ(read, 99);
    RegistryKey key;
    EXPECT_EQ(RegistryOpenKey(kRegistryCurrentUser, "SOFTWARE\\Quillfen\\Nocturo\\Setting",
                              kRegistryRead, &key),
              0);

    ASSERT_EQ(SettingsCreateKey(kSettingsSubkey), 1);
    for (const char* path : {"SOFTWARE", "SOFTWARE\\Quillfen", "SOFTWARE\\Quillfen\\Nocturo",
                             "SOFTWARE\\Quillfen\\Nocturo\\Setting"}) {
        EXPECT_EQ(RegistryOpenKey(kRegistryCurrentUser, path, kRegistryRead, &key), 1) << path;
    }
    EXPECT_EQ(SettingsCreateKey(kSettingsSubkey), 1);  // again: the key is opened
    EXPECT_EQ(SettingsWriteBinary(kSettingsSubkey, kSettingLanguage, &language, 4), 1);
    EXPECT_EQ(SettingsReadValue(kSettingsSubkey, kSettingLanguage, &read, 4), 1);
    EXPECT_EQ(read, 1);
    // Another subkey of the same path is its own key.
    EXPECT_EQ(SettingsReadValue("Other", kSettingLanguage, &read, 4), 0);
}

TEST_F(SettingsStoreTest, ReadsFillOnlyTheStoredLengthAndRefuseLongerValues) {
    ASSERT_EQ(SettingsCreateKey(kSettingsSubkey), 1);
    // A Latitude of 4 bytes replaces the first 4 bytes of the preset only.
    const uint8_t shortLatitude[4] = {0x11, 0x22, 0x33, 0x44};
    ASSERT_EQ(SettingsWriteBinary(kSettingsSubkey, kSettingLatitude, shortLatitude, 4), 1);
    double latitude = 40.0;
    uint8_t expected[8];
    std::memcpy(expected, &latitude, 8);
    std::memcpy(expected, shortLatitude, 4);
    EXPECT_EQ(SettingsReadValue(kSettingsSubkey, kSettingLatitude, &latitude, 8), 1);
    EXPECT_EQ(std::memcmp(&latitude, expected, 8), 0);

    // A Language of 5 bytes does not fit its 4-byte reader.
    const uint8_t longLanguage[5] = {1, 0, 0, 0, 0};
    ASSERT_EQ(SettingsWriteBinary(kSettingsSubkey, kSettingLanguage, longLanguage, 5), 1);
    int32_t language = 77;
    EXPECT_EQ(SettingsReadValue(kSettingsSubkey, kSettingLanguage, &language, 4), 0);
    EXPECT_EQ(language, 77);

    // The type does not matter to SettingsReadValue.
    ASSERT_EQ(SettingsWriteString(kSettingsSubkey, kSettingPlaces00, "/p/town_en", 10), 1);
    char places[300];
    std::memset(places, 'z', sizeof places);
    EXPECT_EQ(SettingsReadValue(kSettingsSubkey, kSettingPlaces00, places, sizeof places), 1);
    EXPECT_STREQ(places, "/p/town_en");
    EXPECT_EQ(places[11], 'z');
}

TEST_F(SettingsStoreTest, ReadStringAcceptsOnlyTextThatFits) {
    ASSERT_EQ(SettingsCreateKey(kSettingsSubkey), 1);
    ASSERT_EQ(SettingsWriteBinary(kSettingsSubkey, kSettingTextures00, "/bin\0", 5), 1);
    char path[100] = "preset";
    EXPECT_EQ(SettingsReadString(kSettingsSubkey, kSettingTextures00, path, sizeof path), 0);
    EXPECT_STREQ(path, "preset");

    std::string exact(99, 'a');  // 99 characters and the zero: exactly 100 bytes
    ASSERT_EQ(SettingsWriteString(kSettingsSubkey, kSettingTextures01, exact.c_str(), 99), 1);
    EXPECT_EQ(SettingsReadString(kSettingsSubkey, kSettingTextures01, path, sizeof path), 1);
    EXPECT_EQ(std::string(path), exact);

    std::string tooLong(100, 'b');
    ASSERT_EQ(SettingsWriteString(kSettingsSubkey, kSettingTextures01, tooLong.c_str(), 100), 1);
    EXPECT_EQ(SettingsReadString(kSettingsSubkey, kSettingTextures01, path, sizeof path), 0);
    EXPECT_EQ(std::string(path), exact);

    // Text stored without its zero (written by another program) is no text
    // to a reader that needs one.
    RegistryKey key;
    ASSERT_EQ(RegistryOpenKey(kRegistryCurrentUser, "SOFTWARE\\Quillfen\\Nocturo\\Setting",
                              kRegistryWrite, &key),
              1);
    ASSERT_EQ(RegistrySetValue(&key, kSettingTextures00, kRegistryTypeString, "abc", 3), 1);
    EXPECT_EQ(SettingsReadString(kSettingsSubkey, kSettingTextures00, path, sizeof path), 0);
}

TEST_F(SettingsStoreTest, WriteStringStoresTheTextAndItsZero) {
    ASSERT_EQ(SettingsCreateKey(kSettingsSubkey), 1);
    ASSERT_EQ(SettingsWriteString(kSettingsSubkey, kSettingPlaces01, "/p/town_ru", 10), 1);
    RegistryKey key;
    ASSERT_EQ(RegistryOpenKey(kRegistryCurrentUser, "SOFTWARE\\Quillfen\\Nocturo\\Setting",
                              kRegistryRead, &key),
              1);
    RegistryValue value;
    ASSERT_EQ(RegistryReadValue(&key, kSettingPlaces01, &value), 1);
    EXPECT_EQ(value.type, kRegistryTypeString);
    EXPECT_EQ(value.data.size(), 11u);
    EXPECT_EQ(value.data.back(), 0);
    // A length beyond the text never reads past its zero.
    ASSERT_EQ(SettingsWriteString(kSettingsSubkey, kSettingPlaces01, "ab", 50), 1);
    ASSERT_EQ(RegistryReadValue(&key, kSettingPlaces01, &value), 1);
    EXPECT_EQ(value.data.size(), 3u);
}

TEST_F(SettingsStoreTest, ASubkeyNameBeyondThePathBufferFailsCleanly) {
    std::string longName(200, 's');
    EXPECT_EQ(SettingsCreateKey(longName.c_str()), 1);  // the subkey's failure is not reported
    RegistryKey key;
    EXPECT_EQ(
        RegistryOpenKey(kRegistryCurrentUser, ("SOFTWARE\\Quillfen\\Nocturo\\" + longName).c_str(),
                        kRegistryRead, &key),
        0);
    uint8_t byte = 1;
    EXPECT_EQ(SettingsWriteBinary(longName.c_str(), "X", &byte, 1), 0);
    EXPECT_EQ(SettingsReadValue(longName.c_str(), "X", &byte, 1), 0);
}

TEST_F(SettingsStoreTest, AnInstalledStoreReadsSensiblyAsText) {
    // What the installer writes, then the place the dialog adds.
    ASSERT_EQ(SettingsCreateKey(kSettingsSubkey), 1);
    const std::string folder = "/home/me/.local/share/Nocturo 3D/";
    for (auto [name, file] :
         {std::pair{kSettingTextures00, "moon_2048x1024.bmp"},
          std::pair{kSettingTextures01, "moon_256x128.bmp"}, std::pair{kSettingPlaces00, "town_en"},
          std::pair{kSettingPlaces01, "town_ru"}}) {
        std::string path = folder + file;
        ASSERT_EQ(SettingsWriteString(kSettingsSubkey, name, path.c_str(),
                                      static_cast<uint32_t>(path.size())),
                  1);
    }
    int32_t language = 1;
    uint8_t on = 1;
    double latitude = 51.5;
    ASSERT_EQ(SettingsWriteBinary(kSettingsSubkey, kSettingLanguage, &language, 4), 1);
    ASSERT_EQ(SettingsWriteBinary(kSettingsSubkey, kSettingShowStar, &on, 1), 1);
    ASSERT_EQ(SettingsWriteBinary(kSettingsSubkey, kSettingLatitude, &latitude, 8), 1);

    std::string text = ReadStoreFile();
    for (const char* line : {
             "[SOFTWARE\\Quillfen\\Nocturo\\Setting]\n",
             "textures00 = string \"/home/me/.local/share/Nocturo 3D/moon_2048x1024.bmp\"\n",
             "places01 = string \"/home/me/.local/share/Nocturo 3D/town_ru\"\n",
             "Language = binary[4] 01 00 00 00   ; int32 1\n",
             "ShowStar = binary[1] 01   ; byte 1\n",
             "Latitude = binary[8] 00 00 00 00 00 c0 49 40   ; double 51.5\n",
         }) {
        EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
    }
}

}  // namespace
