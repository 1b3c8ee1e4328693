#pragma once

#include "RasterBitmap.h"

#include <cstdint>

// The pixel at (x, y), or 0 when there is none (null or empty bitmap, or a
// position outside it).
RasterPixel RasterGetPixel(const RasterBitmap* bitmap, int32_t x, int32_t y);

// Combines one pixel with colour (its own alpha) by the mode's blend mode;
// nothing outside the bitmap.
void RasterPutPixel(RasterBitmap* dest, int32_t x, int32_t y, RasterPixel colour, float weight,
                    int32_t mode);
