#pragma once

// The store file's text form, on strings only (no file is touched here):
//
//   [SOFTWARE\Quillfen\Nocturo\Setting]
//   Language = binary[4] 00 00 00 00   ; int32 0
//   textures00 = string "/home/me/.local/share/Nocturo 3D/moon_2048x1024.bmp"
//
// The format is described in docs/settings.md.

#include <string>

#include "platform/registry_tree.h"

// The whole file for a tree: a comment header, then each key that holds
// values or has no descendants, with its values in stored order.
std::string RegistrySerialize(const RegistryTree& tree);

// Reads what can be understood into `tree` (replacing what it held); every
// line that cannot is skipped and marks the tree damaged, and a damaged key
// header makes its values unreachable rather than misplaced.
void RegistryParse(const std::string& text, RegistryTree* tree);
