#include "BiquadBank.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <limits>

namespace
{

BiquadBank Designed(double rate)
{
    BiquadBank bank{};
    EXPECT_TRUE(bank.DesignFilters(rate)) << rate;
    return bank;
}

// Relative agreement to ten significant digits.
void ExpectTenDigits(double actual, double expected, const char* what, int k)
{
    EXPECT_NEAR(actual, expected, std::fabs(expected) * 5e-10) << what << " of section " << k;
}

// Magnitude in dB of sections first..last in series at frequency f.
double ResponseDb(const BiquadBank& bank, int first, int last, double f, double rate)
{
    const std::complex<double> z1 = std::polar(1.0, -2.0 * 3.141592653589793 * f / rate);
    const std::complex<double> z2 = z1 * z1;
    std::complex<double> h = 1.0;
    for (int k = first; k <= last; ++k)
    {
        h *= (bank.b0[k] + bank.b1[k] * z1 + bank.b2[k] * z2) /
             (1.0 + bank.a1[k] * z1 + bank.a2[k] * z2);
    }
    return 20.0 * std::log10(std::abs(h));
}

double MaxPoleRadius(const BiquadBank& bank)
{
    double r = 0.0;
    for (int k = 0; k < BiquadBank::kDesignedSections; ++k)
    {
        r = std::fmax(r, bank.PoleRadius(k));
    }
    return r;
}

} // namespace

TEST(BiquadBank, CoefficientsAt44100)
{
    const BiquadBank bank = Designed(44100.0);
    struct Row
    {
        int k;
        double b0, b1, b2, a1, a2;
    };
    const Row rows[] = {
        {0, 0.9928603963, -1.985720793, 0.9928603963, -1.985629843, 0.9858117423},
        {1, 0.0005073629601, 0.00101472592, 0.0005073629601, -1.950967032, 0.9529964838},
        {2, 0.986349279, -1.966820556, 0.9804829732, -1.96664147, 0.9670113382},
        {9, 1.6220977, -1.427926815, 0.05869680725, -1.427926815, 0.6807945074},
        {10, 0.2684359931, 0.3433848925, 0.1281448714, -0.4711192901, 0.2110850471},
        {12, 0.9833386085, -1.957397591, 0.9740882087, -1.957106893, 0.957717515},
    };
    for (const Row& r : rows)
    {
        ExpectTenDigits(bank.b0[r.k], r.b0, "b0", r.k);
        ExpectTenDigits(bank.b1[r.k], r.b1, "b1", r.k);
        ExpectTenDigits(bank.b2[r.k], r.b2, "b2", r.k);
        ExpectTenDigits(bank.a1[r.k], r.a1, "a1", r.k);
        ExpectTenDigits(bank.a2[r.k], r.a2, "a2", r.k);
    }
    // Sections beyond the design stay silent.
    for (int k = BiquadBank::kDesignedSections; k < BiquadBank::kSections; ++k)
    {
        EXPECT_EQ(bank.b0[k], 0.0);
        EXPECT_EQ(bank.a1[k], 0.0);
    }
}

TEST(BiquadBank, ChainResponsesAt44100)
{
    const BiquadBank bank = Designed(44100.0);
    const double freqs[] = {50, 100, 200, 500, 1000, 2000, 3000, 5000, 10000};
    struct Chain
    {
        int first, last;
        double db[9];
    };
    const Chain chains[] = {
        {0, 1, {-10.3, 0.3, 1.6, -6.7, -19.4, -31.8, -39.1, -48.5, -63.1}},
        {2, 11, {-19.2, -14.7, -16.6, -15.0, -4.7, 1.8, 9.7, 8.4, -11.7}},
        {12, 21, {-19.3, -10.8, -4.3, -7.8, -3.9, -1.6, -13.1, -18.5, -18.2}},
    };
    for (const Chain& c : chains)
    {
        for (int i = 0; i < 9; ++i)
        {
            // The table is rounded to 0.1 dB.
            EXPECT_NEAR(ResponseDb(bank, c.first, c.last, freqs[i], 44100.0), c.db[i], 0.051)
                << "sections " << c.first << " to " << c.last << " at " << freqs[i] << " Hz";
        }
    }
    // Single sections.
    EXPECT_NEAR(ResponseDb(bank, 1, 1, 1000, 44100.0), -19.5, 0.1);
    EXPECT_NEAR(ResponseDb(bank, 1, 1, 3000, 44100.0), -39.0, 0.5);
    EXPECT_NEAR(ResponseDb(bank, 9, 9, 3000, 44100.0), 11.9, 0.1);
    EXPECT_NEAR(ResponseDb(bank, 2, 2, 100, 44100.0), -7.7, 0.1);
}

TEST(BiquadBank, DcGains)
{
    const BiquadBank bank = Designed(48000.0);
    auto dc = [&](int k)
    { return (bank.b0[k] + bank.b1[k] + bank.b2[k]) / (1.0 + bank.a1[k] + bank.a2[k]); };
    EXPECT_NEAR(dc(0), 0.0, 1e-12);
    EXPECT_NEAR(dc(2), std::pow(10.0, -1.5), 1e-9);
    EXPECT_NEAR(dc(12), std::pow(10.0, -1.32), 1e-9);
    for (int k : {1, 3, 5, 9, 10, 11, 13, 20, 21})
    {
        EXPECT_NEAR(dc(k), 1.0, 1e-9) << k;
    }
}

