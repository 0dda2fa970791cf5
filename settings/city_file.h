#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The city database files town_en and town_ru: a signed 16-bit count, then
// the records one after another, little-endian, no padding. A record is
// zone (int16), latitude and longitude (IEEE single), four reserved bytes,
// then the name and its zero byte (ASCII in town_en, Windows-1251 in
// town_ru): 15 + n bytes.

constexpr int kCityCapacity = 1350;       // the most cities a list holds
constexpr size_t kCityNameLongest = 200;  // the longest name a file may hold, without its zero
constexpr size_t kCityRecordFixedBytes = 14;
// The largest file the format can describe: the count and 32767 records
// with the longest names. Larger files are refused unread.
constexpr size_t kCityFileMaxBytes = 2 + 32767 * (kCityRecordFixedBytes + kCityNameLongest + 1);

struct CityRecord {
    int16_t zone = 0;  // carried, never interpreted
    float latitude = 0.0f;
    float longitude = 0.0f;
    uint8_t reserved[4] = {0, 0, 0, 0};  // carried, never interpreted
    std::string name;
};

// What a file holds, read without trusting it.
struct CityFileContents {
    int16_t count = 0;                // the count field as stored
    std::vector<CityRecord> records;  // the records that load (see CityFileParse)
    size_t recordsEnd = 2;            // the offset right after the last loaded record
    bool damaged = false;             // anything beyond the loaded records that does not fit
};

// Reads a file's bytes. The records that load are the leading run of whole
// records (a record is whole when its 14 fixed bytes, its name of at most
// kCityNameLongest bytes and its zero are all there), at most kCityCapacity
// of them, and at most `count` of them when the count is not negative. A
// count larger than the whole records, a negative count, a record cut short,
// a name without its zero or longer than the limit, more records than the
// capacity, or fewer than two bytes mark the file as damaged; reading never
// goes past the bytes given.
CityFileContents CityFileParse(const std::vector<uint8_t>& bytes);

// One record's bytes.
void CityRecordEncode(const CityRecord& record, std::vector<uint8_t>* out);

// A whole file: the count and the records.
std::vector<uint8_t> CityFileEncode(const std::vector<CityRecord>& records);

// Reads a whole file into bytes; 0 when it cannot be opened or read, is not
// a regular file (a FIFO is never waited on) or is larger than
// kCityFileMaxBytes.
int CityFileReadBytes(const std::string& path, std::vector<uint8_t>* bytes);

// The result of a change to a city file.
enum CityRewriteResult {
    kCityRewriteDone = 1,
    kCityRewriteUnchanged = 0,     // the change decided to leave the file as it was
    kCityRewriteCannotOpen = -1,   // missing (when it must exist), unreadable or not writable
    kCityRewriteCannotWrite = -2,  // the new file could not be written; the old one stays
};

// Changes a city file safely. Holds an exclusive advisory lock on the
// file's folder for the whole read-modify-write, so that two programs never
// lose each other's change; reads the file (a missing one counts as empty
// when mayCreate, else the result is kCityRewriteCannotOpen); calls
// change(contents, &records) with the records that loaded, which edits the
// records and returns true to write them; then writes the count, the
// records and whatever followed the loaded records in the old file
// (unchanged, so that a damaged tail is never made worse) into a new file
// in the same folder, flushes it to disk and renames it over the old one.
// A crash at any moment leaves either the old or the new file. On success
// `after` (when given) holds the file as it now is.
template <class F>
CityRewriteResult CityFileRewrite(const std::string& path, bool mayCreate, F change,
                                  CityFileContents* after);

// The untemplated core of CityFileRewrite.
using CityChange = bool (*)(const CityFileContents& before, std::vector<CityRecord>* records,
                            void* context);
CityRewriteResult CityFileRewriteWith(const std::string& path, bool mayCreate, CityChange change,
                                      void* context, CityFileContents* after);

template <class F>
CityRewriteResult CityFileRewrite(const std::string& path, bool mayCreate, F change,
                                  CityFileContents* after) {
    return CityFileRewriteWith(
        path, mayCreate,
        [](const CityFileContents& before, std::vector<CityRecord>* records, void* context) {
            return (*static_cast<F*>(context))(before, records);
        },
        &change, after);
}
