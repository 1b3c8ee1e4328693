#pragma once

#include <cstdint>

// One MIDI message inside an audio block.
struct IMidiMessage
{
    int32_t offset = 0; // sample offset in the block
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
};
