#include "GuardedBitmap.h"
#include "HeapBitmap.h"
#include "RasterBlit.h"
#include "RasterFill.h"
#include "RasterMode.h"
#include "RasterPixelAccess.h"
#include "ReferenceCombiner.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

namespace
{
// Blits one source pixel onto one destination pixel and returns the result.
RasterPixel BlitOne(RasterPixel d, RasterPixel s, float weight, int32_t mode)
{
    HeapBitmap dest(1, 1), src(1, 1);
    dest.Pixels()[0] = d;
    src.Pixels()[0] = s;
    RasterBlit(&dest, &src, 0, 0, nullptr, weight, mode);
    return dest.Pixels()[0];
}

// Fills one pixel, and a large area (large fills tabulate their combiner)
// which must come out the same everywhere.
RasterPixel FillOne(RasterPixel d, RasterPixel c, float weight, int32_t mode)
{
    HeapBitmap dest(1, 1), large(48, 48);
    dest.Pixels()[0] = d;
    for (int i = 0; i < 48 * 48; ++i)
    {
        large.Pixels()[i] = d;
    }
    RasterFillRect(&dest, 0, 0, 1, 1, c, weight, mode);
    RasterFillRect(&large, 0, 0, 48, 48, c, weight, mode);
    for (int i = 0; i < 48 * 48; ++i)
    {
        EXPECT_EQ(large.Pixels()[i], dest.Pixels()[0]) << "mode " << mode << " weight " << weight;
    }
    return dest.Pixels()[0];
}

RasterPixel RandomPixel(std::mt19937& rng)
{
    // Mix extremes into the channels: 0 and 255 are where clamps and skips live.
    std::uniform_int_distribution<int> pick(0, 9);
    std::uniform_int_distribution<int> any(0, 255);
    RasterPixel p = 0;
    for (int i = 0; i < 4; ++i)
    {
        const int k = pick(rng);
        const int v = k == 0 ? 0 : (k == 1 ? 255 : (k == 2 ? 128 : any(rng)));
        p |= static_cast<RasterPixel>(v) << (8 * i);
    }
    return p;
}

float RandomWeight(std::mt19937& rng)
{
    static const float fixed[] = {0.0f,  1.0f / 256, 0.1f,  0.25f, 0.5f,  0.75f,
                                  0.99f, 1.0f,       1.25f, 2.0f,  -0.3f, -1.0f};
    std::uniform_int_distribution<int> pick(0, 15);
    const int k = pick(rng);
    if (k < 12)
    {
        return fixed[k];
    }
    return std::uniform_real_distribution<float>(-1.5f, 3.0f)(rng);
}
} // namespace

TEST(RasterCombiners, DocumentedValues)
{
    // Copy with source alpha at weight 1: alpha 0 keeps, 255 replaces, 128 blends.
    EXPECT_EQ(BlitOne(0x80402010u, 0x00FFFFFFu, 1.0f, UseSourceAlpha), 0x80402010u);
    EXPECT_EQ(BlitOne(0x80402010u, 0xFF0A0B0Cu, 1.0f, UseSourceAlpha), 0xFF0A0B0Cu);
    EXPECT_EQ(RasterRed(BlitOne(RasterRGBA(100, 0, 0, 0), RasterRGBA(200, 0, 0, 128), 1.0f,
                                UseSourceAlpha)),
              151);
    // Half weight without alpha uses the packed halves.
    EXPECT_EQ(BlitOne(0x00000000u, 0xFFFFFFFFu, 0.5f, BlendCopy), 0x7F7F7F7Fu);
    // Add saturates.
    EXPECT_EQ(
        RasterRed(BlitOne(RasterRGBA(200, 0, 0, 0), RasterRGBA(100, 0, 0, 0), 1.0f, BlendAdd)),
        255);
    // Dodge with a full source channel: non-zero becomes 255, zero stays.
    const RasterPixel dodged =
        BlitOne(RasterRGBA(1, 0, 90, 0), RasterRGBA(255, 255, 255, 0), 1.0f, BlendDodge);
    EXPECT_EQ(RasterRed(dodged), 255);
    EXPECT_EQ(RasterGreen(dodged), 0);
    EXPECT_EQ(RasterBlue(dodged), 255);
    // Multiply: white maps 255 to 254 and 0 to 0; black clears everything.
    EXPECT_EQ(BlitOne(0xFF00FF00u, 0xFFFFFFFFu, 1.0f, BlendMultiply), 0xFE00FE00u);
    EXPECT_EQ(BlitOne(0xFF7F3F1Fu, 0x00000000u, 1.0f, BlendMultiply), 0u);
    // Overlay with mid grey changes nothing.
    for (RasterPixel d : {0x00000000u, 0xFFFFFFFFu, 0x80402010u, 0x12345678u})
    {
        EXPECT_EQ(BlitOne(d, 0x80808080u, 1.0f, BlendOverlay), d) << std::hex << d;
    }
    // Fill with source alpha: alpha 0 draws nothing, 255 at weight 1 fills solid.
    EXPECT_EQ(FillOne(0x11223344u, 0x00FF0000u, 1.0f, UseSourceAlpha), 0x11223344u);
    EXPECT_EQ(FillOne(0x11223344u, 0xFFFF0000u, 1.0f, UseSourceAlpha), 0xFFFF0000u);
    // The fill's weight stands in for the colour's alpha: copy moves alpha toward ia.
    EXPECT_EQ(RasterAlpha(FillOne(0x00000000u, 0x00FFFFFFu, 0.3f, BlendCopy)), 76 - 76 * 180 / 256);
    // and add adds ia x ia / 256 to it.
    EXPECT_EQ(RasterAlpha(FillOne(0x10000000u, 0x00000000u, 0.5f, BlendAdd)), 16 + 64);
}

