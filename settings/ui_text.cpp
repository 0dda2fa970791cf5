#include "settings/ui_text.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "settings/cp1251.h"
#include "settings/settings_store.h"
#include "settings/ui_locale.h"

int uiTextLanguageOffset = kUiTextRussian;
UiTextTable uiText;

namespace {

struct TextSource {
    int id;
    const char* russian;  // UTF-8 here; stored as Windows-1251
    const char* english;
};

// Every interface text. "\n\r" is line feed then carriage return, as the
// message boxes expect. English text 32 begins with the Cyrillic capital Es
// (byte 0xD1), not a Latin C; the degree signs become byte 0xB0.
constexpr TextSource kTexts[] = {
    {2, " Параметры заставки \"Nocturo\"", " Nocturo"},
    {4, "Показывать звезды", "Show stars"},
    {5, "Показывать текстовую информацию", "Show text information"},
    {6, "Место наблюдателя", "Observer place"},
    {7, "Широта", "Latitude"},
    {8, "Долгота", "Longitude"},
    {9, "Северная", "Northern"},
    {10, "Южная", "Southern"},
    {11, "Восточная", "Eastern"},
    {12, "Западная", "Western"},
    {13, "Язык", "Language"},
    {15, "Список городов", "List of the Cities"},
    {16, "Добавить в список", "Add place in the list"},
    {17, "Удалить из списка", "Delete place from the list"},
    {18, "Название", "Name"},
    {25, "градусы  минуты секунды", "degrees   minutes   seconds"},
    {27,
     "Нельзя добавить новое местоположение!\n\rСначала удалите из списка неиспользуемые "
     "города,\n\rпотом попробуйте снова.",
     "It is impossible to add the new location!\n\rAt first delete from the list unused cities, "
     "then try again."},
    {28, "Добавление в список", "Addition to the list"},
    {29, "Имя: %s уже есть в списке,\n\rместоположение не будет добавлено!",
     "The name: %s already is in the list,\n\r the location will not be added!"},
    {30, "В список будет добавлено новое местоположение:\n\r",
     "In the list the new location will be added:\n\r"},
    {32, "Невозможно создать файл на диске!\n\r     Город добавлен не будет!",
     "\u0421an not create file! the City will not be added!"},
    {33, "В списке не выбран город!", "The city is not selected from the list!"},
    {34, "Имени '%s' нет в списке!", "The Name '%s' is absent in the list!"},
    {35, "Удаление из списка", "Deleting from the list"},
    {36, "Вы уверены, что хотите удалить местоположение",
     "Are you sure, that you want to delete the location"},
    {37, "Не найден файл с базой по городам!", "The file with the cities database is not found!"},
    {39, "Долгота вне диапазона [0-180°]", "Longitude is out of range [0-180°]"},
    {40, "Широта вне диапазона [0-90°]", "Latitude is out of range [0-90°]"},
    {50, "О заставке \"Nocturo\"", "About \"Nocturo\""},
    {51, "Nocturo 1.0\n\rЛуна и небо над вашим местом\n\r© Разработчики Nocturo",
     "Nocturo 1.0\n\rThe Moon and the sky over your place\n\r© The Nocturo developers"},
    {52, "О программе", "About"},
    {55, "Луна", "Moon"},
    {56, "Солнце", "Sun"},
    {57, "восход", "rise"},
    {58, "закат", "set"},
    {59, "долгота дня", "day length"},
    {60, "высота", "height"},
    {61, "азимут", "azimuth"},
    {62, "Лунный день", "Lunar day"},
    {63, "Ваши координаты:", "Your coordinates:"},
    {64, "Задайте свое местоположение!", "Set up your own location!"},
    {65, "Луна как на небе", "Sky view"},
    {66, "Сведения о Луне", "Moon facts"},
    {67, "освещено", "illuminated"},
    {68, "возраст", "age"},
    {69, "расстояние", "distance"},
    {70, "новолуние", "new moon"},
    {71, "первая четверть", "first quarter"},
    {72, "полнолуние", "full moon"},
    {73, "последняя четверть", "last quarter"},
    {74, "км", "km"},
    {75, "день", "day"},
    {76, "дня", "days"},
    {77, "дней", "days"},
    {78, "час", "hour"},
    {79, "часа", "hours"},
    {80, "часов", "hours"},
};

}  // namespace

