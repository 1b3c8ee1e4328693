#pragma once

#include "IControl.h"

// A control that shows one frame of a vertical bitmap strip, chosen from its
// value. Also the editor's background (one frame, opaque, no parameter).
class IBitmapControl : public IControl
{
public:
    // rect = (x, y, x + width, y + height / frames) of the bitmap.
    IBitmapControl(IEffectBase* owner, int32_t x, int32_t y, int32_t paramIndex,
                   const IBitmapFrames& bitmap, int32_t blendMethod);

    // Editor thread, no lock: the frame for the value, through the graphics
    // core's DrawBitmapFrame; its result.
    bool Paint(IGraphicsCore* graphics) override;

    // The rectangle of one frame of bitmap placed at (x, y).
    static IRegion FrameRect(int32_t x, int32_t y, const IBitmapFrames& bitmap);
    // The 1-based frame of an n-frame strip that shows value: 0 gives the
    // first, 1 the last, the steps between rounded to the nearest.
    static int32_t FrameForValue(double value, int32_t frameCount);
    // Draws the frame for value of bitmap into rect; every strip-painting
    // control goes through here.
    static bool PaintFrame(IGraphicsCore* graphics, const IBitmapFrames& bitmap,
                           const IRegion& rect, double value, const IBlend& blend);

    const IBitmapFrames& Bitmap() const { return bitmap; }

protected:
    IBitmapFrames bitmap;
};
