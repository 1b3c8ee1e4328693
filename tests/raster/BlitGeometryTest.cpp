#include "GuardedBitmap.h"
#include "HeapBitmap.h"
#include "RasterBlit.h"
#include "RasterMode.h"
#include "RasterPixelAccess.h"
#include "RasterRotatedBlit.h"
#include "RasterScaledBlit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace
{
// Every pixel holds its own coordinates: R = x, G = y, opaque.
void Coordinates(RasterBitmap& b)
{
    for (int32_t y = 0; y < b.PixelHeight(); ++y)
    {
        for (int32_t x = 0; x < b.PixelWidth(); ++x)
        {
            b.Pixels()[y * b.RowSpan() + x] = RasterRGBA(x, y, 0, 255);
        }
    }
}

void Fill(RasterBitmap& b, RasterPixel p)
{
    for (int32_t y = 0; y < b.PixelHeight(); ++y)
    {
        for (int32_t x = 0; x < b.PixelWidth(); ++x)
        {
            b.Pixels()[y * b.RowSpan() + x] = p;
        }
    }
}

constexpr RasterPixel kBlank = 0x01020304u;
} // namespace

TEST(RasterBlit, ClipsAtTheTopLeftAndCopiesTheRest)
{
    HeapBitmap dest(213, 333), src(40, 40);
    Fill(dest, kBlank);
    Coordinates(src);
    RasterBlit(&dest, &src, -10, -5, nullptr, 1.0f, BlendCopy);
    EXPECT_EQ(RasterGetPixel(&dest, 0, 0), RasterRGBA(10, 5, 0, 255));
    EXPECT_EQ(RasterGetPixel(&dest, 29, 34), RasterRGBA(39, 39, 0, 255));
    EXPECT_EQ(RasterGetPixel(&dest, 30, 0), kBlank);
    EXPECT_EQ(RasterGetPixel(&dest, 0, 35), kBlank);
}

TEST(RasterBlit, NegativeRegionOriginShiftsTheDestination)
{
    HeapBitmap dest(40, 40), src(20, 20);
    Fill(dest, kBlank);
    Coordinates(src);
    const RasterRect region{-3, 2, 5, 6};
    RasterBlit(&dest, &src, 10, 0, &region, 1.0f, BlendCopy);
    EXPECT_EQ(RasterGetPixel(&dest, 12, 0), kBlank);
    EXPECT_EQ(RasterGetPixel(&dest, 13, 0), RasterRGBA(0, 2, 0, 255));
    EXPECT_EQ(RasterGetPixel(&dest, 17, 3), RasterRGBA(4, 5, 0, 255));
    EXPECT_EQ(RasterGetPixel(&dest, 18, 0), kBlank);
    EXPECT_EQ(RasterGetPixel(&dest, 13, 4), kBlank);

    // The same through RasterBlitRect.
    HeapBitmap other(40, 40);
    Fill(other, kBlank);
    RasterBlitRect(&other, &src, 10, 0, -3, 2, 8, 4, 1.0f, BlendCopy);
    EXPECT_TRUE(std::equal(dest.Pixels(), dest.Pixels() + 1600, other.Pixels()));
}

TEST(RasterBlit, ClipsAtEveryEdgeInEveryMode)
{
    for (int32_t mode : {0, 1, 5, 0x10000, 0x10003, RasterChannelCopyMode(0, 3)})
    {
        for (float weight : {1.0f, 0.5f, 0.3f})
        {
            // Source hangs over the right and bottom edges, then the left and top.
            for (auto [x, y] :
                 {std::pair{7, 5}, std::pair{-6, -4}, std::pair{-6, 5}, std::pair{7, -4}})
            {
                GuardedBitmap dest(10, 8);
                HeapBitmap src(9, 7);
                Fill(src, 0xFF808080u);
                RasterBlit(&dest, &src, x, y, nullptr, weight, mode);
                ASSERT_TRUE(dest.GuardsIntact()) << mode << " " << x << "," << y;
                for (int32_t py = 0; py < 8; ++py)
                {
                    for (int32_t px = 0; px < 10; ++px)
                    {
                        const bool covered = px >= x && px < x + 9 && py >= y && py < y + 7;
                        if (!covered)
                        {
                            ASSERT_EQ(dest.At(px, py), 0u) << px << "," << py;
                        }
                        else if (mode == 0)
                        {
                            ASSERT_NE(dest.At(px, py), 0u) << px << "," << py;
                        }
                    }
                }
            }
        }
    }
}

