#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

// Deterministic test signals for the fuzz DSP tests and benchmarks.
namespace dsptest
{

constexpr double kPi = 3.141592653589793;

// 32-bit linear congruential generator: identical sequence on every target.
class Lcg
{
public:
    explicit Lcg(uint32_t seed) : state(seed) {}
    uint32_t Next()
    {
        state = state * 1664525u + 1013904223u;
        return state;
    }
    // Uniform in [-1, 1), a multiple of 2^-23, so exactly representable.
    double NextSigned()
    {
        return static_cast<double>(static_cast<int32_t>(Next() >> 8) - (1 << 23)) / 8388608.0;
    }

private:
    uint32_t state;
};

// Plucked strings: each pluck is a handful of decaying harmonics with a little
// noise in the attack, re-plucked every half second at a new pitch.
inline std::vector<double> GuitarLike(int frames, double rate, double level, uint32_t seed = 7)
{
    static const double kPitches[] = {82.41, 110.0, 146.83, 196.0, 246.94, 329.63};
    std::vector<double> out(static_cast<size_t>(frames));
    Lcg noise(seed);
    const int pluck = static_cast<int>(rate / 2);
    for (int i = 0; i < frames; ++i)
    {
        const int n = i % pluck;
        const double f = kPitches[(i / pluck) % 6];
        const double t = n / rate;
        double v = 0.0;
        for (int h = 1; h <= 6; ++h)
        {
            v += std::sin(2.0 * kPi * f * h * t) * std::exp(-t * (2.0 + h)) / h;
        }
        v += noise.NextSigned() * 0.2 * std::exp(-t * 60.0);
        out[static_cast<size_t>(i)] = level * v;
    }
    return out;
}

} // namespace dsptest