TEST(RasterCombiners, HsvAdjustShiftsHueSaturationAndValue)
{
    const RasterPixel red = RasterRGBA(255, 0, 0, 10);
    // A neutral adjustment keeps pure colours exactly and takes the source alpha.
    EXPECT_EQ(BlitOne(red, RasterRGBA(128, 128, 128, 77), 1.0f, BlendHsvAdjust),
              RasterRGBA(255, 0, 0, 77));
    // A third of a turn turns red into (nearly) green.
    const RasterPixel turned = BlitOne(red, RasterRGBA(213, 128, 128, 255), 1.0f, BlendHsvAdjust);
    EXPECT_EQ(RasterGreen(turned), 255);
    EXPECT_LT(RasterRed(turned), 8);
    EXPECT_EQ(RasterBlue(turned), 0);
    // Half desaturation at weight 1; full desaturation (weight 2) gives grey at
    // the same value.
    EXPECT_EQ(BlitOne(red, RasterRGBA(128, 0, 128, 255), 1.0f, BlendHsvAdjust) & 0xFFFFFFu,
              RasterRGBA(255, 128, 128, 0));
    EXPECT_EQ(BlitOne(red, RasterRGBA(128, 0, 128, 255), 2.0f, BlendHsvAdjust) & 0xFFFFFFu,
              RasterRGBA(255, 255, 255, 0));
    // Value down to zero gives black.
    EXPECT_EQ(BlitOne(red, RasterRGBA(128, 128, 0, 255), 2.0f, BlendHsvAdjust) & 0xFFFFFFu, 0u);
    // Large weights wrap the hue without leaving the table.
    const RasterPixel wrapped = BlitOne(red, RasterRGBA(255, 128, 128, 255), 4.0f, BlendHsvAdjust);
    EXPECT_EQ(wrapped, reference::Hsv(red, std::array<int, 4>{128, 128, 255, 255}.data(), 1024));
}

TEST(RasterCombiners, ZeroWeightAndUnknownModesDrawNothing)
{
    const RasterPixel d = 0x12345678u;
    for (int32_t mode : {0, 1, 2, 3, 4, 5, 6, 0x10005, 0x10006, 0x7F})
    {
        EXPECT_EQ(BlitOne(d, 0xFFFFFFFFu, 0.0f, mode), d);
        EXPECT_EQ(BlitOne(d, 0xFFFFFFFFu, 0.001f, mode), d); // truncates to 0
        EXPECT_EQ(FillOne(d, 0xFFFFFFFFu, 0.0f, mode), d);
    }
    for (int32_t mode : {6, 0x10006, 0x7F, 0xEF})
    {
        EXPECT_EQ(BlitOne(d, 0xFFFFFFFFu, 1.0f, mode), d);
        EXPECT_EQ(FillOne(d, 0xFFFFFFFFu, 0.7f, mode), d);
    }
    // Copy draws nothing at negative weights (there is no such opacity).
    EXPECT_EQ(BlitOne(d, 0xFFFFFFFFu, -0.5f, BlendCopy), d);
    EXPECT_EQ(FillOne(d, 0xFFFFFFFFu, -0.5f, BlendCopy), d);
    // NaN weights draw nothing.
    EXPECT_EQ(BlitOne(d, 0xFFFFFFFFu, std::nanf(""), BlendAdd), d);
    EXPECT_EQ(FillOne(d, 0xFFFFFFFFu, std::nanf(""), BlendAdd), d);
}

TEST(RasterCombiners, ChannelCopyMovesOneByte)
{
    const RasterPixel d = 0x44332211u, s = 0xDDCCBBAAu;
    // Source R (byte 2) into destination A (byte 3).
    EXPECT_EQ(BlitOne(d, s, 1.0f, RasterChannelCopyMode(RasterByteR, RasterByteA)), 0xCC332211u);
    EXPECT_EQ(BlitOne(d, s, 0.1f, RasterChannelCopyMode(RasterByteB, RasterByteG)), 0x4433AA11u);
    EXPECT_EQ(BlitOne(d, s, 1.0f, RasterChannelCopyMode(RasterByteA, RasterByteB)), 0x443322DDu);
}

