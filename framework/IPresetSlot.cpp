#include "IPresetSlot.h"

#include <cstdio>

void IPresetSlot::SetName(const char* text)
{
    std::snprintf(name, sizeof(name), "%s", text != nullptr ? text : "");
}
