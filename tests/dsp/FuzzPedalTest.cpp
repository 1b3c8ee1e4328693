#include "DenormalGuard.h"
#include "DspTestSignals.h"
#include "FuzzPedal.h"
#include "ReferencePath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <vector>

namespace
{

std::unique_ptr<FuzzPedal> MakePedal(double rate, double level, double attack, bool cabinet)
{
    auto p = std::make_unique<FuzzPedal>();
    p->Reset(rate);
    p->SetLevel(level);
    p->SetAttack(attack);
    p->SetEffectOn(true);
    p->SetCabinetOn(cabinet);
    return p;
}

// Runs a mono signal (fed to input 0, with a scaled copy on input 1) through
// the pedal in blocks of the given sizes, cycling through them.
std::vector<double> Process(FuzzPedal& p, const std::vector<double>& x,
                            const std::vector<int>& blocks)
{
    std::vector<double> in1(x.size()), out0(x.size()), out1(x.size());
    for (size_t i = 0; i < x.size(); ++i)
    {
        in1[i] = x[i] * 0.25;
    }
    size_t pos = 0, b = 0;
    while (pos < x.size())
    {
        const size_t n =
            std::min<size_t>(static_cast<size_t>(blocks[b++ % blocks.size()]), x.size() - pos);
        p.ProcessBlock(x.data() + pos, in1.data() + pos, out0.data() + pos, out1.data() + pos,
                       static_cast<int32_t>(n));
        pos += n;
    }
    for (size_t i = 0; i < x.size(); ++i)
    {
        EXPECT_EQ(std::memcmp(&out0[i], &out1[i], sizeof(double)), 0) << "outputs differ at " << i;
    }
    return out0;
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

bool SameBank(const BiquadBank& a, const BiquadBank& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool HistoryZero(const BiquadBank& b)
{
    for (int k = 0; k < BiquadBank::kSections; ++k)
    {
        if (b.x1[k] != 0.0 || b.x2[k] != 0.0 || b.y1[k] != 0.0 || b.y2[k] != 0.0)
        {
            return false;
        }
    }
    return true;
}

double Rms(const std::vector<double>& v, size_t from = 0)
{
    double s = 0.0;
    for (size_t i = from; i < v.size(); ++i)
    {
        s += v[i] * v[i];
    }
    return std::sqrt(s / static_cast<double>(v.size() - from));
}

} // namespace

TEST(FuzzPedal, ShapeSampleCurve)
{
    struct Point
    {
        double x, y;
    };
    const Point points[] = {{0.025, -0.0125}, {0.1, 0.1},   {0.2, 0.1},   {0.0, -0.2},
                            {-0.1, -0.2},     {-0.2, 0.02}, {-0.3, 0.02}, {5.0, 0.1}};
    for (const Point& p : points)
    {
        EXPECT_NEAR(FuzzPedal::ShapeSample(p.x, 0.8, 1.0), p.y, 1e-15) << p.x;
    }
    // The quadratic part and its limit at 0.3 (result 0.1).
    for (double a = 0.001; a < 0.06; a += 0.001)
    {
        const double expected = std::min(8 * a - 20 * a * a, 0.3) - 0.2;
        EXPECT_NEAR(FuzzPedal::ShapeSample(a, 0.8, 1.0), expected, 1e-12) << a;
    }
    // Drive scales the input before the curve.
    EXPECT_EQ(FuzzPedal::ShapeSample(0.005, 0.8, 5.0), FuzzPedal::ShapeSample(0.025, 0.8, 1.0));
    EXPECT_EQ(FuzzPedal::ShapeSample(-0.05, 0.8, 5.0), 0.02);
}

TEST(FuzzPedal, SettledOutputForSilence)
{
    for (bool cabinet : {false, true})
    {
        auto p = MakePedal(44100.0, 0.5, 0.5, cabinet);
        const std::vector<double> silence(88200, 0.0);
        const std::vector<double> out = Process(*p, silence, {512});
        const double expected = cabinet ? -0.000454 : -0.00949;
        EXPECT_NEAR(out.back(), expected, cabinet ? 5e-7 : 5e-6) << cabinet;
        EXPECT_NEAR(out[70000], out.back(), 1e-12) << "not settled, cabinet " << cabinet;
    }
}

TEST(FuzzPedal, EffectOffPassesTheSumAndFreezesHistory)
{
    auto p = MakePedal(44100.0, 0.8, 0.6, true);
    const std::vector<double> sig = dsptest::GuitarLike(4000, 44100.0, 0.5);
    Process(*p, sig, {256});
    const BiquadBank frozen = p->Bank();

    std::vector<double> in0 = dsptest::GuitarLike(1000, 44100.0, 0.9, 3),
                        in1 = dsptest::GuitarLike(1000, 44100.0, 0.4, 9);
    std::vector<double> out0(1000, 7.0), out1(1000, 7.0);
    for (bool cabinet : {true, false})
    {
        p->SetCabinetOn(cabinet);
        p->SetEffectOn(false);
        p->ProcessBlock(in0.data(), in1.data(), out0.data(), out1.data(), 1000);
        for (int i = 0; i < 1000; ++i)
        {
            ASSERT_EQ(out0[static_cast<size_t>(i)],
                      in1[static_cast<size_t>(i)] + in0[static_cast<size_t>(i)])
                << i;
            ASSERT_EQ(out1[static_cast<size_t>(i)], out0[static_cast<size_t>(i)]) << i;
        }
        EXPECT_TRUE(SameBank(frozen, p->Bank()));
    }

    // Switched on again, the chains resume from the frozen history.
    dsptest::ReferencePath ref{frozen, 0.8, 0.6, true};
    p->SetEffectOn(true);
    p->SetCabinetOn(true);
    p->ProcessBlock(in0.data(), in1.data(), out0.data(), out1.data(), 1000);
    for (size_t i = 0; i < 1000; ++i)
    {
        ASSERT_EQ(out0[i], ref.Frame(in0[i], in1[i])) << i;
    }
}

TEST(FuzzPedal, InPlaceProcessing)
{
    auto a = MakePedal(48000.0, 0.5, 0.5, true);
    auto b = MakePedal(48000.0, 0.5, 0.5, true);
    std::vector<double> l = dsptest::GuitarLike(3000, 48000.0, 0.7),
                        r = dsptest::GuitarLike(3000, 48000.0, 0.3, 11);
    std::vector<double> o0(3000), o1(3000);
    a->ProcessBlock(l.data(), r.data(), o0.data(), o1.data(), 3000);
    b->ProcessBlock(l.data(), r.data(), l.data(), r.data(), 3000);
    EXPECT_TRUE(SameBits(o0, l));
    EXPECT_TRUE(SameBits(o1, r));
    // Crossed buffers: output 0 over input 1 and output 1 over input 0.
    auto c = MakePedal(48000.0, 0.5, 0.5, true);
    std::vector<double> l2 = dsptest::GuitarLike(3000, 48000.0, 0.7),
                        r2 = dsptest::GuitarLike(3000, 48000.0, 0.3, 11);
    c->ProcessBlock(l2.data(), r2.data(), r2.data(), l2.data(), 3000);
    EXPECT_TRUE(SameBits(o0, r2));
}

TEST(FuzzPedal, NonPositiveFrameCountsTouchNothing)
{
    auto p = MakePedal(44100.0, 0.5, 0.5, true);
    const BiquadBank before = p->Bank();
    double in = 0.5, out0 = 3.0, out1 = 4.0;
    p->ProcessBlock(&in, &in, &out0, &out1, 0);
    p->ProcessBlock(&in, &in, &out0, &out1, -5);
    p->ProcessBlock(nullptr, nullptr, nullptr, nullptr, 0);
    EXPECT_EQ(out0, 3.0);
    EXPECT_EQ(out1, 4.0);
    EXPECT_TRUE(SameBank(before, p->Bank()));
}

TEST(FuzzPedal, BlockLoopMatchesPlainReferenceBitForBit)
{
    const std::vector<double> sig = dsptest::GuitarLike(30000, 44100.0, 0.8);
    for (double rate : {44100.0, 96000.0})
    {
        for (double attack : {0.0, 0.37, 0.5, 1.0, 1.5, -2.0})
        {
            for (bool cabinet : {false, true})
            {
                auto p = MakePedal(rate, 0.6, attack, cabinet);
                dsptest::ReferencePath ref{p->Bank(), 0.6, attack, cabinet};
                const std::vector<double> out = Process(*p, sig, {4096, 33, 700});
                std::vector<double> expected(sig.size());
                for (size_t i = 0; i < sig.size(); ++i)
                {
                    expected[i] = ref.Frame(sig[i], sig[i] * 0.25);
                }
                EXPECT_TRUE(SameBits(out, expected))
                    << rate << " attack " << attack << " cabinet " << cabinet;
                EXPECT_TRUE(SameBank(p->Bank(), ref.bank));
            }
        }
    }
}

TEST(FuzzPedal, PerSampleChainsMatchBlockLoop)
{
    const std::vector<double> sig = dsptest::GuitarLike(5000, 44100.0, 0.6);
    auto block = MakePedal(44100.0, 0.9, 0.8, true);
    auto single = MakePedal(44100.0, 0.9, 0.8, true);
    const std::vector<double> out = Process(*block, sig, {5000});
    for (size_t i = 0; i < sig.size(); ++i)
    {
        const double y = single->RunCabinetChain(single->RunFuzzChain(sig[i] * 0.25 + sig[i]));
        ASSERT_EQ(std::memcmp(&y, &out[i], sizeof y), 0) << i;
    }
}

TEST(FuzzPedal, BlockSizeIndependence)
{
    const std::vector<double> sig = dsptest::GuitarLike(20000, 44100.0, 0.7);
    auto whole = MakePedal(44100.0, 0.5, 0.5, true);
    const std::vector<double> expected = Process(*whole, sig, {20000});
    for (int size : {1, 7, 96, 512, 4096})
    {
        auto p = MakePedal(44100.0, 0.5, 0.5, true);
        EXPECT_TRUE(SameBits(Process(*p, sig, {size}), expected)) << size;
    }
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> size(1, 3000);
    std::vector<int> sizes(200);
    for (int& s : sizes)
    {
        s = size(rng);
    }
    auto p = MakePedal(44100.0, 0.5, 0.5, true);
    EXPECT_TRUE(SameBits(Process(*p, sig, sizes), expected));
}

TEST(FuzzPedal, ResetAtSameRateKeepsHistory)
{
    const std::vector<double> sig = dsptest::GuitarLike(6000, 44100.0, 0.5);
    auto a = MakePedal(44100.0, 0.5, 0.5, true);
    auto b = MakePedal(44100.0, 0.5, 0.5, true);
    const std::vector<double> first(sig.begin(), sig.begin() + 3000),
        second(sig.begin() + 3000, sig.end());
    Process(*a, first, {512});
    const BiquadBank before = a->Bank();
    a->Reset(44100.0);
    EXPECT_TRUE(SameBank(before, a->Bank()));
    EXPECT_EQ(a->CurrentRate(), 44100.0);
    std::vector<double> joined = Process(*a, second, {512});
    std::vector<double> whole = Process(*b, sig, {512});
    EXPECT_TRUE(SameBits(joined, std::vector<double>(whole.begin() + 3000, whole.end())));
}

TEST(FuzzPedal, ResetAtNewRateRedesignsAndClears)
{
    const std::vector<double> sig = dsptest::GuitarLike(3000, 44100.0, 0.5);
    auto p = MakePedal(44100.0, 0.5, 0.5, true);
    FuzzPedal fresh48, fresh44;
    fresh48.Reset(48000.0);
    fresh44.Reset(44100.0);

    Process(*p, sig, {512});
    p->Reset(48000.0);
    EXPECT_EQ(p->DesignedRate(), 48000.0);
    EXPECT_TRUE(HistoryZero(p->Bank()));
    EXPECT_TRUE(SameBank(p->Bank(), fresh48.Bank()));

    // Only the last designed rate is remembered: each change redesigns.
    Process(*p, sig, {512});
    p->Reset(44100.0);
    EXPECT_EQ(p->DesignedRate(), 44100.0);
    EXPECT_TRUE(SameBank(p->Bank(), fresh44.Bank()));
    Process(*p, sig, {512});
    p->Reset(48000.0);
    EXPECT_TRUE(SameBank(p->Bank(), fresh48.Bank()));
}

TEST(FuzzPedal, UnusableRatesKeepTheRunningDesign)
{
    const std::vector<double> sig = dsptest::GuitarLike(3000, 44100.0, 0.5);
    const double bad[] = {0.0, -48000.0, std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(), 1e300};
    auto p = MakePedal(44100.0, 0.5, 0.5, true);
    Process(*p, sig, {512});
    const BiquadBank before = p->Bank();
    for (double rate : bad)
    {
        p->Reset(rate);
        EXPECT_TRUE(SameBank(before, p->Bank())) << rate;
        EXPECT_EQ(p->DesignedRate(), 44100.0) << rate;
    }
    // Back at the designed rate nothing changes either.
    p->Reset(44100.0);
    EXPECT_TRUE(SameBank(before, p->Bank()));

    // Never designed: the output is silent but finite.
    FuzzPedal none;
    none.Reset(std::numeric_limits<double>::quiet_NaN());
    none.SetEffectOn(true);
    none.SetCabinetOn(true);
    none.SetLevel(1.0);
    none.SetAttack(1.0);
    for (double y : Process(none, sig, {512}))
    {
        ASSERT_TRUE(std::isfinite(y));
        ASSERT_LT(std::fabs(y), 1e-15);
    }
}

TEST(FuzzPedal, AttackZeroIsLinearApartFromOffset)
{
    const std::vector<double> sig = dsptest::GuitarLike(20000, 44100.0, 0.5);
    std::vector<double> twice(sig), silence(sig.size(), 0.0);
    for (double& v : twice)
    {
        v *= 2.0;
    }
    auto response = [&](double attack, const std::vector<double>& x)
    {
        auto p = MakePedal(44100.0, 0.5, attack, false);
        return Process(*p, x, {1024});
    };
    for (double attack : {0.0, 0.5})
    {
        const std::vector<double> base = response(attack, silence);
        const std::vector<double> once = response(attack, sig);
        const std::vector<double> two = response(attack, twice);
        double err = 0.0, norm = 0.0;
        for (size_t i = 0; i < sig.size(); ++i)
        {
            const double d1 = once[i] - base[i];
            const double d2 = two[i] - base[i];
            err += (d2 - 2.0 * d1) * (d2 - 2.0 * d1);
            norm += d1 * d1;
        }
        if (attack == 0.0)
        {
            EXPECT_LT(err, 1e-20 * norm) << "a clean path must scale with its input";
        }
        else
        {
            EXPECT_GT(err, 0.01 * norm) << "the shaper must bend the signal";
        }
    }
}

TEST(FuzzPedal, AttackOneKeepsOnlyTheShapedSignal)
{
    // With the dry weight at zero, the output level barely follows the input
    // level once the shaper saturates; with Attack 0.5 the dry half does.
    const std::vector<double> sig = dsptest::GuitarLike(44100, 44100.0, 4.0);
    std::vector<double> louder(sig);
    for (double& v : louder)
    {
        v *= 4.0;
    }
    for (double attack : {1.0, 0.5})
    {
        auto p1 = MakePedal(44100.0, 0.5, attack, false);
        auto p2 = MakePedal(44100.0, 0.5, attack, false);
        const double ratio =
            Rms(Process(*p2, louder, {512}), 4410) / Rms(Process(*p1, sig, {512}), 4410);
        if (attack == 1.0)
        {
            EXPECT_LT(ratio, 1.3);
        }
        else
        {
            EXPECT_GT(ratio, 2.0);
        }
    }
}

TEST(FuzzPedal, LevelZeroSilencesTheFuzzChain)
{
    const std::vector<double> sig = dsptest::GuitarLike(10000, 44100.0, 0.8);
    auto p = MakePedal(44100.0, 0.0, 0.5, false);
    for (double y : Process(*p, sig, {300}))
    {
        ASSERT_EQ(y, 0.0);
    }
    // The cabinet only rings out what it held.
    auto q = MakePedal(44100.0, 0.7, 0.5, true);
    Process(*q, sig, {300});
    q->SetLevel(0.0);
    const std::vector<double> tail = Process(*q, std::vector<double>(44100, 0.5), {300});
    EXPECT_GT(std::fabs(tail.front()), 1e-6);
    EXPECT_LT(std::fabs(tail.back()), 1e-12);
}

TEST(FuzzPedal, LowRatesStayStableAndFinite)
{
    for (double rate : {8000.0, 11025.0, 16000.0, 22050.0, 28200.0})
    {
        const int seconds = 10;
        const int frames = static_cast<int>(rate) * seconds;
        std::vector<double> loud(static_cast<size_t>(frames));
        dsptest::Lcg noise(99);
        for (int i = 0; i < frames; ++i)
        {
            // Full-scale noise, then a full-scale square wave near the top of the band.
            loud[static_cast<size_t>(i)] =
                i < frames / 2 ? noise.NextSigned() : ((i / 2) % 2 ? 1.0 : -1.0);
        }
        const std::vector<double> silence(static_cast<size_t>(frames), 0.0);
        for (bool cabinet : {false, true})
        {
            auto p = MakePedal(rate, 1.0, 1.0, cabinet);
            for (int k = 0; k < BiquadBank::kDesignedSections; ++k)
            {
                ASSERT_LT(p->Bank().PoleRadius(k), 1.0) << rate << " section " << k;
            }
            double peak = 0.0;
            for (const std::vector<double>* x :
                 std::initializer_list<const std::vector<double>*>{&loud, &silence})
            {
                for (double y : Process(*p, *x, {512}))
                {
                    ASSERT_TRUE(std::isfinite(y)) << rate;
                    peak = std::max(peak, std::fabs(y));
                }
            }
            EXPECT_LT(peak, 100.0) << rate << " cabinet " << cabinet;
            EXPECT_GT(peak, 1e-3) << rate << " cabinet " << cabinet;
        }
    }
}

TEST(FuzzPedal, RecoversFromNonFiniteInput)
{
    const double poison[] = {std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(), 1e308};
    const std::vector<double> sig = dsptest::GuitarLike(2048, 44100.0, 0.5);
    for (double bad : poison)
    {
        for (bool cabinet : {false, true})
        {
            auto p = MakePedal(44100.0, 0.5, 0.5, cabinet);
            Process(*p, sig, {512});
            std::vector<double> block(sig.begin(), sig.begin() + 512);
            block[100] = bad;
            Process(*p, block, {512});
            for (double y : Process(*p, sig, {512}))
            {
                ASSERT_TRUE(std::isfinite(y)) << bad << " cabinet " << cabinet;
            }
            EXPECT_TRUE(p->Bank().HistoryFinite(0, BiquadBank::kDesignedSections));
        }
    }
}

TEST(DenormalGuard, FlushesInsideAndRestoresAfter)
{
    volatile double tiny = 1e-310;
    volatile double one = 1.0;
    ASSERT_NE(tiny * one, 0.0);
    {
        DenormalGuard guard;
        EXPECT_EQ(tiny * one, 0.0);             // subnormal operand read as zero
        EXPECT_EQ((1e-300 * one) * 1e-10, 0.0); // subnormal result flushed
        {
            DenormalGuard nested;
        }
        EXPECT_EQ(tiny * one, 0.0);
    }
    EXPECT_EQ(tiny * one, 1e-310);
}

TEST(DenormalGuard, LongSilenceLeavesNoSubnormalHistory)
{
    const std::vector<double> sig = dsptest::GuitarLike(88200, 44100.0, 0.5);
    auto p = MakePedal(44100.0, 0.5, 0.5, true);
    auto plain = MakePedal(44100.0, 0.5, 0.5, true);
    Process(*p, sig, {512});
    for (size_t i = 0; i < sig.size(); ++i)
    {
        plain->RunCabinetChain(plain->RunFuzzChain(sig[i] * 0.25 + sig[i]));
    }
    const std::vector<double> silence(44100, 0.0);
    for (int s = 0; s < 40; ++s)
    {
        Process(*p, silence, {512});
        for (int i = 0; i < 44100; ++i)
        {
            plain->RunCabinetChain(plain->RunFuzzChain(0.0));
        }
    }
    auto subnormals = [](const BiquadBank& b)
    {
        int n = 0;
        for (int k = 0; k < BiquadBank::kSections; ++k)
        {
            for (double v : {b.x1[k], b.x2[k], b.y1[k], b.y2[k]})
            {
                n += std::fpclassify(v) == FP_SUBNORMAL;
            }
        }
        return n;
    };
    EXPECT_EQ(subnormals(p->Bank()), 0);
    // Without the guard the first section settles in a subnormal limit cycle.
    EXPECT_GT(subnormals(plain->Bank()), 0);
}
