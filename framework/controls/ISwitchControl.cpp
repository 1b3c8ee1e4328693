#include "ISwitchControl.h"

namespace
{
// Steps of 1 / (n - 1) added up do not always meet 1.0 exactly: the last
// step of a strip can land a rounding error above it. The tolerance keeps
// such a step on the last frame instead of wrapping one frame early.
constexpr double kWrapAbove = 1.001;
} // namespace

ISwitchControl::ISwitchControl(IEffectBase* owningPlugIn, int32_t x, int32_t y, int32_t param,
                               const IBitmapFrames& frames, int32_t blendMethod)
    : IBitmapControl(owningPlugIn, x, y, param, frames, blendMethod)
{
}

void ISwitchControl::HandleMouseDown(int32_t, int32_t, const IMouseKeys& keys)
{
    if (keys.right)
    {
        OpenValuePrompt();
    }
    else
    {
        const int32_t n = bitmap.frameCount;
        value += n > 1 ? 1.0 / (n - 1) : 1.0;
    }
    if (!(value <= kWrapAbove))
    {
        value = 0.0;
    }
    MarkDirty(true);
}
