// Vorn-Kettle[Ge] as a host sees it, created through its entry point.

#include "PlugExample.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback hostCallback);

namespace
{

VstIntPtr VSTCALLBACK SilentHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

// One instance, made and closed as a host does.
struct Plug
{
    Plug()
        : e(VSTPluginMain(&SilentHost)), fx(static_cast<PlugExample*>(IEffectVST::FromAEffect(e)))
    {
    }
    ~Plug()
    {
        if (e)
        {
            Call(effClose);
        }
    }
    VstIntPtr Call(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                   float opt = 0.0f)
    {
        return e->dispatcher(e, opcode, index, value, ptr, opt);
    }
    std::string Text(VstInt32 opcode, VstInt32 index = 0)
    {
        char text[256] = {};
        Call(opcode, index, 0, text);
        return text;
    }
    double StoredLevel(int32_t slot)
    {
        double v = -1.0;
        fx->GetPreset(slot)->state.ReadAt(0, 8, &v);
        return v;
    }
    AEffect* e;
    PlugExample* fx;
};

TEST(PlugExample, IdentityAsTheHostReadsIt)
{
    Plug p;
    ASSERT_NE(p.e, nullptr);
    EXPECT_EQ(p.e->magic, kEffectMagic);
#ifdef _WIN32
    EXPECT_EQ(p.e->flags, 0x1019); // with its editor
#else
    EXPECT_EQ(p.e->flags, 0x1018); // no window system to show an editor in
#endif
    EXPECT_EQ(p.e->numPrograms, 16);
    EXPECT_EQ(p.e->numParams, 4);
    EXPECT_EQ(p.e->numInputs, 2);
    EXPECT_EQ(p.e->numOutputs, 2);
    EXPECT_EQ(p.e->initialDelay, 0);
    EXPECT_EQ(p.e->uniqueID, 0x71766b62); // 'qvkb'
    EXPECT_EQ(p.e->version, 20100);
    EXPECT_EQ(p.fx->VendorId(), 0x5175696c); // 'Quil'
    EXPECT_EQ(p.fx->VersionNumber(false), 0x20100);
    EXPECT_EQ(p.Text(effGetEffectName), "Vorn-Kettle[Ge]");
    EXPECT_EQ(p.Text(effGetVendorString), "Quillmark");
    EXPECT_EQ(p.Text(effGetProductString), "");
    EXPECT_EQ(p.Call(effGetPlugCategory), kPlugCategEffect);
    EXPECT_EQ(p.Call(effGetProgram), 0);
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_EQ(p.Text(effGetProgramNameIndexed, i), "Init") << i;
    }

    const char* names[4] = {"Level", "Attack", "Effect", "Cabinet"};
    const char* displays[4] = {"0.500", "0.500", "On", "On"};
    const float values[4] = {0.5f, 0.5f, 1.0f, 1.0f};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(p.Text(effGetParamName, i), names[i]);
        EXPECT_EQ(p.Text(effGetParamLabel, i), "");
        EXPECT_EQ(p.Text(effGetParamDisplay, i), displays[i]);
        EXPECT_EQ(p.e->getParameter(p.e, i), values[i]);
        EXPECT_EQ(p.Call(effCanBeAutomated, i), 1);
    }
    p.e->setParameter(p.e, PlugExample::kEffect, 0.0f);
    EXPECT_EQ(p.Text(effGetParamDisplay, PlugExample::kEffect), "Off");
    p.e->setParameter(p.e, PlugExample::kLevel, 0.25f);
    EXPECT_EQ(p.Text(effGetParamDisplay, PlugExample::kLevel), "0.250");
}

TEST(PlugExample, CapabilitiesAndPins)
{
    Plug p;
    EXPECT_EQ(p.Call(effCanDo, 0, 0, const_cast<char*>("receiveVstMidiEvent")), 0);
    EXPECT_EQ(p.Call(effCanDo, 0, 0, const_cast<char*>("receiveVstTimeInfo")), 1);
    EXPECT_EQ(p.Call(effCanDo, 0, 0, const_cast<char*>("hasCockosExtensions")),
              static_cast<VstIntPtr>(0xbeef0000u));
    VstPinProperties pin = {};
    ASSERT_EQ(p.Call(effGetInputProperties, 0, 0, &pin), 1);
    EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
    EXPECT_STREQ(pin.label, "Input 1");
    ASSERT_EQ(p.Call(effGetOutputProperties, 1, 0, &pin), 1);
    EXPECT_EQ(pin.flags, kVstPinIsActive);
    EXPECT_STREQ(pin.label, "Output 2");
    EXPECT_EQ(p.Call(effGetInputProperties, 2, 0, &pin), 0);
}

