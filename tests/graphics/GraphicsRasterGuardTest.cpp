#include "RasterTestGraphics.h"

#include "HeapBitmap.h"
#include "graphics/IBitmapCache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>

namespace
{
constexpr RasterPixel kGuard = 0xA5C3E10Fu;

int32_t AnyCoordinate(std::mt19937& rng)
{
    static const int32_t extremes[] = {std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max(),
                                       std::numeric_limits<int32_t>::min() + 3,
                                       std::numeric_limits<int32_t>::max() - 3,
                                       -1,
                                       0,
                                       1,
                                       -100000,
                                       100000};
    if (rng() % 4 == 0)
    {
        return extremes[rng() % (sizeof(extremes) / sizeof(extremes[0]))];
    }
    return static_cast<int32_t>(rng() % 90) - 25;
}

float AnyFloat(std::mt19937& rng)
{
    static const float extremes[] = {std::numeric_limits<float>::quiet_NaN(),
                                     std::numeric_limits<float>::infinity(),
                                     -std::numeric_limits<float>::infinity(),
                                     std::numeric_limits<float>::max(),
                                     -std::numeric_limits<float>::max(),
                                     3e9f,
                                     -3e9f,
                                     2147483520.0f,
                                     -0.0f};
    if (rng() % 5 == 0)
    {
        return extremes[rng() % (sizeof(extremes) / sizeof(extremes[0]))];
    }
    return std::uniform_real_distribution<float>(-30.0f, 70.0f)(rng);
}

double AnyAngle(std::mt19937& rng)
{
    static const double extremes[] = {std::numeric_limits<double>::quiet_NaN(),
                                      std::numeric_limits<double>::infinity(), 1e300, -1e300, 1e39};
    if (rng() % 5 == 0)
    {
        return extremes[rng() % (sizeof(extremes) / sizeof(extremes[0]))];
    }
    return std::uniform_real_distribution<double>(-400.0, 400.0)(rng);
}

IRegion AnyRegion(std::mt19937& rng)
{
    return {AnyCoordinate(rng), AnyCoordinate(rng), AnyCoordinate(rng), AnyCoordinate(rng)};
}

IBlend AnyBlend(std::mt19937& rng)
{
    static const float weights[] = {1.0f,
                                    0.5f,
                                    0.0f,
                                    -0.7f,
                                    1e30f,
                                    std::numeric_limits<float>::quiet_NaN(),
                                    std::numeric_limits<float>::infinity()};
    return {static_cast<int32_t>(rng() % 9) - 2,
            weights[rng() % (sizeof(weights) / sizeof(weights[0]))]};
}

IColour AnyColour(std::mt19937& rng)
{
    return IColour::FromPacked(static_cast<RasterPixel>(rng()));
}

// The editor's surface with a frame of guard pixels: the back buffer is grown
// and shrunk back to the editor's size, so its store keeps the larger size
// and row span, and everything beyond the logical size must stay as it was.
class GuardedGraphics : public RasterTestGraphics
{
public:
    static constexpr int32_t kWidth = 40;
    static constexpr int32_t kHeight = 30;
    static constexpr int32_t kStoreWidth = 64;
    static constexpr int32_t kStoreHeight = 48;

    explicit GuardedGraphics(IBitmapCache* cache) : RasterTestGraphics(cache, kWidth, kHeight)
    {
        CreateBackBuffer();
        BackBuffer()->SetSize(kStoreWidth, kStoreHeight);
        BackBuffer()->SetSize(kWidth, kHeight);
        for (int32_t y = 0; y < kStoreHeight; ++y)
        {
            for (int32_t x = 0; x < kStoreWidth; ++x)
            {
                At(x, y) = (x < kWidth && y < kHeight) ? 0 : kGuard;
            }
        }
    }

    bool GuardsIntact()
    {
        for (int32_t y = 0; y < kStoreHeight; ++y)
        {
            for (int32_t x = 0; x < kStoreWidth; ++x)
            {
                if ((x >= kWidth || y >= kHeight) && At(x, y) != kGuard)
                {
                    return false;
                }
            }
        }
        return true;
    }
};
} // namespace

// The store behind a shrunk back buffer keeps its row span; spans must step
// by it, not by the editor's width.
TEST(GraphicsRasterGuards, SpansStepByTheBackBuffersRows)
{
    IBitmapCache cache;
    GuardedGraphics g(&cache);
    ASSERT_EQ(g.BackBuffer()->RowSpan(), GuardedGraphics::kStoreWidth);
    g.FillColumnSpan({255, 1, 2, 3}, 1000, -1000, 1000);
    g.FillRowSpan({255, 1, 2, 3}, 1000, -1000, 1000);
    for (int32_t y = 0; y < GuardedGraphics::kHeight; ++y)
    {
        for (int32_t x = 0; x < GuardedGraphics::kWidth; ++x)
        {
            const bool filled =
                x == GuardedGraphics::kWidth - 1 || y == GuardedGraphics::kHeight - 1;
            ASSERT_EQ(g.At(x, y), filled ? 0xFF010203u : 0u) << x << "," << y;
        }
    }
    EXPECT_TRUE(g.GuardsIntact());
}

