#pragma once

#include "RasterCombineAdd.h"
#include "RasterCombineCopy.h"
#include "RasterCombineDodge.h"
#include "RasterCombineHsvAdjust.h"
#include "RasterCombineMultiply.h"
#include "RasterCombineOverlay.h"
#include "RasterMode.h"
#include "RasterPlainWeight.h"
#include "RasterWithSourceAlpha.h"

#include <cstdint>

// Calls body(Combiner{}) with the combiner that mode AND (0xFF | UseSourceAlpha)
// selects, so that every loop instantiated by body is specialised for one
// combiner and never tests the mode per pixel. Returns false (calling nothing)
// for mode values without a combiner.
template <class Body> bool RasterWithCombiner(int32_t mode, Body&& body)
{
    switch (mode & (BlendModeMask | UseSourceAlpha))
    {
    case BlendCopy:
        body(RasterPlainWeight<RasterCombineCopy>{});
        return true;
    case BlendAdd:
        body(RasterPlainWeight<RasterCombineAdd>{});
        return true;
    case BlendDodge:
        body(RasterPlainWeight<RasterCombineDodge>{});
        return true;
    case BlendMultiply:
        body(RasterPlainWeight<RasterCombineMultiply>{});
        return true;
    case BlendOverlay:
        body(RasterPlainWeight<RasterCombineOverlay>{});
        return true;
    case BlendHsvAdjust:
        body(RasterPlainWeight<RasterCombineHsvAdjust>{});
        return true;
    case UseSourceAlpha | BlendCopy:
        body(RasterWithSourceAlpha<RasterCombineCopy>{});
        return true;
    case UseSourceAlpha | BlendAdd:
        body(RasterWithSourceAlpha<RasterCombineAdd>{});
        return true;
    case UseSourceAlpha | BlendDodge:
        body(RasterWithSourceAlpha<RasterCombineDodge>{});
        return true;
    case UseSourceAlpha | BlendMultiply:
        body(RasterWithSourceAlpha<RasterCombineMultiply>{});
        return true;
    case UseSourceAlpha | BlendOverlay:
        body(RasterWithSourceAlpha<RasterCombineOverlay>{});
        return true;
    case UseSourceAlpha | BlendHsvAdjust:
        body(RasterWithSourceAlpha<RasterCombineHsvAdjust>{});
        return true;
    default:
        return false;
    }
}
