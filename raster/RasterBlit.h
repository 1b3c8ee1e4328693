#pragma once

#include "RasterBitmap.h"
#include "RasterRect.h"

#include <cstdint>

// Unscaled copy of a source region (the whole source when region is null) to
// (dstX, dstY), clipped to both bitmaps, combined by mode at weight.
void RasterBlit(RasterBitmap* dest, const RasterBitmap* src, int32_t dstX, int32_t dstY,
                const RasterRect* region, float weight, int32_t mode);

// RasterBlit with the region (srcX, srcY, srcX + w, srcY + h).
void RasterBlitRect(RasterBitmap* dest, const RasterBitmap* src, int32_t dstX, int32_t dstY,
                    int32_t srcX, int32_t srcY, int32_t w, int32_t h, float weight, int32_t mode);

// Resizes dest to the source size and copies the whole source into it.
void RasterCopy(RasterBitmap* dest, const RasterBitmap* src);
