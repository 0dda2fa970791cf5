#pragma once

// The installer's interface texts: 100 text ids in two languages in one
// table of 200 entries, the text of id i in the current language at
// i + the language offset (100 English, 0 Russian). Texts are Windows-1251.

#include <cstddef>

constexpr int kSetupTextRussian = 0;
constexpr int kSetupTextEnglish = 100;
constexpr int kSetupTextIds = 100;
constexpr size_t kSetupScratchSize = 400;

// The language offset in force; English when the installer starts.
extern int setupTextLanguageOffset;

// Text ids.
enum SetupTextId : int {
    kSetupCancel = 1,
    kSetupVersion = 5,
    kSetupBrowse = 6,
    kSetupInstall = 7,
    kSetupLanguageLabel = 8,
    kSetupTitle = 9,
    kSetupWelcome = 10,
    kSetupFolderLabel = 11,
    kSetupConfirmExit = 12,
    kSetupCopyright = 13,
    kSetupCopying = 14,
    kSetupUnpacking = 15,
    kSetupBrowseTitle = 16,
    kSetupCannotWrite = 17,
    kSetupNotComplete = 20,
    kSetupInterrupted = 21,
    kSetupComplete = 22,
    // The installer's own additions, for folders it refuses.
    kSetupFolderEmpty = 23,
    kSetupFolderTooLong = 24,
};

// The caption of every message box.
constexpr const char* kSetupMessageCaption = "Nocturo 3D";

// Builds the table once; later calls do nothing.
void SetupTextBuild();

// The text of an id in the current language ("" for an id that holds none).
const char* SetupTextGet(int id);

// Copies the text of an id into buffer (cut to size, always terminated) and
// returns buffer. The shared scratch buffer is cleared over its whole size
// first.
char* SetupTextFetch(char* buffer, size_t size, int id);

// The shared 400-byte scratch buffer.
char* SetupTextScratch();

// "%s %s" of text 17 and a file name: the message for a file that cannot be
// written.
void SetupCannotWriteMessage(const char* fileName, char* out, size_t size);