TEST(RasterBlit, CopyingWithinOneBitmapDoesNotSmear)
{
    HeapBitmap b(6, 6);
    Coordinates(b);
    RasterBlitRect(&b, &b, 0, 1, 0, 0, 6, 5, 1.0f, BlendCopy);
    for (int32_t y = 1; y < 6; ++y)
    {
        EXPECT_EQ(RasterGetPixel(&b, 2, y), RasterRGBA(2, y - 1, 0, 255));
    }
}

TEST(RasterBlit, CopyResizesTheDestination)
{
    HeapBitmap dest(3, 3), src(7, 5);
    Coordinates(src);
    RasterCopy(&dest, &src);
    ASSERT_EQ(dest.PixelWidth(), 7);
    ASSERT_EQ(dest.PixelHeight(), 5);
    EXPECT_TRUE(std::equal(src.Pixels(), src.Pixels() + 35, dest.Pixels()));
    RasterCopy(nullptr, &src);
    RasterCopy(&dest, nullptr);
}

TEST(RasterScaledBlit, BilinearDoublingSamplesAtHalfPixels)
{
    HeapBitmap src(65, 65), dest(130, 130);
    for (int32_t y = 0; y < 65; ++y)
    {
        for (int32_t x = 0; x < 65; ++x)
        {
            src.Pixels()[y * 65 + x] = RasterRGBA((x * 3) & 0xFF, y * 2, 0, 255);
        }
    }
    RasterScaledBlit(&dest, &src, 0, 0, 130, 130, 0, 0, 65, 65, 1.0f, FilterBilinear);
    for (int32_t k = 0; k < 64; ++k)
    {
        const int a = (k * 3) & 0xFF, b = ((k + 1) * 3) & 0xFF;
        ASSERT_EQ(RasterRed(RasterGetPixel(&dest, 2 * k, 0)), a) << k;
        ASSERT_EQ(RasterRed(RasterGetPixel(&dest, 2 * k + 1, 0)), (a + b) / 2) << k;
        ASSERT_EQ(RasterGreen(RasterGetPixel(&dest, 0, 2 * k + 1)), (4 * k + 2) / 2) << k;
    }
    // The last column has no right neighbour: it is the last source column.
    EXPECT_EQ(RasterRed(RasterGetPixel(&dest, 128, 0)), (64 * 3) & 0xFF);
    EXPECT_EQ(RasterRed(RasterGetPixel(&dest, 129, 0)), (64 * 3) & 0xFF);
    EXPECT_EQ(RasterGetPixel(&dest, 129, 129), src.Pixels()[65 * 65 - 1]);
}

TEST(RasterScaledBlit, SameSizeIsAPlainBlitWhenAligned)
{
    HeapBitmap src(40, 10), a(20, 10), b(20, 10);
    Coordinates(src);
    RasterScaledBlit(&a, &src, 0, 0, 20, 10, 10.02f, 0.0f, 20.0f, 10.0f, 1.0f, FilterBilinear);
    EXPECT_EQ(RasterGetPixel(&a, 0, 0), RasterRGBA(10, 0, 0, 255));
    EXPECT_EQ(RasterGetPixel(&a, 19, 9), RasterRGBA(29, 9, 0, 255));
    // Off the grid the filter blends neighbours.
    RasterScaledBlit(&b, &src, 0, 0, 20, 10, 10.5f, 0.0f, 20.0f, 10.0f, 1.0f, FilterBilinear);
    EXPECT_EQ(RasterRed(RasterGetPixel(&b, 0, 0)), 10);
    EXPECT_EQ(RasterRed(RasterGetPixel(&b, 1, 0)), 11);
    RasterScaledBlit(&b, &src, 0, 0, 20, 10, 10.5f, 0.0f, 20.0f, 10.01f, 1.0f, FilterBilinear);
    EXPECT_EQ(RasterRed(RasterGetPixel(&b, 0, 0)), 10); // (10 + 11) / 2 truncated
}

