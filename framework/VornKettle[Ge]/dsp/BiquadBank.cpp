#include "BiquadBank.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace
{

enum class SectionType
{
    HighPass,
    LowPass,
    Peaking,
    LowShelf,
    HighShelf
};

struct SectionDesign
{
    SectionType type;
    double frequency; // Hz
    double gainDb;    // peaking and shelves
    double octaves;   // high-pass, low-pass and peaking
};

constexpr SectionDesign kDesign[BiquadBank::kDesignedSections] = {
    // Fuzz chain: band limit in front of the shaper.
    {SectionType::HighPass, 95.0, 0.0, 1.46},
    {SectionType::LowPass, 320.0, 0.0, 1.46},
    // Fuzz chain: equaliser after the shaper.
    {SectionType::LowShelf, 140.0, -30.0, 0.0},
    {SectionType::Peaking, 200.0, -7.5, 2.3},
    {SectionType::Peaking, 500.0, -12.3, 2.8},
    {SectionType::Peaking, 300.0, -1.8, 0.8},
    {SectionType::Peaking, 1760.0, 6.3, 1.3},
    {SectionType::Peaking, 2220.0, -12.0, 0.38},
    {SectionType::Peaking, 7000.0, -4.8, 0.8},
    {SectionType::Peaking, 3900.0, 13.8, 2.0},
    {SectionType::HighShelf, 14100.0, -30.0, 0.0},
    {SectionType::HighShelf, 11200.0, -21.3, 0.0},
    // Cabinet chain.
    {SectionType::LowShelf, 200.0, -26.4, 0.0},
    {SectionType::Peaking, 1500.0, 0.0, 1.0},
    {SectionType::Peaking, 500.0, -7.2, 1.0},
    {SectionType::Peaking, 850.0, -10.2, 0.2},
    {SectionType::Peaking, 1200.0, -8.7, 0.2},
    {SectionType::Peaking, 1800.0, -19.2, 0.2},
    {SectionType::Peaking, 2200.0, 11.7, 1.0},
    {SectionType::Peaking, 3200.0, -17.1, 0.6},
    {SectionType::Peaking, 5800.0, -21.6, 0.6},
    {SectionType::HighShelf, 10200.0, -30.0, 0.0},
};

constexpr double kTwoPi = 6.283185307179586;     // 2 pi rounded to double
constexpr double kHalfLn2 = 0.34657359027997264; // ln 2 / 2 rounded to double

struct Coefficients
{
    double b0, b1, b2, a1, a2;
};

// The formulas below are written with explicit parentheses so that the order
// of every rounding is fixed; the design must be reproducible to the last bit.
Coefficients DesignSection(const SectionDesign& d, double f, double fs)
{
    const double w0 = (kTwoPi * f) / fs;
    const double sn = std::sin(w0);
    const double cs = std::cos(w0);
    const double A = std::pow(10.0, d.gainDb / 40.0);
    const double K = kHalfLn2 * d.octaves;
    const double alpha = sn * std::sinh((K * w0) / sn);

    Coefficients c{};
    switch (d.type)
    {
    case SectionType::HighPass:
    {
        const double a0 = 1.0 + alpha;
        c.b0 = ((1.0 + cs) * 0.5) / a0;
        c.b1 = (-(1.0 + cs)) / a0;
        c.b2 = ((1.0 + cs) * 0.5) / a0;
        c.a1 = (-2.0 * cs) / a0;
        c.a2 = (1.0 - alpha) / a0;
        break;
    }
    case SectionType::LowPass:
    {
        const double a0 = 1.0 + alpha;
        c.b0 = ((1.0 - cs) * 0.5) / a0;
        c.b1 = (1.0 - cs) / a0;
        c.b2 = ((1.0 - cs) * 0.5) / a0;
        c.a1 = (-2.0 * cs) / a0;
        c.a2 = (1.0 - alpha) / a0;
        break;
    }
    case SectionType::Peaking:
    {
        const double a0 = 1.0 + alpha / A;
        c.b0 = (1.0 + alpha * A) / a0;
        c.b1 = (-2.0 * cs) / a0;
        c.b2 = (1.0 - alpha * A) / a0;
        c.a1 = (-2.0 * cs) / a0;
        c.a2 = (1.0 - alpha / A) / a0;
        break;
    }
    case SectionType::LowShelf:
    {
        // The house shelf: cosine of 0.41 w0 and a slope term of
        // sqrt(A) / 1.41 x sin(w0), which give its gentler knee.
        const double cw = std::cos(0.41 * w0);
        const double e = (std::sqrt(A) / 1.41) * sn;
        const double a0 = ((A + 1.0) + (A - 1.0) * cw) + e;
        c.b0 = (A * (((A + 1.0) - (A - 1.0) * cw) + e)) / a0;
        c.b1 = ((2.0 * A) * ((A - 1.0) - (A + 1.0) * cw)) / a0;
        c.b2 = (A * (((A + 1.0) - (A - 1.0) * cw) - e)) / a0;
        c.a1 = (-2.0 * ((A - 1.0) + (A + 1.0) * cw)) / a0;
        c.a2 = (((A + 1.0) + (A - 1.0) * cw) - e) / a0;
        break;
    }
    case SectionType::HighShelf:
    {
        const double cw = cs;
        const double e = std::sqrt(A + A) * sn;
        const double a0 = ((A + 1.0) - (A - 1.0) * cw) + e;
        c.b0 = (A * (((A + 1.0) + (A - 1.0) * cw) + e)) / a0;
        c.b1 = ((-2.0 * A) * ((A - 1.0) + (A + 1.0) * cw)) / a0;
        c.b2 = (A * (((A + 1.0) + (A - 1.0) * cw) - e)) / a0;
        c.a1 = (2.0 * ((A - 1.0) - (A + 1.0) * cw)) / a0;
        c.a2 = (((A + 1.0) - (A - 1.0) * cw) - e) / a0;
        break;
    }
    }
    return c;
}

bool Usable(const Coefficients& c)
{
    if (!std::isfinite(c.b0) || !std::isfinite(c.b1) || !std::isfinite(c.b2) ||
        !std::isfinite(c.a1) || !std::isfinite(c.a2))
    {
        return false;
    }
    // Both poles of z^2 + a1 z + a2 strictly inside the unit circle.
    return std::fabs(c.a2) < 1.0 && std::fabs(c.a1) < 1.0 + c.a2;
}

} // namespace

