#pragma once

#include "RasterModeDispatch.h"
#include "RasterPacked.h"

// Pixel writers shared by lines and curves: each writes the stroke colour
// into one pixel at an integer weight. The packed ones ignore the weight.
struct RasterStrokeColour
{
    RasterPixel packed;
    int r, g, b, a;

    explicit RasterStrokeColour(RasterPixel c)
        : packed(c), r(RasterRed(c)), g(RasterGreen(c)), b(RasterBlue(c)), a(RasterAlpha(c))
    {
    }
};

struct RasterStrokeStore
{
    static void Put(RasterPixel* p, const RasterStrokeColour& c, int) { *p = c.packed; }
};

struct RasterStrokeHalf
{
    static void Put(RasterPixel* p, const RasterStrokeColour& c, int)
    {
        *p = RasterPackedHalf(*p, c.packed);
    }
};

struct RasterStrokeQuarter
{
    static void Put(RasterPixel* p, const RasterStrokeColour& c, int)
    {
        *p = RasterPackedQuarter(*p, c.packed);
    }
};

struct RasterStrokeThreeQuarters
{
    static void Put(RasterPixel* p, const RasterStrokeColour& c, int)
    {
        *p = RasterPackedThreeQuarters(*p, c.packed);
    }
};

// Any combiner at the given weight; a zero weight leaves the pixel alone.
template <class Combiner> struct RasterStrokeCombine
{
    static void Put(RasterPixel* p, const RasterStrokeColour& c, int w)
    {
        if (w != 0)
        {
            *p = Combiner::Apply(*p, c.r, c.g, c.b, c.a, w);
        }
    }
};

// Calls body(Writer{}) with the writer for a solid (not antialiased) stroke
// at integer weight ia: for BlendCopy a store at 256, packed halves at 128,
// the weighted copy otherwise (positive weights only); the mode's combiner
// for the other modes. False when nothing is to be drawn.
template <class Body> bool RasterWithSolidStroke(int32_t mode, int ia, Body&& body)
{
    if (ia == 0)
    {
        return false;
    }
    if ((mode & BlendModeMask) == BlendCopy)
    {
        if (ia == 256)
        {
            body(RasterStrokeStore{});
        }
        else if (ia == 128)
        {
            body(RasterStrokeHalf{});
        }
        else if (ia > 0)
        {
            body(RasterStrokeCombine<RasterCombineCopy>{});
        }
        return ia > 0;
    }
    return RasterWithCombiner(mode & BlendModeMask, [&](auto combiner)
                              { body(RasterStrokeCombine<decltype(combiner)>{}); });
}

// Calls body(Writer{}) with the weighted writer of the mode: the combiner of
// its blend mode, BlendCopy only at positive weights.
template <class Body> bool RasterWithWeightedStroke(int32_t mode, int ia, Body&& body)
{
    if (ia == 0 || ((mode & BlendModeMask) == BlendCopy && ia < 0))
    {
        return false;
    }
    return RasterWithCombiner(mode & BlendModeMask, [&](auto combiner)
                              { body(RasterStrokeCombine<decltype(combiner)>{}); });
}
