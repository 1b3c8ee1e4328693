#pragma once

#include <vector>

// Wiring of one output channel: where ProcessBlock writes its samples.
struct IOutputChannel
{
    bool connected = false;
    double** pointerSlot = nullptr; // this channel's entry of the output pointer array
    float* hostDest = nullptr;      // host float buffer of the current float call
    std::vector<double> scratch;    // one block; written by a disconnected channel
    double* hostDouble = nullptr;   // host double buffer of the current double call
};
