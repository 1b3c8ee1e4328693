#include "GuardedBitmap.h"
#include "HeapBitmap.h"
#include "Raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace
{
int32_t RandomCoordinate(std::mt19937& rng)
{
    static const int32_t extremes[] = {std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max(),
                                       -1,
                                       0,
                                       1,
                                       -100000,
                                       100000,
                                       std::numeric_limits<int32_t>::max() - 5,
                                       std::numeric_limits<int32_t>::min() + 5};
    if (rng() % 4 == 0)
    {
        return extremes[rng() % (sizeof(extremes) / sizeof(extremes[0]))];
    }
    return static_cast<int32_t>(rng() % 60) - 25;
}

float RandomFloat(std::mt19937& rng)
{
    static const float extremes[] = {std::numeric_limits<float>::quiet_NaN(),
                                     std::numeric_limits<float>::infinity(),
                                     -std::numeric_limits<float>::infinity(),
                                     std::numeric_limits<float>::max(),
                                     -std::numeric_limits<float>::max(),
                                     1e9f,
                                     -1e9f,
                                     3e7f,
                                     0.0f,
                                     -0.0f,
                                     1e-30f};
    if (rng() % 5 == 0)
    {
        return extremes[rng() % (sizeof(extremes) / sizeof(extremes[0]))];
    }
    return std::uniform_real_distribution<float>(-30.0f, 50.0f)(rng);
}

int32_t RandomMode(std::mt19937& rng)
{
    static const int32_t modes[] = {0,       1,     2,       3,     4,    5,    0x10000,    0x10003,
                                    0x10005, 0x100, 0x10100, 0x104, 0xF7, 0xFF, 0x7FFFFFFF, -1};
    return modes[rng() % (sizeof(modes) / sizeof(modes[0]))];
}

float RandomWeight(std::mt19937& rng)
{
    static const float weights[] = {1.0f,  0.5f,  0.25f,
                                    0.75f, 0.3f,  2.0f,
                                    -0.7f, 1e30f, std::numeric_limits<float>::quiet_NaN()};
    return weights[rng() % (sizeof(weights) / sizeof(weights[0]))];
}
} // namespace

// Random geometry, including negative, huge and degenerate rectangles and
// non-finite coordinates: no operation may write outside the destination.
TEST(RasterGuards, NoOperationWritesOutsideTheDestination)
{
    std::mt19937 rng(2024);
    HeapBitmap src(23, 17);
    for (int i = 0; i < 23 * 17; ++i)
    {
        src.Pixels()[i] = static_cast<RasterPixel>(rng());
    }
    uint8_t mask[40 * 40];
    for (auto& m : mask)
    {
        m = static_cast<uint8_t>(rng());
    }

    for (int round = 0; round < 4000; ++round)
    {
        GuardedBitmap dest(19, 13, round % 2 == 1);
        const int32_t mode = RandomMode(rng);
        const float weight = RandomWeight(rng);
        const int32_t x = RandomCoordinate(rng), y = RandomCoordinate(rng);
        const int32_t w = RandomCoordinate(rng), h = RandomCoordinate(rng);
        const RasterPixel colour = static_cast<RasterPixel>(rng());
        const int op = round % 12;
        switch (op)
        {
        case 0:
        {
            const RasterRect region{RandomCoordinate(rng), RandomCoordinate(rng),
                                    RandomCoordinate(rng), RandomCoordinate(rng)};
            RasterBlit(&dest, &src, x, y, rng() % 3 ? &region : nullptr, weight, mode);
            break;
        }
        case 1:
            RasterBlitRect(&dest, &src, x, y, RandomCoordinate(rng), RandomCoordinate(rng), w, h,
                           weight, mode);
            break;
        case 2:
            RasterScaledBlit(&dest, &src, x, y, w, h, RandomFloat(rng), RandomFloat(rng),
                             RandomFloat(rng), RandomFloat(rng), weight, mode);
            break;
        case 3:
            RasterRotatedBlit(&dest, &src, x, y, w, h, RandomFloat(rng), RandomFloat(rng),
                              RandomFloat(rng), RandomFloat(rng), RandomFloat(rng), rng() % 2 == 0,
                              weight, mode, RandomFloat(rng), RandomFloat(rng));
            break;
        case 4:
            RasterFillRect(&dest, x, y, w, h, colour, weight, mode);
            break;
        case 5:
            RasterMaskRect(&dest, x, y, w, h, static_cast<uint32_t>(rng()),
                           static_cast<uint32_t>(rng()));
            break;
        case 6:
            RasterDrawMask(&dest, x, y, colour, mask, 1 + rng() % 40, 1 + rng() % 40, weight, mode);
            break;
        case 7:
            RasterPutPixel(&dest, x, y, colour, weight, mode);
            break;
        case 8:
            RasterLine(&dest, x, y, w, h, colour, weight, mode, rng() % 2 == 0);
            break;
        case 9:
            RasterCircle(&dest, RandomFloat(rng), RandomFloat(rng), RandomFloat(rng) / 2, colour,
                         weight, mode, rng() % 2 == 0);
            break;
        case 10:
            RasterArc(&dest, RandomFloat(rng), RandomFloat(rng), RandomFloat(rng) / 2,
                      RandomFloat(rng), RandomFloat(rng), colour, weight, mode, rng() % 2 == 0);
            break;
        default:
        {
            // The destination as source too.
            RasterScaledBlit(&dest, &dest, x, y, w, h, RandomFloat(rng), RandomFloat(rng),
                             RandomFloat(rng), RandomFloat(rng), weight, mode | FilterBilinear);
            break;
        }
        }
        ASSERT_TRUE(dest.GuardsIntact()) << "round " << round << " operation " << op;
    }
}

