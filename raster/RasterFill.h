#pragma once

#include "RasterBitmap.h"

#include <cstdint>

// Fills the rectangle (x, y, w, h), clipped to the bitmap, with one colour.
// The weight's integer form stands in for the colour's alpha; with
// UseSourceAlpha the colour's alpha scales the weight first.
void RasterFillRect(RasterBitmap* dest, int32_t x, int32_t y, int32_t w, int32_t h,
                    RasterPixel colour, float weight, int32_t mode);

// Every pixel p of the clipped rectangle becomes (p & andMask) | orMask.
void RasterMaskRect(RasterBitmap* dest, int32_t x, int32_t y, int32_t w, int32_t h,
                    uint32_t andMask, uint32_t orMask);

// Stamps a colour through an 8-bit coverage mask (maskW bytes per row, maskH
// rows) placed at (x, y); each mask byte scales the weight.
void RasterDrawMask(RasterBitmap* dest, int32_t x, int32_t y, RasterPixel colour,
                    const uint8_t* mask, int32_t maskW, int32_t maskH, float weight, int32_t mode);
