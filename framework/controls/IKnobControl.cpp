#include "IKnobControl.h"

#include "IBitmapControl.h"

IKnobControl::IKnobControl(IEffectBase* owningPlugIn, int32_t x, int32_t y, int32_t param,
                           const IBitmapFrames& frames, int32_t dragDirection, double dragGearing,
                           int32_t blendMethod)
    : IControl(owningPlugIn, IBitmapControl::FrameRect(x, y, frames), param),
      direction(dragDirection), gearing(dragGearing)
{
    promptDisabled = false;
    blend = IBlend{blendMethod, 1.0f};
}

void IKnobControl::HandleMouseDrag(int32_t, int32_t, int32_t dx, int32_t dy, const IMouseKeys& keys)
{
    double g = gearing;
    if (keys.shift || keys.control)
    {
        g *= 0.1;
    }
    const bool vertical = direction == 0;
    // Screen y grows downwards, so the vertical extent is negative and an
    // upward drag (negative dy) raises the value.
    const double extent = vertical ? static_cast<double>(rect.top) - rect.bottom
                                   : static_cast<double>(rect.right) - rect.left;
    // A knob without extent or gearing has no travel to map; its value stays.
    if (extent == 0.0 || !(g != 0.0))
    {
        return;
    }
    value += (vertical ? dy : dx) / extent / g;
    MarkDirty(true);
}
