#include "ScreenBitmap.h"

#include <cstdlib>

// Without a windowing device context the store is a plain heap block.

void ScreenBitmap::OpenContext() {}

void ScreenBitmap::CloseContext() {}

bool ScreenBitmap::CanHoldPixels() const
{
    return true;
}

bool ScreenBitmap::AllocateStore(int32_t w, int32_t h)
{
    section = std::malloc(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
    pixels = static_cast<RasterPixel*>(section);
    return section != nullptr;
}

void ScreenBitmap::ReleaseStore()
{
    std::free(section);
    section = nullptr;
    pixels = nullptr;
}
