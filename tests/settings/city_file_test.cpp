#include "settings/city_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// The city file format against bytes written by hand, damaged files, and
// rewrites that a crash or a second writer cannot spoil.

namespace {

using Bytes = std::vector<uint8_t>;

// One record by hand: zone, latitude, longitude, reserved, name, zero.
void Put(Bytes* b, int16_t zone, float lat, float lon, const std::string& name) {
    auto raw = [b](const void* p, size_t n) {
        const uint8_t* q = static_cast<const uint8_t*>(p);
        b->insert(b->end(), q, q + n);  // the machine is little-endian, as the file
    };
    raw(&zone, 2);
    raw(&lat, 4);
    raw(&lon, 4);
    b->insert(b->end(), {0, 0, 0xF0, 0xC1});  // reserved: the single -30.0
    b->insert(b->end(), name.begin(), name.end());
    b->push_back(0);
}

Bytes Fixture(int16_t count) {
    Bytes b = {static_cast<uint8_t>(count & 0xFF), static_cast<uint8_t>((count >> 8) & 0xFF)};
    Put(&b, 3, 55.75f, 37.62f, "Moscow");
    Put(&b, -5, 40.71f, -74.0f, "New York");
    return b;
}

TEST(CityFileFormat, ReadsAndWritesTheExactBytes) {
    Bytes file = Fixture(2);
    ASSERT_EQ(file.size(), 2u + 15 + 6 + 15 + 8);
    CityFileContents c = CityFileParse(file);
    ASSERT_EQ(c.records.size(), 2u);
    EXPECT_FALSE(c.damaged);
    EXPECT_EQ(c.records[0].zone, 3);
    EXPECT_EQ(c.records[1].zone, -5);
    EXPECT_FLOAT_EQ(c.records[0].latitude, 55.75f);
    EXPECT_FLOAT_EQ(c.records[1].longitude, -74.0f);
    EXPECT_EQ(c.records[1].name, "New York");
    EXPECT_EQ(c.records[0].reserved[3], 0xC1);
    EXPECT_EQ(CityFileEncode(c.records), file);
}

TEST(CityFileFormat, DamagedFilesLoadTheirWholeRecordsOnly) {
    Bytes whole = Fixture(2);
    Bytes longName = {1, 0};
    Put(&longName, 0, 1, 1, std::string(kCityNameLongest + 1, 'x'));
    Bytes longestName = {1, 0};
    Put(&longestName, 0, 1, 1, std::string(kCityNameLongest, 'y'));
    Bytes overCapacity = {0xFF, 0x7F};  // count 32767
    for (int i = 0; i < kCityCapacity + 5; ++i) {
        Put(&overCapacity, 0, 0, 0, "c" + std::to_string(i));
    }
    struct Case {
        const char* what;
        Bytes bytes;
        size_t loaded;
        bool damaged;
    };
    std::vector<Case> cases = {
        {"empty file", {}, 0, false},
        {"one byte", {7}, 0, true},
        {"count larger than the records", Fixture(5), 2, true},
        {"negative count", Fixture(-3), 2, true},
        {"count smaller than the records", Fixture(1), 1, false},
        {"record cut short", Bytes(whole.begin(), whole.end() - 3), 1, true},
        {"fixed part cut short", Bytes(whole.begin(), whole.begin() + 2 + 21 + 7), 1, true},
        {"name without its zero", Bytes(whole.begin(), whole.end() - 1), 1, true},
        {"name longer than the buffer", longName, 0, true},
        {"name of the longest length", longestName, 1, false},
        {"more records than a list holds", overCapacity, kCityCapacity, true},
    };
    for (const Case& c : cases) {
        CityFileContents parsed = CityFileParse(c.bytes);
        EXPECT_EQ(parsed.records.size(), c.loaded) << c.what;
        EXPECT_EQ(parsed.damaged, c.damaged) << c.what;
        EXPECT_LE(parsed.recordsEnd, std::max<size_t>(c.bytes.size(), 2)) << c.what;
    }
}

class CityFileRewriteTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = std::filesystem::temp_directory_path() / "nocturo-towns-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        path_ = folder_ + "/town_en";
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    void Write(const Bytes& b) {
        std::ofstream(path_, std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    Bytes Read() {
        Bytes b;
        CityFileReadBytes(path_, &b);
        return b;
    }
    static CityRecord City(const std::string& name) {
        CityRecord r;
        r.latitude = 10;
        r.longitude = 20;
        r.name = name;
        return r;
    }
    std::string folder_, path_;
};

TEST_F(CityFileRewriteTest, AddingToAMissingFileMakesAValidOne) {
    EXPECT_EQ(CityFileRewrite(
                  path_, false, [](auto&, auto*) { return true; }, nullptr),
              kCityRewriteCannotOpen);
    CityFileContents after;
    EXPECT_EQ(CityFileRewrite(
                  path_, true,
                  [](const CityFileContents&, std::vector<CityRecord>* r) {
                      r->push_back(City("Here"));
                      return true;
                  },
                  &after),
              kCityRewriteDone);
    Bytes expected = {1, 0};
    CityRecordEncode(City("Here"), &expected);
    EXPECT_EQ(Read(), expected);
    EXPECT_EQ(after.records.size(), 1u);
    // Nothing is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(CityFileRewriteTest, ADamagedTailIsKeptAndTheCountMadeRight) {
    Bytes damaged = Fixture(9);
    damaged.insert(damaged.end(), {5, 0, 1, 2});  // a record cut short
    Write(damaged);
    CityFileContents after;
    ASSERT_EQ(CityFileRewrite(
                  path_, false,
                  [](const CityFileContents&, std::vector<CityRecord>* r) {
                      r->erase(r->begin());
                      r->push_back(City("Added"));
                      return true;
                  },
                  &after),
              kCityRewriteDone);
    Bytes expected = {2, 0};
    CityRecordEncode(CityFileParse(Fixture(2)).records[1], &expected);
    CityRecordEncode(City("Added"), &expected);
    expected.insert(expected.end(), {5, 0, 1, 2});
    EXPECT_EQ(Read(), expected);
    // Declining the change leaves the file byte for byte.
    Bytes before = Read();
    EXPECT_EQ(CityFileRewrite(
                  path_, false, [](auto&, auto*) { return false; }, nullptr),
              kCityRewriteUnchanged);
    EXPECT_EQ(Read(), before);
}

TEST_F(CityFileRewriteTest, AReadOnlyFileIsRefusedAndKept) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root may write any file";
    }
    Write(Fixture(2));
    std::filesystem::permissions(path_, std::filesystem::perms::owner_read);
    EXPECT_EQ(CityFileRewrite(
                  path_, true, [](auto&, auto*) { return true; }, nullptr),
              kCityRewriteCannotOpen);
    EXPECT_EQ(Read(), Fixture(2));
}

