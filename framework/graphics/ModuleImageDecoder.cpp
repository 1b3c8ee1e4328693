#include "ModuleImageDecoder.h"

#include "ImageDecoders.h"

#include <cstring>

namespace
{
bool SameTextIgnoringCase(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
    {
        const char ca = (*a >= 'A' && *a <= 'Z') ? static_cast<char>(*a - 'A' + 'a') : *a;
        const char cb = (*b >= 'A' && *b <= 'Z') ? static_cast<char>(*b - 'A' + 'a') : *b;
        if (ca != cb)
        {
            return false;
        }
    }
    return *a == *b;
}

// The text after the last '.', or null. A dot in the first place does not
// count: a name such as ".png" is all stem.
const char* Extension(const char* name)
{
    const size_t length = std::strlen(name);
    for (size_t i = length; i > 1; --i)
    {
        if (name[i - 1] == '.')
        {
            return name + i;
        }
    }
    return nullptr;
}
} // namespace

RasterBitmap* DecodeModuleImage(void* module, int32_t resourceId, const char* name)
{
    if (name == nullptr)
    {
        return nullptr;
    }
    const char* extension = Extension(name);
    if (extension == nullptr)
    {
        return nullptr;
    }
    HINSTANCE instance = static_cast<HINSTANCE>(module);
    if (SameTextIgnoringCase(extension, "png"))
    {
        return LoadPngResource(instance, resourceId);
    }
    if (SameTextIgnoringCase(extension, "jpg") || SameTextIgnoringCase(extension, "jpeg"))
    {
        return LoadJpegResource(instance, resourceId);
    }
    return nullptr;
}
