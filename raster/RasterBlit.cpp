#include "RasterBlit.h"

#include "RasterModeDispatch.h"
#include "RasterPacked.h"
#include "RasterView.h"
#include "RasterWeight.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace
{
// The clipped block to combine: w x h pixels from source (sx, sy) to
// destination (dx, dy), all inside both bitmaps.
struct Block
{
    int32_t dx, dy, sx, sy, w, h;
};

// Source and destination may be one bitmap: walk the rows bottom-up when the
// destination rows lie below the source rows so no row is read after it was
// overwritten.
bool RowsBackwards(const RasterView& d, const RasterView& s, const Block& b)
{
    return d.Row(0) == s.Row(0) && b.dy > b.sy;
}

template <class RowFn>
void ForEachRow(const RasterView& d, const RasterView& s, const Block& b, RowFn&& fn)
{
    if (RowsBackwards(d, s, b))
    {
        for (int32_t j = b.h - 1; j >= 0; --j)
        {
            fn(d.At(b.dx, b.dy + j), s.At(b.sx, b.sy + j));
        }
    }
    else
    {
        for (int32_t j = 0; j < b.h; ++j)
        {
            fn(d.At(b.dx, b.dy + j), s.At(b.sx, b.sy + j));
        }
    }
}

template <class Combiner>
void CombineBlock(const RasterView& d, const RasterView& s, const Block& b, int ia)
{
    const int32_t w = b.w;
    ForEachRow(d, s, b,
               [w, ia](RasterPixel* dp, const RasterPixel* sp)
               {
                   for (int32_t i = 0; i < w; ++i)
                   {
                       const RasterPixel c = sp[i];
                       const int a = RasterAlpha(c);
                       if (Combiner::Skips(a))
                       {
                           continue;
                       }
                       dp[i] = Combiner::Apply(dp[i], RasterRed(c), RasterGreen(c), RasterBlue(c),
                                               a, ia);
                   }
               });
}

void ChannelCopyBlock(const RasterView& d, const RasterView& s, const Block& b, int32_t mode)
{
    const int dstShift = ((mode >> 2) & 3) * 8;
    const int srcShift = (mode & 3) * 8;
    const RasterPixel keep = ~(0xFFu << dstShift);
    const int32_t w = b.w;
    ForEachRow(d, s, b,
               [=](RasterPixel* dp, const RasterPixel* sp)
               {
                   for (int32_t i = 0; i < w; ++i)
                   {
                       dp[i] = (dp[i] & keep) | (((sp[i] >> srcShift) & 0xFFu) << dstShift);
                   }
               });
}

void CopyBlock(const RasterView& d, const RasterView& s, const Block& b)
{
    const size_t bytes = static_cast<size_t>(b.w) * sizeof(RasterPixel);
    ForEachRow(d, s, b,
               [bytes](RasterPixel* dp, const RasterPixel* sp) { std::memmove(dp, sp, bytes); });
}

void HalfBlock(const RasterView& d, const RasterView& s, const Block& b)
{
    const int32_t w = b.w;
    ForEachRow(d, s, b,
               [w](RasterPixel* dp, const RasterPixel* sp)
               {
                   for (int32_t i = 0; i < w; ++i)
                   {
                       dp[i] = RasterPackedHalf(dp[i], sp[i]);
                   }
               });
}

// Clamps a 64-bit value into int32 range; used where region arithmetic on
// extreme inputs would otherwise overflow.
int32_t ClampToInt32(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}
} // namespace

void RasterBlit(RasterBitmap* dest, const RasterBitmap* src, int32_t dstX, int32_t dstY,
                const RasterRect* region, float weight, int32_t mode)
{
    if (weight == 0.0f || weight != weight)
    {
        return;
    }
    const RasterView d(dest);
    const RasterView s(src);
    if (!d.Valid() || !s.Valid())
    {
        return;
    }

    // 64-bit throughout: region and position arithmetic on extreme values
    // must not overflow.
    int64_t left = 0, top = 0, right = s.width, bottom = s.height;
    int64_t x = dstX, y = dstY;
    if (region)
    {
        right = std::min<int64_t>(region->right, s.width);
        bottom = std::min<int64_t>(region->bottom, s.height);
        if (region->top < 0)
        {
            y -= region->top;
        }
        if (region->left < 0)
        {
            x -= region->left;
        }
        top = std::max<int64_t>(region->top, 0);
        left = std::max<int64_t>(region->left, 0);
    }
    if (x < 0)
    {
        left -= x;
        x = 0;
    }
    if (y < 0)
    {
        top -= y;
        y = 0;
    }
    if (right - left > d.width - x)
    {
        right = d.width + left - x;
    }
    if (bottom - top > d.height - y)
    {
        bottom = d.height + top - y;
    }
    if (left >= right || top >= bottom)
    {
        return;
    }

    const Block b{static_cast<int32_t>(x),
                  static_cast<int32_t>(y),
                  static_cast<int32_t>(left),
                  static_cast<int32_t>(top),
                  static_cast<int32_t>(right - left),
                  static_cast<int32_t>(bottom - top)};

    if ((mode & BlendModeMask) >= BlendChannelCopy)
    {
        ChannelCopyBlock(d, s, b, mode);
        return;
    }
    if ((mode & (BlendModeMask | UseSourceAlpha)) == BlendCopy)
    {
        if (weight == 1.0f)
        {
            CopyBlock(d, s, b);
            return;
        }
        if (weight == 0.5f)
        {
            HalfBlock(d, s, b);
            return;
        }
    }
    const int ia = RasterWeightToInt(weight);
    if (ia == 0)
    {
        return;
    }
    if ((mode & (BlendModeMask | UseSourceAlpha)) == BlendCopy && ia < 0)
    {
        return;
    }
    RasterWithCombiner(mode, [&](auto combiner) { CombineBlock<decltype(combiner)>(d, s, b, ia); });
}

void RasterBlitRect(RasterBitmap* dest, const RasterBitmap* src, int32_t dstX, int32_t dstY,
                    int32_t srcX, int32_t srcY, int32_t w, int32_t h, float weight, int32_t mode)
{
    const RasterRect region{srcX, srcY, ClampToInt32(static_cast<int64_t>(srcX) + w),
                            ClampToInt32(static_cast<int64_t>(srcY) + h)};
    RasterBlit(dest, src, dstX, dstY, &region, weight, mode);
}

void RasterCopy(RasterBitmap* dest, const RasterBitmap* src)
{
    if (!dest || !src)
    {
        return;
    }
    dest->SetSize(src->PixelWidth(), src->PixelHeight());
    RasterBlit(dest, src, 0, 0, nullptr, 1.0f, BlendCopy);
}
