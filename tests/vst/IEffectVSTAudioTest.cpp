#include "FakeEditor.h"
#include "TestInstance.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace
{

constexpr float kUntouched = -7.0f;

// Two host channels of frames samples in one precision.
template <typename T> struct Buffers
{
    Buffers(int frames, T fill) : frames(frames)
    {
        for (int c = 0; c < 2; ++c)
        {
            data[c].assign(static_cast<size_t>(frames), fill);
            ptrs[c] = data[c].data();
        }
    }
    // A different, exactly representable value for every sample.
    void Ramp(int channel)
    {
        for (int i = 0; i < frames; ++i)
        {
            data[channel][static_cast<size_t>(i)] =
                static_cast<T>((channel + 1) * 0.5 + i / 1024.0);
        }
    }
    int frames;
    std::vector<T> data[2];
    T* ptrs[2];
};

template <typename T> void ExpectSame(const std::vector<T>& a, const std::vector<T>& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
    {
        ASSERT_EQ(a[i], b[i]) << "frame " << i;
    }
}

template <typename T> void ExpectAll(const std::vector<T>& a, T v)
{
    for (size_t i = 0; i < a.size(); ++i)
    {
        ASSERT_EQ(a[i], v) << "frame " << i;
    }
}

// Every block size a host might pick relative to the announced maximum:
// shorter, equal, and longer (which runs in pieces).
class VstAudio : public ::testing::TestWithParam<int>
{
};

TEST_P(VstAudio, EverySampleArrivesUnchanged)
{
    FakeHost host;
    TestInstance fx;
    fx->Call(effSetBlockSize, 0, 64);
    const int frames = GetParam();

    Buffers<float> in(frames, 0.0f);
    in.Ramp(0);
    in.Ramp(1);
    Buffers<float> out(frames, kUntouched);
    fx.e->processReplacing(fx.e, in.ptrs, out.ptrs, frames);
    ExpectSame(out.data[0], in.data[0]);
    ExpectSame(out.data[1], in.data[1]);

    Buffers<float> sum(frames, 1.0f);
    fx.e->process(fx.e, in.ptrs, sum.ptrs, frames);
    for (int i = 0; i < frames; ++i)
    {
        ASSERT_EQ(sum.data[1][static_cast<size_t>(i)], 1.0f + in.data[1][static_cast<size_t>(i)]);
    }

    Buffers<double> din(frames, 0.0);
    din.Ramp(0);
    din.Ramp(1);
    Buffers<double> dout(frames, kUntouched);
    fx.e->processDoubleReplacing(fx.e, din.ptrs, dout.ptrs, frames);
    ExpectSame(dout.data[0], din.data[0]);
    ExpectSame(dout.data[1], din.data[1]);

    // In place, as hosts may do.
    Buffers<float> same(frames, 0.0f);
    same.Ramp(0);
    same.Ramp(1);
    const std::vector<float> expect = same.data[1];
    fx.e->processReplacing(fx.e, same.ptrs, same.ptrs, frames);
    ExpectSame(same.data[1], expect);
}

TEST_P(VstAudio, DisconnectedChannelsReadSilenceAndWriteNowhere)
{
    FakeHost host;
    TestInstance fx;
    fx->Call(effSetBlockSize, 0, 64);
    VstSpeakerArrangement one = {};
    one.numChannels = 1;
    VstSpeakerArrangement two = {};
    two.numChannels = 2;
    fx->Call(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&one), &two);
    const int frames = GetParam();

    Buffers<float> in(frames, 0.0f);
    in.Ramp(0);
    in.ptrs[1] = nullptr; // not consumed by a disconnected channel
    Buffers<float> out(frames, kUntouched);
    fx.e->processReplacing(fx.e, in.ptrs, out.ptrs, frames);
    ExpectSame(out.data[0], in.data[0]);
    ExpectAll(out.data[1], 0.0f);

    Buffers<double> din(frames, 0.0);
    din.Ramp(0);
    Buffers<double> dout(frames, kUntouched);
    fx.e->processDoubleReplacing(fx.e, din.ptrs, dout.ptrs, frames);
    ExpectSame(dout.data[0], din.data[0]);
    ExpectAll(dout.data[1], 0.0);

    // Output 2 disconnected: its host buffer is neither used nor written.
    fx->Call(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&two), &one);
    in.ptrs[1] = in.data[1].data();
    Buffers<float> out1(frames, kUntouched);
    fx.e->processReplacing(fx.e, in.ptrs, out1.ptrs, frames);
    ExpectSame(out1.data[0], in.data[0]);
    ExpectAll(out1.data[1], kUntouched);
}

INSTANTIATE_TEST_SUITE_P(BlockLengths, VstAudio, ::testing::Values(1, 64, 300));

