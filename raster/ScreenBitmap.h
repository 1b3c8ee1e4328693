#pragma once

#include "RasterBitmap.h"

#include <cstdint>

// A top-down 32-bit bitmap that the platform can present in a window. On
// Windows it is a DIB section selected into a memory device context of its
// own; elsewhere it lives on the heap and has no device context. Either way
// the pixel store only grows: a smaller size reuses it with the old row span.
class ScreenBitmap : public RasterBitmap
{
public:
    explicit ScreenBitmap(int32_t width = 0, int32_t height = 0);
    ~ScreenBitmap() override;

    ScreenBitmap(const ScreenBitmap&) = delete;
    ScreenBitmap& operator=(const ScreenBitmap&) = delete;

    RasterPixel* Pixels() const override { return pixels; }
    int32_t PixelWidth() const override { return width; }
    int32_t PixelHeight() const override { return height; }
    int32_t RowSpan() const override { return allocatedWidth; }
    bool SetSize(int32_t width, int32_t height) override;
    RasterDeviceContext DeviceContext() const override { return deviceContext; }

    // Size of the pixel store currently behind the bitmap.
    int32_t AllocatedWidth() const { return allocatedWidth; }
    int32_t AllocatedHeight() const { return allocatedHeight; }

private:
    // The platform half (platform/<platform>/ScreenBitmap.cpp): the device
    // context the store is selected into, and the store itself.
    void OpenContext();
    void CloseContext();
    // False when the platform cannot hold pixels at all (no device context).
    bool CanHoldPixels() const;
    // Makes a w x h store and selects it; false (and no store) on failure.
    bool AllocateStore(int32_t w, int32_t h);
    // Releases the current pixel store.
    void ReleaseStore();

    int32_t width = 0;
    int32_t height = 0;
    RasterDeviceContext deviceContext = nullptr;
    RasterPixel* pixels = nullptr;
    int32_t allocatedWidth = 0;
    int32_t allocatedHeight = 0;
    // The DIB section (HBITMAP) on Windows, the heap block elsewhere.
    void* section = nullptr;
    // The object the device context held before the section (HGDIOBJ);
    // without a device context there is nothing to restore.
    [[maybe_unused]] void* previousObject = nullptr;
};
