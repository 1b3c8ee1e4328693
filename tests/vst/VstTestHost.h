#pragma once

// A scripted host and a small effect on the VST 2 binding, shared by the
// binding's tests.

#include "IEffectVST.h"

#include <cstring>
#include <string>
#include <vector>

struct HostCall
{
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
};

// What the host answers and what it was asked. One host per test.
struct FakeHost
{
    std::vector<HostCall> calls;
    std::string product;
    VstIntPtr vendorVersion = 0;
    bool giveTime = false;
    VstTimeInfo time = {};
    VstIntPtr eventsAnswer = 1;
    std::vector<VstMidiEvent> midiReceived;
    std::vector<VstInt32> eventTypesReceived;

    static FakeHost*& Current()
    {
        static FakeHost* current = nullptr;
        return current;
    }
    FakeHost() { Current() = this; }
    ~FakeHost() { Current() = nullptr; }

    int Count(VstInt32 opcode) const
    {
        int n = 0;
        for (const HostCall& c : calls)
        {
            n += c.opcode == opcode ? 1 : 0;
        }
        return n;
    }

    static VstIntPtr VSTCALLBACK Callback(AEffect*, VstInt32 opcode, VstInt32 index,
                                          VstIntPtr value, void* ptr, float opt)
    {
        FakeHost* host = Current();
        if (!host)
        {
            return 0;
        }
        host->calls.push_back({opcode, index, value, opt});
        switch (opcode)
        {
        case audioMasterGetProductString:
            std::strncpy(static_cast<char*>(ptr), host->product.c_str(), 63);
            return host->product.empty() ? 0 : 1;
        case audioMasterGetVendorVersion:
            return host->vendorVersion;
        case audioMasterGetTime:
            return host->giveTime ? reinterpret_cast<VstIntPtr>(&host->time) : 0;
        case audioMasterProcessEvents:
        {
            const VstEvents* list = static_cast<const VstEvents*>(ptr);
            for (VstInt32 i = 0; i < list->numEvents; ++i)
            {
                host->eventTypesReceived.push_back(list->events[i]->type);
                if (list->events[i]->type == kVstMidiType)
                {
                    host->midiReceived.push_back(
                        *reinterpret_cast<const VstMidiEvent*>(list->events[i]));
                }
            }
            return host->eventsAnswer;
        }
        default:
            return 0;
        }
    }
};

// An editor that only remembers what it was told.
class FakeEditor : public IGraphicsCore
{
public:
    FakeEditor(int w, int h, bool* destroyed = nullptr) : w(w), h(h), destroyed(destroyed) {}
    ~FakeEditor() override
    {
        if (destroyed)
        {
            *destroyed = true;
        }
    }
    void PushParameterValue(int, double, bool) override {}
    void CreateBackBuffer() override {}
    int Width() const override { return w; }
    int Height() const override { return h; }
    void* CreateEditorWindow(void* parent) override
    {
        windowOpen = parent != nullptr;
        return windowOpen ? this : nullptr;
    }
    void DestroyEditorWindow() override { windowOpen = false; }

    bool windowOpen = false;

private:
    int w;
    int h;
    bool* destroyed;
};

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

// Owns a TestEffect the way a host does: created with new, ended by effClose.
struct Instance
{
    explicit Instance(TestEffect::Options o = TestEffect::Options())
        : fx(new TestEffect(o)), e(fx->GetAEffect())
    {
    }
    ~Instance()
    {
        if (e)
        {
            e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
        }
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;
    TestEffect* operator->() { return fx; }

    TestEffect* fx;
    AEffect* e;
};
