#include "GuardedBitmap.h"
#include "HeapBitmap.h"
#include "RasterCircle.h"
#include "RasterLine.h"
#include "RasterMode.h"
#include "RasterPixelAccess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

namespace
{
constexpr RasterPixel kInk = 0xFF204060u;

std::set<std::pair<int, int>> Drawn(GuardedBitmap& b)
{
    std::set<std::pair<int, int>> out;
    for (int32_t y = 0; y < b.PixelHeight(); ++y)
    {
        for (int32_t x = 0; x < b.PixelWidth(); ++x)
        {
            if (b.At(x, y) != 0)
            {
                out.insert({x, y});
            }
        }
    }
    return out;
}

using Points = std::set<std::pair<int, int>>;
} // namespace

TEST(RasterLine, ClipsASpanToTheBitmap)
{
    GuardedBitmap b(213, 10);
    RasterLine(&b, -10, 5, 300, 5, kInk, 1.0f, BlendCopy, false);
    const Points drawn = Drawn(b);
    EXPECT_EQ(drawn.size(), 213u);
    EXPECT_TRUE(drawn.count({0, 5}) && drawn.count({212, 5}));
    EXPECT_TRUE(b.GuardsIntact());
}

TEST(RasterLine, DrawsBothEndsOfDiagonalsAndSlopes)
{
    GuardedBitmap diag(8, 8);
    RasterLine(&diag, 0, 0, 4, 4, kInk, 1.0f, BlendCopy, false);
    EXPECT_EQ(Drawn(diag), (Points{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}));
    EXPECT_EQ(diag.At(2, 2), kInk);

    // D = 5: three pixels from each end, symmetric about the middle.
    GuardedBitmap slope(8, 8);
    RasterLine(&slope, 0, 0, 5, 2, kInk, 1.0f, BlendCopy, false);
    EXPECT_EQ(Drawn(slope), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}));
    // The same line drawn backwards gives the same pixels.
    GuardedBitmap back(8, 8);
    RasterLine(&back, 5, 2, 0, 0, kInk, 1.0f, BlendCopy, false);
    EXPECT_EQ(Drawn(back), Drawn(slope));

    // D = 4 is even: the middle pixel comes after two steps from each end.
    GuardedBitmap even(8, 8);
    RasterLine(&even, 0, 0, 4, 1, kInk, 1.0f, BlendCopy, false);
    const Points e = Drawn(even);
    EXPECT_EQ(e.size(), 5u);
    for (int x = 0; x <= 4; ++x)
    {
        EXPECT_TRUE(e.count({x, 0}) + e.count({x, 1}) == 1) << x;
    }

    // Steep lines step along y.
    GuardedBitmap steep(8, 8);
    RasterLine(&steep, 3, 7, 1, 0, kInk, 1.0f, BlendCopy, false);
    const Points s = Drawn(steep);
    EXPECT_EQ(s.size(), 8u);
    EXPECT_TRUE(s.count({3, 7}) && s.count({1, 0}));
}

TEST(RasterLine, LinesBeyondOneEdgeDrawNothing)
{
    GuardedBitmap b(20, 20);
    RasterLine(&b, -5, -3, 30, -1, kInk, 1.0f, BlendCopy, true);
    RasterLine(&b, 25, 0, 40, 19, kInk, 1.0f, BlendCopy, false);
    RasterLine(&b, INT32_MIN, 5, INT32_MIN + 3, 30, kInk, 1.0f, BlendAdd, false);
    EXPECT_TRUE(Drawn(b).empty());
    EXPECT_TRUE(b.GuardsIntact());

    // A long line across the whole bitmap keeps to it.
    RasterLine(&b, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, kInk, 1.0f, BlendCopy, true);
    RasterLine(&b, -1000, 7, 1000, 9, kInk, 1.0f, BlendCopy, false);
    EXPECT_FALSE(Drawn(b).empty());
    EXPECT_TRUE(b.GuardsIntact());
}

