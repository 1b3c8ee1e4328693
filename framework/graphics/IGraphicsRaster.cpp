#include "IGraphicsRaster.h"

#include "IBitmapCache.h"
#include "ITrace.h"
#include "Raster.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <new>

namespace
{
constexpr double kRadiansPerDegree = 0.017453292519943295;
// What the rotation mask keeps of each scratch pixel: the colours, no alpha.
constexpr uint32_t kColourBits = 0x00FFFFFFu;

// A resource that cannot be decoded is a broken build, not bad input: it is
// reported the way a failed assertion is, through the trace hook and on
// standard error, and the editor goes on without the picture. Nothing here
// may end the host's process.
void ReportFailedAssertion(const char* function, const char* expression, const char* file, int line)
{
    const char* base = file;
    for (const char* p = file; *p != '\0'; ++p)
    {
        if (*p == '/' || *p == '\\')
        {
            base = p + 1;
        }
    }
    ITrace(function, line, "Assertion failed: %s, file %s, line %d", expression, base, line);
    std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", expression, base, line);
    std::fflush(stderr);
}

#define VK_CHECK(expression)                                                                       \
    ((expression) ? true                                                                           \
                  : (ReportFailedAssertion(__func__, #expression, __FILE__, __LINE__), false))

int32_t ClampToInt32(int64_t v)
{
    if (v > std::numeric_limits<int32_t>::max())
    {
        return std::numeric_limits<int32_t>::max();
    }
    if (v < std::numeric_limits<int32_t>::min())
    {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(v);
}

// Truncates toward zero; values beyond int32 saturate (the raster library
// clips them away). False for NaN, which names no pixel at all.
bool TruncateToInt32(float v, int32_t& out)
{
    if (std::isnan(v))
    {
        return false;
    }
    if (v >= 2147483648.0f)
    {
        out = std::numeric_limits<int32_t>::max();
    }
    else if (v <= -2147483648.0f)
    {
        out = std::numeric_limits<int32_t>::min();
    }
    else
    {
        out = static_cast<int32_t>(v);
    }
    return true;
}

// A double the float range cannot hold saturates instead of being undefined.
float ToFloat(double v)
{
    constexpr double kMax = std::numeric_limits<float>::max();
    if (v > kMax)
    {
        return std::isinf(v) ? std::numeric_limits<float>::infinity()
                             : std::numeric_limits<float>::max();
    }
    if (v < -kMax)
    {
        return std::isinf(v) ? -std::numeric_limits<float>::infinity()
                             : -std::numeric_limits<float>::max();
    }
    return static_cast<float>(v);
}

int32_t Clamp(int32_t v, int32_t low, int32_t high)
{
    return v < low ? low : (v > high ? high : v);
}

// Width and height of a region, without overflow for extreme edges.
int32_t RegionWidth(const IRegion& r)
{
    return ClampToInt32(static_cast<int64_t>(r.right) - r.left);
}

int32_t RegionHeight(const IRegion& r)
{
    return ClampToInt32(static_cast<int64_t>(r.bottom) - r.top);
}

// Blits the part of a bitmap drawn at placed that lies inside clip, with the
// source position moved along so the picture stays where it was placed.
void BlitClipped(RasterBitmap* dest, const RasterBitmap* src, const IRegion& placed,
                 const IRegion& clip, int64_t srcX, int64_t srcY, const IRasterBlend& rule)
{
    RasterBlitRect(dest, src, clip.left, clip.top,
                   ClampToInt32(srcX + static_cast<int64_t>(clip.left) - placed.left),
                   ClampToInt32(srcY + static_cast<int64_t>(clip.top) - placed.top),
                   RegionWidth(clip), RegionHeight(clip), rule.weight, rule.mode);
}
} // namespace

IGraphicsRaster::IGraphicsRaster(IEffectBase* owningPlugIn, int32_t editorWidth,
                                 int32_t editorHeight, int32_t checksPerSecond,
                                 IBitmapCache* bitmapCache)
    : IGraphicsCore(owningPlugIn, editorWidth, editorHeight, checksPerSecond),
      cache(bitmapCache != nullptr ? bitmapCache : &IBitmapCache::Shared())
{
}

IGraphicsRaster::~IGraphicsRaster()
{
    backBuffer.reset();
    scratch.reset();
}

IRasterBlend IGraphicsRaster::MapBlend(const IBlend* blend)
{
    if (blend == nullptr)
    {
        return {BlendCopy | UseSourceAlpha, 1.0f};
    }
    switch (blend->method)
    {
    case IBlend::kOpaque:
        return {BlendCopy, blend->weight};
    case IBlend::kAdd:
        return {BlendAdd | UseSourceAlpha, blend->weight};
    case IBlend::kDodge:
        return {BlendDodge | UseSourceAlpha, blend->weight};
    default:
        // Normal, and every method this editor does not know.
        return {BlendCopy | UseSourceAlpha, blend->weight};
    }
}

void IGraphicsRaster::CreateBackBuffer()
{
    backBuffer = std::make_unique<ScreenBitmap>(width, height);
    scratch = std::make_unique<HeapBitmap>();
}

bool IGraphicsRaster::BlitBitmap(const IBitmapFrames& bitmap, const IRegion& dest, int32_t srcX,
                                 int32_t srcY, const IBlend* blend)
{
    // Only the repainted area changes, so a control straddling its edge
    // leaves the rest of the surface as it is.
    const IRegion clip = dest.Intersect(drawRegion);
    BlitClipped(backBuffer.get(), bitmap.handle, dest, clip, srcX, srcY, MapBlend(blend));
    return true;
}

bool IGraphicsRaster::BlitRotated(const IBitmapFrames& bitmap, int32_t cx, int32_t cy, double angle,
                                  int32_t yOffset, const IBlend* blend)
{
    const IRasterBlend rule = MapBlend(blend);
    const int32_t left = ClampToInt32(static_cast<int64_t>(cx) - bitmap.width / 2);
    const int32_t top = ClampToInt32(static_cast<int64_t>(cy) - bitmap.height / 2);
    RasterRotatedBlit(backBuffer.get(), bitmap.handle, left, top, bitmap.width, bitmap.height, 0.0f,
                      0.0f, static_cast<float>(bitmap.width), static_cast<float>(bitmap.height),
                      ToFloat(angle), false, rule.weight, rule.mode | FilterBilinear, 0.0f,
                      static_cast<float>(yOffset));
    return true;
}

bool IGraphicsRaster::BlitRotatedMasked(const IBitmapFrames& base, const IBitmapFrames& mask,
                                        const IBitmapFrames& top, int32_t x, int32_t y,
                                        double angleDegrees, const IBlend* blend)
{
    // Without a base there is nothing to compose; the scratch bitmap would
    // still hold the previous composition.
    if (base.handle == nullptr)
    {
        return true;
    }
    if (!scratch)
    {
        scratch = std::make_unique<HeapBitmap>();
    }
    RasterBitmap* work = scratch.get();
    RasterCopy(work, base.handle);
    // The base's alpha goes, so only the rotated mask decides what of the
    // composition covers the back buffer.
    RasterMaskRect(work, 0, 0, base.width, base.height, kColourBits, 0);

    const float angle = ToFloat(angleDegrees * kRadiansPerDegree);
    // An odd width has its centre in the middle of a pixel.
    const float centreX = (base.width % 2 != 0) ? -0.5f : 0.0f;
    const float w = static_cast<float>(base.width);
    const float h = static_cast<float>(base.height);
    RasterRotatedBlit(work, mask.handle, 0, 0, base.width, base.height, 0.0f, 0.0f, w, h, angle,
                      true, 1.0f, BlendAdd | UseSourceAlpha | FilterBilinear, centreX, 0.0f);
    RasterRotatedBlit(work, top.handle, 0, 0, base.width, base.height, 0.0f, 0.0f, w, h, angle,
                      true, 1.0f, BlendCopy | UseSourceAlpha | FilterBilinear, centreX, 0.0f);

    const IRegion placed(x, y, ClampToInt32(static_cast<int64_t>(x) + base.width),
                         ClampToInt32(static_cast<int64_t>(y) + base.height));
    const IRegion clip = placed.Intersect(drawRegion);
    BlitClipped(backBuffer.get(), work, placed, clip, 0, 0, MapBlend(blend));
    return true;
}

bool IGraphicsRaster::BlendPixel(const IColour& colour, float x, float y, const IBlend* blend)
{
    int32_t px = 0;
    int32_t py = 0;
    if (TruncateToInt32(x + 0.5f, px) && TruncateToInt32(y + 0.5f, py))
    {
        const IRasterBlend rule = MapBlend(blend);
        RasterPutPixel(backBuffer.get(), px, py, colour.Packed(), rule.weight, rule.mode);
    }
    return true;
}

bool IGraphicsRaster::WritePixel(const IColour& colour, int32_t x, int32_t y)
{
    // Callers are meant to stay inside; a point outside is ignored rather
    // than written past the buffer.
    RasterBitmap* b = backBuffer.get();
    if (b != nullptr && b->Pixels() != nullptr && x >= 0 && y >= 0 && x < b->PixelWidth() &&
        y < b->PixelHeight())
    {
        b->Pixels()[static_cast<size_t>(y) * b->RowSpan() + x] = colour.Packed();
    }
    return true;
}

bool IGraphicsRaster::StrokeLine(const IColour& colour, float x1, float y1, float x2, float y2,
                                 const IBlend* blend, bool antialias)
{
    int32_t ix1 = 0;
    int32_t iy1 = 0;
    int32_t ix2 = 0;
    int32_t iy2 = 0;
    if (TruncateToInt32(x1, ix1) && TruncateToInt32(y1, iy1) && TruncateToInt32(x2, ix2) &&
        TruncateToInt32(y2, iy2))
    {
        const IRasterBlend rule = MapBlend(blend);
        RasterLine(backBuffer.get(), ix1, iy1, ix2, iy2, colour.Packed(), rule.weight, rule.mode,
                   antialias);
    }
    return true;
}

bool IGraphicsRaster::StrokeArc(const IColour& colour, float cx, float cy, float r,
                                float startAngle, float endAngle, const IBlend* blend,
                                bool antialias)
{
    const IRasterBlend rule = MapBlend(blend);
    RasterArc(backBuffer.get(), cx, cy, r, startAngle, endAngle, colour.Packed(), rule.weight,
              rule.mode, antialias);
    return true;
}

bool IGraphicsRaster::StrokeCircle(const IColour& colour, float cx, float cy, float r,
                                   const IBlend* blend, bool antialias)
{
    const IRasterBlend rule = MapBlend(blend);
    RasterCircle(backBuffer.get(), cx, cy, r, colour.Packed(), rule.weight, rule.mode, antialias);
    return true;
}

bool IGraphicsRaster::FillRegion(const IColour& colour, const IRegion& region, const IBlend* blend)
{
    const IRasterBlend rule = MapBlend(blend);
    RasterFillRect(backBuffer.get(), region.left, region.top, RegionWidth(region),
                   RegionHeight(region), colour.Packed(), rule.weight, rule.mode);
    return true;
}

IColour IGraphicsRaster::ReadPixel(int32_t x, int32_t y)
{
    return IColour::FromPacked(RasterGetPixel(backBuffer.get(), x, y));
}

void* IGraphicsRaster::BackBufferPixels()
{
    return backBuffer ? backBuffer->Pixels() : nullptr;
}

IBitmapFrames IGraphicsRaster::LoadResourceBitmap(int32_t resourceId, const char* name,
                                                  int32_t frameCount)
{
    RasterBitmap* bitmap = cache->Find(resourceId);
    if (bitmap == nullptr)
    {
        // Decoded outside the cache lock: two editors missing on the same id
        // at once each decode and enter theirs, and later loads find the
        // first.
        RasterBitmap* decoded = DecodeResourceImage(resourceId, name);
        const bool imgResourceFound = decoded != nullptr;
        if (!VK_CHECK(imgResourceFound))
        {
            // Entered under the id like the image would have been, so the
            // report comes once; drawing it copies nothing.
            decoded = new (std::nothrow) HeapBitmap();
        }
        if (decoded == nullptr || !cache->Add(resourceId, decoded))
        {
            delete decoded;
            return {};
        }
        bitmap = decoded;
    }
    return {bitmap, bitmap->PixelWidth(), bitmap->PixelHeight(), frameCount < 1 ? 1 : frameCount};
}

IBitmapFrames IGraphicsRaster::ResampleBitmap(const IBitmapFrames& bitmap, int32_t w, int32_t h)
{
    auto made = std::unique_ptr<HeapBitmap>(new (std::nothrow) HeapBitmap(w, h));
    if (!made)
    {
        return {};
    }
    RasterScaledBlit(made.get(), bitmap.handle, 0, 0, w, h, 0.0f, 0.0f,
                     static_cast<float>(bitmap.width), static_cast<float>(bitmap.height), 1.0f,
                     BlendCopy | FilterBilinear);
    // The record tells the size the pixels really have (0 x 0 when they
    // could not be allocated).
    const IBitmapFrames result{made.get(), made->PixelWidth(), made->PixelHeight(),
                               bitmap.frameCount};
    if (!cache->Add(-1, made.get()))
    {
        return {};
    }
    made.release();
    return result;
}

IBitmapFrames IGraphicsRaster::CutBitmap(const IBitmapFrames& bitmap, const IRegion& region)
{
    const int32_t w = RegionWidth(region);
    const int32_t h = RegionHeight(region);
    auto made = std::unique_ptr<HeapBitmap>(new (std::nothrow) HeapBitmap(w, h));
    if (!made)
    {
        return {};
    }
    RasterBlitRect(made.get(), bitmap.handle, 0, 0, region.left, region.top, w, h, 1.0f, BlendCopy);
    const IBitmapFrames result{made.get(), made->PixelWidth(), made->PixelHeight(),
                               bitmap.frameCount};
    if (!cache->Add(-1, made.get()))
    {
        return {};
    }
    made.release();
    return result;
}

bool IGraphicsRaster::FillColumnSpan(const IColour& colour, int32_t x, int32_t y1, int32_t y2)
{
    // Clamped to the back buffer itself, which is the editor's size unless
    // the editor was resized without it.
    RasterBitmap* b = backBuffer.get();
    if (b == nullptr || b->Pixels() == nullptr || b->PixelWidth() < 1 || b->PixelHeight() < 1)
    {
        return true;
    }
    const int32_t lastX = b->PixelWidth() - 1;
    const int32_t lastY = b->PixelHeight() - 1;
    const int32_t column = Clamp(x, 0, lastX);
    const int32_t from = Clamp(y1, 0, lastY);
    const int32_t to = Clamp(y2, 0, lastY);
    const RasterPixel packed = colour.Packed();
    const size_t span = static_cast<size_t>(b->RowSpan());
    RasterPixel* p = b->Pixels() + static_cast<size_t>(from) * span + column;
    for (int32_t row = from; row <= to; ++row, p += span)
    {
        *p = packed;
    }
    return true;
}

bool IGraphicsRaster::FillRowSpan(const IColour& colour, int32_t y, int32_t x1, int32_t x2)
{
    RasterBitmap* b = backBuffer.get();
    if (b == nullptr || b->Pixels() == nullptr || b->PixelWidth() < 1 || b->PixelHeight() < 1)
    {
        return true;
    }
    const int32_t lastX = b->PixelWidth() - 1;
    const int32_t row = Clamp(y, 0, b->PixelHeight() - 1);
    const int32_t from = Clamp(x1, 0, lastX);
    const int32_t to = Clamp(x2, 0, lastX);
    const RasterPixel packed = colour.Packed();
    RasterPixel* line = b->Pixels() + static_cast<size_t>(row) * b->RowSpan();
    for (int32_t column = from; column <= to; ++column)
    {
        line[column] = packed;
    }
    return true;
}

void IGraphicsRaster::KeepBitmap(const IBitmapFrames& bitmap)
{
    cache->Add(-1, bitmap.handle);
}

void IGraphicsRaster::DropBitmap(const IBitmapFrames& bitmap)
{
    cache->Drop(bitmap.handle);
}
