#pragma once

#include <cstddef>

// The effect's second-order filter sections as nine parallel arrays, so that
// each coefficient kind and each history kind is contiguous. Sections 0 to 11
// form the fuzz chain, 12 to 21 the cabinet chain; 22 to 31 stay zero.
struct BiquadBank
{
    static constexpr int kSections = 32;
    static constexpr int kDesignedSections = 22;
    static constexpr int kFuzzFirst = 0;
    static constexpr int kFuzzCount = 12;
    static constexpr int kCabinetFirst = 12;
    static constexpr int kCabinetCount = 10;

    // Rates at or below this put the highest band (14100 Hz) at or above half
    // the rate; such rates get frequencies limited to kLowRateLimit x rate.
    static constexpr double kFullDesignRate = 28200.0;
    static constexpr double kLowRateLimit = 0.45;

    double b0[kSections];
    double b1[kSections];
    double b2[kSections];
    double a1[kSections];
    double a2[kSections];
    double x1[kSections];
    double x2[kSections];
    double y1[kSections];
    double y2[kSections];

    // One sample through section k, direct form I; the sum is accumulated in a
    // fixed order so that every build gives the same bits.
    double RunSection(int k, double x)
    {
        double y = x1[k] * b1[k];
        y = y + x * b0[k];
        y = y + b2[k] * x2[k];
        y = y - y1[k] * a1[k];
        y = y - a2[k] * y2[k];
        x2[k] = x1[k];
        x1[k] = x;
        y2[k] = y1[k];
        y1[k] = y;
        return y;
    }

    // Every coefficient and every history value becomes 0.0.
    void ClearBank();

    // Zeroes the history of sections first .. first + count - 1, keeping their
    // coefficients.
    void ClearHistory(int first, int count);

    // True when every history value of the given sections is finite.
    bool HistoryFinite(int first, int count) const;

    // Designs sections 0 to 21 for sampleRate. Rates above kFullDesignRate
    // get the reference design; lower rates get every band limited to
    // kLowRateLimit x rate. Returns false, leaving the bank untouched, for a
    // rate that is not finite and positive or for which a section would still
    // come out non-finite or not strictly stable (an absurdly high rate puts
    // poles onto the unit circle). History is not touched; callers clear it
    // when the design changes.
    bool DesignFilters(double sampleRate);

    // Largest pole radius of section k (0 for a section without feedback).
    double PoleRadius(int k) const;
};

static_assert(sizeof(double) == 8, "the bank holds IEEE binary64 samples");
static_assert(sizeof(BiquadBank) == 9 * BiquadBank::kSections * sizeof(double),
              "nine arrays of 32 doubles, no padding");
static_assert(offsetof(BiquadBank, b0) == 0 * 32 * sizeof(double), "array order");
static_assert(offsetof(BiquadBank, b1) == 1 * 32 * sizeof(double), "array order");
static_assert(offsetof(BiquadBank, b2) == 2 * 32 * sizeof(double), "array order");
static_assert(offsetof(BiquadBank, a1) == 3 * 32 * sizeof(double), "array order");
static_assert(offsetof(BiquadBank, a2) == 4 * 32 * sizeof(double), "array order");
static_assert(offsetof(BiquadBank, x1) == 5 * 32 * sizeof(double), "array order");
static_assert(offsetof(BiquadBank, x2) == 6 * 32 * sizeof(double), "array order");
static_assert(offsetof(BiquadBank, y1) == 7 * 32 * sizeof(double), "array order");
static_assert(offsetof(BiquadBank, y2) == 8 * 32 * sizeof(double), "array order");
