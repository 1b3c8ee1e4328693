#include "ImageDecodeSupport.h"

// Paths are UTF-8 already; the C library opens them as they are.
FILE* OpenImageFile(const char* path)
{
    return path ? std::fopen(path, "rb") : nullptr;
}
