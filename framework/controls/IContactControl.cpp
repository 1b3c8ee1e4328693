#include "IContactControl.h"

IContactControl::IContactControl(IEffectBase* owningPlugIn, int32_t x, int32_t y, int32_t param,
                                 const IBitmapFrames& frames, int32_t blendMethod)
    : ISwitchControl(owningPlugIn, x, y, param, frames, blendMethod)
{
}

void IContactControl::HandleMouseUp(int32_t, int32_t, const IMouseKeys&)
{
    value = 0.0;
    MarkDirty(true);
}