int UiTextBuild() {
    if (uiText.built)
        return 1;
    uiText.built = true;
    delete[] uiText.scratch;
    uiText.scratch = new char[uiText.scratchSize]();
    for (char*& entry : uiText.entries) {
        delete[] entry;
        entry = nullptr;
    }
    std::string bytes;
    for (const TextSource& text : kTexts) {
        Cp1251FromUtf8(text.russian, &bytes);
        UiTextStore(text.id, kUiTextRussian, bytes.c_str());
        Cp1251FromUtf8(text.english, &bytes);
        UiTextStore(text.id, kUiTextEnglish, bytes.c_str());
    }
    return 1;
}

int UiTextStore(int id, int languageOffset, const char* text) {
    if (text == nullptr || id < 0 || id >= kUiTextIds)
        return 0;
    if (languageOffset != kUiTextRussian && languageOffset != kUiTextEnglish)
        return 0;
    char*& entry = uiText.entries[id + languageOffset];
    delete[] entry;
    const size_t size = std::strlen(text) + 1;
    entry = new char[size]();
    std::memcpy(entry, text, size);
    if (size > uiText.scratchSize) {
        uiText.scratchSize = size;
        if (uiText.scratch != nullptr) {
            delete[] uiText.scratch;
            uiText.scratch = new char[size]();
        }
    }
    return 1;
}

const char* UiTextGet(int id) {
    if (id < 0 || id >= kUiTextIds)
        return "";
    const int index = id + uiTextLanguageOffset;
    if (index < 0 || index >= kUiTextEntries)
        return "";
    const char* text = uiText.entries[index];
    return text != nullptr ? text : "";
}

char* UiTextFetch(char* buffer, int id) {
    if (buffer == nullptr)
        return nullptr;
    if (buffer == uiText.scratch)
        std::memset(buffer, 0, uiText.scratchSize);
    const char* text = UiTextGet(id);
    std::memcpy(buffer, text, std::strlen(text) + 1);
    return buffer;
}

char* UiTextFetchN(char* buffer, size_t size, int id) {
    if (buffer == nullptr || size == 0)
        return buffer;
    if (buffer == uiText.scratch)
        std::memset(buffer, 0, uiText.scratchSize);
    const char* text = UiTextGet(id);
    const size_t length = std::min(std::strlen(text), size - 1);
    std::memcpy(buffer, text, length);
    buffer[length] = 0;
    return buffer;
}

char* UiTextScratch() {
    return uiText.scratch;
}

size_t UiTextLongest() {
    size_t longest = 1;
    for (const char* entry : uiText.entries) {
        if (entry != nullptr)
            longest = std::max(longest, std::strlen(entry) + 1);
    }
    return longest;
}

size_t UiTextFill(char* out, size_t size, int id, const char* name) {
    const std::string format = UiTextGet(id);
    std::string text = format;
    const size_t at = format.find("%s");
    if (at != std::string::npos) {
        text = format.substr(0, at) + (name != nullptr ? name : "") + format.substr(at + 2);
    }
    if (out != nullptr && size > 0) {
        const size_t length = std::min(text.size(), size - 1);
        std::memcpy(out, text.data(), length);
        out[length] = 0;
    }
    return text.size();
}

int UiTextOffsetForLanguage(int32_t languageValue, int currentOffset) {
    if (languageValue == kSettingsLanguageEnglish) {
        return kUiTextEnglish;
    }
    if (languageValue == kSettingsLanguageRussian) {
        return kUiTextRussian;
    }
    return currentOffset;
}

void UiTextSelectLanguage(int32_t languageValue) {
    uiTextLanguageOffset = UiTextOffsetForLanguage(languageValue, uiTextLanguageOffset);
    UiLocaleSelectForLanguage(uiTextLanguageOffset);
}