TEST(RasterLine, SpanWeightsAndModes)
{
    GuardedBitmap b(6, 4);
    for (int x = 0; x < 6; ++x)
    {
        b.At(x, 0) = RasterRGBA(200, 100, 0, 255);
        b.At(x, 1) = 0x80808080u;
        b.At(x, 2) = 0x80808080u;
        b.At(x, 3) = 0x80808080u;
    }
    RasterLine(&b, 0, 0, 5, 0, RasterRGBA(100, 200, 10, 0), 1.0f, BlendAdd, false);
    EXPECT_EQ(b.At(3, 0), RasterRGBA(255, 255, 10, 255));
    RasterLine(&b, 5, 1, 0, 1, 0xFFFFFFFFu, 0.5f, BlendCopy, false);
    EXPECT_EQ(b.At(0, 1), 0xBFBFBFBFu); // 0x40 + 0x7F
    RasterLine(&b, 0, 2, 5, 2, 0xFFFFFFFFu, 0.25f, BlendCopy, false);
    EXPECT_EQ(b.At(5, 2), 0x9F9F9F9Fu); // 0x40 + 0x20 + 0x3F
    RasterLine(&b, 0, 3, 0, 3, 0xFFFFFFFFu, 0.75f, BlendCopy, false);
    EXPECT_EQ(b.At(0, 3), 0xDEDEDEDEu); // 0x20 + 0x7F + 0x3F
    EXPECT_EQ(b.At(1, 3), 0x80808080u);
}

TEST(RasterLine, AntialiasingSplitsTheWeight)
{
    // An exact diagonal: three quarters on the line, a quarter beside it.
    GuardedBitmap diag(6, 6);
    RasterLine(&diag, 0, 0, 3, 3, 0xFFFFFFFFu, 1.0f, BlendCopy, true);
    EXPECT_EQ(diag.At(1, 1), 0xBEBEBEBEu); // 0x7F + 0x3F
    EXPECT_EQ(diag.At(3, 3), 0xBEBEBEBEu);
    EXPECT_EQ(diag.At(2, 1), 0x3F3F3F3Fu); // a quarter beside the step
    EXPECT_EQ(diag.At(1, 2), 0x3F3F3F3Fu);
    EXPECT_EQ(diag.At(4, 3), 0u);
    EXPECT_EQ(diag.At(3, 4), 0u);

    // A gentle slope: each column shares the weight between two rows, and
    // the ends are drawn at full weight.
    GuardedBitmap soft(12, 4);
    RasterLine(&soft, 0, 0, 10, 3, 0xFF0000FFu, 1.0f, BlendCopy, true);
    EXPECT_EQ(soft.At(0, 0), 0xFF0000FFu);
    EXPECT_EQ(soft.At(10, 3), 0xFF0000FFu);
    for (int x = 1; x < 10; ++x)
    {
        int column = 0;
        for (int y = 0; y < 4; ++y)
        {
            column += RasterBlue(soft.At(x, y));
        }
        EXPECT_GE(column, 250) << x;
        EXPECT_LE(column, 256) << x;
    }
    EXPECT_TRUE(soft.GuardsIntact());
}

TEST(RasterCircle, SmallRadiiStampRings)
{
    for (float r : {2.0f, 2.5f, 3.0f, 3.5f, 4.0f})
    {
        for (bool aa : {false, true})
        {
            GuardedBitmap b(16, 16);
            RasterCircle(&b, 8.0f, 8.0f, r, 0xFFFFFFFFu, 1.0f, BlendCopy, aa);
            const Points drawn = Drawn(b);
            ASSERT_FALSE(drawn.empty());
            const int origin = static_cast<int>(8.0f - r);
            for (auto [x, y] : drawn)
            {
                EXPECT_GE(x, origin);
                EXPECT_GE(y, origin);
                EXPECT_LE(x, origin + static_cast<int>(2 * r) + 1);
                EXPECT_LE(y, origin + static_cast<int>(2 * r) + 1);
            }
            // A ring: the centre stays empty.
            EXPECT_EQ(b.At(origin + static_cast<int>(r), origin + static_cast<int>(r)), 0u);
        }
    }
}