// Every optimised blit loop against the plain table, pixel by pixel.
TEST(RasterCombiners, BlitLoopsMatchThePlainTable)
{
    std::mt19937 rng(1234);
    const int32_t w = 9, h = 4;
    for (int round = 0; round < 600; ++round)
    {
        const int blend = round % 6;
        const bool alpha = (round / 6) % 2 == 1;
        const int32_t mode = blend | (alpha ? UseSourceAlpha : 0);
        const float weight = RandomWeight(rng);
        HeapBitmap dest(w, h), src(w, h);
        for (int i = 0; i < w * h; ++i)
        {
            dest.Pixels()[i] = RandomPixel(rng);
            src.Pixels()[i] = RandomPixel(rng);
        }
        std::vector<RasterPixel> before(dest.Pixels(), dest.Pixels() + w * h);
        RasterBlit(&dest, &src, 0, 0, nullptr, weight, mode);
        const int ia = reference::Weight(weight);
        for (int i = 0; i < w * h; ++i)
        {
            int s[4];
            reference::Split(src.Pixels()[i], s);
            RasterPixel expected = before[i];
            if (weight == 0.0f || ia == 0)
            {
                expected = before[i];
            }
            else if (blend == 0 && !alpha && weight == 1.0f)
            {
                expected = src.Pixels()[i];
            }
            else if (blend == 0 && !alpha && weight == 0.5f)
            {
                expected = reference::Fraction(before[i], src.Pixels()[i], 2);
            }
            else if (blend == 0 && !alpha && ia < 0)
            {
                expected = before[i];
            }
            else if (alpha)
            {
                expected = reference::CombineWithAlpha(blend, before[i], s, ia);
            }
            else
            {
                expected = reference::Combine(blend, before[i], s, ia);
            }
            ASSERT_EQ(dest.Pixels()[i], expected)
                << "mode " << mode << " weight " << weight << " pixel " << i << " d " << std::hex
                << before[i] << " s " << src.Pixels()[i];
        }
    }
}

// Fills, single pixels and mask stamps against the plain table.
TEST(RasterCombiners, FillPixelAndMaskLoopsMatchThePlainTable)
{
    std::mt19937 rng(99);
    for (int round = 0; round < 900; ++round)
    {
        const int blend = round % 6;
        const bool alpha = (round / 6) % 2 == 1;
        const float weight = RandomWeight(rng);
        const RasterPixel colour = RandomPixel(rng);
        const RasterPixel d = RandomPixel(rng);
        const uint8_t coverage = static_cast<uint8_t>(round % 3 == 0 ? 255 : rng() & 0xFF);

        // Fill: the alpha flag folds the colour's alpha into the weight, and ia
        // stands in for the colour's alpha.
        {
            const float fw = alpha ? weight * (RasterAlpha(colour) * 0.003921569f) : weight;
            const int ia = reference::Weight(fw);
            RasterPixel expected = d;
            int s[4];
            reference::Split(colour, s);
            s[3] = ia;
            if (fw == 0.0f || ia == 0)
            {
                expected = d;
            }
            else if (blend == 0 && ia == 256)
            {
                expected = colour;
            }
            else if (blend == 0 && (ia == 64 || ia == 128 || ia == 192))
            {
                expected = reference::Fraction(d, colour, ia / 64);
            }
            else if (blend == 0 && ia < 0)
            {
                expected = d;
            }
            else
            {
                expected = reference::Combine(blend, d, s, ia);
            }
            ASSERT_EQ(FillOne(d, colour, weight, blend | (alpha ? UseSourceAlpha : 0)), expected)
                << "fill mode " << blend << " weight " << weight;
        }
        // Single pixel: the colour keeps its own alpha; the alpha flag is ignored.
        {
            const int ia = reference::Weight(weight);
            int s[4];
            reference::Split(colour, s);
            RasterPixel expected = d;
            if (ia == 0 || (blend == 0 && ia < 0))
            {
                expected = d;
            }
            else if (blend == 0 && ia == 256)
            {
                expected = colour;
            }
            else if (blend == 0 && (ia == 64 || ia == 128 || ia == 192))
            {
                expected = reference::Fraction(d, colour, ia / 64);
            }
            else
            {
                expected = reference::Combine(blend, d, s, ia);
            }
            HeapBitmap one(1, 1);
            one.Pixels()[0] = d;
            RasterPutPixel(&one, 0, 0, colour, weight, blend | (alpha ? UseSourceAlpha : 0));
            ASSERT_EQ(one.Pixels()[0], expected) << "pixel mode " << blend << " weight " << weight;
        }
        // Mask: the coverage byte scales the weight.
        {
            const int ia = reference::Weight(weight);
            const int mw = coverage * ia / 256;
            int s[4];
            reference::Split(colour, s);
            RasterPixel expected = d;
            if (ia != 0 && !(blend == 0 && ia < 0) && mw != 0)
            {
                expected = reference::Combine(blend, d, s, mw);
            }
            HeapBitmap one(1, 1);
            one.Pixels()[0] = d;
            RasterDrawMask(&one, 0, 0, colour, &coverage, 1, 1, weight, blend);
            ASSERT_EQ(one.Pixels()[0], expected)
                << "mask mode " << blend << " weight " << weight << " coverage " << int(coverage);
        }
    }
}
