#pragma once
// The picture side of the packed moon picture: the coefficient bytes travel as
// 16 x 16 tiles, and the picture comes back from them through the inverse
// averaging-and-differencing steps.

#include <cstddef>
#include <cstdint>

// Number of tiles across and down the picture.
inline constexpr int kPictureTiles = 16;

// Puts count bytes (at most width * height) of tile order into the picture
// (row length width, row 0 first).
void PlaceTiles(const uint8_t* bytes, size_t count, int width, int height, uint8_t* picture);

// The reverse: the picture's bytes in tile order.
void ExtractTiles(const uint8_t* picture, int width, int height, uint8_t* bytes);

// One inverse step on the top-left w x h region of a picture of row length
// width; scratch holds at least w * h bytes. An odd last row or column of the
// region is left as it is.
void InverseStep(uint8_t* picture, int width, int w, int h, uint8_t* scratch);

// All inverse steps in order: the (W/32 x H/32) square, the (W/16 x H/16)
// square, then four times the whole picture.
void InverseTransform(uint8_t* picture, int width, int height);
