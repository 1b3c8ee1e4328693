#include "DemoSignal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace
{
// Small deterministic noise source for the string excitation.
class Lcg
{
public:
    explicit Lcg(uint32_t seed) : state(seed) {}
    double Next()
    {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / 8388608.0 - 1.0; // -1 .. 1
    }

private:
    uint32_t state;
};
} // namespace

std::vector<double> DemoSignal::Generate(double sampleRate)
{
    const size_t frames = static_cast<size_t>(std::llround(kSeconds * sampleRate));
    std::vector<double> out(frames * 2, 0.0);

    // An open E-major shape, strummed low to high, 45 ms between strings.
    const double notes[] = {82.41, 123.47, 164.81, 207.65, 246.94, 329.63};
    const int count = sizeof(notes) / sizeof(notes[0]);
    Lcg noise(0x5eed1234u);
    for (int s = 0; s < count; ++s)
    {
        const size_t onset = static_cast<size_t>(std::llround(0.045 * s * sampleRate));
        const size_t period =
            std::max<size_t>(2, static_cast<size_t>(std::llround(sampleRate / notes[s])));
        std::vector<double> line(period);
        for (double& x : line)
        {
            x = noise.Next();
        }
        // Low strings to the left, high ones to the right.
        const double pan = (s + 0.5) / count;
        const double left = std::cos(pan * 1.5707963267948966);
        const double right = std::sin(pan * 1.5707963267948966);
        size_t pos = 0;
        for (size_t f = onset; f < frames; ++f)
        {
            const size_t next = pos + 1 == period ? 0 : pos + 1;
            const double y = line[pos];
            // The averaging filter with a little loss is the string's damping.
            line[pos] = 0.4985 * (line[pos] + line[next]);
            pos = next;
            out[2 * f] += y * left;
            out[2 * f + 1] += y * right;
        }
    }

    // A short fade at the end avoids a click where the signal is cut.
    const size_t fade = std::min(frames, static_cast<size_t>(0.05 * sampleRate));
    for (size_t i = 0; i < fade; ++i)
    {
        const double g = static_cast<double>(i) / static_cast<double>(fade);
        out[2 * (frames - 1 - i)] *= g;
        out[2 * (frames - 1 - i) + 1] *= g;
    }

    double peak = 0.0;
    for (double x : out)
    {
        peak = std::max(peak, std::fabs(x));
    }
    if (peak > 0.0)
    {
        for (double& x : out)
        {
            x *= 0.5 / peak;
        }
    }
    return out;
}
