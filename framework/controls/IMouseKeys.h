#pragma once

#include <cstdint>

// Button and modifier state passed with every mouse event.
struct IMouseKeys
{
    bool left = false;
    bool right = false;
    bool shift = false;
    bool control = false;
    bool alt = false;
};
static_assert(sizeof(IMouseKeys) == 5, "five one-byte flags");
