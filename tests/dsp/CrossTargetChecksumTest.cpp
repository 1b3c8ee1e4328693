#include "DspTestSignals.h"
#include "FuzzPedal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

// The per-sample arithmetic must give the same bits on every target (native,
// 64-bit and 32-bit Windows). The coefficients are fixed here as exact
// literals, so the result does not depend on the C library's sin, cos or pow,
// and the signal is built from integer arithmetic and exact divisions only.

namespace
{

// Sections 0 to 21 at 44100 Hz: b0, b1, b2, a1, a2.
const double kCoefficients44100[22][5] = {
    {0x1.fc5832a728453p-1, -0x1.fc5832a728453p+0, 0x1.fc5832a728453p-1, -0x1.fc523cc53708cp+0,
     0x1.f8bc511233031p-1},
    {0x1.0a011a90ab1b5p-11, 0x1.0a011a90ab1b5p-10, 0x1.0a011a90ab1b5p-11, -0x1.f372934dc21a3p+0,
     0x1.e7ef27b614df6p-1},
    {0x1.f902c5cf2bc93p-1, -0x1.f7818d4c80d7cp+0, 0x1.f601dd3ffdbaep-1, -0x1.f775d0bbb88acp+0,
     0x1.ef1c1c30ba1e3p-1},
    {0x1.f4f0a514dd4ddp-1, -0x1.ecaccf5ee84b6p+0, 0x1.e4cf6b891338p-1, -0x1.ecaccf5ee84b6p+0,
     0x1.d9c0109df085fp-1},
    {0x1.c9858ee51e93dp-1, -0x1.b6f33449ca99bp+0, 0x1.a69c5326caa64p-1, -0x1.b6f33449ca99bp+0,
     0x1.7021e20be93a2p-1},
    {0x1.febdab3384a71p-1, -0x1.f8cfb991c6645p+0, 0x1.f3ce0f5574d2cp-1, -0x1.f8cfb991c6645p+0,
     0x1.f28bba88f979bp-1},
    {0x1.14850a4339c9p+0, -0x1.caabc2a9d5d1bp+0, 0x1.89eb3b5c8d4f3p-1, -0x1.caabc2a9d5d1bp+0,
     0x1.b2f54fe300e11p-1},
    {0x1.e27fb32ebf4f8p-1, -0x1.c128a0e73d7ffp+0, 0x1.ceb4dd473cb72p-1, -0x1.c128a0e73d7ffp+0,
     0x1.b1349075fc06bp-1},
    {0x1.c5292b6102fedp-1, -0x1.952f98ed25911p-1, 0x1.25a978866612dp-1, -0x1.952f98ed25911p-1,
     0x1.d5a547ced2235p-2},
    {0x1.9f41cb7d2310ep+0, -0x1.6d8c9c9b6dc91p+0, 0x1.e0d82070fc342p-5, -0x1.6d8c9c9b6dc91p+0,
     0x1.5c91190155e5p-1},
    {0x1.12e0e28d72fb3p-2, 0x1.5fa04a0d1d674p-2, 0x1.0670d17dee0fap-3, -0x1.e26d185e7916cp-2,
     0x1.b04d5b7001025p-3},
    {0x1.31a774c19d255p-2, 0x1.b2ee195424f5ap-3, 0x1.40f5a6b2ef8p-4, -0x1.5236d96f31d8fp-1,
     0x1.ff933bed9e63fp-3},
    {0x1.f77828787e89ap-1, -0x1.f518022e46bc8p+0, 0x1.f2bbb08f41333p-1, -0x1.f504f51457ab8p+0,
     0x1.ea59f33b9ddf9p-1},
    {0x1p+0, -0x1.d13115e03094ap+0, 0x1.b80addf31de8ep-1, -0x1.d13115e03094ap+0,
     0x1.b80addf31de8ep-1},
    {0x1.f567c93767305p-1, -0x1.ebf278be0e198p+0, 0x1.e4fda121fe029p-1, -0x1.ebf278be0e198p+0,
     0x1.da656a596532ep-1},
    {0x1.fabbb02fc3865p-1, -0x1.f4aef7186ab36p+0, 0x1.f605a69087f7ap-1, -0x1.f4aef7186ab36p+0,
     0x1.f0c156c04b7dfp-1},
    {0x1.f9c826b795a77p-1, -0x1.eed9c380bcd08p+0, 0x1.f290111831de9p-1, -0x1.eed9c380bcd08p+0,
     0x1.ec5837cfc786p-1},
    {0x1.e8c1b57943e9bp-1, -0x1.d600c4739675bp+0, 0x1.e30823b646058p-1, -0x1.d600c4739675bp+0,
     0x1.cbc9d92f89ef3p-1},
    {0x1.26fe1217f0c4p+0, -0x1.ccfc7d12cd7ebp+0, 0x1.7b35d6cdae13p-1, -0x1.ccfc7d12cd7ebp+0,
     0x1.c931fafd8f9afp-1},
    {0x1.a64e57d147fep-1, -0x1.6e1969c3abe4ap+0, 0x1.8930feac099cbp-1, -0x1.6e1969c3abe4ap+0,
     0x1.2f7f567d519aap-1},
    {0x1.4fbd54a174c69p-1, -0x1.b14bdca4c5342p-1, 0x1.2fc210209c779p-1, -0x1.b14bdca4c5342p-1,
     0x1.fdfd930844f87p-3},
    {0x1.4690c4acbf658p-3, 0x1.0af130acd33afp-3, 0x1.7dc6e182a80f2p-5, -0x1.076b71e667cfp+0,
     0x1.76279e76bd8e4p-2},
};

void LoadCoefficients(BiquadBank& bank)
{
    bank.ClearBank();
    for (int k = 0; k < 22; ++k)
    {
        bank.b0[k] = kCoefficients44100[k][0];
        bank.b1[k] = kCoefficients44100[k][1];
        bank.b2[k] = kCoefficients44100[k][2];
        bank.a1[k] = kCoefficients44100[k][3];
        bank.a2[k] = kCoefficients44100[k][4];
    }
}

// FNV-1a over the bit patterns of the samples.
uint64_t Fingerprint(const std::vector<double>& v)
{
    uint64_t h = 0xcbf29ce484222325ull;
    for (double d : v)
    {
        uint64_t bits;
        std::memcpy(&bits, &d, sizeof bits);
        for (int i = 0; i < 8; ++i)
        {
            h ^= (bits >> (8 * i)) & 0xffu;
            h *= 0x100000001b3ull;
        }
    }
    return h;
}

// Three seconds: a rising saw with noise on the other input and a stretch of
// silence, so every branch of the shaper is taken.
void MakeSignal(std::vector<double>& in0, std::vector<double>& in1)
{
    const int frames = 3 * 44100;
    in0.assign(frames, 0.0);
    in1.assign(frames, 0.0);
    dsptest::Lcg lcg(2026);
    for (int i = 0; i < frames; ++i)
    {
        const double envelope = (i % 22050) / 22050.0;
        const double saw = ((i * 7) % 401 - 200) / 200.0;
        const double noise = lcg.NextSigned() * 0.05;
        if (i >= 44100 && i < 49100)
        {
            continue;
        }
        in0[static_cast<size_t>(i)] = 0.6 * saw * envelope;
        in1[static_cast<size_t>(i)] = noise;
    }
}

uint64_t RunFixedChain(bool cabinet)
{
    FuzzPedal pedal;
    LoadCoefficients(pedal.Bank());
    pedal.SetLevel(0.75);
    pedal.SetAttack(0.62);
    pedal.SetEffectOn(true);
    pedal.SetCabinetOn(cabinet);
    std::vector<double> in0, in1;
    MakeSignal(in0, in1);
    std::vector<double> out0(in0.size()), out1(in0.size());
    for (size_t pos = 0; pos < in0.size(); pos += 333)
    {
        const int32_t n = static_cast<int32_t>(std::min<size_t>(333, in0.size() - pos));
        pedal.ProcessBlock(in0.data() + pos, in1.data() + pos, out0.data() + pos, out1.data() + pos,
                           n);
    }
    EXPECT_EQ(std::memcmp(out0.data(), out1.data(), out0.size() * sizeof(double)), 0);
    return Fingerprint(out0);
}

} // namespace

TEST(CrossTarget, FixedCoefficientsGiveTheSameBits)
{
    EXPECT_EQ(RunFixedChain(false), 0x2e5b08af5e902519ull);
    EXPECT_EQ(RunFixedChain(true), 0x9d70c02836f3dab3ull);
}

TEST(CrossTarget, DesignAgreesWithFixedCoefficients)
{
    // The design goes through the C library's sin, cos, sinh and pow, which
    // may differ in the last place between targets; the agreement is close.
    BiquadBank bank{};
    ASSERT_TRUE(bank.DesignFilters(44100.0));
    int differing = 0;
    for (int k = 0; k < 22; ++k)
    {
        const double designed[5] = {bank.b0[k], bank.b1[k], bank.b2[k], bank.a1[k], bank.a2[k]};
        for (int j = 0; j < 5; ++j)
        {
            const double fixed = kCoefficients44100[k][j];
            EXPECT_NEAR(designed[j], fixed, std::fabs(fixed) * 1e-13)
                << "section " << k << " coefficient " << j;
            differing += designed[j] != fixed;
        }
    }
    RecordProperty("coefficients_differing_in_bits", differing);
}
