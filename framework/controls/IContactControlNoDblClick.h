#pragma once

#include "IContactControl.h"

// A momentary switch for which a quick second click is a second press, not
// a double click: the graphics core delivers the double click to
// HandleMouseDown.
class IContactControlNoDblClick : public IContactControl
{
public:
    IContactControlNoDblClick(IEffectBase* owner, int32_t x, int32_t y, int32_t paramIndex,
                              const IBitmapFrames& bitmap, int32_t blendMethod);
};
