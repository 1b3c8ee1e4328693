#pragma once

#include "FakeHost.h"
#include "IEffectVST.h"

#include <string>
#include <vector>

// How a TestEffect is built.
struct TestEffectOptions
{
    const char* io = "1-1 2-2";
    bool midi = false;
    bool chunks = false;
    bool instrument = false;
    const char* name = "Test Effect";
    const char* paramName = "Gain";
};

// Three parameters (continuous, enumerated, continuous), eight programs and
// a pass-through ProcessBlock; records the order of its handler calls.
class TestEffect : public IEffectVST
{
public:
    using Options = TestEffectOptions;
    explicit TestEffect(Options o = Options())
        : IEffectVST(&FakeHost::Callback, 3, o.io, 8, o.name, "Test Product", "Test Vendor",
                     0x10203, 0x74657374, 0x56656e64, 0, o.midi, o.chunks, o.instrument)
    {
        GetParam(0)->InitContinuous(o.paramName, 0.5, 0.0, 1.0, 0.001, "dB");
        GetParam(1)->InitEnumerated("Mode", 1, 2);
        GetParam(1)->AddDisplayText(0, "Off");
        GetParam(1)->AddDisplayText(1, "On");
        GetParam(2)->InitContinuous("Mix", 0.25, 0.0, 1.0, 0.01, "%");
        DefinePreset("First", 0.75, 0, 0.5);
        FillPresetsFromCurrent("Other", 7);
    }
    void HandleReset() override { log.push_back("reset"); }
    void HandleActivate(bool active) override { log.push_back(active ? "on" : "off"); }
    void HandleParameterChange(int32_t i) override { log.push_back("p" + std::to_string(i)); }
    // The framework's pass-through, plus a read of what automation writes,
    // so a block that is not serialised with setParameter is a data race.
    void ProcessBlock(double** inputs, double** outputs, int32_t nFrames) override
    {
        IEffectVST::ProcessBlock(inputs, outputs, nFrames);
        lastBlockGain = GetParam(0)->Value();
    }

    VstIntPtr Call(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                   float opt = 0.0f)
    {
        return effect.dispatcher(&effect, opcode, index, value, ptr, opt);
    }
    double Value(int32_t i) { return GetParam(i)->Value(); }

    std::vector<std::string> log;
    double lastBlockGain = -1.0;
};
