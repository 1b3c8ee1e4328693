#pragma once

#include <cstdint>

// An integer rectangle; right and bottom are exclusive.
struct RasterRect
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};
