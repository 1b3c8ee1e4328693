#pragma once

#include "TestEffect.h"
#include "controls/IControl.h"
#include "controls/IKnobMultiControl.h"
#include "graphics/IGraphicsCore.h"

#include <string>
#include <vector>

// A graphics core that draws nothing and remembers what it was asked to do:
// every bitmap blit (DrawBitmapFrame ends in one), every presented region and
// every value prompt.
class RecordingGraphics : public IGraphicsCore
{
public:
    struct Blit
    {
        IRegion dest;
        int32_t srcY;
        int32_t method;
        float weight;
    };
    struct Prompt
    {
        IControl* control;
        const IParameter* parameter;
    };

    explicit RecordingGraphics(IEffectBase* plugIn = nullptr) : IGraphicsCore(plugIn, 213, 326, 0)
    {
    }

    bool BlitBitmap(const IBitmapFrames&, const IRegion& dest, int32_t, int32_t srcY,
                    const IBlend* blend) override
    {
        blits.push_back({dest, srcY, blend ? blend->method : 0, blend ? blend->weight : 1.0f});
        return true;
    }
    bool PresentRegion(const IRegion& region) override
    {
        presented.push_back(region);
        return true;
    }
    void ShowValuePrompt(IControl* control, const IParameter* parameter) override
    {
        prompts.push_back({control, parameter});
    }
    // Every resource has the pedal's background size.
    IBitmapFrames LoadResourceBitmap(int32_t, const char*, int32_t frameCount) override
    {
        return {nullptr, 213, 333, frameCount};
    }

    template <class C> C* Add(C* control)
    {
        AddControl(control);
        return control;
    }
    // One full tick as the window runs it: collect, then repaint what was
    // collected. Returns the region (empty when nothing was dirty).
    IRegion Tick()
    {
        IRegion region;
        if (CollectDirtyRegion(region))
        {
            RedrawRegion(region);
        }
        return region;
    }

    std::vector<Blit> blits;
    std::vector<IRegion> presented;
    std::vector<Prompt> prompts;
};

// The pedal's four parameters; gestures and automation are logged next to
// the parameter changes.
class GestureEffect : public TestEffect
{
public:
    GestureEffect() : TestEffect(Bare(4, "1-1 2-2", 4)) { InitPedalParameters(); }

    void BeginParameterGesture(int32_t i) override { log.push_back("begin" + std::to_string(i)); }
    void EndParameterGesture(int32_t i) override { log.push_back("end" + std::to_string(i)); }
    void AutomateParameter(int32_t i, double v) override
    {
        TestEffect::AutomateParameter(i, v);
        log.push_back("auto" + std::to_string(i));
    }
};

inline IBitmapFrames Strip(int32_t w, int32_t h, int32_t frames)
{
    return {nullptr, w, h, frames};
}
const IBitmapFrames kKnobStrip = Strip(65, 4225, 65);
const IBitmapFrames kTwoFrames = Strip(40, 80, 2);

constexpr IMouseKeys kLeft{true, false, false, false, false};
constexpr IMouseKeys kRight{false, true, false, false, false};
constexpr IMouseKeys kShift{true, false, true, false, false};
constexpr IMouseKeys kControl{true, false, false, true, false};
