#include "RasterLine.h"

#include "RasterStrokeOps.h"
#include "RasterView.h"
#include "RasterWeight.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace
{
int OutCode(int64_t x, int64_t y, int64_t w, int64_t h)
{
    return (x < 0 ? 1 : 0) | (x >= w ? 2 : 0) | (y < 0 ? 4 : 0) | (y >= h ? 8 : 0);
}

// Moves the ends onto the bitmap. False when no part of the line is on it.
bool ClipLine(int64_t& x1, int64_t& y1, int64_t& x2, int64_t& y2, int64_t w, int64_t h)
{
    int c1 = OutCode(x1, y1, w, h);
    int c2 = OutCode(x2, y2, w, h);
    // Each pass settles one edge of one end; a handful of passes always
    // suffices, the bound only guards against a rounding cycle.
    for (int pass = 0; (c1 | c2) != 0; ++pass)
    {
        if ((c1 & c2) != 0 || pass == 16)
        {
            return false;
        }
        const int c = c1 ? c1 : c2;
        const double dx = static_cast<double>(x2 - x1);
        const double dy = static_cast<double>(y2 - y1);
        int64_t x, y;
        if (c & 8)
        {
            y = h - 1;
            x = x1 + static_cast<int64_t>(dx * static_cast<double>(h - y1) / dy);
        }
        else if (c & 4)
        {
            y = 0;
            x = x1 - static_cast<int64_t>(dx * static_cast<double>(y1) / dy);
        }
        else if (c & 2)
        {
            x = w - 1;
            y = y1 + static_cast<int64_t>(dy * static_cast<double>(w - x1) / dx);
        }
        else
        {
            x = 0;
            y = y1 - static_cast<int64_t>(dy * static_cast<double>(x1) / dx);
        }
        if (c == c1)
        {
            x1 = x;
            y1 = y;
            c1 = OutCode(x1, y1, w, h);
        }
        else
        {
            x2 = x;
            y2 = y;
            c2 = OutCode(x2, y2, w, h);
        }
    }
    return true;
}

// n pixels from (x, y), each step moving by (sx, sy).
template <class Writer>
void Run(const RasterView& v, int32_t x, int32_t y, int sx, int sy, int32_t n,
         const RasterStrokeColour& c, int ia)
{
    for (int32_t k = 0; k < n; ++k, x += sx, y += sy)
    {
        Writer::Put(v.At(x, y), c, ia);
    }
}

// Exact diagonal with antialias: three quarters on the line, a quarter on the
// two pixels beside each step.
template <class Main, class Side>
void SoftDiagonal(const RasterView& v, int32_t x, int32_t y, int sx, int sy, int32_t n,
                  const RasterStrokeColour& c, int mainWeight, int sideWeight)
{
    for (int32_t k = 0; k < n; ++k, x += sx, y += sy)
    {
        Main::Put(v.At(x, y), c, mainWeight);
        Side::Put(v.At(x + sx, y), c, sideWeight);
        Side::Put(v.At(x, y + sy), c, sideWeight);
    }
    Main::Put(v.At(x, y), c, mainWeight);
}

// The general line, drawn from both ends toward the middle. The major axis
// is x when xMajor, else y; (a0, b0) is the start in (major, minor) terms
// with the major coordinate increasing over d steps, and the minor one
// changing by m in total.
struct Slope
{
    int32_t a0, b0, d, m;
    bool xMajor;
};

inline RasterPixel* PixelAt(const RasterView& v, const Slope& s, int32_t a, int32_t b)
{
    return s.xMajor ? v.At(a, b) : v.At(b, a);
}

template <class Writer>
void SolidSlope(const RasterView& v, const Slope& s, const RasterStrokeColour& c, int ia)
{
    const int32_t slope = static_cast<int32_t>(static_cast<int64_t>(std::abs(s.m)) * 65536 / s.d);
    const int step = s.m < 0 ? -1 : 1;
    int32_t bStart = s.b0, bEnd = s.b0 + s.m;
    const int32_t aEnd = s.a0 + s.d;
    int32_t acc = 0;
    const int32_t steps = (s.d + 1) / 2;
    for (int32_t k = 0; k < steps; ++k)
    {
        Writer::Put(PixelAt(v, s, s.a0 + k, bStart), c, ia);
        Writer::Put(PixelAt(v, s, aEnd - k, bEnd), c, ia);
        acc += slope;
        if (acc >= 0x8000)
        {
            bStart += step;
            bEnd -= step;
            acc -= 0x10000;
        }
    }
    if ((s.d & 1) == 0)
    {
        Writer::Put(PixelAt(v, s, s.a0 + s.d / 2, bStart), c, ia);
    }
}

template <class Writer>
void SoftSlope(const RasterView& v, const Slope& s, const RasterStrokeColour& c, int ia)
{
    const int64_t slope = static_cast<int64_t>(std::abs(s.m)) * 65536 / s.d;
    const int step = s.m < 0 ? -1 : 1;
    const int32_t aEnd = s.a0 + s.d;
    const int32_t bEnd = s.b0 + s.m;
    // The neighbour one minor step further lies inside the line's bounding
    // box whenever it carries weight; the test only guards the rest.
    auto put = [&](int32_t a, int32_t b, int w)
    {
        const bool inside = s.xMajor ? (a >= 0 && a < v.width && b >= 0 && b < v.height)
                                     : (b >= 0 && b < v.width && a >= 0 && a < v.height);
        if (inside)
        {
            Writer::Put(PixelAt(v, s, a, b), c, w);
        }
    };
    auto pair = [&](int32_t a, int32_t b, int dir, int64_t k)
    {
        const int64_t pos = k * slope;
        const int f = static_cast<int>(pos & 0xFFFF) / 256;
        const int32_t off = static_cast<int32_t>(pos >> 16) * dir;
        int near = 255 - f, far = f;
        if (ia < 256)
        {
            near = near * ia / 256;
            far = ia * far / 256;
        }
        put(a, b + off, near);
        put(a, b + off + dir, far);
    };
    put(s.a0, s.b0, ia);
    put(aEnd, bEnd, ia);
    const int32_t steps = (s.d + 1) / 2;
    for (int32_t k = 1; k < steps; ++k)
    {
        pair(s.a0 + k, s.b0, step, k);
        pair(aEnd - k, bEnd, -step, k);
    }
    if ((s.d & 1) == 0)
    {
        pair(s.a0 + s.d / 2, s.b0, step, s.d / 2);
    }
}
} // namespace

