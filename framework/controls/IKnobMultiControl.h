#pragma once

#include "IKnobControl.h"

// A knob drawn from a filmstrip: the frame for its value, as a bitmap
// control chooses it.
class IKnobMultiControl : public IKnobControl
{
public:
    // The editor's knobs drag vertically (direction 0) with gearing 4.
    IKnobMultiControl(IEffectBase* owner, int32_t x, int32_t y, int32_t paramIndex,
                      const IBitmapFrames& bitmap, int32_t direction, double gearing,
                      int32_t blendMethod = IBlend::kNormal);

    // Editor thread, no lock: the frame for the value through the graphics
    // core's DrawBitmapFrame; its result.
    bool Paint(IGraphicsCore* graphics) override;

    const IBitmapFrames& Bitmap() const { return bitmap; }

protected:
    IBitmapFrames bitmap;
};
