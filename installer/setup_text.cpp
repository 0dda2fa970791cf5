#include "installer/setup_text.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "settings/cp1251.h"

int setupTextLanguageOffset = kSetupTextEnglish;

namespace {

struct SetupTextSource {
    int id;
    const char* russian;  // UTF-8 here; stored as Windows-1251
    const char* english;
};

// "\n\r" is line feed then carriage return, as the message boxes expect.
constexpr SetupTextSource kTexts[] = {
    {1, "Отмена", "Cancel"},
    {5, "Версия 1.0", "Version 1.0"},
    {6, "Сменить", "Browse"},
    {7, "Установить", "Install"},
    {8, "Язык", "Language"},
    {9, "Установка заставки Nocturo 3D", "Setup - Nocturo 3D Screensaver"},
    {10, "Добро пожаловать в программу\n\rустановки Nocturo 3D",
     "Welcome to Nocturo 3D Setup program."},
    {11, "Заставка будет установлена в следующий каталог:",
     "Setup will install Nocturo 3D in the following folder."},
    {12, "Вы действительно хотите прервать установку программы?",
     "Setup is not complete.\n\rYou really want to exit Setup?"},
    {13, "© Разработчики Nocturo", "© The Nocturo developers"},
    {14, "Копирование файлов", "Copying of files"},
    {15, "Распаковка изображений...", "Unpacking of pictures..."},
    {16, "Выберите каталог для установки", "Select a folder in the list below, then click OK"},
    {17, "Невозможно записать файл", "Can't write file"},
    {20, "Установка программы не была завершена", "Setup is not complete"},
    {21, "Установка программы была прервана", "Setup is interrupted"},
    {22, "Установка программы завершена", "Setup is complete"},
    {23, "Укажите каталог для установки.", "Please enter the folder to install into."},
    {24, "Слишком длинное имя каталога.\n\rВыберите каталог с более коротким путём.",
     "The folder name is too long.\n\rPlease choose a folder with a shorter path."},
};

std::string table[2 * kSetupTextIds];  // Windows-1251; empty = no text
bool built = false;
char scratch[kSetupScratchSize];

}  // namespace

void SetupTextBuild() {
    if (built) {
        return;
    }
    for (const SetupTextSource& source : kTexts) {
        std::string russian;
        Cp1251FromUtf8(source.russian, &russian);
        table[source.id + kSetupTextRussian] = russian;
        std::string english;
        Cp1251FromUtf8(source.english, &english);
        table[source.id + kSetupTextEnglish] = english;
    }
    built = true;
}

const char* SetupTextGet(int id) {
    SetupTextBuild();
    if (id < 0 || id >= kSetupTextIds ||
        (setupTextLanguageOffset != kSetupTextEnglish &&
         setupTextLanguageOffset != kSetupTextRussian)) {
        return "";
    }
    return table[id + setupTextLanguageOffset].c_str();
}

char* SetupTextFetch(char* buffer, size_t size, int id) {
    if (buffer == nullptr || size == 0) {
        return buffer;
    }
    if (buffer == scratch) {
        std::memset(scratch, 0, sizeof scratch);
    }
    std::snprintf(buffer, size, "%s", SetupTextGet(id));
    return buffer;
}

char* SetupTextScratch() {
    return scratch;
}

void SetupCannotWriteMessage(const char* fileName, char* out, size_t size) {
    std::snprintf(out, size, "%s %s", SetupTextGet(kSetupCannotWrite), fileName);
}
