// The store's text form on strings: what a tree is written as, and what a
// text reads as, with no file involved.

#include "platform/registry_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(RegistryTextTest, WritesEachKeyOnceWithItsValuesAndReadsThemBack) {
    RegistryTree tree;
    RegistryParse("", &tree);
    RegistryTreeKey* setting =
        RegistryAddKey(&tree, {"SOFTWARE", "Quillfen", "Nocturo", "Setting"});
    RegistryPutValue(setting, {"Language", kRegistryTypeBinary, {0, 0, 0, 0}});
    RegistryPutValue(setting, {"Latitude", kRegistryTypeBinary, {0, 0, 0, 0, 0, 0xc0, 0x49, 0x40}});
    RegistryPutValue(setting, {"textures00", kRegistryTypeString, {'a', '"', 'b', 0}});
    RegistryPutValue(setting, {"odd name", 7, {9}});
    RegistryAddKey(&tree, {"Empty"});

    const std::string text = RegistrySerialize(tree);
    // Ancestors with no values of their own are implied by their descendants.
    const std::string body =
        "\n[SOFTWARE\\Quillfen\\Nocturo\\Setting]\n"
        "Language = binary[4] 00 00 00 00   ; int32 0\n"
        "Latitude = binary[8] 00 00 00 00 00 c0 49 40   ; double 51.5\n"
        "textures00 = string \"a\\\"b\"\n"
        "\"odd name\" = hex(7)[1] 09   ; byte 9\n"
        "\n[Empty]\n";
    ASSERT_GE(text.size(), body.size());
    EXPECT_EQ(text.substr(text.size() - body.size()), body);

    RegistryTree read;
    RegistryParse(text, &read);
    EXPECT_FALSE(read.damaged) << read.problem;
    RegistryTreeKey* key = RegistryFindKey(&read, "software\\quillfen\\nocturo\\SETTING");
    ASSERT_NE(key, nullptr);
    ASSERT_EQ(key->values.size(), 4u);
    EXPECT_EQ(key->values[2].data, (std::vector<uint8_t>{'a', '"', 'b', 0}));
    EXPECT_EQ(key->values[3].type, 7u);
    EXPECT_NE(RegistryFindKey(&read, "Empty"), nullptr);
    EXPECT_NE(RegistryFindKey(&read, "SOFTWARE\\Quillfen"), nullptr);
    EXPECT_EQ(RegistrySerialize(read), text);
}

TEST(RegistryTextTest, DamagedLinesAreSkippedAndNamedByTheirNumber) {
    struct Case {
        const char* text;
        size_t values;        // values still read under [K]
        const char* problem;  // the first difficulty, "" when sound
    };
    const Case cases[] = {
        {"[K]\na = binary[1] 01\n", 1, ""},
        {"[K]\na = binary[1] 01\nb = binary[2] 01\n", 1, "line 3: not a value"},
        {"[K]\na = binary[1] 01\nb = binary[1] 02", 1, "line 3: cut off before its end"},
        {"a = binary[1] 01\n[K]\nb = binary[1] 02\n", 1, "line 1: value outside a readable key"},
        {"[K\nb = binary[1] 02\n[K]\nc = string \"x\"\n", 1, "line 1: not a key name"},
        {"[K]\r\na = binary[1] 01\r\n; note\r\n# note\r\n", 1, ""},
    };
    for (const Case& c : cases) {
        RegistryTree tree;
        RegistryParse(c.text, &tree);
        RegistryTreeKey* key = RegistryFindKey(&tree, "K");
        ASSERT_NE(key, nullptr) << c.text;
        EXPECT_EQ(key->values.size(), c.values) << c.text;
        EXPECT_EQ(tree.damaged, c.problem[0] != '\0') << c.text;
        EXPECT_EQ(tree.problem, c.problem) << c.text;
    }
}

}  // namespace
