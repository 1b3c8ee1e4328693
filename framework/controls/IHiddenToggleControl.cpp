#include "IHiddenToggleControl.h"

IHiddenToggleControl::IHiddenToggleControl(IEffectBase* owningPlugIn, const IRegion& r,
                                           int32_t param)
    : IControl(owningPlugIn, r, param)
{
}

void IHiddenToggleControl::HandleMouseDown(int32_t, int32_t, const IMouseKeys&)
{
    value = value < 0.5 ? 1.0 : 0.0;
    MarkDirty(true);
}

bool IHiddenToggleControl::Paint(IGraphicsCore*)
{
    return true;
}