TEST(BiquadBank, UnityPeakPassesItsInput)
{
    for (double rate : {32000.0, 44100.0, 96000.0})
    {
        const BiquadBank bank = Designed(rate);
        for (double f = 20.0; f < rate / 2; f *= 1.5)
        {
            EXPECT_NEAR(ResponseDb(bank, 13, 13, f, rate), 0.0, 1e-9) << f << " Hz at " << rate;
        }
        BiquadBank run = bank;
        uint32_t s = 1;
        for (int i = 0; i < 1000; ++i)
        {
            s = s * 1664525u + 1013904223u;
            const double x = static_cast<int32_t>(s) / 2147483648.0;
            EXPECT_NEAR(run.RunSection(13, x), x, 1e-12);
        }
    }
}

TEST(BiquadBank, PolesInsideUnitCircle)
{
    EXPECT_NEAR(MaxPoleRadius(Designed(44100.0)), 0.993, 0.0005);
    EXPECT_EQ(Designed(44100.0).PoleRadius(0), MaxPoleRadius(Designed(44100.0)));
    for (double rate : {28200.5, 32000.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0, 384000.0})
    {
        EXPECT_LT(MaxPoleRadius(Designed(rate)), 1.0) << rate;
    }
}

TEST(BiquadBank, LowRatesLimitBandsBelowHalfTheRate)
{
    for (double rate : {8000.0, 11025.0, 16000.0, 22050.0, 28200.0, 28200.00001, 1000.0, 1.0})
    {
        const BiquadBank bank = Designed(rate);
        // Wide bands squeezed under half the rate ring long but decay.
        EXPECT_LT(MaxPoleRadius(bank), rate >= 8000.0 ? 0.999 : 0.99999) << rate;
        // The limited shelves still cut the top of the band.
        EXPECT_LT(ResponseDb(bank, 10, 10, rate * 0.49, rate), -10.0) << rate;
    }
    // Above the limit the reference design holds: the 14100 Hz shelf sits
    // just below half the rate.
    const BiquadBank at32k = Designed(32000.0);
    EXPECT_NEAR(ResponseDb(at32k, 10, 10, 14100.0, 32000.0), -15.0, 0.1);
}

TEST(BiquadBank, RefusesUnusableRates)
{
    BiquadBank bank = Designed(44100.0);
    bank.x1[3] = 0.25;
    BiquadBank before;
    std::memcpy(&before, &bank, sizeof bank);
    const double bad[] = {0.0,
                          -0.0,
                          -44100.0,
                          std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          1e300,
                          std::numeric_limits<double>::max()};
    for (double rate : bad)
    {
        EXPECT_FALSE(bank.DesignFilters(rate)) << rate;
        EXPECT_EQ(std::memcmp(&before, &bank, sizeof bank), 0) << rate;
    }
}

TEST(BiquadBank, ClearAndHistoryChecks)
{
    BiquadBank bank = Designed(44100.0);
    for (int i = 0; i < 100; ++i)
    {
        bank.RunSection(4, 0.5);
        bank.RunSection(15, 0.5);
    }
    EXPECT_TRUE(bank.HistoryFinite(0, 22));
    bank.y2[15] = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(bank.HistoryFinite(0, 12));
    EXPECT_FALSE(bank.HistoryFinite(12, 10));
    bank.x1[4] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(bank.HistoryFinite(0, 12));

    const double b0 = bank.b0[4];
    bank.ClearHistory(0, 12);
    EXPECT_TRUE(bank.HistoryFinite(0, 12));
    EXPECT_EQ(bank.x1[4], 0.0);
    EXPECT_EQ(bank.y1[4], 0.0);
    EXPECT_EQ(bank.b0[4], b0);
    EXPECT_FALSE(std::isfinite(bank.y2[15])); // other chain untouched

    bank.ClearBank();
    const double* all = bank.b0;
    for (int i = 0; i < 9 * BiquadBank::kSections; ++i)
    {
        ASSERT_EQ(all[i], 0.0) << i;
    }
}

TEST(BiquadBank, RunSectionAccumulationOrder)
{
    // Values chosen so that a different summation order gives different bits:
    // the large terms cancel, leaving the rounding of the small ones.
    BiquadBank bank{};
    bank.b0[5] = 1.0;
    bank.b1[5] = 1.0;
    bank.b2[5] = 1.0;
    bank.a1[5] = 1.0;
    bank.a2[5] = 1.0;
    bank.x1[5] = 1e16;
    bank.x2[5] = 1.0;
    bank.y1[5] = 1e16;
    bank.y2[5] = 3.0;
    // ((1e16 + 1) + 1) - 1e16 - 3 in this order: 1e16 + 1 rounds to 1e16.
    const double y = bank.RunSection(5, 1.0);
    EXPECT_EQ(y, -3.0);
    EXPECT_EQ(bank.x1[5], 1.0);
    EXPECT_EQ(bank.x2[5], 1e16);
    EXPECT_EQ(bank.y1[5], -3.0);
    EXPECT_EQ(bank.y2[5], 1e16);
}
