// nocturo-towns: makes a city database file (town_en, town_ru) from a CSV
// table "name,latitude,longitude,zone" in UTF-8. Names become Windows-1251;
// a name the code page cannot hold, a bad number or a table too large for a
// city file stops the tool with a message and exit code 1.
//
//   nocturo-towns cities_en.csv town_en

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "settings/city_file.h"
#include "settings/cp1251.h"

namespace {

// Splits one CSV line; fields may be quoted, with "" for a quote inside.
bool SplitCsv(const std::string& line, std::vector<std::string>* fields) {
    fields->clear();
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields->push_back(field);
            field.clear();
        } else if (c != '\r') {
            field += c;
        }
    }
    fields->push_back(field);
    return !quoted;
}

bool ToDouble(const std::string& text, double* value) {
    char* end = nullptr;
    *value = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: nocturo-towns TABLE.csv OUTPUT\n");
        return 1;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "nocturo-towns: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<CityRecord> records;
    std::string line;
    std::vector<std::string> fields;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (lineNumber == 1 || line.empty() || line == "\r") {
            continue;  // the heading
        }
        double latitude = 0, longitude = 0, zone = 0;
        if (!SplitCsv(line, &fields) || fields.size() != 4 || !ToDouble(fields[1], &latitude) ||
            !ToDouble(fields[2], &longitude) || !ToDouble(fields[3], &zone)) {
            std::fprintf(stderr, "nocturo-towns: %s:%d: not name,latitude,longitude,zone\n",
                         argv[1], lineNumber);
            return 1;
        }
        CityRecord r;
        if (!Cp1251FromUtf8(fields[0].c_str(), &r.name) || r.name.size() > kCityNameLongest) {
            std::fprintf(stderr, "nocturo-towns: %s:%d: the name does not fit a city file\n",
                         argv[1], lineNumber);
            return 1;
        }
        r.latitude = static_cast<float>(latitude);
        r.longitude = static_cast<float>(longitude);
        r.zone = static_cast<int16_t>(zone);
        records.push_back(r);
    }
    if (records.size() > static_cast<size_t>(kCityCapacity)) {
        std::fprintf(stderr, "nocturo-towns: %zu cities, more than a list holds (%d)\n",
                     records.size(), kCityCapacity);
        return 1;
    }
    std::vector<uint8_t> bytes = CityFileEncode(records);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "nocturo-towns: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
