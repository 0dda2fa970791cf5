#pragma once

// The interface language, held as the offset of its half of the text table.
constexpr int kUiTextRussian = 0;
constexpr int kUiTextEnglish = 100;

// Russian when the process starts.
extern int uiTextLanguageOffset;
