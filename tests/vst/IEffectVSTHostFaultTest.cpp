// Faults a hostile host finds, each reproduced through the binding: the
// effect made by its entry point for the first two, the event list for the
// third.

#include "PlugExample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback hostCallback);

namespace
{

// MIDI events the plug-in sent back through audioMasterProcessEvents.
std::vector<VstMidiEvent>& EventsSentBack()
{
    static std::vector<VstMidiEvent> events;
    return events;
}

VstIntPtr VSTCALLBACK RecordingHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr,
                                    float)
{
    if (opcode == audioMasterProcessEvents && ptr != nullptr)
    {
        const VstEvents* list = static_cast<const VstEvents*>(ptr);
        for (VstInt32 i = 0; i < list->numEvents; ++i)
        {
            EventsSentBack().push_back(
                *reinterpret_cast<const VstMidiEvent*>(VstEventList(list)[i]));
        }
        return 1;
    }
    return opcode == audioMasterVersion ? 2400 : 0;
}

// The pedal as a host runs it: opened, 44100 Hz, 512 frames, resumed.
struct Pedal
{
    Pedal()
        : e(VSTPluginMain(&RecordingHost)),
          fx(static_cast<PlugExample*>(IEffectVST::FromAEffect(e)))
    {
        Call(effOpen);
        Call(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        Call(effSetBlockSize, 0, 512);
        Call(effMainsChanged, 0, 1);
    }
    ~Pedal() { Call(effClose); }
    Pedal(const Pedal&) = delete;
    Pedal& operator=(const Pedal&) = delete;
    VstIntPtr Call(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                   float opt = 0.0f)
    {
        return e->dispatcher(e, opcode, index, value, ptr, opt);
    }
    double Level() const { return fx->GetParam(PlugExample::kLevel)->Value(); }

    AEffect* e;
    PlugExample* fx;
};

TEST(HostFault, DisconnectedInputReadsSilenceNotItsLastBlock)
{
    Pedal p;
    p.e->setParameter(p.e, PlugExample::kEffect, 0.0f); // the sum of the inputs passes
    const int n = 512;
    std::vector<float> silence(n, 0.0f), sine(n), out0(n), out1(n);
    for (int i = 0; i < n; ++i)
    {
        sine[static_cast<size_t>(i)] = static_cast<float>(0.5 * std::sin(0.0627 * i));
    }
    sine[48] = std::numeric_limits<float>::quiet_NaN();
    float* in[2] = {silence.data(), sine.data()};
    float* out[2] = {out0.data(), out1.data()};
    p.e->processReplacing(p.e, in, out, n);
    ASSERT_TRUE(std::isnan(out0[48]));
    ASSERT_EQ(out1[100], sine[100]);

    // The host now feeds one input; input 2 is disconnected.
    VstSpeakerArrangement mono = {};
    mono.type = kSpeakerArrMono;
    mono.numChannels = 1;
    EXPECT_EQ(p.Call(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&mono), nullptr), 1);

    std::vector<double> dSilence(n, 0.0), dOut0(n), dOut1(n);
    double* dIn[1] = {dSilence.data()};
    double* dOut[2] = {dOut0.data(), dOut1.data()};
    const struct
    {
        const char* callback;
        std::function<void()> run;
    } blocks[] = {
        {"processReplacing", [&] { p.e->processReplacing(p.e, in, out, n); }},
        {"process", [&] { p.e->process(p.e, in, out, n); }},
        {"processDoubleReplacing", [&] { p.e->processDoubleReplacing(p.e, dIn, dOut, n); }},
    };
    for (const auto& block : blocks)
    {
        for (int repeat = 0; repeat < 3; ++repeat)
        {
            SCOPED_TRACE(block.callback);
            std::fill(out0.begin(), out0.end(), 0.0f);
            std::fill(out1.begin(), out1.end(), 0.0f);
            std::fill(dOut0.begin(), dOut0.end(), 1.0);
            std::fill(dOut1.begin(), dOut1.end(), 1.0);
            block.run();
            for (int i = 0; i < n; ++i)
            {
                const size_t k = static_cast<size_t>(i);
                const bool isDouble = block.callback[7] == 'D';
                ASSERT_EQ(isDouble ? dOut0[k] : out0[k], 0.0) << "frame " << i;
                ASSERT_EQ(isDouble ? dOut1[k] : out1[k], 0.0) << "frame " << i;
            }
        }
    }
}