// Fills, masks and blits touch exactly their clipped rectangle.
TEST(RasterGuards, PixelsOutsideTheClippedAreaStayUntouched)
{
    std::mt19937 rng(31);
    HeapBitmap src(50, 50);
    for (int i = 0; i < 2500; ++i)
    {
        src.Pixels()[i] = static_cast<RasterPixel>(rng()) | 0xFF000000u;
    }
    for (int round = 0; round < 1500; ++round)
    {
        GuardedBitmap dest(17, 11, round % 2 == 0);
        const int32_t x = RandomCoordinate(rng), y = RandomCoordinate(rng);
        const int32_t w = RandomCoordinate(rng), h = RandomCoordinate(rng);
        const int op = round % 3;
        if (op == 0)
        {
            RasterFillRect(&dest, x, y, w, h, 0xFFFFFFFFu, 1.0f, BlendCopy);
        }
        else if (op == 1)
        {
            RasterMaskRect(&dest, x, y, w, h, 0, 0xFFFFFFFFu);
        }
        else
        {
            RasterBlitRect(&dest, &src, x, y, 0, 0, w, h, 1.0f, BlendCopy);
        }
        const int64_t right = static_cast<int64_t>(x) + (op == 2 ? std::min(w, 50) : w);
        const int64_t bottom = static_cast<int64_t>(y) + (op == 2 ? std::min(h, 50) : h);
        for (int32_t py = 0; py < 11; ++py)
        {
            for (int32_t px = 0; px < 17; ++px)
            {
                const bool inside = px >= x && px < right && py >= y && py < bottom;
                ASSERT_EQ(dest.At(px, py) != 0, inside)
                    << "op " << op << " rect " << x << "," << y << " " << w << "x" << h << " at "
                    << px << "," << py;
            }
        }
        ASSERT_TRUE(dest.GuardsIntact());
    }
}

TEST(RasterGuards, MissingBitmapsAndEmptyAreasDrawNothing)
{
    HeapBitmap none, one(4, 4);
    for (int i = 0; i < 16; ++i)
    {
        one.Pixels()[i] = 5;
    }
    const uint8_t m = 255;
    RasterBlit(nullptr, &one, 0, 0, nullptr, 1.0f, 0);
    RasterBlit(&one, nullptr, 0, 0, nullptr, 1.0f, 0);
    RasterBlit(&one, &none, 0, 0, nullptr, 1.0f, 0);
    RasterBlit(&none, &one, 0, 0, nullptr, 1.0f, 0);
    RasterScaledBlit(nullptr, &one, 0, 0, 4, 4, 0, 0, 2, 2, 1.0f, 0);
    RasterScaledBlit(&one, &none, 0, 0, 4, 4, 0, 0, 2, 2, 1.0f, 0);
    RasterRotatedBlit(&one, nullptr, 0, 0, 4, 4, 0, 0, 2, 2, 1.0f, true, 1.0f, 0, 0, 0);
    RasterFillRect(nullptr, 0, 0, 4, 4, 0, 1.0f, 0);
    RasterFillRect(&one, 0, 0, 0, 4, 0, 1.0f, 0);
    RasterFillRect(&one, 2, 2, -1, -1, 0, 1.0f, 0);
    RasterMaskRect(&none, 0, 0, 4, 4, 0, 0);
    RasterDrawMask(&one, 0, 0, 0, nullptr, 1, 1, 1.0f, 0);
    RasterDrawMask(&one, 0, 0, 0, &m, 0, 1, 1.0f, 0);
    RasterPutPixel(&none, 0, 0, 0, 1.0f, 0);
    RasterLine(nullptr, 0, 0, 3, 3, 0, 1.0f, 0, true);
    RasterCircle(nullptr, 2, 2, 5, 0, 1.0f, 0, true);
    RasterArc(&none, 2, 2, 5, 0, 1, 0, 1.0f, 0, true);
    RasterScaledBlit(&one, &one, 0, 0, 0, 4, 0, 0, 2, 2, 1.0f, 0);
    RasterRotatedBlit(&one, &one, 0, 0, 4, 0, 0, 0, 2, 2, 1.0f, true, 1.0f, 0, 0, 0);
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_EQ(one.Pixels()[i], 5u);
    }
}
