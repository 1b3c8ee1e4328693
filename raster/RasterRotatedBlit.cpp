#include "RasterRotatedBlit.h"

#include "RasterModeDispatch.h"
#include "RasterSampling.h"
#include "RasterWeight.h"

#include <algorithm>
#include <cmath>

namespace
{
// Inputs beyond this are not drawn, and neither is a walk whose source
// positions leave +-2^30 pixels: that keeps 16.16 positions well inside 64 bits.
constexpr double kInputLimit = 16777216.0;
constexpr double kWalkLimit = 1073741824.0;

struct Walk
{
    int32_t dstX, dstY, dstW, dstH;
    int64_t x0, y0;                   // source point of the first pixel, 16.16
    int64_t colX, colY;               // source movement per destination column
    int64_t rowX, rowY;               // source movement per destination row
    int64_t left, top, right, bottom; // usable source pixels, right and bottom exclusive
};

struct NearestSampler
{
    static bool Get(const RasterView& s, const Walk& w, int64_t x, int64_t y, RasterPixel& out)
    {
        const int64_t sx = x >> 16, sy = y >> 16;
        if (sx < w.left || sx >= w.right || sy < w.top || sy >= w.bottom)
        {
            return false;
        }
        out = s.At(static_cast<int32_t>(sx), static_cast<int32_t>(sy))[0];
        return true;
    }
};

struct BilinearSampler
{
    static bool Get(const RasterView& s, const Walk& w, int64_t x, int64_t y, RasterPixel& out)
    {
        const int64_t sx = x >> 16, sy = y >> 16;
        if (sx < w.left || sx >= w.right || sy < w.top || sy >= w.bottom)
        {
            return false;
        }
        out = RasterSampleBilinear(s, static_cast<int32_t>(sx), static_cast<int32_t>(sy),
                                   static_cast<uint32_t>(x & 0xFFFF),
                                   static_cast<uint32_t>(y & 0xFFFF), sx + 1 < w.right,
                                   sy + 1 < w.bottom);
        return true;
    }
};

template <class Sampler, class Combiner>
void RotatedLoop(const RasterView& d, const RasterView& s, const Walk& w, int ia)
{
    for (int32_t j = 0; j < w.dstH; ++j)
    {
        int64_t x = w.x0 + j * w.rowX;
        int64_t y = w.y0 + j * w.rowY;
        RasterPixel* dp = d.At(w.dstX, w.dstY + j);
        for (int32_t i = 0; i < w.dstW; ++i, x += w.colX, y += w.colY)
        {
            RasterPixel c;
            if (!Sampler::Get(s, w, x, y, c))
            {
                continue;
            }
            const int a = RasterAlpha(c);
            if (Combiner::Skips(a))
            {
                continue;
            }
            dp[i] = Combiner::Apply(dp[i], RasterRed(c), RasterGreen(c), RasterBlue(c), a, ia);
        }
    }
}
} // namespace

