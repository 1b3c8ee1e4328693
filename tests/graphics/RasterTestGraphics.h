#pragma once

#include "graphics/IGraphicsRaster.h"
#include "graphics/ModuleImageDecoder.h"
#include "ModuleInstance.h"
#include "RasterBitmap.h"
#include "ScreenBitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// The drawing layer as the window class will complete it: presenting records
// the regions, decoding reads this program's own image resources.
class RasterTestGraphics : public IGraphicsRaster
{
public:
    explicit RasterTestGraphics(IBitmapCache* cache, int32_t w = 213, int32_t h = 326)
        : IGraphicsRaster(nullptr, w, h, 0, cache)
    {
    }

    bool PresentRegion(const IRegion& region) override
    {
        presented.push_back(region);
        return true;
    }

    RasterBitmap* DecodeResourceImage(int32_t resourceId, const char* name) override
    {
        ++decodes;
        return DecodeModuleImage(GetModuleInstance(), resourceId, name);
    }

    void SetDrawRegion(const IRegion& region) { drawRegion = region; }

    // Pixel (x, y) of the back buffer.
    RasterPixel& At(int32_t x, int32_t y)
    {
        ScreenBitmap* b = BackBuffer();
        return b->Pixels()[static_cast<size_t>(y) * b->RowSpan() + x];
    }

    // Every pixel of the back buffer becomes value.
    void Clear(RasterPixel value)
    {
        for (int32_t y = 0; y < BackBuffer()->PixelHeight(); ++y)
        {
            for (int32_t x = 0; x < BackBuffer()->PixelWidth(); ++x)
            {
                At(x, y) = value;
            }
        }
    }

    // Success when every back-buffer pixel inside area (right and bottom
    // exclusive; all zero: no area) is expected(x, y) and every other one is
    // outside.
    template <typename Expected>
    testing::AssertionResult Shows(const IRegion& area, Expected expected, RasterPixel outside)
    {
        for (int32_t y = 0; y < BackBuffer()->PixelHeight(); ++y)
        {
            for (int32_t x = 0; x < BackBuffer()->PixelWidth(); ++x)
            {
                const bool inside = !area.IsEmpty() && x >= area.left && x < area.right &&
                                    y >= area.top && y < area.bottom;
                const RasterPixel want = inside ? expected(x, y) : outside;
                if (At(x, y) != want)
                {
                    return testing::AssertionFailure() << "pixel " << x << "," << y << " is "
                                                       << std::hex << At(x, y) << ", not " << want;
                }
            }
        }
        return testing::AssertionSuccess();
    }

    std::vector<IRegion> presented;
    int decodes = 0;
};
