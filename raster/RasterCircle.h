#pragma once

#include "RasterBitmap.h"

#include <cstdint>

// Strokes the circle of radius r around (cx, cy), combined by the blend mode
// in the low byte of mode.
void RasterCircle(RasterBitmap* dest, float cx, float cy, float r, RasterPixel colour, float weight,
                  int32_t mode, bool antialias);

// Strokes the part of that circle from startAngle to endAngle (radians, 0 at
// the top, increasing clockwise on screen: the point of angle a is
// (cx + sin(a) r, cy - cos(a) r)). A span of a full turn or more is the whole
// circle; an end angle before the start wraps through the top.
void RasterArc(RasterBitmap* dest, float cx, float cy, float r, float startAngle, float endAngle,
               RasterPixel colour, float weight, int32_t mode, bool antialias);