TEST(VstAudioInput, MissingBuffersAreSurvived)
{
    FakeHost host;
    TestInstance fx;
    Buffers<float> in(32, 0.25f);
    Buffers<float> out(32, kUntouched);
    for (VstInt32 n : {0, -1, INT32_MIN})
    {
        fx.e->processReplacing(fx.e, in.ptrs, out.ptrs, n);
        fx.e->process(fx.e, in.ptrs, out.ptrs, n);
        fx.e->processDoubleReplacing(fx.e, nullptr, nullptr, n);
    }
    ExpectAll(out.data[0], kUntouched);

    fx.e->process(fx.e, nullptr, out.ptrs, 32);
    ExpectAll(out.data[0], kUntouched); // accumulating adds nothing
    fx.e->processReplacing(fx.e, nullptr, out.ptrs, 32);
    ExpectAll(out.data[0], 0.0f);
    ExpectAll(out.data[1], 0.0f);

    in.ptrs[1] = nullptr;
    Buffers<float> out2(32, kUntouched);
    fx.e->processReplacing(fx.e, in.ptrs, out2.ptrs, 32);
    ExpectAll(out2.data[1], 0.0f);

    fx.e->processReplacing(fx.e, in.ptrs, nullptr, 32);
    Buffers<double> dout(32, kUntouched);
    dout.ptrs[1] = nullptr;
    fx.e->processDoubleReplacing(fx.e, nullptr, dout.ptrs, 32);
    ExpectAll(dout.data[0], static_cast<double>(kUntouched)); // nowhere safe to write all
}

TEST(VstInstances, KeepSeparateState)
{
    FakeHost host;
    TestInstance a;
    TestInstance b;
    a.e->setParameter(a.e, 0, 0.125f);
    a->Call(effSetProgram, 0, 4);
    a->Call(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    a->Call(effSetProgramName, 0, 0, const_cast<char*>("Mine"));
    EXPECT_EQ(b.e->getParameter(b.e, 0), 0.5f);
    EXPECT_EQ(b->Call(effGetProgram), 0);
    EXPECT_EQ(b->SampleRate(), 44100.0);
    EXPECT_STREQ(b->PresetName(4), "Other");
    EXPECT_STREQ(a->PresetName(4), "Mine");
    EXPECT_NE(a.e, b.e);
}

// Meaningful under ThreadSanitizer: automation from one thread while another
// processes must be serialised by the plug-in lock.
TEST(VstThreads, SetParameterWhileProcessing)
{
    FakeHost host;
    TestInstance fx;
    std::atomic<bool> done{false};
    std::atomic<int> changes{0};
    std::thread automation(
        [&]
        {
            for (int i = 0; !done.load(); ++i)
            {
                fx.e->setParameter(fx.e, i % 3, static_cast<float>(i % 100) / 100.0f);
                fx.e->getParameter(fx.e, (i + 1) % 3);
                ++changes;
            }
        });
    Buffers<float> in(256, 0.5f);
    Buffers<float> out(256, 0.0f);
    // Keeps processing until the other thread has made plenty of changes.
    for (int block = 0; block < 500 || changes.load() < 1000; ++block)
    {
        fx.e->processReplacing(fx.e, in.ptrs, out.ptrs, 256);
        ASSERT_EQ(out.data[0][255], 0.5f);
    }
    done = true;
    automation.join();
    EXPECT_GE(fx->log.size(), 1000u);
}

TEST(VstLifecycle, HundredFullCycles)
{
    FakeHost host;
    Buffers<float> in(512, 0.25f);
    Buffers<float> out(512, 0.0f);
    for (int cycle = 0; cycle < 100; ++cycle)
    {
        TestEffect* fx = new TestEffect();
        AEffect* e = fx->GetAEffect();
        e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
        e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 48000.0f);
        e->dispatcher(e, effSetBlockSize, 0, 128 + cycle, nullptr, 0.0f);
        e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
        e->processReplacing(e, in.ptrs, out.ptrs, 512);
        void* chunk = nullptr;
        e->dispatcher(e, effGetChunk, 0, 0, &chunk, 0.0f);
        e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
        EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f), 0);
        ASSERT_EQ(out.data[1][511], 0.25f);
    }
    // Closed straight after creation, and with an editor attached.
    TestEffect* bare = new TestEffect();
    bare->AttachEditor(new FakeEditor(bare, 1, 1));
    EXPECT_EQ(bare->GetAEffect()->dispatcher(bare->GetAEffect(), effClose, 0, 0, nullptr, 0.0f), 0);
    // A record without an instance answers nothing.
    AEffect orphan = {};
    orphan.dispatcher = &IEffectVST::DispatcherEntry;
    EXPECT_EQ(orphan.dispatcher(&orphan, effGetVstVersion, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(IEffectVST::GetParameterEntry(&orphan, 0), 0.0f);
    IEffectVST::ProcessReplacingEntry(nullptr, in.ptrs, out.ptrs, 512);
}

} // namespace
