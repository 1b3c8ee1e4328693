#include "IContactControlNoDblClick.h"

IContactControlNoDblClick::IContactControlNoDblClick(IEffectBase* owningPlugIn, int32_t x,
                                                     int32_t y, int32_t param,
                                                     const IBitmapFrames& frames,
                                                     int32_t blendMethod)
    : IContactControl(owningPlugIn, x, y, param, frames, blendMethod)
{
    doubleClickAsPress = true;
}
