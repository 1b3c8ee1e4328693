#include "HeapBitmap.h"

#include <cstdlib>

namespace
{
// Bytes needed for w x h pixels, or -1 when that does not fit in an int32
// (which is treated like a failed allocation). Non-positive sizes need none.
int64_t BytesFor(int32_t w, int32_t h)
{
    if (w <= 0 || h <= 0)
    {
        return 0;
    }
    const int64_t n = static_cast<int64_t>(w) * h * 4;
    return n > INT32_MAX ? -1 : n;
}
} // namespace

HeapBitmap::HeapBitmap(int32_t w, int32_t h)
{
    const int64_t n = BytesFor(w, h);
    if (n > 0)
    {
        buffer = static_cast<RasterPixel*>(std::malloc(static_cast<size_t>(n)));
    }
    if (buffer)
    {
        width = w;
        height = h;
        capacity = static_cast<int32_t>(n);
    }
}

HeapBitmap::~HeapBitmap()
{
    std::free(buffer);
}

bool HeapBitmap::SetSize(int32_t w, int32_t h)
{
    if (w == width && h == height)
    {
        return false;
    }
    width = w;
    height = h;
    const int64_t n = BytesFor(w, h);
    if (n <= 0)
    {
        std::free(buffer);
        buffer = nullptr;
        capacity = 0;
    }
    else if (!buffer)
    {
        buffer = static_cast<RasterPixel*>(std::malloc(static_cast<size_t>(n)));
        capacity = buffer ? static_cast<int32_t>(n) : 0;
    }
    else if (capacity < n)
    {
        int64_t grown = n / 4 * 5;
        if (grown > INT32_MAX)
        {
            grown = n;
        }
        void* moved = std::realloc(buffer, static_cast<size_t>(grown));
        if (moved)
        {
            buffer = static_cast<RasterPixel*>(moved);
            capacity = static_cast<int32_t>(grown);
        }
        else
        {
            // The headroom is a luxury: fall back to exactly what is needed.
            std::free(buffer);
            buffer = static_cast<RasterPixel*>(std::malloc(static_cast<size_t>(n)));
            capacity = buffer ? static_cast<int32_t>(n) : 0;
        }
    }
    if (!buffer)
    {
        width = 0;
        height = 0;
    }
    return true;
}
