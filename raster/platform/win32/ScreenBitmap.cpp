#include "ScreenBitmap.h"

#include <windows.h>

static_assert(sizeof(BITMAPINFOHEADER) == 40, "DIB header layout");
static_assert(sizeof(RasterPixel) == 4, "32-bit DIB pixels");

ScreenBitmap::ScreenBitmap(int32_t w, int32_t h)
{
    deviceContext = CreateCompatibleDC(nullptr);
    SetSize(w, h);
}

ScreenBitmap::~ScreenBitmap()
{
    ReleaseStore();
    if (deviceContext)
        DeleteDC(deviceContext);
}

void ScreenBitmap::ReleaseStore()
{
    if (deviceContext && previousObject)
        SelectObject(deviceContext, static_cast<HGDIOBJ>(previousObject));
    previousObject = nullptr;
    if (section)
        DeleteObject(static_cast<HGDIOBJ>(section));
    section = nullptr;
    pixels = nullptr;
}

bool ScreenBitmap::SetSize(int32_t w, int32_t h)
{
    if (!deviceContext)
    {
        width = height = 0;
        pixels = nullptr;
        return false;
    }
    if (w == width && h == height)
        return false;
    width = w;
    height = h;
    if (w > 0 && h > 0 && allocatedWidth >= w && allocatedHeight >= h && section)
        return true;
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

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = IsBottomUp() ? h : -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP created = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!created || !bits)
    {
        if (created)
            DeleteObject(created);
        width = height = allocatedWidth = allocatedHeight = 0;
        return true;
    }
    section = created;
    pixels = static_cast<RasterPixel*>(bits);
    previousObject = SelectObject(deviceContext, created);
    return true;
}
