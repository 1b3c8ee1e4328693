// The built-in test signal of `vsthost render --generate demo`: a strummed
// plucked-string chord (Karplus-Strong), stereo, identical on every run and
// every platform.
#pragma once

#include <vector>

class DemoSignal
{
public:
    static constexpr double kSeconds = 4.0;

    // Interleaved stereo samples at `sampleRate`, peak level 0.5.
    static std::vector<double> Generate(double sampleRate);
};
