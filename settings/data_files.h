#pragma once

#include <string>

// Where the saver, the settings dialog and the tools find their data files
// (the moon pictures and the city files), in this order:
//   1. the path the user's settings give for the file, when it can be read;
//   2. the user's own installed folder: $XDG_DATA_HOME/Nocturo 3D, or
//      ~/.local/share/Nocturo 3D (where the per-user installer puts them);
//   3. the system folder of a system-wide install: share/nocturo under the
//      prefix the program is installed in (/usr/share/nocturo for a program
//      in /usr/bin or /usr/libexec/xscreensaver), so a staged or relocated
//      tree finds its own files; a program elsewhere (the build tree) uses
//      the folder configured at build time.
// So a per-user install always wins over the system one for that user.

constexpr const char kDataLargeMoonPicture[] = "moon_2048x1024.bmp";
constexpr const char kDataSmallMoonPicture[] = "moon_256x128.bmp";
constexpr const char kDataCitiesEnglish[] = "town_en";
constexpr const char kDataCitiesRussian[] = "town_ru";

// The user's installed folder, or "" when neither XDG_DATA_HOME nor HOME is
// an absolute path.
std::string DataUserFolder();

// The system folder for the running program (see above).
std::string DataSystemFolder();

// The file to read for fileName given the path the settings hold (empty,
// or the settings' "null" placeholder, when they name none): the first of
// the three places where a file can be opened for reading. When none can,
// the settings' path is returned as it is, so the reader's own fallback for
// a missing file applies.
std::string DataFindFile(const char* settingsPath, const char* fileName);
