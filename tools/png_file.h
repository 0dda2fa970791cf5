#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes RGBA rows from the top as an 8-bit RGB PNG. Returns 1 on success.
int WritePngFile(const std::string& path, int32_t width, int32_t height,
                 const std::vector<uint8_t>& rgba);

// Reads a PNG as RGBA rows from the top. Returns 1 on success.
int ReadPngFile(const std::string& path, int32_t& width, int32_t& height,
                std::vector<uint8_t>& rgba);
