#include "IBitmapOverlayControl.h"

IBitmapOverlayControl::IBitmapOverlayControl(IEffectBase* owningPlugIn, int32_t x, int32_t y,
                                             const IBitmapFrames& frames,
                                             const IRegion& overlayTarget)
    : IBitmapOverlayControl(owningPlugIn, x, y, -1, frames, overlayTarget)
{
}

IBitmapOverlayControl::IBitmapOverlayControl(IEffectBase* owningPlugIn, int32_t x, int32_t y,
                                             int32_t param, const IBitmapFrames& frames,
                                             const IRegion& overlayTarget)
    : ISwitchControl(owningPlugIn, x, y, param, frames, IBlend::kNormal),
      overlayTargetRect(overlayTarget)
{
}

bool IBitmapOverlayControl::Paint(IGraphicsCore* graphics)
{
    // The hit area follows what was last shown, so it changes here and not
    // on the press: a press that opens the panel does not make the rest of
    // it live until the user can see it.
    if (!(value >= 0.5))
    {
        targetRect = overlayTargetRect;
        return true;
    }
    targetRect = rect;
    return IBitmapControl::Paint(graphics);
}
