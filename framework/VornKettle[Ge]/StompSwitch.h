#pragma once

#include "controls/IObserverInterface.h"
#include "graphics/IGraphicsRecords.h"

#include <cstdint>

class IContactControlNoDblClick;
class IEffectBase;
class IGraphicsCore;
class IHiddenToggleControl;

// The footswitch logic: a momentary contact on the face, watched from the
// editor's redraw checks, that flips "Effect" through the hidden toggle
// control bound to it, once for each press it sees. The toggle carries the
// parameter's value (the host may have changed it meanwhile), so every
// press flips from the current state.
class StompSwitch : public IObserverInterface
{
public:
    // Creates the contact control at (x, y) from bitmap, adds it to editor
    // and observes it. Plug-in lock held or no host yet (the layout). A null
    // editor leaves the switch without a contact: it never flips anything.
    StompSwitch(IEffectBase* effect, IGraphicsCore* editor, int32_t x, int32_t y,
                const IBitmapFrames& bitmap, IHiddenToggleControl* toggle);
    StompSwitch(const StompSwitch&) = delete;
    StompSwitch& operator=(const StompSwitch&) = delete;

    // Editor thread, at a redraw check after the contact changed; no lock of
    // its own (the flip takes the plug-in lock through the toggle's push).
    // A press seen after a release flips the toggle.
    void Update() override;
    // Nothing to release: the editor owns the contact control.
    ~StompSwitch() override = default;

    IContactControlNoDblClick* Contact() const { return contactControl; }
    IHiddenToggleControl* Toggle() const { return toggleControl; }

private:
    double lastContactValue = 0.0;
    IHiddenToggleControl* toggleControl;
    IContactControlNoDblClick* contactControl = nullptr;
};
