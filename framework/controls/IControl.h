#pragma once

#include "ISubject.h"
#include "IMouseKeys.h"
#include "graphics/IGraphicsRecords.h"
#include "graphics/IRegion.h"

#include <atomic>
#include <cstdint>

class IEffectBase;
class IGraphicsCore;

// A rectangle of the editor, optionally bound to one plug-in parameter, that
// holds the parameter's normalised value, paints itself and turns mouse
// events into value changes pushed to the plug-in.
//
// Threads. Every operation runs on the editor thread without a lock, except
// SetValueFromPlugIn, which host threads call with the plug-in lock held.
// It does not touch the fields the editor thread paints from: it leaves the
// value in a lock-free inbox (and, for the very first delivery, makes it the
// double-click default), and the graphics core lets the control take it over
// with TakeDeliveredValue at its next editor-thread event. Taking it over has
// exactly the effects the plug-in side's delivery has always had: the value
// is stored and marked dirty without a push back, and painted in two
// successive ticks.
class IControl : public ISubject
{
public:
    IControl(IEffectBase* owner, const IRegion& rect, int32_t paramIndex);

    // --- Virtual operations, in slot order; editor thread, no lock ---

    // Frees the observer list; nothing else is owned.
    ~IControl() override;
    // Default: the right button opens the value prompt.
    virtual void HandleMouseDown(int32_t x, int32_t y, const IMouseKeys& keys);
    // Default: nothing.
    virtual void HandleMouseUp(int32_t x, int32_t y, const IMouseKeys& keys);
    // Default: nothing.
    virtual void HandleMouseDrag(int32_t x, int32_t y, int32_t dx, int32_t dy,
                                 const IMouseKeys& keys);
    // Default: restores defaultValue once one was delivered, and pushes it.
    virtual void HandleDoubleClick(int32_t x, int32_t y, const IMouseKeys& keys);
    // Default: 0.01 per notch, 0.001 with shift or control; pushes.
    virtual void HandleWheel(int32_t x, int32_t y, const IMouseKeys& keys, int32_t notches);
    // Default: nothing, false.
    virtual bool HandleKey(int32_t x, int32_t y, int32_t key);
    // Default: nothing.
    virtual void HandleMouseOver(int32_t x, int32_t y, const IMouseKeys& keys);
    // Default: nothing.
    virtual void HandleMouseOut();
    // Paints into graphics; no default.
    virtual bool Paint(IGraphicsCore* graphics) = 0;
    // A value from the plug-in side. Any thread, plug-in lock held: leaves v
    // in the inbox; see the class comment.
    virtual void SetValueFromPlugIn(double v);
    // Default: hidden = flag, redraw twice, MarkDirty (false).
    virtual void SetHidden(bool flag);
    // Default: greyed = flag, weight 0.25 or 1.0, MarkDirty (false).
    virtual void SetGreyed(bool flag);
    // Default: inside targetRect; never for an all-zero targetRect.
    virtual bool HitTest(int32_t x, int32_t y);
    // Default: clamps value (NaN becomes clampLow), marks dirty and changed,
    // and when push is set hands the value to the plug-in.
    virtual void MarkDirty(bool push);
    // Default: dirty = redrawAgain; redrawAgain = false.
    virtual void FinishDraw();
    // Default: dirty.
    virtual bool NeedsDraw();

    // --- Non-virtual, editor thread ---

    // A typed value committed in the prompt, or the footswitch logic.
    void SetValueFromPrompt(double v);
    // Asks the graphics core for the value prompt of the bound parameter.
    void OpenValuePrompt();
    // Takes over the latest value host threads delivered; true when there was
    // one. Called by the graphics core before every editor-thread event.
    bool TakeDeliveredValue();

    // The graphics object that owns this control, set by AddControl.
    void SetGraphics(IGraphicsCore* owningGraphics) { graphics = owningGraphics; }

    // --- Accessors ---

    const IRegion& Rect() const { return rect; }
    const IRegion& TargetRect() const { return targetRect; }
    void SetTargetRect(const IRegion& r) { targetRect = r; }
    int32_t ParamIndex() const { return paramIndex; }
    double Value() const { return value; }
    void SetValue(double v) { value = v; }
    double DefaultValue() const { return defaultValue.load(std::memory_order_acquire); }
    bool IsDirty() const { return dirty; }
    bool IsHidden() const { return hidden; }
    bool IsGreyed() const { return greyed; }
    bool RedrawAgain() const { return redrawAgain; }
    bool PromptDisabled() const { return promptDisabled; }
    void SetPromptDisabled(bool flag) { promptDisabled = flag; }
    bool DoubleClickAsPress() const { return doubleClickAsPress; }
    const IBlend& Blend() const { return blend; }
    void SetClamp(double low, double high)
    {
        clampLow = low;
        clampHigh = high;
    }

protected:
    IEffectBase* owner;
    IGraphicsCore* graphics = nullptr;
    IRegion rect;
    IRegion targetRect;
    int32_t paramIndex;
    double value = 0.0;
    // Written once by whichever thread delivers the first value, read by the
    // editor thread on a double click.
    std::atomic<double> defaultValue{-1.0};
    double clampLow = 0.0;
    double clampHigh = 1.0;
    bool dirty = true;
    bool hidden = false;
    bool greyed = false;
    bool redrawAgain = false;
    bool promptDisabled = true;
    bool doubleClickAsPress = false;
    IBlend blend{IBlend::kOpaque, 1.0f};

private:
    // The hand-over from host threads: the bits of the latest delivered
    // value, a count of deliveries, and whether the next take-over must mark
    // the control even when the value is unchanged (the first delivery).
    std::atomic<uint64_t> deliveredBits{0};
    std::atomic<uint32_t> deliveries{0};
    std::atomic<bool> deliveredFirst{false};
    uint32_t deliveriesTaken = 0;
};
