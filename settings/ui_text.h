#pragma once

#include <cstddef>
#include <cstdint>

// The interface texts: one table of 100 text ids in two languages, built in
// code. The text of id i in the current language is entry i + the language
// offset. Texts are Windows-1251 (Russian in Cyrillic, English in ASCII).

// The interface language, held as the offset of its half of the text table.
constexpr int kUiTextRussian = 0;
constexpr int kUiTextEnglish = 100;

// Russian when the process starts.
extern int uiTextLanguageOffset;

constexpr int kUiTextIds = 100;
constexpr int kUiTextEntries = 2 * kUiTextIds;
constexpr size_t kUiTextScratchInitialSize = 10;

// The project's web and mail addresses, shown by the caption and the About box.
constexpr char kMakerWebAddress[] = "https://nocturo.example.org/";
constexpr char kMakerMailAddress[] = "nocturo@example.org";

struct UiTextTable {
    char* entries[kUiTextEntries] = {};  // each owns a heap copy; null = no text
    char* scratch = nullptr;             // shared buffer for fetched texts
    size_t scratchSize = kUiTextScratchInitialSize;
    bool built = false;
};

extern UiTextTable uiText;

// Builds the table once per process; later calls do nothing. Returns 1.
int UiTextBuild();

// Stores a copy of a text at id + language offset, replacing what was there,
// and grows the scratch buffer to hold it. Returns 0 for an id or offset
// outside the table or a null text.
int UiTextStore(int id, int languageOffset, const char* text);

// Copies the text of an id in the current language, with its terminating
// zero, into buffer and returns buffer. The shared scratch buffer is cleared
// first over its whole size; any other buffer must hold the longest text
// (UiTextLongest() bytes). An id that holds nothing gives the empty text.
char* UiTextFetch(char* buffer, int id);

// The same into a buffer of a known size, cut to fit (always terminated).
char* UiTextFetchN(char* buffer, size_t size, int id);

// The stored text of an id in the current language ("" when there is none).
// Valid until the entry is stored again.
const char* UiTextGet(int id);

// The shared scratch buffer (built with the table).
char* UiTextScratch();

// Bytes the longest stored text needs with its terminating zero.
size_t UiTextLongest();

// Fills a text that holds one "%s" with a name, the name taken as plain
// text (a '%' in it stays a '%'). The result is cut to fit size and always
// terminated. Returns the length the whole result needs, without the zero.
size_t UiTextFill(char* out, size_t size, int id, const char* name);

// Selects the interface language from the stored `Language` value: 0 English,
// 1 Russian, any other keeps the current one. The interface locale follows
// the language that results.
void UiTextSelectLanguage(int32_t languageValue);

// The language offset that the Language value `languageValue` selects when
// `currentOffset` is in force: 0 English, 1 Russian, anything else keeps it.
int UiTextOffsetForLanguage(int32_t languageValue, int currentOffset);