// Two writers at once: every one of their additions is in the file.
TEST_F(CityFileRewriteTest, TwoWritersNeverLoseEachOthersCity) {
    Write(Fixture(2));
    constexpr int kEach = 40;
    pid_t children[2];
    for (int w = 0; w < 2; ++w) {
        children[w] = fork();
        ASSERT_GE(children[w], 0);
        if (children[w] == 0) {
            for (int i = 0; i < kEach; ++i) {
                std::string name = "w" + std::to_string(w) + "-" + std::to_string(i);
                CityFileRewrite(
                    path_, false,
                    [&](const CityFileContents&, std::vector<CityRecord>* r) {
                        r->push_back(City(name));
                        return true;
                    },
                    nullptr);
            }
            _exit(0);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    CityFileContents c = CityFileParse(Read());
    EXPECT_FALSE(c.damaged);
    EXPECT_EQ(c.records.size(), 2u + 2 * kEach);
}

// A writer killed at any moment leaves the old file or the new one, never a
// mixture: the child flips the file between two states as fast as it can.
TEST_F(CityFileRewriteTest, AKillDuringARewriteLeavesTheOldOrTheNewFile) {
    std::vector<CityRecord> many;
    for (int i = 0; i < 1300; ++i) {
        many.push_back(City("City number " + std::to_string(i)));
    }
    Bytes stateA = CityFileEncode(many);
    many.push_back(City("Flip"));
    Bytes stateB = CityFileEncode(many);
    for (int round = 0; round < 6; ++round) {
        Write(stateA);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                CityFileRewrite(
                    path_, false,
                    [](const CityFileContents&, std::vector<CityRecord>* r) {
                        if (!r->empty() && r->back().name == "Flip") {
                            r->pop_back();
                        } else {
                            r->push_back(City("Flip"));
                        }
                        return true;
                    },
                    nullptr);
            }
        }
        usleep(static_cast<useconds_t>(3000 + round * 2300));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        Bytes now = Read();
        EXPECT_TRUE(now == stateA || now == stateB) << "round " << round << ": " << now.size();
    }
    // The next rewrite clears what the killed one left behind.
    CityFileRewrite(
        path_, false, [](auto&, auto*) { return true; }, nullptr);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