TEST(RasterScaledBlit, NearestSamplingAndMirroring)
{
    HeapBitmap src(8, 4), dest(16, 8);
    Coordinates(src);
    RasterScaledBlit(&dest, &src, 0, 0, 16, 8, 0, 0, 8, 4, 1.0f, BlendCopy);
    for (int32_t y = 0; y < 8; ++y)
    {
        for (int32_t x = 0; x < 16; ++x)
        {
            ASSERT_EQ(RasterGetPixel(&dest, x, y), RasterRGBA(x / 2, y / 2, 0, 255));
        }
    }

    // A negative width mirrors: the left destination column shows the right
    // end of the source.
    HeapBitmap mirrored(8, 4);
    Fill(mirrored, kBlank);
    RasterScaledBlit(&mirrored, &src, 8, 0, -8, 4, 0, 0, 8, 4, 1.0f, BlendCopy);
    for (int32_t x = 0; x < 8; ++x)
    {
        EXPECT_EQ(RasterRed(RasterGetPixel(&mirrored, x, 1)), 7 - x) << x;
    }

    // Both sizes negative is no mirror at all.
    HeapBitmap both(8, 4);
    RasterScaledBlit(&both, &src, 8, 4, -8, -4, 8, 4, -8, -4, 1.0f, BlendCopy);
    EXPECT_TRUE(std::equal(src.Pixels(), src.Pixels() + 32, both.Pixels()));
}

TEST(RasterScaledBlit, ShrinkingBoxFiltersAroundTheSample)
{
    std::mt19937 rng(5);
    for (int factor : {2, 3, 4})
    {
        HeapBitmap src(36, 36), dest(36 / factor, 36 / factor);
        for (int i = 0; i < 36 * 36; ++i)
        {
            src.Pixels()[i] = static_cast<RasterPixel>(rng());
        }
        RasterScaledBlit(&dest, &src, 0, 0, dest.PixelWidth(), dest.PixelHeight(), 0, 0, 36, 36,
                         1.0f, FilterBilinear);
        const int n = factor <= 3 ? 3 : 5;
        for (int32_t j = 0; j < dest.PixelHeight(); ++j)
        {
            for (int32_t i = 0; i < dest.PixelWidth(); ++i)
            {
                const int cx = i * factor, cy = j * factor;
                int sum[4] = {0, 0, 0, 0}, count = 0;
                for (int y = cy - n / 2; y <= cy + n / 2; ++y)
                {
                    for (int x = cx - n / 2; x <= cx + n / 2; ++x)
                    {
                        if (x >= 0 && y >= 0 && x < 36 && y < 36)
                        {
                            ++count;
                            for (int c = 0; c < 4; ++c)
                            {
                                sum[c] += (src.Pixels()[y * 36 + x] >> (8 * c)) & 0xFF;
                            }
                        }
                    }
                }
                RasterPixel expected = 0;
                for (int c = 0; c < 4; ++c)
                {
                    expected |= static_cast<RasterPixel>(sum[c] / count) << (8 * c);
                }
                ASSERT_EQ(RasterGetPixel(&dest, i, j), expected) << factor << ": " << i << "," << j;
            }
        }
    }
}

