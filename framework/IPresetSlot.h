#pragma once

#include "IByteBuffer.h"

// One program slot: a name and the serialised real parameter values.
struct IPresetSlot
{
    static constexpr int kNameSize = 256;

    IPresetSlot() = default;
    // Copies at most 255 characters; null gives the empty name.
    void SetName(const char* text);

    bool initialised = false;
    char name[kNameSize] = {};
    IByteBuffer state;
};
