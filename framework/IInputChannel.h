#pragma once

#include <vector>

// Wiring of one input channel: where ProcessBlock finds its samples.
struct IInputChannel
{
    bool connected = false;
    double** pointerSlot = nullptr; // this channel's entry of the input pointer array
    std::vector<double> scratch;    // one block; read by a disconnected channel
    // Host buffer bound for the current block (one of the two), kept so that
    // blocks longer than the scratch can be run in pieces.
    const float* hostFloat = nullptr;
    const double* hostDouble = nullptr;
};
