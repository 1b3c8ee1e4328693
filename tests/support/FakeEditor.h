#pragma once

#include "IEffectBase.h"
#include "controls/IControl.h"
#include "graphics/IGraphicsCore.h"

#include <vector>

// An editor that only remembers what it was told: how often its back buffer
// was made, whether its window is open, when it is destroyed, and every
// value the plug-in side delivered to its controls, one recording control
// per parameter index 0..recordedParams-1 (values arrive normalised).
class FakeEditor : public IGraphicsCore
{
public:
    struct Push
    {
        int index;
        double value;
    };

    explicit FakeEditor(IEffectBase* plugIn = nullptr, int w = 213, int h = 326,
                        bool* destroyedFlag = nullptr, int recordedParams = 4)
        : IGraphicsCore(plugIn, w, h, 0), destroyed(destroyedFlag)
    {
        for (int i = 0; i < recordedParams; ++i)
        {
            AddControl(new RecordingControl(plugIn, i, pushes));
        }
    }
    ~FakeEditor() override
    {
        if (destroyed != nullptr)
        {
            *destroyed = true;
        }
    }
    void CreateBackBuffer() override { ++backBuffers; }
    void* CreateEditorWindow(void* parent) override
    {
        windowOpen = parent != nullptr;
        return windowOpen ? this : nullptr;
    }
    void DestroyEditorWindow() override { windowOpen = false; }
    void* NativeWindow() override { return windowOpen ? this : nullptr; }

    std::vector<Push> pushes;
    int backBuffers = 0;
    bool windowOpen = false;

private:
    class RecordingControl : public IControl
    {
    public:
        RecordingControl(IEffectBase* plugIn, int index, std::vector<Push>& log)
            : IControl(plugIn, IRegion(0, 0, 1, 1), index), record(log)
        {
        }
        bool Paint(IGraphicsCore*) override { return true; }
        void SetValueFromPlugIn(double v) override
        {
            record.push_back({ParamIndex(), v});
            IControl::SetValueFromPlugIn(v);
        }

    private:
        std::vector<Push>& record;
    };

    bool* destroyed;
};
