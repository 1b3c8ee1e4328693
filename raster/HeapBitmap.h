#pragma once

#include "RasterBitmap.h"

#include <cstdint>

// A bitmap in memory from the C allocator, stored top-down with a row span
// equal to its width. Growing allocates 25 % headroom so that a sequence of
// slightly larger sizes does not reallocate every time; shrinking never
// gives memory back.
class HeapBitmap : public RasterBitmap
{
public:
    explicit HeapBitmap(int32_t width = 0, int32_t height = 0);
    ~HeapBitmap() override;

    HeapBitmap(const HeapBitmap&) = delete;
    HeapBitmap& operator=(const HeapBitmap&) = delete;

    RasterPixel* Pixels() const override { return buffer; }
    int32_t PixelWidth() const override { return width; }
    int32_t PixelHeight() const override { return height; }
    int32_t RowSpan() const override { return width; }
    bool SetSize(int32_t width, int32_t height) override;

    // Bytes currently allocated (0 without a buffer).
    int32_t Capacity() const { return capacity; }

private:
    RasterPixel* buffer = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t capacity = 0;
};
