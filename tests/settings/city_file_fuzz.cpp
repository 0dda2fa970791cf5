// libFuzzer target: any bytes as a city database file. Loading must stay
// inside the bytes, keep its bounds, and the records it loads must be
// exactly the bytes they came from, so a rewrite never changes a city.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "settings/city_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    const CityFileContents contents = CityFileParse(bytes);
    if (contents.records.size() > static_cast<size_t>(kCityCapacity) ||
        contents.recordsEnd > (size < 2 ? size_t{2} : size)) {
        __builtin_trap();
    }
    std::vector<uint8_t> encoded;
    for (const CityRecord& record : contents.records) {
        if (record.name.size() > kCityNameLongest) {
            __builtin_trap();
        }
        CityRecordEncode(record, &encoded);
    }
    if (size >= 2 && (encoded.size() != contents.recordsEnd - 2 ||
                      !std::equal(encoded.begin(), encoded.end(), bytes.begin() + 2))) {
        __builtin_trap();
    }
    // A file written from the records loads the same records, undamaged.
    const CityFileContents again = CityFileParse(CityFileEncode(contents.records));
    if (again.damaged || again.records.size() != contents.records.size()) {
        __builtin_trap();
    }
    return 0;
}
