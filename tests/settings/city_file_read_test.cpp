// Reading a city file: only a regular file within the format's largest size
// is read, so a FIFO never makes the reader wait.

#include "settings/city_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

TEST(CityFileRead, OnlyARegularFileOfAPossibleSizeIsRead) {
    char pattern[] = "/tmp/nocturo-city-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    const std::vector<uint8_t> file = CityFileEncode({CityRecord{3, 51.5f, -0.1f, {}, "London"}});
    std::ofstream(folder + "/town_en", std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
    ASSERT_EQ(mkfifo((folder + "/fifo").c_str(), 0600), 0);
    std::ofstream(folder + "/huge").close();
    std::filesystem::resize_file(folder + "/huge", kCityFileMaxBytes + 1);
    struct Case {
        std::string path;
        int read;
    };
    const Case cases[] = {
        {folder + "/town_en", 1}, {folder + "/fifo", 0}, {"/dev/zero", 0},
        {folder + "/huge", 0},    {folder, 0},           {folder + "/missing", 0},
    };
    alarm(10);  // a read that waits on the FIFO would hang: end the test instead
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes{1, 2, 3};
        EXPECT_EQ(CityFileReadBytes(c.path, &bytes), c.read) << c.path;
        EXPECT_EQ(bytes, c.read ? file : std::vector<uint8_t>{}) << c.path;
    }
    alarm(0);
    std::filesystem::remove_all(folder);
}

}  // namespace
