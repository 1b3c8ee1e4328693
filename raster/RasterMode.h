#pragma once

#include <cstdint>

// The mode word passed to every combining operation: the blend mode in the
// low byte, plus flags. Bits not named here are ignored.
enum RasterMode : int32_t
{
    BlendCopy = 0,
    BlendAdd = 1,
    BlendDodge = 2,
    BlendMultiply = 3,
    BlendOverlay = 4,
    BlendHsvAdjust = 5,
    // 0xF0..0xFF: copy one byte of each source pixel into one byte of the
    // destination pixel (plain blits only); see RasterChannelCopyMode.
    BlendChannelCopy = 0xF0,
    BlendModeMask = 0xFF,
    // Scaled and rotated blits sample bilinearly (box filter when a scaled blit
    // shrinks by 1.7 or more in both directions).
    FilterBilinear = 0x100,
    // The source alpha scales the weight pixel by pixel.
    UseSourceAlpha = 0x10000,
};

// Byte numbers of a pixel in memory order.
enum RasterByte : int32_t
{
    RasterByteB = 0,
    RasterByteG = 1,
    RasterByteR = 2,
    RasterByteA = 3,
};

// Channel copy mode: destination byte dstByte takes source byte srcByte.
constexpr int32_t RasterChannelCopyMode(int32_t srcByte, int32_t dstByte)
{
    return BlendChannelCopy | ((dstByte & 3) << 2) | (srcByte & 3);
}
