// Multichannel audio as the checks handle it (double precision, one vector per
// channel), the test signals they feed, and the measures they compare by.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

struct Audio
{
    std::vector<std::vector<double>> channels;

    Audio() = default;
    Audio(int32_t count, int64_t frames)
        : channels(static_cast<size_t>(count),
                   std::vector<double>(static_cast<size_t>(frames), 0.0))
    {
    }
    int64_t Frames() const
    {
        return channels.empty() ? 0 : static_cast<int64_t>(channels[0].size());
    }
};

enum class SignalKind
{
    // Three sines and a little noise, peak about 0.5.
    Music,
    Silence,
    // Constant 0.5.
    Dc,
    // A square wave at 0 dBFS.
    FullScale,
    // The music at about +20 dBFS, as a misconfigured gain stage sends it.
    Loud,
    // White noise, peak 1.
    Noise
};

Audio MakeSignal(SignalKind kind, int32_t channels, int64_t frames, double rate, uint64_t seed);

// The two appended in time (same channel count).
Audio Concatenate(const Audio& a, const Audio& b);

bool AllFinite(const Audio& audio);
double Peak(const Audio& audio);
// Largest absolute difference, infinity when the shapes differ or a value is
// not finite in one and finite in the other.
double MaxDifference(const Audio& a, const Audio& b);
// True when both hold exactly the same bits.
bool Identical(const Audio& a, const Audio& b);

// Largest output a check accepts: 60 dB above full scale. Beyond that the
// plug-in has blown up, whatever its gain.
constexpr double kOutputBound = 1000.0;

// Empty when every sample is finite and (when `bounded`) within kOutputBound,
// else why not. Random parameter values may legitimately stack gains far
// beyond any bound; there only finiteness is asked for.
std::string OutputFault(const Audio& audio, bool bounded = true);
