#include "FakeEditor.h"
#include "TestInstance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace
{

// A host buffer larger than promised, pre-filled so writes past the promised
// size show.
struct GuardedText
{
    static constexpr char kFill = 0x7f;
    GuardedText() { std::memset(bytes, kFill, sizeof(bytes)); }
    // Bytes written: the terminator's position + 1, checked to lie within size.
    int WrittenWithin(int size) const
    {
        for (int i = size; i < static_cast<int>(sizeof(bytes)); ++i)
        {
            if (bytes[i] != kFill)
            {
                return -1;
            }
        }
        const void* end = std::memchr(bytes, 0, static_cast<size_t>(size));
        return end ? static_cast<int>(static_cast<const char*>(end) - bytes) + 1 : -1;
    }
    char bytes[512];
};

TEST(VstRecord, FilledForTheHost)
{
    FakeHost host;
    TestInstance fx;
    EXPECT_EQ(fx.e->magic, 0x56737450);
    EXPECT_EQ(fx.e->flags, 0x1018);
    EXPECT_EQ(fx.e->numPrograms, 8);
    EXPECT_EQ(fx.e->numParams, 3);
    EXPECT_EQ(fx.e->numInputs, 2);
    EXPECT_EQ(fx.e->numOutputs, 2);
    EXPECT_EQ(fx.e->version, 10203);
    EXPECT_EQ(fx.e->ioRatio, 1.0f);
    EXPECT_EQ(fx.e->object, static_cast<void*>(fx.fx));
    EXPECT_EQ(IEffectVST::FromAEffect(fx.e), fx.fx);
    EXPECT_EQ(fx.fx->BlockSize(), 1024);
    // The padding after flags, read by hosts that take flags as
    // pointer-sized, and the reserved tail are zero.
    const unsigned char* raw = reinterpret_cast<const unsigned char*>(fx.e);
    for (size_t i = offsetof(AEffect, flags) + 4; i < offsetof(AEffect, resvd1); ++i)
    {
        EXPECT_EQ(raw[i], 0u);
    }
    for (size_t i = offsetof(AEffect, future); i < sizeof(AEffect); ++i)
    {
        EXPECT_EQ(raw[i], 0u);
    }

    TestEffect::Options o;
    o.io = "2-2";
    o.chunks = true;
    o.instrument = true;
    TestInstance other(o);
    EXPECT_EQ(other.e->flags, 0x1010 | 0x20 | 0x100); // no mono pair: no CanMono
}

TEST(VstRecord, AttachedEditorIsAnnounced)
{
    FakeHost host;
    TestInstance fx;
    ERect* rect = nullptr;
    EXPECT_EQ(fx->Call(effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(fx->Call(effEditOpen, 0, 0, &rect), 0);
    EXPECT_EQ(fx->Call(effEditClose), 0);
    fx->AttachEditor(nullptr);
    EXPECT_EQ(fx.e->flags, 0x1018);

    bool destroyed = false;
    FakeEditor* editor = new FakeEditor(fx.fx, 213, 326, &destroyed, 3);
    fx->AttachEditor(editor);
    EXPECT_EQ(fx.e->flags, 0x1019);
    ASSERT_EQ(fx->Call(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_EQ(rect, &fx->EditRect());
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->right, 213);
    EXPECT_EQ(rect->bottom, 326);
    int parent = 0;
    EXPECT_EQ(fx->Call(effEditOpen, 0, 0, &parent), 1);
    EXPECT_TRUE(editor->windowOpen);
    EXPECT_EQ(fx->Call(effEditClose), 1);
    EXPECT_FALSE(editor->windowOpen);
    EXPECT_EQ(fx->Call(effEditOpen, 0, 0, nullptr), 0); // the window could not be made
    fx.e->dispatcher(fx.e, effClose, 0, 0, nullptr, 0.0f);
    fx.e = nullptr;
    EXPECT_TRUE(destroyed);
}

TEST(VstDispatch, TextsNeverExceedTheHostsBuffers)
{
    FakeHost host;
    TestEffect::Options o;
    o.name = "An effect name far longer than thirty-two characters";
    o.paramName = "A parameter name of 31 letters";
    TestInstance fx(o);

    struct Case
    {
        VstInt32 opcode;
        VstInt32 index;
        int size;
        std::string expect;
    };
    const Case cases[] = {
        {effGetParamName, 0, 8, "A param"},
        {effGetParamName, 1, 8, "Mode"},
        {effGetParamLabel, 0, 8, "dB"},
        {effGetParamDisplay, 0, 8, "0.500"},
        {effGetParamDisplay, 1, 8, "On"},
        {effGetProgramName, 0, 24, "First"},
        {effGetProgramNameIndexed, 3, 24, "Other"},
        {effGetEffectName, 0, 32, std::string(o.name).substr(0, 31)},
        {effGetVendorString, 0, 64, "Test Vendor"},
        {effGetProductString, 0, 64, "Test Product"},
    };
    for (const Case& c : cases)
    {
        GuardedText t;
        fx->Call(c.opcode, c.index, 0, t.bytes);
        EXPECT_GT(t.WrittenWithin(c.size), 0) << "opcode " << c.opcode;
        EXPECT_EQ(std::string(t.bytes), c.expect) << "opcode " << c.opcode;
    }

    // A program may carry a long name; the host still only gets 24 bytes.
    const std::string longName(255, 'n');
    fx->Call(effSetProgramName, 0, 0, const_cast<char*>((longName + "tail").c_str()));
    EXPECT_EQ(std::string(fx->PresetName(0)), longName);
    GuardedText t;
    fx->Call(effGetProgramName, 0, 0, t.bytes);
    EXPECT_EQ(t.WrittenWithin(24), 24);
    GuardedText u;
    EXPECT_EQ(fx->Call(effGetProgramNameIndexed, 0, 0, u.bytes), 1);
    EXPECT_EQ(u.WrittenWithin(24), 24);
}

TEST(VstDispatch, NullPointersAreRefused)
{
    FakeHost host;
    TestInstance fx;
    fx->AttachEditor(new FakeEditor(fx.fx, 10, 10, nullptr, 3));
    const VstInt32 opcodes[] = {
        effSetProgramName,   effGetProgramName,        effGetParamLabel, effGetParamDisplay,
        effGetParamName,     effGetProgramNameIndexed, effEditGetRect,   effGetChunk,
        effSetChunk,         effProcessEvents,         effGetEffectName, effGetVendorString,
        effGetProductString, effVendorSpecific,        effCanDo,         effGetMidiKeyName};
    for (VstInt32 op : opcodes)
    {
        EXPECT_EQ(fx->Call(op, op == effVendorSpecific ? 7 : 0, 40, nullptr, 0.5f), 0)
            << "opcode " << op;
    }
    // These two take their pointers in value and ptr and accept either missing.
    EXPECT_EQ(fx->Call(effSetSpeakerArrangement, 0, 0, nullptr), 1);
    EXPECT_EQ(fx->Call(effGetSpeakerArrangement, 0, 0, nullptr), 1);
    EXPECT_EQ(fx->Value(0), 0.5);
    EXPECT_EQ(std::string(fx->PresetName(0)), "First");
    EXPECT_TRUE(fx->InputConnected(1));
}

TEST(VstDispatch, OutOfRangeIndexesChangeNothing)
{
    FakeHost host;
    TestInstance fx;
    for (VstInt32 index : {-1, 3, INT32_MAX})
    {
        GuardedText t;
        fx->Call(effGetParamName, index, 0, t.bytes);
        fx->Call(effGetParamLabel, index, 0, t.bytes);
        fx->Call(effGetParamDisplay, index, 0, t.bytes);
        EXPECT_EQ(t.bytes[0], GuardedText::kFill);
        EXPECT_EQ(fx->Call(effCanBeAutomated, index), 0);
        EXPECT_EQ(fx.e->getParameter(fx.e, index), 0.0f);
        fx.e->setParameter(fx.e, index, 0.9f);
        EXPECT_EQ(fx->Call(effGetProgramNameIndexed, index == 3 ? 8 : index, 0, t.bytes), 0);
        VstPinProperties pin = {};
        EXPECT_EQ(fx->Call(effGetInputProperties, index == 3 ? 2 : index, 0, &pin), 0);
        EXPECT_EQ(fx->Call(effGetOutputProperties, index == 3 ? 2 : index, 0, &pin), 0);
    }
    EXPECT_TRUE(fx->log.empty());
    EXPECT_EQ(fx->Call(effCanBeAutomated, 2), 1);

    // Leaving an edited program for one that does not exist keeps the edit
    // unsaved and the program current; a huge value must not wrap onto a
    // valid slot.
    fx.e->setParameter(fx.e, 0, 0.125f);
    fx->Call(effSetProgram, 0, 2);
    const VstIntPtr bad[] = {-1, 8, INTPTR_MAX, static_cast<VstIntPtr>(INT32_MIN)};
    for (VstIntPtr v : bad)
    {
        fx.e->setParameter(fx.e, 0, 0.375f);
        fx->Call(effSetProgram, 0, v);
        EXPECT_EQ(fx->Call(effGetProgram), 2);
    }
    if (sizeof(VstIntPtr) == 8)
    {
        fx->Call(effSetProgram, 0, static_cast<VstIntPtr>((static_cast<int64_t>(1) << 32) + 3));
        EXPECT_EQ(fx->Call(effGetProgram), 2);
    }
    fx->Call(effSetProgram, 0, 0);
    EXPECT_EQ(fx->Value(0), 0.125); // program 0 kept the edit made there
    fx->Call(effSetProgram, 0, 2);
    EXPECT_EQ(fx->Value(0), 0.375); // program 2 kept the last edit made there
}

TEST(VstDispatch, BadChunksAreRefusedWithoutEffect)
{
    FakeHost host;
    TestInstance fx;
    fx.e->setParameter(fx.e, 0, 0.25f);
    fx->log.clear();
    double data[4] = {0.5, 1, 0.5, 0};
    EXPECT_EQ(fx->Call(effSetChunk, 1, sizeof(data), nullptr), 0);
    const VstIntPtr sizes[] = {0, -1, -40, INTPTR_MAX, IEffectVST::kMaxChunkSize + 1};
    for (VstIntPtr size : sizes)
    {
        EXPECT_EQ(fx->Call(effSetChunk, 0, size, data), 0) << size;
        EXPECT_EQ(fx->Call(effSetChunk, 1, size, data), 0) << size;
    }
    EXPECT_EQ(fx->Value(0), 0.25);
    EXPECT_TRUE(fx->log.empty());
}

TEST(VstDispatch, BlockSizeFromTheHostIsSane)
{
    FakeHost host;
    TestInstance fx;
    for (VstIntPtr v : {VstIntPtr(0), VstIntPtr(-1), VstIntPtr(INT32_MIN)})
    {
        fx->Call(effSetBlockSize, 0, v);
        EXPECT_EQ(fx->BlockSize(), 1024);
    }
    EXPECT_TRUE(fx->log.empty());
    fx->Call(effSetBlockSize, 0, INTPTR_MAX);
    EXPECT_EQ(fx->BlockSize(), IEffectBase::kMaxBlockSize);
    fx->Call(effSetBlockSize, 0, 256);
    EXPECT_EQ(fx->BlockSize(), 256);
    EXPECT_EQ(fx->log, (std::vector<std::string>{"reset", "reset"}));

    fx->log.clear();
    for (float rate : {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity()})
    {
        fx->Call(effSetSampleRate, 0, 0, nullptr, rate);
    }
    EXPECT_EQ(fx->SampleRate(), 44100.0);
    EXPECT_TRUE(fx->log.empty());
    fx->Call(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    EXPECT_EQ(fx->SampleRate(), 96000.0);
    EXPECT_EQ(fx->log, (std::vector<std::string>{"reset"}));
}

TEST(VstDispatch, LifecycleCallsTheHandlers)
{
    FakeHost host;
    host.product = "Adobe Audition";
    TestEffect::Options o;
    o.io = "6-6";
    TestInstance fx(o);
    // Rate and block size may come before the open.
    fx->Call(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    fx->Call(effSetBlockSize, 0, 512);
    fx->Call(effOpen);
    fx->Call(effOpen);
    EXPECT_EQ(host.Count(audioMasterGetProductString), 1); // quirks once
    EXPECT_EQ(fx->HostCode(), IEffectBase::kHostAudition);
    EXPECT_FALSE(fx->InputConnected(2));
    EXPECT_TRUE(fx->InputConnected(1));
    fx->Call(effMainsChanged, 0, 1);
    fx->Call(effMainsChanged, 0, 0);
    EXPECT_EQ(fx->log, (std::vector<std::string>{"reset", "reset", "p0", "p1", "p2", "p0", "p1",
                                                 "p2", "on", "off", "reset"}));
    EXPECT_EQ(fx->SampleRate(), 48000.0);
    EXPECT_EQ(fx->BlockSize(), 512);
}

TEST(VstDispatch, FixedAnswers)
{
    FakeHost host;
    TestInstance fx;
    EXPECT_EQ(fx->Call(effIdentify), 0x4e764566);
    EXPECT_EQ(fx->Call(effGetPlugCategory), kPlugCategEffect);
    EXPECT_EQ(fx->Call(effGetVstVersion), 2400);
    EXPECT_EQ(fx->Call(effGetVendorVersion), 0);
    EXPECT_EQ(fx->Call(effGetTailSize), 0);
    EXPECT_EQ(fx->Call(effProcessVarIo), 0);
    EXPECT_EQ(fx->Call(effEditIdle), 0);
    EXPECT_EQ(fx->Call(effIdle), 0);
    EXPECT_EQ(fx->Call(9999), 0);

    TestEffect::Options midi;
    midi.midi = true;
    TestInstance withMidi(midi);
    struct Case
    {
        const char* text;
        VstIntPtr plain;
        VstIntPtr midi;
    };
    const Case cases[] = {
        {"receiveVstTimeInfo", 1, 1},
        {"receiveVstMidiEvent", 0, 1},
        {"sendVstEvents", 0, 1},
        {"receiveVstEvents", 0, 1},
        {"sendVstMidiEvent", 0, 1},
        {"hasCockosExtensions", IEffectVST::kCockosAnswer, IEffectVST::kCockosAnswer},
        {"hasCockosViewAsConfig", IEffectVST::kCockosAnswer, IEffectVST::kCockosAnswer},
        {"receiveVstTimeInfo ", 0, 0},
        {"", 0, 0}};
    for (const Case& c : cases)
    {
        EXPECT_EQ(fx->Call(effCanDo, 0, 0, const_cast<char*>(c.text)), c.plain) << c.text;
        EXPECT_EQ(withMidi->Call(effCanDo, 0, 0, const_cast<char*>(c.text)), c.midi) << c.text;
    }

    char display[64] = "untouched";
    EXPECT_EQ(fx->Call(effVendorSpecific, 7, 0, display, 0.25f), 0xbeef);
    EXPECT_STREQ(display, "0.250");
    std::strcpy(display, "untouched");
    EXPECT_EQ(fx->Call(effVendorSpecific, 7, 99, display, 0.25f), 0xbeef);
    EXPECT_STREQ(display, "untouched");
    EXPECT_EQ(fx->Call(effVendorSpecific, 6, 0, display, 0.25f), 0);

    VstPinProperties pin;
    std::memset(&pin, 0x55, sizeof(pin));
    EXPECT_EQ(fx->Call(effGetInputProperties, 1, 0, &pin), 1);
    EXPECT_EQ(pin.flags, kVstPinIsActive);
    EXPECT_STREQ(pin.label, "Input 2");
    EXPECT_EQ(static_cast<unsigned char>(pin.future[0]), 0x55u); // the tail is the host's
    EXPECT_EQ(fx->Call(effGetOutputProperties, 0, 0, &pin), 1);
    EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
    EXPECT_STREQ(pin.label, "Output 1");

    VstSpeakerArrangement* in = nullptr;
    VstSpeakerArrangement* out = nullptr;
    EXPECT_EQ(fx->Call(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 1);
    ASSERT_TRUE(in && out);
    EXPECT_EQ(in->numChannels, 2);
    EXPECT_EQ(out->numChannels, 2);

    MidiKeyName key = {};
    key.thisKeyNumber = 60;
    std::strcpy(key.keyName, "stale");
    EXPECT_EQ(fx->Call(effGetMidiKeyName, 0, 0, &key), 0);
    EXPECT_STREQ(key.keyName, "");
}

TEST(VstDispatch, SpeakerArrangementCountsAreClamped)
{
    FakeHost host;
    TestInstance fx;
    VstSpeakerArrangement in = {};
    VstSpeakerArrangement out = {};
    in.numChannels = -3;
    out.numChannels = 99;
    EXPECT_EQ(fx->Call(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 1);
    EXPECT_FALSE(fx->InputConnected(0));
    EXPECT_FALSE(fx->InputConnected(1));
    EXPECT_TRUE(fx->OutputConnected(1));
    in.numChannels = 1;
    out.numChannels = 1;
    fx->Call(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out);
    EXPECT_TRUE(fx->InputConnected(0));
    EXPECT_FALSE(fx->InputConnected(1));
    EXPECT_FALSE(fx->OutputConnected(1));
    EXPECT_EQ(fx->InputPointer(1), fx->InputScratch(1));
}

TEST(VstState, ChunksRoundTripByteForByte)
{
    FakeHost host;
    for (VstInt32 kind : {0, 1})
    {
        TestInstance a;
        a.e->setParameter(a.e, 0, 0.3f);
        a.e->setParameter(a.e, 1, 0.0f);
        void* data = nullptr;
        const VstIntPtr size = a->Call(effGetChunk, kind, 0, &data);
        ASSERT_EQ(size, 8 + 3 * 8);
        const std::vector<unsigned char> first(static_cast<unsigned char*>(data),
                                               static_cast<unsigned char*>(data) + size);
        EXPECT_EQ(first[0], 0x74);
        EXPECT_EQ(first[3], 0x70);
        EXPECT_EQ(first[6], 0x01);

        TestInstance b;
        EXPECT_EQ(b->Call(effSetChunk, kind, size, const_cast<unsigned char*>(first.data())), 1);
        EXPECT_EQ(b->Value(0), a->Value(0));
        EXPECT_EQ(b->Value(1), 0.0);
        void* again = nullptr;
        ASSERT_EQ(b->Call(effGetChunk, kind, 0, &again), size);
        EXPECT_EQ(std::memcmp(again, first.data(), first.size()), 0);

        // A short chunk is a failure, and the buffers stay usable.
        EXPECT_EQ(b->Call(effSetChunk, kind, 12, const_cast<unsigned char*>(first.data())), 0);
    }
}

TEST(VstState, ProgramsKeepTheirEditsAndFollowChunks)
{
    FakeHost host;
    TestInstance fx;
    fx->Call(effSetProgram, 0, 3);
    fx.e->setParameter(fx.e, 0, 0.125f);
    fx->Call(effSetProgram, 0, 4);
    EXPECT_EQ(fx->Value(0), 0.5);
    fx->Call(effSetProgram, 0, 3);
    EXPECT_EQ(fx->Value(0), 0.125);

    // A program chunk becomes the current program's state, so switching
    // away and back right after it returns to the loaded values.
    const double values[3] = {0.875, 0.0, 0.5};
    unsigned char chunk[32];
    const int32_t header[2] = {0x70666674, 0x00010000};
    std::memcpy(chunk, header, 8);
    std::memcpy(chunk + 8, values, 24);
    ASSERT_EQ(fx->Call(effSetChunk, 1, sizeof(chunk), chunk), 1);
    fx->Call(effSetProgram, 0, 3);
    EXPECT_EQ(fx->Value(0), 0.875);
    fx->Call(effSetProgram, 0, 5);
    fx->Call(effSetProgram, 0, 3);
    EXPECT_EQ(fx->Value(0), 0.875);
    EXPECT_EQ(fx->Value(1), 0.0);

    // Getting a bank stores the current values into the current program;
    // getting a program does not.
    auto stored = [&](int32_t slot)
    {
        double v = -1.0;
        fx->GetPreset(slot)->state.ReadAt(0, 8, &v);
        return v;
    };
    fx.e->setParameter(fx.e, 0, 0.25f);
    void* data = nullptr;
    fx->Call(effGetChunk, 1, 0, &data);
    EXPECT_EQ(stored(3), 0.875);
    fx->Call(effGetChunk, 0, 0, &data);
    EXPECT_EQ(stored(3), 0.25);
    fx->Call(effSetProgramName, 0, 0, const_cast<char*>("Renamed"));
    EXPECT_STREQ(fx->PresetName(3), "Renamed");
}

TEST(VstHost, CallsReachTheHost)
{
    FakeHost host;
    TestInstance fx;
    fx->BeginParameterGesture(2);
    fx->SetParameterFromGUI(2, 0.75);
    fx->EndParameterGesture(2);
    ASSERT_EQ(host.calls.size(), 3u);
    EXPECT_EQ(host.calls[0].opcode, audioMasterBeginEdit);
    EXPECT_EQ(host.calls[1].opcode, audioMasterAutomate);
    EXPECT_EQ(host.calls[1].index, 2);
    EXPECT_EQ(host.calls[1].opt, 0.75f);
    EXPECT_EQ(host.calls[2].opcode, audioMasterEndEdit);

    EXPECT_EQ(fx->QuerySamplePosition(), 0);
    EXPECT_EQ(fx->QueryTempo(), 0.0);
    host.giveTime = true;
    host.time.samplePos = 1234.9;
    host.time.tempo = 128.0;
    host.time.timeSigNumerator = 7;
    host.time.timeSigDenominator = 8;
    int32_t num = -1;
    int32_t den = -1;
    EXPECT_EQ(fx->QuerySamplePosition(), 1234);
    EXPECT_EQ(fx->QueryTempo(), 0.0); // not flagged valid
    fx->QueryTimeSignature(&num, &den);
    EXPECT_EQ(num, 0);
    EXPECT_EQ(den, 0);
    host.time.flags = kVstTempoValid | kVstTimeSigValid;
    EXPECT_EQ(fx->QueryTempo(), 128.0);
    fx->QueryTimeSignature(&num, &den);
    EXPECT_EQ(num, 7);
    EXPECT_EQ(den, 8);
    host.time.samplePos = 1e12;
    EXPECT_EQ(fx->QuerySamplePosition(), INT32_MAX);
    host.time.samplePos = -5.0;
    EXPECT_EQ(fx->QuerySamplePosition(), 0);

    host.product = "REAPER";
    host.vendorVersion = 20501;
    EXPECT_EQ(fx->QueryHostIdentity(), IEffectBase::kHostReaper);
    EXPECT_EQ(fx->HostVersion(), 0x20501);
    EXPECT_EQ(fx->QueryHostIdentity(), IEffectBase::kHostReaper);
    EXPECT_EQ(host.Count(audioMasterGetProductString), 1);

    fx->SetLatencySamples(64);
    EXPECT_EQ(fx.e->initialDelay, 64);
    EXPECT_EQ(fx->Latency(), 64);
}

TEST(VstHost, MidiTravelsBothWays)
{
    FakeHost host;
    TestEffect::Options o;
    o.midi = true;
    TestInstance fx(o);
    VstMidiEvent note = {};
    note.type = kVstMidiType;
    note.byteSize = sizeof(note);
    note.deltaFrames = 17;
    note.midiData[0] = static_cast<char>(0x90);
    note.midiData[1] = 60;
    note.midiData[2] = 100;
    VstEvent other = {};
    other.type = kVstSysExType;
    VstEvents list = {};
    list.numEvents = 2;
    list.events[0] = reinterpret_cast<VstEvent*>(&note);
    list.events[1] = &other;
    EXPECT_EQ(fx->Call(effProcessEvents, 0, 0, &list), 1);
    // The base passes MIDI on to the host; other events go straight back.
    ASSERT_EQ(host.midiReceived.size(), 1u);
    EXPECT_EQ(host.midiReceived[0].deltaFrames, 17);
    EXPECT_EQ(host.midiReceived[0].byteSize, 32);
    EXPECT_EQ(static_cast<unsigned char>(host.midiReceived[0].midiData[0]), 0x90u);
    EXPECT_EQ(host.midiReceived[0].midiData[2], 100);
    EXPECT_EQ(host.midiReceived[0].midiData[3], 0);
    EXPECT_EQ(host.eventTypesReceived, (std::vector<VstInt32>{kVstMidiType, kVstSysExType}));

    list.events[1] = nullptr;
    EXPECT_EQ(fx->Call(effProcessEvents, 0, 0, &list), 1);
    EXPECT_EQ(host.midiReceived.size(), 2u);

    const IMidiMessage msgs[2] = {{0, 0x80, 60, 0}, {5, 0xb0, 7, 90}};
    EXPECT_TRUE(fx->SendMidiMessages(msgs, 2));
    EXPECT_TRUE(fx->SendMidiMessages(nullptr, 0));
    EXPECT_FALSE(fx->SendMidiMessages(nullptr, 1));
    host.eventsAnswer = 0;
    EXPECT_FALSE(fx->SendMidiMessages(msgs, 2));
    EXPECT_EQ(host.midiReceived.size(), 6u); // both still sent
}

} // namespace
