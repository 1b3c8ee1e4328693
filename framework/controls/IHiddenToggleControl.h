#pragma once

#include "IControl.h"

// An invisible area bound to an on/off parameter: a press toggles it between
// 0 and 1. Used where another control (the footswitch) operates the
// parameter and this one only carries its value.
class IHiddenToggleControl : public IControl
{
public:
    IHiddenToggleControl(IEffectBase* owner, const IRegion& rect, int32_t paramIndex);

    // Editor thread, no lock: 1.0 below 0.5, else 0.0, pushed; either button.
    void HandleMouseDown(int32_t x, int32_t y, const IMouseKeys& keys) override;
    // Editor thread: paints nothing, true.
    bool Paint(IGraphicsCore* graphics) override;
};
