#pragma once

#include "ISwitchControl.h"

// A momentary switch: a press steps it like a switch, the release sets it
// back to 0.
class IContactControl : public ISwitchControl
{
public:
    IContactControl(IEffectBase* owner, int32_t x, int32_t y, int32_t paramIndex,
                    const IBitmapFrames& bitmap, int32_t blendMethod);

    // Editor thread, no lock: value 0.0, pushed.
    void HandleMouseUp(int32_t x, int32_t y, const IMouseKeys& keys) override;
};
