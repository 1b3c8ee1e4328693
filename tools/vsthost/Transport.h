// The host's play position as plug-ins see it through audioMasterGetTime: a
// fixed tempo of 120 BPM in 4/4, advancing by whole blocks while rendering.
#pragma once

#include "VstInterface.h"

#include <cstdint>

class Transport
{
public:
    void SetSampleRate(double rate) { sampleRate = rate; }
    double SampleRate() const { return sampleRate; }
    double Tempo() const { return tempo; }

    // Called before rendering starts: position 0, playing.
    void Start();
    void Stop();

    // Moves the position on by one processed block.
    void Advance(int32_t frames);

    int64_t Position() const { return samplePos; }
    bool IsPlaying() const { return playing; }

    // Fills `info` for the current block. samplePos and sampleRate are always
    // valid; the other fields are filled, and their valid bits set, only when
    // `requestMask` asks for them.
    void Fill(VstTimeInfo& info, int32_t requestMask) const;

private:
    double sampleRate = 44100.0;
    double tempo = 120.0;
    int64_t samplePos = 0;
    bool playing = false;
    bool changed = false;
};
