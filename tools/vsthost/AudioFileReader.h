// Reads a whole audio file through libsndfile into interleaved doubles
// (integer formats scaled to -1..1).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class AudioFileReader
{
public:
    // Throws HostError with a one-line reason when the file cannot be read.
    void Read(const std::string& path);

    int Channels() const { return channels; }
    int SampleRate() const { return sampleRate; }
    int64_t Frames() const { return frames; }
    const std::vector<double>& Samples() const { return samples; }

private:
    int channels = 0;
    int sampleRate = 0;
    int64_t frames = 0;
    std::vector<double> samples;
};
