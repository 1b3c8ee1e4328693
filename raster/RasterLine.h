#pragma once

#include "RasterBitmap.h"

#include <cstdint>

// Draws the line from (x1, y1) to (x2, y2), both ends included, clipped to
// the bitmap, combined by the blend mode in the low byte of mode (flags are
// ignored). Antialiasing spreads each step over the two nearest pixels.
void RasterLine(RasterBitmap* dest, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                RasterPixel colour, float weight, int32_t mode, bool antialias);
