#include "IKnobMultiControl.h"

#include "IBitmapControl.h"

IKnobMultiControl::IKnobMultiControl(IEffectBase* owningPlugIn, int32_t x, int32_t y, int32_t param,
                                     const IBitmapFrames& frames, int32_t dragDirection,
                                     double dragGearing, int32_t blendMethod)
    : IKnobControl(owningPlugIn, x, y, param, frames, dragDirection, dragGearing, blendMethod),
      bitmap(frames)
{
}

bool IKnobMultiControl::Paint(IGraphicsCore* graphics)
{
    return IBitmapControl::PaintFrame(graphics, bitmap, rect, value, blend);
}
