#include "installer/carried_files.h"

#include <cstdio>
#include <cstring>

#include "installer/carried_files_data.h"

namespace {

// String resources: the count of carried files and their names.
struct StringResource {
    int id;
    const char* text;
};

constexpr StringResource kStrings[] = {
    {104, "7"},          {200, "Nocturo.scr"},         {201, "town_en"},
    {202, "town_ru"},    {203, "moon_1024x1024.pack"}, {204, "moon_256x128.bmp"},
    {205, "readme.txt"}, {206, "license.txt"},
};

}  // namespace

int SetupLoadString(int id, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    buffer[0] = '\0';
    for (const StringResource& entry : kStrings) {
        if (entry.id == id) {
            std::snprintf(buffer, static_cast<size_t>(size), "%s", entry.text);
            return static_cast<int>(std::strlen(buffer));
        }
    }
    return 0;
}

int SetupFindResource(int id, CarriedFile* file) {
    const int index = id - kCarriedFirstResource;
    if (file == nullptr || index < 0 || index >= kCarriedDataCount) {
        return 0;
    }
    file->data = carriedData[index].begin;
    file->size = static_cast<size_t>(carriedData[index].end - carriedData[index].begin);
    return 1;
}
