#include "AllocationCounter.h"
#include "DspTestSignals.h"
#include "FuzzPedal.h"

#include <gtest/gtest.h>

#include <vector>

TEST(FuzzPedalAllocation, ProcessingAllocatesNothing)
{
    const std::vector<double> sig = dsptest::GuitarLike(20000, 44100.0, 0.7);
    std::vector<double> out0(sig.size()), out1(sig.size());
    FuzzPedal pedal;
    pedal.Reset(44100.0);
    pedal.SetLevel(0.5);
    pedal.SetAttack(0.5);

    const long before = AllocationCount();
    for (int routing = 0; routing < 3; ++routing)
    {
        pedal.SetEffectOn(routing != 2);
        pedal.SetCabinetOn(routing == 0);
        for (int size : {1, 64, 256, 257, 4096, 20000})
        {
            pedal.ProcessBlock(sig.data(), sig.data(), out0.data(), out1.data(), size);
        }
    }
    // A rate change redesigns in place as well.
    pedal.Reset(48000.0);
    pedal.Reset(std::nan(""));
    EXPECT_EQ(AllocationCount() - before, 0);

    // The counter works.
    std::vector<double>* probe = new std::vector<double>(10);
    delete probe;
    EXPECT_GT(AllocationCount() - before, 0);
}