void BiquadBank::ClearBank()
{
    std::fill(std::begin(b0), std::end(b0), 0.0);
    std::fill(std::begin(b1), std::end(b1), 0.0);
    std::fill(std::begin(b2), std::end(b2), 0.0);
    std::fill(std::begin(a1), std::end(a1), 0.0);
    std::fill(std::begin(a2), std::end(a2), 0.0);
    ClearHistory(0, kSections);
}

void BiquadBank::ClearHistory(int first, int count)
{
    for (int k = first; k < first + count; ++k)
    {
        x1[k] = 0.0;
        x2[k] = 0.0;
        y1[k] = 0.0;
        y2[k] = 0.0;
    }
}

bool BiquadBank::HistoryFinite(int first, int count) const
{
    // x - x is 0 for finite x and NaN otherwise; one sum keeps this loop free
    // of branches.
    double sum = 0.0;
    for (int k = first; k < first + count; ++k)
    {
        sum += (x1[k] - x1[k]) + (x2[k] - x2[k]) + (y1[k] - y1[k]) + (y2[k] - y2[k]);
    }
    return sum == 0.0;
}

bool BiquadBank::DesignFilters(double sampleRate)
{
    if (!(sampleRate > 0.0) || !std::isfinite(sampleRate))
    {
        return false;
    }
    Coefficients fresh[kDesignedSections];
    for (int k = 0; k < kDesignedSections; ++k)
    {
        // At rates up to kFullDesignRate the upper bands reach half the rate,
        // where the shelf and peaking forms become unstable: such bands are
        // moved safely below it. Just above that rate the 14100 Hz shelf is
        // mathematically stable but its poles round onto the unit circle; it
        // gets the same treatment.
        const double limit = kLowRateLimit * sampleRate;
        double f = kDesign[k].frequency;
        if (sampleRate <= kFullDesignRate && f > limit)
        {
            f = limit;
        }
        fresh[k] = DesignSection(kDesign[k], f, sampleRate);
        if (!Usable(fresh[k]) && f > limit)
        {
            fresh[k] = DesignSection(kDesign[k], limit, sampleRate);
        }
        if (!Usable(fresh[k]))
        {
            return false;
        }
    }
    for (int k = 0; k < kDesignedSections; ++k)
    {
        b0[k] = fresh[k].b0;
        b1[k] = fresh[k].b1;
        b2[k] = fresh[k].b2;
        a1[k] = fresh[k].a1;
        a2[k] = fresh[k].a2;
    }
    return true;
}

double BiquadBank::PoleRadius(int k) const
{
    // Roots of z^2 + a1 z + a2.
    const std::complex<double> disc = std::sqrt(std::complex<double>(a1[k] * a1[k] - 4.0 * a2[k]));
    const std::complex<double> p1 = (-a1[k] + disc) * 0.5;
    const std::complex<double> p2 = (-a1[k] - disc) * 0.5;
    return std::max(std::abs(p1), std::abs(p2));
}