// A normalised Level from every side a value arrives by; a value outside
// 0..1 becomes the nearest end of the range, one inside stays as it is.
TEST(HostFault, NormalisedValuesOutsideTheRangeAreClamped)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double kOpened = 0.5; // Level after opening
    struct Side
    {
        const char* name;
        std::function<void(Pedal&, double)> set;
        double nanGives; // what NaN leaves, as today
    };
    const Side sides[] = {
        {"host setParameter",
         [](Pedal& p, double x)
         { p.e->setParameter(p.e, PlugExample::kLevel, static_cast<float>(x)); },
         kOpened},
        {"editor", [](Pedal& p, double x) { p.fx->SetParameterFromGUI(PlugExample::kLevel, x); },
         kOpened},
        {"state chunk",
         [](Pedal& p, double x)
         {
             unsigned char chunk[40];
             const int32_t header[2] = {IEffectBase::kChunkMagic, IEffectBase::kChunkVersion};
             const double values[4] = {x, 0.5, 1.0, 1.0};
             std::memcpy(chunk, header, sizeof(header));
             std::memcpy(chunk + 8, values, sizeof(values));
             p.Call(effSetChunk, 1, sizeof(chunk), chunk);
         },
         0.0},
        {"program",
         [](Pedal& p, double x)
         {
             p.e->setParameter(p.e, PlugExample::kLevel, static_cast<float>(x));
             p.Call(effSetProgram, 0, 1); // stores program 0, loads 1
             p.Call(effSetProgram, 0, 0); // stores program 1, loads 0 back
         },
         kOpened},
    };
    const double values[] = {-inf, -1e30, -1e7, -1.0, -1e-300, 0.0, 0.25, 1.0, 1.5, 1e30, inf, nan};
    for (const Side& side : sides)
    {
        for (double x : values)
        {
            SCOPED_TRACE(std::string(side.name) + " " + std::to_string(x));
            Pedal p;
            side.set(p, x);
            const double expected = std::isnan(x) ? side.nanGives : std::clamp(x, 0.0, 1.0);
            EXPECT_EQ(p.Level(), expected);
            EXPECT_EQ(p.e->getParameter(p.e, PlugExample::kLevel), static_cast<float>(expected));
            EXPECT_EQ(p.fx->OutputGain(), 4.0 * expected);
        }
    }
}

// A host's event list holds numEvents pointers, however many the record
// declares; every event is delivered, in order. Reading the declared array
// past its two slots is undefined: clang's UndefinedBehaviorSanitizer reports
// it (index 2 out of bounds), and the host fuzzer feeds such lists to it.
TEST(HostFault, EveryEventOfALongListArrives)
{
    for (int count : {1, 2, 3, 9})
    {
        SCOPED_TRACE(count);
        Pedal p;
        EventsSentBack().clear();
        std::vector<VstMidiEvent> notes(static_cast<size_t>(count));
        // Allocated as a host does: the header, then exactly count pointers
        // (at least the two the record declares).
        const size_t bytes =
            std::max(sizeof(VstEvents), offsetof(VstEvents, events) + count * sizeof(VstEvent*));
        VstEvents* list = static_cast<VstEvents*>(std::calloc(1, bytes));
        ASSERT_NE(list, nullptr);
        list->numEvents = count;
        VstEvent** slots = reinterpret_cast<VstEvent**>(reinterpret_cast<char*>(list) +
                                                        offsetof(VstEvents, events));
        for (int k = 0; k < count; ++k)
        {
            VstMidiEvent& note = notes[static_cast<size_t>(k)];
            note.type = kVstMidiType;
            note.byteSize = sizeof(VstMidiEvent);
            note.deltaFrames = 10 * k;
            note.midiData[0] = static_cast<char>(0x90);
            note.midiData[1] = static_cast<char>(60 + k);
            note.midiData[2] = 100;
            slots[k] = reinterpret_cast<VstEvent*>(&note);
        }
        EXPECT_EQ(p.Call(effProcessEvents, 0, 0, list), 1);
        std::free(list);
        ASSERT_EQ(EventsSentBack().size(), static_cast<size_t>(count));
        for (int k = 0; k < count; ++k)
        {
            EXPECT_EQ(EventsSentBack()[static_cast<size_t>(k)].deltaFrames, 10 * k);
            EXPECT_EQ(EventsSentBack()[static_cast<size_t>(k)].midiData[1], 60 + k);
        }
    }
}

} // namespace
