#include "Audio.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

Audio MakeSignal(SignalKind kind, int32_t channels, int64_t frames, double rate, uint64_t seed)
{
    Audio audio(channels, frames);
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    const double pi = 3.14159265358979323846;
    for (int32_t c = 0; c < channels; ++c)
    {
        std::vector<double>& x = audio.channels[static_cast<size_t>(c)];
        for (int64_t i = 0; i < frames; ++i)
        {
            const double t = static_cast<double>(i) / rate;
            double v = 0.0;
            switch (kind)
            {
            case SignalKind::Music:
            case SignalKind::Loud:
                v = 0.2 * std::sin(2.0 * pi * 110.0 * t + c) +
                    0.15 * std::sin(2.0 * pi * 440.0 * t) + 0.1 * std::sin(2.0 * pi * 1870.0 * t) +
                    0.02 * uniform(rng);
                if (kind == SignalKind::Loud)
                {
                    v *= 20.0;
                }
                break;
            case SignalKind::Silence:
                break;
            case SignalKind::Dc:
                v = 0.5;
                break;
            case SignalKind::FullScale:
                v = std::fmod(t * 100.0, 1.0) < 0.5 ? 1.0 : -1.0;
                break;
            case SignalKind::Noise:
                v = uniform(rng);
                break;
            }
            x[static_cast<size_t>(i)] = v;
        }
    }
    return audio;
}

Audio Concatenate(const Audio& a, const Audio& b)
{
    Audio out = a;
    for (size_t c = 0; c < out.channels.size() && c < b.channels.size(); ++c)
    {
        out.channels[c].insert(out.channels[c].end(), b.channels[c].begin(), b.channels[c].end());
    }
    return out;
}

bool AllFinite(const Audio& audio)
{
    for (const auto& c : audio.channels)
    {
        for (double v : c)
        {
            if (!std::isfinite(v))
            {
                return false;
            }
        }
    }
    return true;
}

double Peak(const Audio& audio)
{
    double peak = 0.0;
    for (const auto& c : audio.channels)
    {
        for (double v : c)
        {
            peak = std::isfinite(v) ? std::max(peak, std::fabs(v))
                                    : std::numeric_limits<double>::infinity();
        }
    }
    return peak;
}

double MaxDifference(const Audio& a, const Audio& b)
{
    const double inf = std::numeric_limits<double>::infinity();
    if (a.channels.size() != b.channels.size() || a.Frames() != b.Frames())
    {
        return inf;
    }
    double worst = 0.0;
    for (size_t c = 0; c < a.channels.size(); ++c)
    {
        for (size_t i = 0; i < a.channels[c].size(); ++i)
        {
            const double x = a.channels[c][i];
            const double y = b.channels[c][i];
            if (std::isnan(x) && std::isnan(y))
            {
                continue;
            }
            const double d = std::fabs(x - y);
            worst = std::isnan(d) ? inf : std::max(worst, d);
        }
    }
    return worst;
}

bool Identical(const Audio& a, const Audio& b)
{
    if (a.channels.size() != b.channels.size() || a.Frames() != b.Frames())
    {
        return false;
    }
    for (size_t c = 0; c < a.channels.size(); ++c)
    {
        if (std::memcmp(a.channels[c].data(), b.channels[c].data(),
                        a.channels[c].size() * sizeof(double)) != 0)
        {
            return false;
        }
    }
    return true;
}

std::string OutputFault(const Audio& audio, bool bounded)
{
    for (size_t c = 0; c < audio.channels.size(); ++c)
    {
        const std::vector<double>& x = audio.channels[c];
        for (size_t i = 0; i < x.size(); ++i)
        {
            if (!std::isfinite(x[i]) || (bounded && std::fabs(x[i]) > kOutputBound))
            {
                char text[160];
                std::snprintf(text, sizeof(text), "output %zu sample %zu is %g", c + 1, i, x[i]);
                return text;
            }
        }
    }
    return std::string();
}
