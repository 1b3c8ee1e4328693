#pragma once

#include "IControl.h"

// A control whose value follows mouse drags: vertical (direction 0, up
// raises it) or horizontal (any other direction, right raises it). With
// gearing g, dragging the control's own height (or width) times g sweeps
// the whole range; shift or control makes the same travel go ten times as
// far.
class IKnobControl : public IControl
{
public:
    // rect is one frame of bitmap at (x, y); the knob itself keeps no bitmap.
    IKnobControl(IEffectBase* owner, int32_t x, int32_t y, int32_t paramIndex,
                 const IBitmapFrames& bitmap, int32_t direction, double gearing,
                 int32_t blendMethod);

    // Editor thread, no lock: moves the value by the drag and pushes it.
    void HandleMouseDrag(int32_t x, int32_t y, int32_t dx, int32_t dy,
                         const IMouseKeys& keys) override;

    int32_t Direction() const { return direction; }
    double Gearing() const { return gearing; }

protected:
    int32_t direction;
    double gearing;
};
