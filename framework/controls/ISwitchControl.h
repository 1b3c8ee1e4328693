#pragma once

#include "IBitmapControl.h"

// A bitmap strip that a press steps on by one frame, wrapping after the
// last: a two-frame switch alternates 0 and 1, a three-frame one runs 0, 0.5,
// 1, 0.
class ISwitchControl : public IBitmapControl
{
public:
    ISwitchControl(IEffectBase* owner, int32_t x, int32_t y, int32_t paramIndex,
                   const IBitmapFrames& bitmap, int32_t blendMethod);

    // Editor thread, no lock: steps by one frame and pushes; the right
    // button opens the value prompt instead and pushes the unchanged value.
    void HandleMouseDown(int32_t x, int32_t y, const IMouseKeys& keys) override;
};
