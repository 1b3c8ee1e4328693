#pragma once

#include <cstdint>

// One legal input/output channel configuration.
struct IChannelPair
{
    int32_t nIn = 0;
    int32_t nOut = 0;
};
