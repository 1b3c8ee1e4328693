#pragma once

#include "IGraphicsCore.h"

#include <cstdint>
#include <memory>

class HeapBitmap;
class IBitmapCache;
class ScreenBitmap;

// How the raster library is to combine one draw: its mode word and weight.
struct IRasterBlend
{
    int32_t mode;
    float weight;
};

// The drawing half of the editor: owns the back buffer every control paints
// into, loads bitmaps through the bitmap cache and draws bitmaps, points,
// lines, arcs, circles and rectangles with the raster library. Presenting the
// back buffer and decoding resources belong to the window class.
//
// Threads. Every drawing operation runs on the editor's thread without a
// lock; the back buffer and the scratch bitmap belong to that thread. Loading,
// keeping and dropping bitmaps take the cache's lock. Every operation does
// nothing (and reports its usual result) without a back buffer, on null or
// empty bitmaps, and on coordinates outside the back buffer; non-finite
// coordinates draw nothing.
class IGraphicsRaster : public IGraphicsCore
{
public:
    // cache: where bitmaps are loaded and kept; null = this module's shared
    // cache. Tests pass one of their own.
    IGraphicsRaster(IEffectBase* plugIn, int32_t width, int32_t height, int32_t frameRate,
                    IBitmapCache* cache = nullptr);

    // The raster mode word and weight of an IBlend (null: normal, full weight).
    static IRasterBlend MapBlend(const IBlend* blend);

    // A back buffer of width x height and an empty scratch bitmap. Called once
    // when the plug-in attaches the editor, plug-in lock held; a second call
    // replaces both.
    void CreateBackBuffer() override;
    // The part of dest inside drawRegion, from the source position that keeps
    // the picture aligned. Editor thread. Always true.
    bool BlitBitmap(const IBitmapFrames& bitmap, const IRegion& dest, int32_t srcX, int32_t srcY,
                    const IBlend* blend) override;
    // The whole bitmap rotated by angle (radians) about (cx, cy + yOffset),
    // bilinear, not clipped to drawRegion. Editor thread. Always true.
    bool BlitRotated(const IBitmapFrames& bitmap, int32_t cx, int32_t cy, double angle,
                     int32_t yOffset, const IBlend* blend) override;
    // base with mask added and top copied over it, both rotated by
    // angleDegrees, composed in the scratch bitmap and drawn at (x, y) inside
    // drawRegion. Editor thread. Always true.
    bool BlitRotatedMasked(const IBitmapFrames& base, const IBitmapFrames& mask,
                           const IBitmapFrames& top, int32_t x, int32_t y, double angleDegrees,
                           const IBlend* blend) override;
    // One pixel at the nearest point, blended. Editor thread. Always true.
    bool BlendPixel(const IColour& colour, float x, float y, const IBlend* blend) override;
    // Stores the colour unblended; points outside the back buffer are
    // ignored. Editor thread. Always true.
    bool WritePixel(const IColour& colour, int32_t x, int32_t y) override;
    // Shapes through the raster library, coordinates in editor pixels. Editor
    // thread. Always true.
    bool StrokeLine(const IColour& colour, float x1, float y1, float x2, float y2,
                    const IBlend* blend, bool antialias) override;
    bool StrokeArc(const IColour& colour, float cx, float cy, float r, float startAngle,
                   float endAngle, const IBlend* blend, bool antialias) override;
    bool StrokeCircle(const IColour& colour, float cx, float cy, float r, const IBlend* blend,
                      bool antialias) override;
    bool FillRegion(const IColour& colour, const IRegion& region, const IBlend* blend) override;
    // One back-buffer pixel; all zero outside it. Editor thread.
    IColour ReadPixel(int32_t x, int32_t y) override;
    // The back buffer's pixels, or null without one. Editor thread.
    void* BackBufferPixels() override;
    // Destroys the back buffer and the scratch bitmap; the core destroys the
    // controls.
    ~IGraphicsRaster() override;
    // The cached bitmap of resourceId, decoded through DecodeResourceImage on
    // the first load. A resource that cannot be decoded is reported as a
    // failed assertion and yields an empty placeholder bitmap. Any thread
    // that may build the editor; takes the cache lock.
    IBitmapFrames LoadResourceBitmap(int32_t resourceId, const char* name,
                                     int32_t frameCount) override;
    // A bilinear resampling to w x h, kept in the cache. Editor thread.
    IBitmapFrames ResampleBitmap(const IBitmapFrames& bitmap, int32_t w, int32_t h) override;
    // A copy of region of bitmap, kept in the cache. Editor thread.
    IBitmapFrames CutBitmap(const IBitmapFrames& bitmap, const IRegion& region) override;
    // Unblended vertical and horizontal runs, both ends included, clamped to
    // the back buffer. Editor thread. Always true.
    bool FillColumnSpan(const IColour& colour, int32_t x, int32_t y1, int32_t y2) override;
    bool FillRowSpan(const IColour& colour, int32_t y, int32_t x1, int32_t x2) override;
    // Hands bitmap.handle to the cache under id -1. Takes the cache lock.
    void KeepBitmap(const IBitmapFrames& bitmap) override;
    // Frees the first cache entry holding bitmap.handle; nothing when none
    // does. Takes the cache lock.
    void DropBitmap(const IBitmapFrames& bitmap) override;

    ScreenBitmap* BackBuffer() const { return backBuffer.get(); }
    IBitmapCache& Cache() const { return *cache; }

protected:
    std::unique_ptr<ScreenBitmap> backBuffer;
    std::unique_ptr<HeapBitmap> scratch;

private:
    IBitmapCache* cache;
};
