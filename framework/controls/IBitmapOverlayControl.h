#pragma once

#include "ISwitchControl.h"

// A panel that opens over the editor. Closed (value below 0.5) it paints
// nothing and only its small overlay target rectangle is hit, so a press
// there opens it; open it paints its bitmap and its whole rectangle is hit,
// so the next press anywhere on it closes it.
class IBitmapOverlayControl : public ISwitchControl
{
public:
    // Bound to no parameter, blend method 0.
    IBitmapOverlayControl(IEffectBase* owner, int32_t x, int32_t y, const IBitmapFrames& bitmap,
                          const IRegion& overlayTargetRect);
    // The same, bound to paramIndex.
    IBitmapOverlayControl(IEffectBase* owner, int32_t x, int32_t y, int32_t paramIndex,
                          const IBitmapFrames& bitmap, const IRegion& overlayTargetRect);

    // Editor thread, no lock: switches the hit rectangle for the state it
    // shows, then paints the frame when open; true when closed.
    bool Paint(IGraphicsCore* graphics) override;

    const IRegion& OverlayTargetRect() const { return overlayTargetRect; }

protected:
    IRegion overlayTargetRect;
};
