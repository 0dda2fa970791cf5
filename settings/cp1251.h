#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Windows-1251, the single-byte code page of every text inside the system.
// Texts stay in it everywhere; these convert only at the edges (glyph lookup,
// toolkits that want UTF-8) and give the letter case of its Cyrillic letters.

// The Unicode code point of a byte; 0xFFFD for 0x98, the one unassigned byte.
char32_t Cp1251ToUnicode(unsigned char byte);

// The byte of a code point, or -1 when the code page has no such character.
int Cp1251FromUnicode(char32_t codePoint);

// UTF-8 of a zero-terminated Windows-1251 text.
std::string Cp1251ToUtf8(const char* text);

// Windows-1251 of a UTF-8 text. Characters the code page lacks and bytes that
// are not valid UTF-8 become '?'; the result says whether all converted.
int Cp1251FromUtf8(const char* utf8, std::string* out);

// The small letter of a capital (Latin and Cyrillic); other bytes unchanged.
unsigned char Cp1251ToLower(unsigned char byte);

// The capital of a small letter; other bytes unchanged.
unsigned char Cp1251ToUpper(unsigned char byte);
