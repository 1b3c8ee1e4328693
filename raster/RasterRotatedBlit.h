#pragma once

#include "RasterBitmap.h"

#include <cstdint>

// Stretches the source rectangle onto the destination rectangle and rotates
// it by angle (radians) about the rectangle's centre; the source point that
// lands on that centre is the source rectangle's centre moved by
// (centreOffsetX, centreOffsetY). With clipToSource only pixels of the source
// rectangle are drawn, otherwise any pixel of the source bitmap.
void RasterRotatedBlit(RasterBitmap* dest, const RasterBitmap* src, int32_t dstX, int32_t dstY,
                       int32_t dstW, int32_t dstH, float srcX, float srcY, float srcW, float srcH,
                       float angle, bool clipToSource, float weight, int32_t mode,
                       float centreOffsetX, float centreOffsetY);