TEST(PlugExample, ProgramChangesStoreTheProgramLeft)
{
    // Slot 0 is defined with Level 1.0, but the current values are the
    // defaults, and the first switch stores them over it.
    Plug p;
    EXPECT_EQ(p.StoredLevel(0), 1.0);
    EXPECT_EQ(p.StoredLevel(5), 0.5);
    double stored[4] = {};
    for (int i = 0; i < 4; ++i)
    {
        p.fx->GetPreset(0)->state.ReadAt(8 * i, 8, &stored[i]);
    }
    EXPECT_EQ(stored[1], 0.5);
    EXPECT_EQ(stored[2], 1.0); // given as an int
    EXPECT_EQ(stored[3], 1.0);
    p.Call(effSetProgram, 0, 0);
    EXPECT_EQ(p.e->getParameter(p.e, PlugExample::kLevel), 0.5f);
    EXPECT_EQ(p.StoredLevel(0), 0.5);

    Plug q;
    q.Call(effSetProgram, 0, 5);
    EXPECT_EQ(q.Call(effGetProgram), 5);
    EXPECT_EQ(q.e->getParameter(q.e, PlugExample::kLevel), 0.5f);
    EXPECT_EQ(q.StoredLevel(0), 0.5);
}

TEST(PlugExample, ChunkIsFortyBytesWithHeader)
{
    Plug p;
    p.e->setParameter(p.e, PlugExample::kAttack, 0.75f);
    for (VstInt32 kind : {0, 1})
    {
        void* data = nullptr;
        ASSERT_EQ(p.Call(effGetChunk, kind, 0, &data), 40);
        const unsigned char* b = static_cast<const unsigned char*>(data);
        const unsigned char header[8] = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
        EXPECT_EQ(std::memcmp(b, header, 8), 0);
        double v[4];
        std::memcpy(v, b + 8, sizeof(v));
        EXPECT_EQ(v[0], 0.5);
        EXPECT_EQ(v[1], 0.75);
        EXPECT_EQ(v[2], 1.0);
        EXPECT_EQ(v[3], 1.0);
    }
}

TEST(PlugExample, ParametersReachTheSignalPath)
{
    Plug p;
    // Nothing is derived before the host opens the effect.
    EXPECT_EQ(p.fx->OutputGain(), 0.0);
    EXPECT_FALSE(p.fx->EffectOn());
    p.Call(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    EXPECT_EQ(p.fx->CurrentRate(), 48000.0);
    p.Call(effOpen);
    EXPECT_EQ(p.fx->OutputGain(), 2.0);
    EXPECT_EQ(p.fx->Attack(), 0.5);
    EXPECT_EQ(p.fx->Drive(), 2.5);
    EXPECT_TRUE(p.fx->EffectOn());
    EXPECT_TRUE(p.fx->CabinetOn());

    p.e->setParameter(p.e, PlugExample::kLevel, 1.0f);
    p.e->setParameter(p.e, PlugExample::kAttack, 0.2f);
    p.e->setParameter(p.e, PlugExample::kEffect, 0.2f);
    p.e->setParameter(p.e, PlugExample::kCabinet, 0.0f);
    EXPECT_EQ(p.fx->OutputGain(), 4.0);
    EXPECT_DOUBLE_EQ(p.fx->Drive(), static_cast<double>(0.2f) * 5.0);
    EXPECT_FALSE(p.fx->EffectOn());
    EXPECT_FALSE(p.fx->CabinetOn());

    // Switch values from a state are truncated: 0.7 is still Off.
    unsigned char chunk[40];
    const int32_t header[2] = {0x70666674, 0x00010000};
    const double values[4] = {0.5, 0.5, 1.0, 0.7};
    std::memcpy(chunk, header, 8);
    std::memcpy(chunk + 8, values, 32);
    p.e->setParameter(p.e, PlugExample::kCabinet, 1.0f);
    ASSERT_EQ(p.Call(effSetChunk, 1, sizeof(chunk), chunk), 1);
    EXPECT_TRUE(p.fx->EffectOn());
    EXPECT_FALSE(p.fx->CabinetOn());
    EXPECT_EQ(p.fx->OutputGain(), 2.0);
}

TEST(PlugExampleEntry, TwoThreadsCreateAtOnce)
{
    AEffect* made[2] = {};
    std::thread a([&] { made[0] = VSTPluginMain(&SilentHost); });
    std::thread b([&] { made[1] = VSTPluginMain(&SilentHost); });
    a.join();
    b.join();
    ASSERT_NE(made[0], nullptr);
    ASSERT_NE(made[1], nullptr);
    EXPECT_NE(made[0], made[1]);
    made[0]->setParameter(made[0], PlugExample::kLevel, 0.125f);
    EXPECT_EQ(made[1]->getParameter(made[1], PlugExample::kLevel), 0.5f);
    for (AEffect* e : made)
    {
        EXPECT_EQ(e->numPrograms, 16);
        e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
    }
}

} // namespace