void RasterRotatedBlit(RasterBitmap* dest, const RasterBitmap* src, int32_t dstX, int32_t dstY,
                       int32_t dstW, int32_t dstH, float srcX, float srcY, float srcW, float srcH,
                       float angle, bool clipToSource, float weight, int32_t mode,
                       float centreOffsetX, float centreOffsetY)
{
    if (dstW == 0 || dstH == 0)
    {
        return;
    }
    if (!RasterAllWithin({srcX, srcY, srcW, srcH, angle, centreOffsetX, centreOffsetY},
                         kInputLimit))
    {
        return;
    }
    const RasterView d(dest);
    const RasterView s(src);
    if (!d.Valid() || !s.Valid())
    {
        return;
    }

    // Usable source area; integer column c is inside when left <= c < right.
    double left = 0.0, top = 0.0, right = s.width, bottom = s.height;
    if (clipToSource)
    {
        const double x1 = std::min<double>(srcX, static_cast<double>(srcX) + srcW);
        const double x2 = std::max<double>(srcX, static_cast<double>(srcX) + srcW);
        const double y1 = std::min<double>(srcY, static_cast<double>(srcY) + srcH);
        const double y2 = std::max<double>(srcY, static_cast<double>(srcY) + srcH);
        left = std::max(x1, 0.0);
        top = std::max(y1, 0.0);
        right = std::min(right, x2);
        bottom = std::min(bottom, y2);
    }

    const RasterMapping m = RasterUnmirror({dstX, dstY, dstW, dstH, srcX, srcY, srcW, srcH});
    int64_t x = m.x, y = m.y, w = m.w, h = m.h;
    const double sx = m.sx, sy = m.sy, sw = m.sw, sh = m.sh;

    const double c = std::cos(angle);
    const double sn = std::sin(angle);
    const float cf = static_cast<float>(c), sf = static_cast<float>(sn);
    const double ax = sw / static_cast<double>(w);
    const double ay = sh / static_cast<double>(h);
    const double colX = ax * cf, colY = -ay * sf;
    const double rowX = ax * sf, rowY = ay * cf;
    const double fw = static_cast<double>(w), fh = static_cast<double>(h);
    double startX = sx - ((fh * ax * sf + fw * ax * cf - sw) / 2.0 - centreOffsetX);
    double startY = sy - ((fw * (-ay * sf) + fh * ay * cf - sh) / 2.0 - centreOffsetY);

    if (x < 0)
    {
        startX -= static_cast<double>(x) * colX;
        startY -= static_cast<double>(x) * colY;
        w += x;
        x = 0;
    }
    if (y < 0)
    {
        startX -= static_cast<double>(y) * rowX;
        startY -= static_cast<double>(y) * rowY;
        h += y;
        y = 0;
    }
    w = std::min<int64_t>(w, d.width - x);
    h = std::min<int64_t>(h, d.height - y);
    if (w < 1 || h < 1)
    {
        return;
    }

    const int ia = RasterWeightToInt(weight);
    if (ia == 0)
    {
        return;
    }
    if ((mode & (BlendModeMask | UseSourceAlpha)) == BlendCopy && ia < 1)
    {
        return;
    }

    // Every corner of the walk must stay within range.
    const double endX = startX + (w - 1) * colX, endY = startY + (w - 1) * colY;
    const double downX = (h - 1) * rowX, downY = (h - 1) * rowY;
    if (!RasterAllWithin({startX, startY, endX, endY, startX + downX, startY + downY, endX + downX,
                          endY + downY},
                         kWalkLimit))
    {
        return;
    }

    Walk walk{};
    walk.dstX = static_cast<int32_t>(x);
    walk.dstY = static_cast<int32_t>(y);
    walk.dstW = static_cast<int32_t>(w);
    walk.dstH = static_cast<int32_t>(h);
    walk.x0 = static_cast<int64_t>(startX * 65536.0);
    walk.y0 = static_cast<int64_t>(startY * 65536.0);
    walk.colX = static_cast<int64_t>(colX * 65536.0);
    walk.colY = static_cast<int64_t>(colY * 65536.0);
    walk.rowX = static_cast<int64_t>(rowX * 65536.0);
    walk.rowY = static_cast<int64_t>(rowY * 65536.0);
    walk.left = static_cast<int64_t>(std::ceil(left));
    walk.top = static_cast<int64_t>(std::ceil(top));
    walk.right = static_cast<int64_t>(std::ceil(right));
    walk.bottom = static_cast<int64_t>(std::ceil(bottom));
    if (walk.left >= walk.right || walk.top >= walk.bottom)
    {
        return;
    }

    const bool bilinear = (mode & FilterBilinear) != 0;
    RasterWithCombiner(mode,
                       [&](auto combiner)
                       {
                           if (bilinear)
                           {
                               RotatedLoop<BilinearSampler, decltype(combiner)>(d, s, walk, ia);
                           }
                           else
                           {
                               RotatedLoop<NearestSampler, decltype(combiner)>(d, s, walk, ia);
                           }
                       });
}
