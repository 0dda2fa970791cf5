#pragma once

// The store's name rules: key paths are components joined with '\', names
// are compared without regard to ASCII case and keep the case they were
// created with; control bytes and overlong names are refused.

#include <string>
#include <vector>

// A name with its ASCII letters in upper case: the form names are compared in.
std::string RegistryFoldName(const std::string& name);
bool RegistrySameName(const std::string& a, const std::string& b);

bool RegistryIsControl(unsigned char c);

// Splits a key path into its components; empty components (leading,
// trailing or doubled separators) are skipped. False for a bad name or a
// path longer than kRegistryMaxPathLength.
bool RegistrySplitPath(const std::string& path, std::vector<std::string>* components);
// The first `count` components joined with '\'.
std::string RegistryJoinPath(const std::vector<std::string>& components, size_t count);
// The path in its plain form (no empty components). False for a bad path.
bool RegistryNormalizePath(const char* path, std::string* normal);

bool RegistryValidValueName(const char* name);