// Whole-source scaling in every mode against nearest sampling written out here.
TEST(RasterScaledBlit, NearestLoopsFollowTheSamplePositions)
{
    std::mt19937 rng(77);
    for (int round = 0; round < 60; ++round)
    {
        const int32_t sw = 1 + rng() % 12, sh = 1 + rng() % 12;
        const int32_t dw = 1 + rng() % 30, dh = 1 + rng() % 30;
        HeapBitmap src(sw, sh), dest(dw, dh);
        for (int i = 0; i < sw * sh; ++i)
        {
            src.Pixels()[i] = static_cast<RasterPixel>(rng()) | 0x01000000u;
        }
        Fill(dest, 0x80808080u);
        const int32_t mode = (round % 6) | (round % 4 == 0 ? UseSourceAlpha : 0);
        RasterScaledBlit(&dest, &src, 0, 0, dw, dh, 0, 0, static_cast<float>(sw),
                         static_cast<float>(sh), 1.0f, mode);
        if (sw == dw && sh == dh)
        {
            continue; // a plain blit, checked elsewhere
        }
        const int64_t dx = static_cast<int64_t>(static_cast<double>(sw) / dw * 65536.0);
        const int64_t dy = static_cast<int64_t>(static_cast<double>(sh) / dh * 65536.0);
        for (int32_t j = 0; j < dh; ++j)
        {
            for (int32_t i = 0; i < dw; ++i)
            {
                const RasterPixel s = src.Pixels()[((j * dy) >> 16) * sw + ((i * dx) >> 16)];
                const RasterPixel got = RasterGetPixel(&dest, i, j);
                HeapBitmap one(1, 1), px(1, 1);
                one.Pixels()[0] = 0x80808080u;
                px.Pixels()[0] = s;
                RasterBlit(&one, &px, 0, 0, nullptr, 1.0f, mode);
                ASSERT_EQ(got, one.Pixels()[0]) << "mode " << mode << " at " << i << "," << j;
            }
        }
    }
}

TEST(RasterRotatedBlit, QuarterAndHalfTurns)
{
    const int32_t n = 20;
    HeapBitmap src(n, n);
    Coordinates(src);

    HeapBitmap same(n, n);
    RasterRotatedBlit(&same, &src, 0, 0, n, n, 0, 0, n, n, 0.0f, false, 1.0f, BlendCopy, 0, 0);
    EXPECT_TRUE(std::equal(src.Pixels(), src.Pixels() + n * n, same.Pixels()));

    // Samples fall on pixel corners; half-pixel offsets move them to pixel
    // centres so that the float error of sin and cos cannot tip them over.
    HeapBitmap quarter(n, n);
    Fill(quarter, kBlank);
    RasterRotatedBlit(&quarter, &src, 0, 0, n, n, 0, 0, n, n, 1.5707964f, false, 1.0f, BlendCopy,
                      0.5f, -0.5f);
    for (int32_t j = 0; j < n; ++j)
    {
        for (int32_t i = 0; i < n; ++i)
        {
            ASSERT_EQ(RasterGetPixel(&quarter, i, j), RasterRGBA(j, n - 1 - i, 0, 255))
                << i << "," << j;
        }
    }

    HeapBitmap half(n, n);
    Fill(half, kBlank);
    RasterRotatedBlit(&half, &src, 0, 0, n, n, 0, 0, n, n, 3.1415927f, false, 1.0f, BlendCopy,
                      -0.5f, -0.5f);
    for (int32_t j = 0; j < n; ++j)
    {
        for (int32_t i = 0; i < n; ++i)
        {
            ASSERT_EQ(RasterGetPixel(&half, i, j), RasterRGBA(n - 1 - i, n - 1 - j, 0, 255))
                << i << "," << j;
        }
    }

    // Without the offsets the corners of the destination fall just outside.
    HeapBitmap corner(n, n);
    Fill(corner, kBlank);
    RasterRotatedBlit(&corner, &src, 0, 0, n, n, 0, 0, n, n, 1.5707964f, false, 1.0f, BlendCopy, 0,
                      0);
    EXPECT_EQ(RasterGetPixel(&corner, 0, 5), kBlank);
    EXPECT_EQ(RasterGetPixel(&corner, 5, 7), RasterRGBA(7, n - 5, 0, 255));
}

