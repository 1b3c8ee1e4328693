// The audio path of the whole plug-in, as a host drives it, allocates
// nothing: blocks through all three callbacks (also longer than the announced
// block size, which the binding runs in pieces) and host automation between
// blocks.
#include "AllocationCounter.h"
#include "PlugExample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
VstIntPtr VSTCALLBACK QuietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}
} // namespace

TEST(PluginAllocation, StreamingAndAutomationAllocateNothing)
{
    auto* fx = new PlugExample(&QuietHost);
    AEffect* e = fx->GetAEffect();
    e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    e->dispatcher(e, effSetBlockSize, 0, 512, nullptr, 0.0f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);

    const int kLong = 1500; // three pieces of the announced 512 frames
    std::vector<float> inF(kLong), outF0(kLong), outF1(kLong);
    std::vector<double> inD(kLong), outD0(kLong), outD1(kLong);
    for (int i = 0; i < kLong; ++i)
    {
        inD[static_cast<size_t>(i)] = 0.4 * std::sin(0.05 * i);
        inF[static_cast<size_t>(i)] = static_cast<float>(inD[static_cast<size_t>(i)]);
    }
    float* insF[2] = {inF.data(), inF.data()};
    float* outsF[2] = {outF0.data(), outF1.data()};
    double* insD[2] = {inD.data(), inD.data()};
    double* outsD[2] = {outD0.data(), outD1.data()};

    const long before = AllocationCount();
    for (int round = 0; round < 4; ++round)
    {
        // Automation between blocks: level, attack and both switches.
        e->setParameter(e, PlugExample::kLevel, 0.25f * static_cast<float>(round));
        e->setParameter(e, PlugExample::kAttack, 1.0f - 0.25f * static_cast<float>(round));
        e->setParameter(e, PlugExample::kEffect, round == 3 ? 0.0f : 1.0f);
        e->setParameter(e, PlugExample::kCabinet, (round & 1) ? 0.0f : 1.0f);
        for (int n : {1, 64, 512, kLong})
        {
            e->processReplacing(e, insF, outsF, n);
            e->process(e, insF, outsF, n);
            e->processDoubleReplacing(e, insD, outsD, n);
        }
    }
    EXPECT_EQ(AllocationCount() - before, 0);
    // The blocks really ran: the fuzz leaves a signal on both outputs.
    EXPECT_TRUE(std::isfinite(outD0[100]));
    EXPECT_NE(outD0[100], 0.0);
    EXPECT_EQ(outD0[100], outD1[100]);

    // The counter works.
    std::vector<double>* probe = new std::vector<double>(10);
    delete probe;
    EXPECT_GT(AllocationCount() - before, 0);

    e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
}
