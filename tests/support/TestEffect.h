#pragma once

#include "FakeHost.h"
#include "IEffectBase.h"
#include "IEffectVST.h"

#include <string>
#include <vector>

// How a TestEffect is built. With demoParameters the effect has three
// parameters (continuous "Gain" in dB, enumerated "Mode" Off/On, continuous
// "Mix") and eight programs ("First", then seven "Other"); without, nParams
// parameters and nPresets presets are left as the base creates them, for
// tests of the plug-in base itself.
struct TestEffectOptions
{
    const char* io = "1-1 2-2";
    bool midi = false;
    bool chunks = false;
    bool instrument = false;
    const char* name = "Test Effect";
    const char* paramName = "Gain";
    bool demoParameters = true;
    int nParams = 3;
    int nPresets = 8;
    const char* product = "Test Product";
    const char* vendor = "Test Vendor";
    int32_t version = 0x10203;
    int32_t uniqueId = 0x74657374;
    int32_t vendorId = 0x56656e64;
};

// The recording plug-in of the tests, on the plug-in base alone or behind the
// VST 2 binding (Base), built from Options. Records the order of its handler
// calls (log), the parameter changes (changes) and the automation it reports
// (automated); its ProcessBlock is the framework's pass-through.
template <class Base> class RecordingEffect : public Base
{
public:
    using Options = TestEffectOptions;

    // A bare plug-in base: nParams uninitialised parameters, nPresets empty
    // presets, the pedal's identity.
    static Options Bare(int nParams = 4, const char* io = "1-1 2-2", int nPresets = 16)
    {
        Options o;
        o.demoParameters = false;
        o.nParams = nParams;
        o.io = io;
        o.nPresets = nPresets;
        o.name = "Vorn-Kettle[Ge]";
        o.product = "";
        o.vendor = "Quillmark";
        o.version = 0x20100;
        o.uniqueId = 0x71766b62;
        o.vendorId = 0x5175696c;
        return o;
    }

    // The four parameters of the pedal: two continuous, two Off/On.
    void InitPedalParameters()
    {
        this->GetParam(0)->InitContinuous("Level", 0.5, 0.0, 1.0, 0.001);
        this->GetParam(1)->InitContinuous("Attack", 0.5, 0.0, 1.0, 0.001);
        for (int i = 2; i < 4; ++i)
        {
            this->GetParam(i)->InitEnumerated(i == 2 ? "Effect" : "Cabinet", 1, 2);
            this->GetParam(i)->AddDisplayText(0, "Off");
            this->GetParam(i)->AddDisplayText(1, "On");
        }
    }

    void HandleReset() override
    {
        Base::HandleReset();
        log.push_back("reset");
    }
    void HandleActivate(bool active) override
    {
        Base::HandleActivate(active);
        log.push_back(active ? "on" : "off");
    }
    void HandleParameterChange(int32_t i) override
    {
        Base::HandleParameterChange(i);
        log.push_back("p" + std::to_string(i));
        changes.push_back(i);
    }
    void AutomateParameter(int32_t paramIndex, double normalizedValue) override
    {
        automated.push_back({paramIndex, normalizedValue});
        Base::AutomateParameter(paramIndex, normalizedValue);
    }
    // The framework's pass-through, plus a read of what automation writes,
    // so a block that is not serialised with setParameter is a data race.
    void ProcessBlock(double** inputs, double** outputs, int32_t nFrames) override
    {
        Base::ProcessBlock(inputs, outputs, nFrames);
        lastBlockGain = this->GetParam(0) != nullptr ? this->GetParam(0)->Value() : 0.0;
    }
    double Value(int32_t i) { return this->GetParam(i)->Value(); }

    struct Automation
    {
        int index;
        double value;
    };
    std::vector<std::string> log;
    std::vector<int> changes;
    std::vector<Automation> automated;
    double lastBlockGain = -1.0;

protected:
    // hostArgs come first in Base's constructor (the binding's host
    // callback); the rest is common to both.
    template <class... HostArgs>
    RecordingEffect(const Options& o, HostArgs... hostArgs)
        : Base(hostArgs..., o.nParams, o.io, o.nPresets, o.name, o.product, o.vendor, o.version,
               o.uniqueId, o.vendorId, 0, o.midi, o.chunks, o.instrument)
    {
        if (o.demoParameters)
        {
            this->GetParam(0)->InitContinuous(o.paramName, 0.5, 0.0, 1.0, 0.001, "dB");
            this->GetParam(1)->InitEnumerated("Mode", 1, 2);
            this->GetParam(1)->AddDisplayText(0, "Off");
            this->GetParam(1)->AddDisplayText(1, "On");
            this->GetParam(2)->InitContinuous("Mix", 0.25, 0.0, 1.0, 0.01, "%");
            this->DefinePreset("First", 0.75, 0, 0.5);
            this->FillPresetsFromCurrent("Other", 7);
        }
    }
};

// The recording plug-in behind the VST 2 binding and the scripted host.
class TestEffect : public RecordingEffect<IEffectVST>
{
public:
    explicit TestEffect(Options o = Options()) : RecordingEffect(o, &FakeHost::Callback) {}

    VstIntPtr Call(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                   float opt = 0.0f)
    {
        return effect.dispatcher(&effect, opcode, index, value, ptr, opt);
    }
};

// The recording plug-in on the plug-in base alone, for the base's own tests.
class TestBaseEffect : public RecordingEffect<IEffectBase>
{
public:
    explicit TestBaseEffect(Options o = Bare()) : RecordingEffect(o) {}
};
