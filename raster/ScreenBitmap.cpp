#include "ScreenBitmap.h"

// The size bookkeeping shared by every platform; only the pixel store and the
// device context it lives in are platform code.

ScreenBitmap::ScreenBitmap(int32_t w, int32_t h)
{
    OpenContext();
    SetSize(w, h);
}

ScreenBitmap::~ScreenBitmap()
{
    ReleaseStore();
    CloseContext();
}

bool ScreenBitmap::SetSize(int32_t w, int32_t h)
{
    if (!CanHoldPixels())
    {
        width = height = 0;
        pixels = nullptr;
        return false;
    }
    if (w == width && h == height)
    {
        return false;
    }
    width = w;
    height = h;
    // A store that is large enough stays, with its row span: shrinking the
    // editor must not reallocate what the window presents.
    if (w > 0 && h > 0 && allocatedWidth >= w && allocatedHeight >= h && section)
    {
        return true;
    }
    allocatedWidth = w;
    allocatedHeight = h;
    ReleaseStore();
    if (w <= 0 || h <= 0 || static_cast<int64_t>(w) * h * 4 > INT32_MAX)
    {
        // Negative or overflowing sizes are no bitmap at all.
        const bool changed = w > 0 && h > 0;
        width = height = allocatedWidth = allocatedHeight = 0;
        return changed;
    }
    if (!AllocateStore(w, h))
    {
        width = height = allocatedWidth = allocatedHeight = 0;
    }
    return true;
}
