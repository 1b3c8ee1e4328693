#pragma once

#include "IEffectBase.h"
#include "IGraphicsCore.h"

#include <string>
#include <vector>

// Editor stand-in that records what the plug-in base tells it.
class RecordingEditor : public IGraphicsCore
{
public:
    struct Push
    {
        int index;
        double value;
        bool isNormalized;
    };

    explicit RecordingEditor(bool* destroyedFlag = nullptr) : destroyed(destroyedFlag) {}
    ~RecordingEditor() override
    {
        if (destroyed != nullptr)
        {
            *destroyed = true;
        }
    }
    void PushParameterValue(int paramIndex, double value, bool isNormalized) override
    {
        pushes.push_back({paramIndex, value, isNormalized});
    }
    void CreateBackBuffer() override { ++backBuffers; }
    int Width() const override { return 213; }
    int Height() const override { return 326; }
    void* CreateEditorWindow(void*) override { return nullptr; }
    void DestroyEditorWindow() override {}

    std::vector<Push> pushes;
    int backBuffers = 0;
    bool* destroyed;
};

// Plug-in that records the handler and host calls the base makes.
class TestEffect : public IEffectBase
{
public:
    explicit TestEffect(int nParams = 4, const char* channels = "1-1 2-2", int nPresets = 16)
        : IEffectBase(nParams, channels, nPresets, "Vorn-Kettle[Ge]", "", "Quillmark", 0x20100,
                      0x71766b62, 0x5175696c, 0, false, false, false)
    {
    }

    // The four parameters of the pedal: two continuous, two Off/On.
    void InitPedalParameters()
    {
        GetParam(0)->InitContinuous("Level", 0.5, 0.0, 1.0, 0.001);
        GetParam(1)->InitContinuous("Attack", 0.5, 0.0, 1.0, 0.001);
        for (int i = 2; i < 4; ++i)
        {
            GetParam(i)->InitEnumerated(i == 2 ? "Effect" : "Cabinet", 1, 2);
            GetParam(i)->AddDisplayText(0, "Off");
            GetParam(i)->AddDisplayText(1, "On");
        }
    }

    void HandleParameterChange(int32_t paramIndex) override
    {
        IEffectBase::HandleParameterChange(paramIndex);
        changes.push_back(paramIndex);
    }
    void AutomateParameter(int32_t paramIndex, double normalizedValue) override
    {
        automated.push_back({paramIndex, normalizedValue});
    }

    struct Automation
    {
        int index;
        double value;
    };
    std::vector<int> changes;
    std::vector<Automation> automated;
};
