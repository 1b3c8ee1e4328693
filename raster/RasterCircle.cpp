#include "RasterCircle.h"

#include "RasterCircleMask.h"
#include "RasterFill.h"
#include "RasterSampling.h"
#include "RasterStrokeOps.h"
#include "RasterWeight.h"

#include <cmath>

namespace
{
// Centres and radii beyond this are not drawn; it keeps every coordinate sum
// well inside the range where float to integer conversion is defined.
constexpr double kCoordinateLimit = 16777216.0;
constexpr float kTurn = 6.2831855f;

// Where a curve may draw: the bitmap, and for arcs the angles from start
// over span (radians, clockwise from the top) around (cx, cy).
struct Region
{
    RasterView view;
    float cx, cy;
    float start = 0.0f, span = kTurn;
    bool angular = false;

    bool Contains(int64_t x, int64_t y) const
    {
        if (x < 0 || y < 0 || x >= view.width || y >= view.height)
        {
            return false;
        }
        if (!angular)
        {
            return true;
        }
        float a = std::atan2(static_cast<float>(x) - cx, cy - static_cast<float>(y));
        float rel = a - start;
        while (rel < 0.0f)
        {
            rel += kTurn;
        }
        while (rel >= kTurn)
        {
            rel -= kTurn;
        }
        return rel <= span;
    }
};

template <class Writer> struct Plotter
{
    const Region& region;
    const RasterStrokeColour& colour;

    // (x, y) are float sums; the pixel is their truncation.
    void operator()(float x, float y, int w) const
    {
        const int64_t px = static_cast<int64_t>(x), py = static_cast<int64_t>(y);
        if (region.Contains(px, py))
        {
            Writer::Put(region.view.At(static_cast<int32_t>(px), static_cast<int32_t>(py)), colour,
                        w);
        }
    }
};

// Midpoint circle, one pixel per step in each octant.
template <class Writer>
void SolidCircle(const Plotter<Writer>& plot, float cx, float cy, float r, int ia)
{
    plot(cx, cy + r, ia);
    plot(cx, cy - r, ia);
    plot(cx + r, cy, ia);
    plot(cx - r, cy, ia);
    if (!(r > 0.0f))
    {
        return;
    }
    float x = 0.0f, y = r, d = (5.0f - 4.0f * r) / 4.0f;
    float xn, yn;
    do
    {
        xn = x + 1.0f;
        yn = d >= 0.0f ? y - 1.0f : y;
        plot(cx + xn, cy + yn, ia);
        plot(cx - xn, cy + yn, ia);
        plot(cx + xn, cy - yn, ia);
        plot(cx - xn, cy - yn, ia);
        plot(cx + yn, cy + xn, ia);
        plot(cx - yn, cy + xn, ia);
        plot(cx + yn, cy - xn, ia);
        plot(cx - yn, cy - xn, ia);
        if (d >= 0.0f)
        {
            d += 2.0f * (xn - yn) + 1.0f;
        }
        else
        {
            d += 2.0f * xn + 1.0f;
        }
        x = xn;
        y = yn;
    } while (xn < yn);
}

// Antialiased circle: each step splits the weight between the two pixels
// around the exact radius.
template <class Writer>
void SoftCircle(const Plotter<Writer>& plot, float cx, float cy, float r, int ia)
{
    if (!(r + 1.0f > 0.0f))
    {
        return;
    }
    float x = 0.0f, y = r;
    while (x < y + 1.0f)
    {
        const float f = y - std::floor(y);
        if (f == 0.0f)
        {
            plot(cx + x, cy + y, ia);
            plot(cx - x, cy + y, ia);
            plot(cx + x, cy - y, ia);
            plot(cx - x, cy - y, ia);
            plot(cx + y, cy + x, ia);
            plot(cx - y, cy + x, ia);
            plot(cx + y, cy - x, ia);
            plot(cx - y, cy - x, ia);
        }
        else
        {
            const int n = static_cast<int>(static_cast<float>(ia) * f);
            const int m = ia - n;
            for (float sx : {x, -x})
            {
                plot(cx + sx, cy + y + 1.0f, n);
                plot(cx + sx, cy + y, m);
                plot(cx + sx, cy - y + 1.0f, m);
                plot(cx + sx, cy - y, n);
            }
            plot(cx + y + 1.0f, cy + x, n);
            plot(cx + y, cy + x, m);
            plot(cx + y + 1.0f, cy - x, n);
            plot(cx + y, cy - x, m);
            plot(cx - y + 1.0f, cy + x, m);
            plot(cx - y, cy + x, n);
            plot(cx - y + 1.0f, cy - x, m);
            plot(cx - y, cy - x, n);
        }
        x += 1.0f;
        y = std::sqrt(r * r - x * x);
    }
}

void Stroke(const Region& region, float cx, float cy, float r, RasterPixel colour, int ia,
            int32_t mode, bool antialias)
{
    // Nothing to do when the circle's box misses the bitmap.
    if (cx + r + 1.0f < 0.0f || cy + r + 1.0f < 0.0f || cx - r - 1.0f > region.view.width ||
        cy - r - 1.0f > region.view.height)
    {
        if (r >= 0.0f)
        {
            return;
        }
    }
    const RasterStrokeColour c(colour);
    if (antialias)
    {
        RasterWithWeightedStroke(
            mode, ia,
            [&](auto writer) {
                SoftCircle(Plotter<decltype(writer)>{region, c}, cx, cy, r, ia);
            });
    }
    else
    {
        RasterWithSolidStroke(mode, ia,
                              [&](auto writer) {
                                  SolidCircle(Plotter<decltype(writer)>{region, c}, cx, cy, r, ia);
                              });
    }
}
} // namespace

void RasterCircle(RasterBitmap* dest, float cx, float cy, float r, RasterPixel colour, float weight,
                  int32_t mode, bool antialias)
{
    if (!RasterAllWithin({cx, cy, r}, kCoordinateLimit))
    {
        return;
    }
    const RasterView v(dest);
    if (!v.Valid())
    {
        return;
    }
    if (const RasterCircleMask* mask = RasterCircleMask::Find(r, antialias))
    {
        RasterDrawMask(dest, static_cast<int32_t>(cx - r), static_cast<int32_t>(cy - r), colour,
                       mask->bytes, mask->size, mask->size, weight, mode);
        return;
    }
    const int ia = RasterWeightToInt(weight);
    if (ia == 0)
    {
        return;
    }
    const Region region{v, cx, cy};
    Stroke(region, cx, cy, r, colour, ia, mode, antialias);
}

void RasterArc(RasterBitmap* dest, float cx, float cy, float r, float startAngle, float endAngle,
               RasterPixel colour, float weight, int32_t mode, bool antialias)
{
    if (!RasterAllWithin({cx, cy, r, startAngle, endAngle}, kCoordinateLimit))
    {
        return;
    }
    const RasterView v(dest);
    if (!v.Valid())
    {
        return;
    }
    const int ia = RasterWeightToInt(weight);
    if (ia == 0)
    {
        return;
    }
    Region region{v, cx, cy};
    const float span = endAngle - startAngle;
    if (!(span >= kTurn))
    {
        region.angular = true;
        region.start = std::fmod(startAngle, kTurn);
        if (region.start < 0.0f)
        {
            region.start += kTurn;
        }
        region.span = span < 0.0f ? span + kTurn * std::ceil(-span / kTurn) : span;
    }
    Stroke(region, cx, cy, r, colour, ia, mode, antialias);
}
