#include "TestEffect.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

TEST(IEffectLock, IsReentrantAndExcludesOtherThreads)
{
    IEffectLock lock;
    lock.Enter();
    ASSERT_TRUE(lock.TryEnter()); // same thread again
    lock.Leave();
    bool otherGotIt = true;
    std::thread other([&] { otherGotIt = lock.TryEnter(); });
    other.join();
    EXPECT_FALSE(otherGotIt);
    lock.Leave();
    std::thread after(
        [&]
        {
            otherGotIt = lock.TryEnter();
            if (otherGotIt)
            {
                lock.Leave();
            }
        });
    after.join();
    EXPECT_TRUE(otherGotIt);
}

namespace
{
// An effect whose block output depends on every parameter and whose handler
// keeps derived state, so that an unlocked overlap shows up as a torn block
// (and as a data race under ThreadSanitizer).
class StressEffect : public TestBaseEffect
{
public:
    StressEffect() : TestBaseEffect(TestBaseEffect::Bare(4, "1-1 2-2", 8))
    {
        InitPedalParameters();
    }
    void HandleParameterChange(int32_t paramIndex) override
    {
        std::lock_guard<IEffectLock> guard(Lock());
        if (paramIndex >= 0 && paramIndex < NParams())
        {
            gain = GetParam(0)->Value() + GetParam(1)->Value();
            ++handled;
        }
    }
    void ProcessBlock(double** inputs, double** outputs, int32_t nFrames) override
    {
        const double g = gain;
        for (int32_t i = 0; i < nFrames; ++i)
        {
            outputs[0][i] = inputs[0][i] * g;
            outputs[1][i] = inputs[1][i] * gain; // must equal g within a block
        }
    }
    double gain = 0.0;
    long handled = 0;
};
} // namespace

TEST(IEffectLock, ParametersAudioAndStateUnderContention)
{
    StressEffect effect;
    effect.ConnectInputChannels(0, 2, true);
    effect.ConnectOutputChannels(0, 2, true);
    effect.ApplyBlockSize(64);
    effect.DefinePreset("a", 0.25, 0.25, 1, 0);
    effect.FillPresetsFromCurrent("b", 7);
    IByteBuffer saved;
    IEffectBase::WriteChunkHeader(saved);
    effect.WriteState(saved);

    constexpr int kRounds = 20000;
    std::atomic<bool> torn{false};
    // All three start together so that their calls really interleave.
    std::atomic<int> ready{0};
    auto startTogether = [&ready]
    {
        ++ready;
        while (ready.load() < 3)
        {
            std::this_thread::yield();
        }
    };
    std::thread parameters(
        [&]
        {
            startTogether();
            for (int i = 0; i < kRounds; ++i)
            {
                effect.SetParameterFromHost(i % 4, (i % 100) / 100.0);
                effect.SetParameterFromGUI((i + 1) % 4, ((i * 7) % 100) / 100.0);
                (void)effect.GetParameterForHost(i % 4);
            }
        });
    std::thread audio(
        [&]
        {
            startTogether();
            std::vector<float> in(64, 1.0f), out0(64), out1(64);
            float* ins[2] = {in.data(), in.data()};
            float* outs[2] = {out0.data(), out1.data()};
            for (int i = 0; i < kRounds; ++i)
            {
                std::lock_guard<IEffectLock> guard(effect.Lock());
                effect.BindInputsFromFloat(ins, 64);
                effect.BindOutputsToFloat(outs);
                effect.RunBlockReplacing(64);
                for (int j = 0; j < 64; ++j)
                {
                    if (out0[static_cast<size_t>(j)] != out1[static_cast<size_t>(j)])
                    {
                        torn = true;
                    }
                }
            }
        });
    std::thread state(
        [&]
        {
            startTogether();
            for (int i = 0; i < kRounds / 4; ++i)
            {
                effect.StoreCurrentPreset(nullptr);
                effect.LoadPreset(i % 8);
                effect.ReadState(saved, IEffectBase::ReadChunkHeader(saved, nullptr));
                IByteBuffer chunk;
                IEffectBase::WriteChunkHeader(chunk);
                effect.WriteState(chunk);
                if (chunk.Size() != 40)
                {
                    torn = true;
                }
            }
        });
    parameters.join();
    audio.join();
    state.join();

    EXPECT_FALSE(torn);
    EXPECT_GE(effect.handled, 2L * kRounds);
    for (int i = 0; i < 4; ++i)
    {
        const double v = effect.GetParam(i)->Value();
        EXPECT_TRUE(v >= 0.0 && v <= 1.0) << i;
    }
    EXPECT_GE(effect.CurrentPreset(), 0);
    EXPECT_LT(effect.CurrentPreset(), 8);
}
