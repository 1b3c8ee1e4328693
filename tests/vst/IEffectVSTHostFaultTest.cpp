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