void RasterLine(RasterBitmap* dest, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                RasterPixel colour, float weight, int32_t mode, bool antialias)
{
    const RasterView v(dest);
    if (!v.Valid() || weight == 0.0f || weight != weight)
    {
        return;
    }
    int64_t ax = x1, ay = y1, bx = x2, by = y2;
    if (!ClipLine(ax, ay, bx, by, v.width, v.height))
    {
        return;
    }
    const int32_t px = static_cast<int32_t>(ax), py = static_cast<int32_t>(ay);
    const int32_t qx = static_cast<int32_t>(bx), qy = static_cast<int32_t>(by);
    const RasterStrokeColour c(colour);
    const int ia = RasterWeightToInt(weight);
    const bool copy = (mode & BlendModeMask) == BlendCopy;

    if (py == qy || px == qx)
    {
        // Spans: one row or one column.
        const bool row = py == qy;
        const int32_t from = row ? std::min(px, qx) : std::min(py, qy);
        const int32_t n = (row ? std::max(px, qx) : std::max(py, qy)) - from + 1;
        const int32_t x = row ? from : px, y = row ? py : from;
        const int sx = row ? 1 : 0, sy = row ? 0 : 1;
        if (copy && weight == 1.0f)
        {
            Run<RasterStrokeStore>(v, x, y, sx, sy, n, c, ia);
        }
        else if (copy && weight == 0.5f)
        {
            Run<RasterStrokeHalf>(v, x, y, sx, sy, n, c, ia);
        }
        else if (copy && weight == 0.25f)
        {
            Run<RasterStrokeQuarter>(v, x, y, sx, sy, n, c, ia);
        }
        else if (copy && weight == 0.75f)
        {
            Run<RasterStrokeThreeQuarters>(v, x, y, sx, sy, n, c, ia);
        }
        else
        {
            RasterWithSolidStroke(
                mode, ia, [&](auto writer) { Run<decltype(writer)>(v, x, y, sx, sy, n, c, ia); });
        }
        return;
    }

    const int32_t dx = qx - px, dy = qy - py;
    if (std::abs(dx) == std::abs(dy))
    {
        const int32_t n = std::abs(dx);
        const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
        if (!antialias)
        {
            RasterWithSolidStroke(mode, ia,
                                  [&](auto writer)
                                  { Run<decltype(writer)>(v, px, py, sx, sy, n + 1, c, ia); });
        }
        else if (copy && weight == 1.0f)
        {
            SoftDiagonal<RasterStrokeThreeQuarters, RasterStrokeQuarter>(v, px, py, sx, sy, n, c, 0,
                                                                         0);
        }
        else
        {
            RasterWithWeightedStroke(mode, ia,
                                     [&](auto writer)
                                     {
                                         using W = decltype(writer);
                                         SoftDiagonal<W, W>(v, px, py, sx, sy, n, c, ia * 3 / 4,
                                                            ia / 4);
                                     });
        }
        return;
    }

    Slope s{};
    s.xMajor = std::abs(dx) > std::abs(dy);
    if (s.xMajor)
    {
        const bool swap = dx < 0;
        s.a0 = swap ? qx : px;
        s.b0 = swap ? qy : py;
        s.d = std::abs(dx);
        s.m = swap ? -dy : dy;
    }
    else
    {
        const bool swap = dy < 0;
        s.a0 = swap ? qy : py;
        s.b0 = swap ? qx : px;
        s.d = std::abs(dy);
        s.m = swap ? -dx : dx;
    }
    if (!antialias)
    {
        RasterWithSolidStroke(mode, ia,
                              [&](auto writer) { SolidSlope<decltype(writer)>(v, s, c, ia); });
    }
    else
    {
        RasterWithWeightedStroke(mode, ia,
                                 [&](auto writer) { SoftSlope<decltype(writer)>(v, s, c, ia); });
    }
}
