#include "DenormalGuard.h"
#include "DspTestSignals.h"
#include "FuzzPedal.h"
#include "ReferencePath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace
{

enum class Signal
{
    Guitar,
    Silence,
    Loud,
    Subnormal
};

struct Case
{
    const char* name;
    Signal signal;
    double level;
    double attack;
    bool cabinet;
    // Level, attack, Effect and Cabinet change from block to block.
    bool automate;
};

constexpr int kFrames = 24000;

std::vector<double> Make(Signal s)
{
    std::vector<double> x = dsptest::GuitarLike(kFrames, 44100.0, 0.8);
    dsptest::Lcg noise(99);
    for (size_t i = 0; i < x.size(); ++i)
    {
        switch (s)
        {
        case Signal::Guitar:
            break;
        case Signal::Silence:
            x[i] = 0.0;
            break;
        case Signal::Loud:
            x[i] = 400.0 * x[i] + 300.0 * noise.NextSigned();
            break;
        case Signal::Subnormal:
            // Down from the smallest normal numbers through the subnormal
            // range to zero.
            x[i] = x[i] * 1e-300 * std::exp(-static_cast<double>(i) / 400.0);
            break;
        }
    }
    return x;
}

// Every block size from 1 to 64 (which holds the fill lengths of the waves
// for short blocks), the sizes around the block size from which the fuzz chain
// alone takes a longer skew and around powers of two, then random sizes up to
// 4096.
std::vector<int> BlockSizes()
{
    std::vector<int> sizes;
    for (int n = 1; n <= 64; ++n)
    {
        sizes.push_back(n);
    }
    for (int n :
         {84, 85, 86, 127, 128, 129, 255, 256, 257, 383, 384, 385, 511, 512, 513, 4095, 4096})
    {
        sizes.push_back(n);
    }
    std::mt19937 rng(77);
    std::uniform_int_distribution<int> size(1, 4096);
    for (int i = 0; i < 20; ++i)
    {
        sizes.push_back(size(rng));
    }
    return sizes;
}

std::vector<FuzzPedal::Path> Paths()
{
    std::vector<FuzzPedal::Path> paths = {FuzzPedal::Path::Auto, FuzzPedal::Path::PerSection,
                                          FuzzPedal::Path::WaveSse2};
    if (CpuHasAvx2())
    {
        paths.push_back(FuzzPedal::Path::WaveAvx2);
    }
    return paths;
}

} // namespace

