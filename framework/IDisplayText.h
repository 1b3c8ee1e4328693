#pragma once

#include <cstdint>

// Text shown instead of the number for one integer value of a parameter.
struct IDisplayText
{
    static constexpr int kTextSize = 32;

    int32_t value = 0;
    char text[kTextSize] = {};
};