TEST(RasterCircle, PixelsLieOnTheRadius)
{
    for (bool aa : {false, true})
    {
        GuardedBitmap b(40, 40);
        RasterCircle(&b, 20.0f, 20.0f, 12.0f, 0xFFFFFFFFu, 1.0f, BlendCopy, aa);
        const Points drawn = Drawn(b);
        EXPECT_GT(drawn.size(), 60u);
        for (auto [x, y] : drawn)
        {
            const double d = std::hypot(x - 20.0, y - 20.0);
            EXPECT_NEAR(d, 12.0, 1.5) << x << "," << y;
        }
        // Symmetric in all four quadrants.
        for (auto [x, y] : drawn)
        {
            EXPECT_TRUE(drawn.count({40 - x, y}) || drawn.count({39 - x, y}) ||
                        drawn.count({41 - x, y}));
        }
    }
    // Partly outside: clipped, never outside.
    GuardedBitmap edge(10, 10);
    RasterCircle(&edge, 1.0f, 9.0f, 7.0f, 0xFFFFFFFFu, 0.7f, BlendAdd, true);
    RasterCircle(&edge, 1.0f, 9.0f, 7.0f, 0xFFFFFFFFu, 1.0f, BlendCopy, false);
    EXPECT_FALSE(Drawn(edge).empty());
    EXPECT_TRUE(edge.GuardsIntact());
}

TEST(RasterArc, DrawsOnlyItsAngles)
{
    // From the top (0) clockwise to the right (pi / 2): the upper right quarter.
    GuardedBitmap b(40, 40);
    RasterArc(&b, 20.0f, 20.0f, 12.0f, 0.0f, 1.5707964f, 0xFFFFFFFFu, 1.0f, BlendCopy, false);
    const Points quarter = Drawn(b);
    EXPECT_GT(quarter.size(), 10u);
    for (auto [x, y] : quarter)
    {
        EXPECT_GE(x, 20);
        EXPECT_LE(y, 20);
    }
    EXPECT_TRUE(quarter.count({20, 8}));
    EXPECT_TRUE(quarter.count({32, 20}));

    // A short arc inside the first quarter stays near its angles.
    GuardedBitmap s(40, 40);
    RasterArc(&s, 20.0f, 20.0f, 12.0f, 0.2f, 1.0f, 0xFFFFFFFFu, 1.0f, BlendCopy, true);
    for (auto [x, y] : Drawn(s))
    {
        const double a = std::atan2(x - 20.0, 20.0 - y);
        EXPECT_GE(a, 0.1) << x << "," << y;
        EXPECT_LE(a, 1.1) << x << "," << y;
    }

    // Wrapping through the top: from 3 pi / 2 to pi / 2 is the upper half.
    GuardedBitmap wrap(40, 40);
    RasterArc(&wrap, 20.0f, 20.0f, 12.0f, 4.712389f, 1.5707964f, 0xFFFFFFFFu, 1.0f, BlendCopy,
              false);
    for (auto [x, y] : Drawn(wrap))
    {
        EXPECT_LE(y, 20) << x << "," << y;
    }
    EXPECT_TRUE(Drawn(wrap).count({8, 20}));

    // A full turn or more is the whole circle.
    GuardedBitmap full(40, 40), circle(40, 40);
    RasterArc(&full, 20.0f, 20.0f, 12.0f, 1.0f, 8.0f, 0xFFFFFFFFu, 1.0f, BlendCopy, true);
    RasterCircle(&circle, 20.0f, 20.0f, 12.0f, 0xFFFFFFFFu, 1.0f, BlendCopy, true);
    EXPECT_EQ(Drawn(full), Drawn(circle));
}