// Each way of computing a block against the plain per-sample chain: output
// and kept history bit for bit, over block sizes from 1 to 4096.
TEST(WavePath, EveryPathMatchesThePerSampleChain)
{
    const Case cases[] = {
        {"guitar, fuzz only", Signal::Guitar, 0.5, 0.5, false, false},
        {"guitar, cabinet", Signal::Guitar, 0.8, 0.3, true, false},
        {"attack 0, cabinet", Signal::Guitar, 0.5, 0.0, true, false},
        {"attack 1, fuzz only", Signal::Guitar, 1.0, 1.0, false, false},
        {"silence, cabinet", Signal::Silence, 0.5, 0.5, true, false},
        {"loud, cabinet", Signal::Loud, 1.0, 0.9, true, false},
        {"loud, fuzz only", Signal::Loud, 0.7, 0.2, false, false},
        {"subnormal decay, cabinet", Signal::Subnormal, 0.5, 0.5, true, false},
        {"level 0, cabinet rings out", Signal::Guitar, 0.0, 0.5, true, false},
        {"automated", Signal::Guitar, 0.6, 0.4, true, true},
    };
    const std::vector<int> sizes = BlockSizes();
    for (const Case& c : cases)
    {
        const std::vector<double> x = Make(c.signal);
        for (FuzzPedal::Path path : Paths())
        {
            SCOPED_TRACE(testing::Message() << c.name << ", path " << static_cast<int>(path));
            FuzzPedal pedal;
            pedal.Reset(44100.0);
            ASSERT_TRUE(pedal.ForcePath(path));
            // Start from a history that is not silence.
            pedal.SetLevel(0.5);
            pedal.SetAttack(0.5);
            pedal.SetEffectOn(true);
            pedal.SetCabinetOn(true);
            std::vector<double> warm(500, 0.3), scratch(500);
            pedal.ProcessBlock(warm.data(), warm.data(), scratch.data(), scratch.data(), 500);
            dsptest::ReferencePath ref{pedal.Bank(), c.level, c.attack, c.cabinet};
            pedal.SetLevel(c.level);
            pedal.SetAttack(c.attack);
            pedal.SetCabinetOn(c.cabinet);

            std::vector<double> in1(x.size()), out0(x.size()), out1(x.size()), expected(x.size());
            for (size_t i = 0; i < x.size(); ++i)
            {
                in1[i] = x[i] * -0.25;
            }
            bool effect = true;
            size_t pos = 0;
            for (size_t b = 0; pos < x.size(); ++b)
            {
                if (c.automate)
                {
                    ref.level = 0.25 * static_cast<double>(b % 5);
                    ref.attack = 0.3 * static_cast<double>(b % 4);
                    ref.cabinet = b % 3 != 0;
                    effect = b % 7 != 3;
                    pedal.SetLevel(ref.level);
                    pedal.SetAttack(ref.attack);
                    pedal.SetCabinetOn(ref.cabinet);
                    pedal.SetEffectOn(effect);
                }
                const size_t n =
                    std::min(static_cast<size_t>(sizes[b % sizes.size()]), x.size() - pos);
                {
                    DenormalGuard guard;
                    for (size_t i = pos; i < pos + n; ++i)
                    {
                        expected[i] = effect ? ref.Frame(x[i], in1[i]) : in1[i] + x[i];
                    }
                }
                pedal.ProcessBlock(x.data() + pos, in1.data() + pos, out0.data() + pos,
                                   out1.data() + pos, static_cast<int32_t>(n));
                pos += n;
            }
            size_t firstBad = x.size();
            for (size_t i = 0; i < x.size() && firstBad == x.size(); ++i)
            {
                if (std::memcmp(&out0[i], &expected[i], sizeof(double)) != 0 ||
                    std::memcmp(&out1[i], &expected[i], sizeof(double)) != 0)
                {
                    firstBad = i;
                }
            }
            EXPECT_EQ(firstBad, x.size())
                << "first differing frame; got " << out0[firstBad % x.size()] << ", expected "
                << expected[firstBad % x.size()];
            EXPECT_EQ(std::memcmp(&pedal.Bank(), &ref.bank, sizeof(BiquadBank)), 0)
                << "kept history differs";
        }
    }
}

// The wave must leave a block's history exactly where the plain loop leaves
// it, or the next block starts from the wrong state; in place as well.
TEST(WavePath, InPlaceBlocksKeepTheSameHistory)
{
    const std::vector<double> x = Make(Signal::Guitar);
    for (FuzzPedal::Path path : Paths())
    {
        FuzzPedal a, b;
        for (FuzzPedal* p : {&a, &b})
        {
            p->Reset(48000.0);
            p->SetLevel(0.7);
            p->SetAttack(0.6);
            p->SetEffectOn(true);
            p->SetCabinetOn(true);
        }
        ASSERT_TRUE(a.ForcePath(path));
        ASSERT_TRUE(b.ForcePath(FuzzPedal::Path::PerSection));
        std::vector<double> l = x, r = x, ref0(x.size()), ref1(x.size());
        for (size_t pos = 0; pos + 700 <= x.size(); pos += 700)
        {
            a.ProcessBlock(l.data() + pos, r.data() + pos, l.data() + pos, r.data() + pos, 700);
            b.ProcessBlock(x.data() + pos, x.data() + pos, ref0.data() + pos, ref1.data() + pos,
                           700);
        }
        EXPECT_EQ(std::memcmp(l.data(), ref0.data(), 700 * 34 * sizeof(double)), 0)
            << static_cast<int>(path);
        EXPECT_EQ(std::memcmp(r.data(), ref1.data(), 700 * 34 * sizeof(double)), 0);
        EXPECT_EQ(std::memcmp(&a.Bank(), &b.Bank(), sizeof(BiquadBank)), 0);
    }
}
