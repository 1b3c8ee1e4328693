#pragma once

// Everything a client of the raster library uses.
#include "HeapBitmap.h"
#include "RasterBitmap.h"
#include "RasterBlit.h"
#include "RasterCircle.h"
#include "RasterFill.h"
#include "RasterLine.h"
#include "RasterMode.h"
#include "RasterPixel.h"
#include "RasterPixelAccess.h"
#include "RasterRect.h"
#include "RasterRotatedBlit.h"
#include "RasterScaledBlit.h"
#include "ScreenBitmap.h"
