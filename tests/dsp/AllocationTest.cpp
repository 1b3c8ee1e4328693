#include "DspTestSignals.h"
#include "FuzzPedal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ >= 11
// The replacements below pair malloc with free on purpose.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

// Every allocation of this executable goes through these, so a block that
// allocates shows up in the counter.
namespace
{
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size))
    {
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

TEST(FuzzPedalAllocation, ProcessingAllocatesNothing)
{
    const std::vector<double> sig = dsptest::GuitarLike(20000, 44100.0, 0.7);
    std::vector<double> out0(sig.size()), out1(sig.size());
    FuzzPedal pedal;
    pedal.Reset(44100.0);
    pedal.SetLevel(0.5);
    pedal.SetAttack(0.5);

    const long before = allocations.load();
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
    EXPECT_EQ(allocations.load() - before, 0);

    // The counter works.
    std::vector<double>* probe = new std::vector<double>(10);
    delete probe;
    EXPECT_GT(allocations.load() - before, 0);
}
