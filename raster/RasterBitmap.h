#pragma once

#include "RasterPixel.h"

#include <cstdint>

#ifdef _WIN32
struct HDC__;
// The memory device context a bitmap is selected into (an HDC).
using RasterDeviceContext = HDC__*;
#else
// Platforms without device contexts never hand one out.
using RasterDeviceContext = void*;
#endif

// A 32-bit bitmap. Pixel (x, y) lives at Pixels() + y * RowSpan() + x, or at
// Pixels() + (PixelHeight() - 1 - y) * RowSpan() + x for bottom-up storage, so
// y = 0 is always the top row for every operation of the library.
class RasterBitmap
{
public:
    // Bitmaps are owned by whoever created them and destroyed through this base.
    virtual ~RasterBitmap() = default;

    // First pixel of the first stored row, or null while the bitmap has no pixels.
    virtual RasterPixel* Pixels() const = 0;

    // Logical width in pixels.
    virtual int32_t PixelWidth() const = 0;

    // Logical height in pixels.
    virtual int32_t PixelHeight() const = 0;

    // Distance between stored rows in pixels (not bytes); at least the width.
    virtual int32_t RowSpan() const = 0;

    // True when stored row 0 is the bottom row of the image.
    virtual bool IsBottomUp() const { return false; }

    // Resizes the bitmap; true when the size changed. Pixel contents are
    // undefined afterwards. A failed allocation leaves a 0 x 0 bitmap.
    virtual bool SetSize(int32_t width, int32_t height) = 0;

    // The platform device context the pixels are selected into, so a window
    // can present them; null for bitmaps that live only in memory.
    virtual RasterDeviceContext DeviceContext() const { return nullptr; }
};
