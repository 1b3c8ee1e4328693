#include "ScreenBitmap.h"

#include <windows.h>

static_assert(sizeof(BITMAPINFOHEADER) == 40, "DIB header layout");
static_assert(sizeof(RasterPixel) == 4, "32-bit DIB pixels");

// The store is a DIB section selected into a memory device context of the
// bitmap's own, so the window can copy it to the screen.

void ScreenBitmap::OpenContext()
{
    deviceContext = CreateCompatibleDC(nullptr);
}

void ScreenBitmap::CloseContext()
{
    if (deviceContext)
    {
        DeleteDC(deviceContext);
    }
    deviceContext = nullptr;
}

bool ScreenBitmap::CanHoldPixels() const
{
    return deviceContext != nullptr;
}

bool ScreenBitmap::AllocateStore(int32_t w, int32_t h)
{
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
        {
            DeleteObject(created);
        }
        return false;
    }
    section = created;
    pixels = static_cast<RasterPixel*>(bits);
    previousObject = SelectObject(deviceContext, created);
    return true;
}

void ScreenBitmap::ReleaseStore()
{
    if (deviceContext && previousObject)
    {
        SelectObject(deviceContext, static_cast<HGDIOBJ>(previousObject));
    }
    previousObject = nullptr;
    if (section)
    {
        DeleteObject(static_cast<HGDIOBJ>(section));
    }
    section = nullptr;
    pixels = nullptr;
}