TEST(RasterRotatedBlit, OffsetsAndSourceClipping)
{
    HeapBitmap src(30, 30);
    Coordinates(src);
    HeapBitmap free(10, 10), clipped(10, 10);
    Fill(free, kBlank);
    Fill(clipped, kBlank);
    RasterRotatedBlit(&free, &src, 0, 0, 10, 10, 5, 5, 10, 10, 0.0f, false, 1.0f, BlendCopy, 3, 0);
    RasterRotatedBlit(&clipped, &src, 0, 0, 10, 10, 5, 5, 10, 10, 0.0f, true, 1.0f, BlendCopy, 3,
                      0);
    EXPECT_EQ(RasterGetPixel(&free, 0, 0), RasterRGBA(8, 5, 0, 255));
    EXPECT_EQ(RasterGetPixel(&free, 9, 9), RasterRGBA(17, 14, 0, 255));
    EXPECT_EQ(RasterGetPixel(&clipped, 6, 2), RasterRGBA(14, 7, 0, 255));
    EXPECT_EQ(RasterGetPixel(&clipped, 7, 2), kBlank); // column 15 is outside the source rectangle

    // Bilinear halfway between columns averages them.
    HeapBitmap soft(10, 10);
    RasterRotatedBlit(&soft, &src, 0, 0, 10, 10, 5, 5, 10, 10, 0.0f, true, 1.0f, FilterBilinear,
                      0.5f, 0);
    EXPECT_EQ(RasterRed(RasterGetPixel(&soft, 0, 0)), 5); // (5 + 6) / 2
    EXPECT_EQ(RasterRed(RasterGetPixel(&soft, 8, 0)), 13);
}

TEST(RasterScaledBlit, HalfWeightPacksOnlyNearestSamples)
{
    // Packed halves drop the low bit of both sides; the weighted copy keeps
    // the source's: 1 + (0 - 1) x 128 / 256 = 1.
    HeapBitmap src(4, 4), nearest(8, 8), filtered(8, 8);
    Fill(src, 0x01010101u);
    Fill(nearest, 0);
    Fill(filtered, 0);
    RasterScaledBlit(&nearest, &src, 0, 0, 8, 8, 0, 0, 4, 4, 0.5f, BlendCopy);
    RasterScaledBlit(&filtered, &src, 0, 0, 8, 8, 0, 0, 4, 4, 0.5f, BlendCopy | FilterBilinear);
    EXPECT_EQ(RasterGetPixel(&nearest, 3, 3), 0u);
    EXPECT_EQ(RasterGetPixel(&filtered, 3, 3), 0x01010101u);
}

// Every combiner loop of the scaled and rotated blits, at an identity
// geometry that is not taken as a plain blit, against the plain blit loops.
TEST(RasterRotatedBlit, CombinerLoopsMatchThePlainBlit)
{
    std::mt19937 rng(8);
    HeapBitmap src(12, 9), start(12, 9);
    for (int i = 0; i < 12 * 9; ++i)
    {
        src.Pixels()[i] = static_cast<RasterPixel>(rng());
        start.Pixels()[i] = static_cast<RasterPixel>(rng());
    }
    for (int32_t mode : {0, 1, 2, 3, 4, 5, 0x10000, 0x10001, 0x10002, 0x10003, 0x10004, 0x10005})
    {
        for (float weight : {1.0f, 0.5f, 0.3f, 1.7f, -0.4f})
        {
            HeapBitmap plain(12, 9), rotated(12, 9);
            RasterCopy(&plain, &start);
            RasterCopy(&rotated, &start);
            RasterBlit(&plain, &src, 0, 0, nullptr, weight, mode);
            RasterRotatedBlit(&rotated, &src, 0, 0, 12, 9, 0, 0, 12, 9, 0.0f, false, weight, mode,
                              0, 0);
            // Half weight copies use packed halves in the plain blit only.
            if (mode == 0 && weight == 0.5f)
            {
                continue;
            }
            ASSERT_TRUE(std::equal(plain.Pixels(), plain.Pixels() + 108, rotated.Pixels()))
                << "rotated mode " << mode << " weight " << weight;
        }
    }
}