// Random operations with extreme, inverted and non-finite geometry, odd
// blends and inconsistent bitmap records, with and without a back buffer:
// nothing may crash or write outside the back buffer.
TEST(GraphicsRasterGuards, NoOperationWritesOutsideTheBackBuffer)
{
    std::mt19937 rng(77);
    IBitmapCache cache;
    HeapBitmap empty;
    HeapBitmap small(7, 5);
    for (int32_t i = 0; i < 35; ++i)
    {
        small.Pixels()[i] = static_cast<RasterPixel>(rng());
    }
    HeapBitmap strip(9, 36);
    for (int32_t i = 0; i < 9 * 36; ++i)
    {
        strip.Pixels()[i] = static_cast<RasterPixel>(rng());
    }
    const IBitmapFrames bitmaps[] = {
        {},
        {&empty, 0, 0, 1},
        {&small, 7, 5, 1},
        {&strip, 9, 36, 4},
        // Records that claim more than their pixels have, or no frames.
        {&small, 1000, 1000000, 0},
        {&strip, 9, 36, -3},
        {nullptr, 50, 50, 2},
    };
    auto anyBitmap = [&]() -> const IBitmapFrames&
    { return bitmaps[rng() % (sizeof(bitmaps) / sizeof(bitmaps[0]))]; };

    for (int round = 0; round < 3000; ++round)
    {
        GuardedGraphics g(&cache);
        // Before the plug-in attaches the editor there is no back buffer.
        RasterTestGraphics bare(&cache);
        RasterTestGraphics& target = round % 10 == 9 ? bare : g;
        target.SetDrawRegion(rng() % 3 == 0 ? IRegion{0, 0, 40, 30} : AnyRegion(rng));
        const IBlend blend = AnyBlend(rng);
        const IBlend* b = rng() % 4 == 0 ? nullptr : &blend;
        const IColour colour = AnyColour(rng);
        const int op = round % 15;
        switch (op)
        {
        case 0:
            target.BlitBitmap(anyBitmap(), AnyRegion(rng), AnyCoordinate(rng), AnyCoordinate(rng),
                              b);
            break;
        case 1:
            target.DrawBitmapFrame(anyBitmap(), AnyRegion(rng), AnyCoordinate(rng), b);
            break;
        case 2:
            target.BlitRotated(anyBitmap(), AnyCoordinate(rng), AnyCoordinate(rng), AnyAngle(rng),
                               AnyCoordinate(rng), b);
            break;
        case 3:
            target.BlitRotatedMasked(anyBitmap(), anyBitmap(), anyBitmap(), AnyCoordinate(rng),
                                     AnyCoordinate(rng), AnyAngle(rng), b);
            break;
        case 4:
            target.BlendPixel(colour, AnyFloat(rng), AnyFloat(rng), b);
            break;
        case 5:
            target.WritePixel(colour, AnyCoordinate(rng), AnyCoordinate(rng));
            break;
        case 6:
            target.StrokeLine(colour, AnyFloat(rng), AnyFloat(rng), AnyFloat(rng), AnyFloat(rng), b,
                              rng() % 2 == 0);
            break;
        case 7:
            target.StrokeArc(colour, AnyFloat(rng), AnyFloat(rng), AnyFloat(rng) / 2, AnyFloat(rng),
                             AnyFloat(rng), b, rng() % 2 == 0);
            break;
        case 8:
            target.StrokeCircle(colour, AnyFloat(rng), AnyFloat(rng), AnyFloat(rng) / 2, b,
                                rng() % 2 == 0);
            break;
        case 9:
            target.FillRegion(colour, AnyRegion(rng), b);
            break;
        case 10:
            target.FillColumnSpan(colour, AnyCoordinate(rng), AnyCoordinate(rng),
                                  AnyCoordinate(rng));
            break;
        case 11:
            target.FillRowSpan(colour, AnyCoordinate(rng), AnyCoordinate(rng), AnyCoordinate(rng));
            break;
        case 12:
        {
            // A made bitmap is then drawn too, and dropped to keep the cache
            // small.
            const IBitmapFrames made = target.ResampleBitmap(anyBitmap(), AnyCoordinate(rng) % 200,
                                                             AnyCoordinate(rng) % 200);
            target.BlitBitmap(made, AnyRegion(rng), 0, AnyCoordinate(rng), b);
            target.DropBitmap(made);
            break;
        }
        case 13:
        {
            IRegion r = AnyRegion(rng);
            if (static_cast<int64_t>(r.right) - r.left > 300 ||
                static_cast<int64_t>(r.bottom) - r.top > 300)
            {
                // At most 300 x 300 pixels are allocated for the cut.
                r.right = static_cast<int32_t>(std::min<int64_t>(
                    static_cast<int64_t>(r.left) + 300, std::numeric_limits<int32_t>::max()));
                r.bottom = static_cast<int32_t>(std::min<int64_t>(
                    static_cast<int64_t>(r.top) + 300, std::numeric_limits<int32_t>::max()));
            }
            const IBitmapFrames made = target.CutBitmap(anyBitmap(), r);
            target.DrawBitmapFrame(made, AnyRegion(rng), AnyCoordinate(rng), b);
            target.DropBitmap(made);
            break;
        }
        default:
            target.ReadPixel(AnyCoordinate(rng), AnyCoordinate(rng));
            break;
        }
        ASSERT_TRUE(g.GuardsIntact()) << "round " << round << " operation " << op;
    }
    EXPECT_EQ(cache.Count(), 0);
}
