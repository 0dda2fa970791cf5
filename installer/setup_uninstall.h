#pragma once

// Removal: takes away what the installer's record says it added and nothing
// else. Files it wrote, its .desktop file and its xscreensaver entry go;
// settings that still hold what it wrote get back the value they had before
// (or go, when there was none); folders it made go when they are empty.

#include <cstdio>
#include <string>

// Removes the installation recorded at `manifestPath`, saying on `out` what
// it removed. 1 when there was a record and everything in it could be
// handled; 0 when there is no record or something could not be removed.
int SetupUninstall(const std::string& manifestPath, FILE* out);
