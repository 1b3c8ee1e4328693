#pragma once

#include "RasterBitmap.h"

#include <cstdint>

// Stretches the source rectangle (srcX, srcY, srcW, srcH), in source pixels,
// onto the destination rectangle (dstX, dstY, dstW, dstH); negative widths or
// heights mirror. Nearest sampling, or bilinear with FilterBilinear (box
// filtered when shrinking by 1.7 or more both ways).
void RasterScaledBlit(RasterBitmap* dest, const RasterBitmap* src, int32_t dstX, int32_t dstY,
                      int32_t dstW, int32_t dstH, float srcX, float srcY, float srcW, float srcH,
                      float weight, int32_t mode);
