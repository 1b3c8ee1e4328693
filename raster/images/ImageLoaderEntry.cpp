#include "ImageLoaderEntry.h"

#include "ImageDecoders.h"

#include <initializer_list>

namespace
{
// Constant-initialised, so it is null before any dynamic initialiser runs.
ImageLoaderEntry* loaderHead = nullptr;

const char* DescribePng()
{
    return "PNG files (*.PNG)";
}

const char* DescribeJpeg()
{
    return "JPEG files (*.JPG;*.JPEG;*.JFIF)";
}

ImageLoaderEntry jpegEntry = {LoadJpegFile, DescribeJpeg, nullptr};
ImageLoaderEntry pngEntry = {LoadPngFile, DescribePng, nullptr};

// Pushes JPEG and then PNG at the head. Lives in the same object file as
// ImageLoaders(), so any user of the registry also links this initialiser.
struct RegisterLoaders
{
    RegisterLoaders()
    {
        for (ImageLoaderEntry* entry : {&jpegEntry, &pngEntry})
        {
            entry->next = loaderHead;
            loaderHead = entry;
        }
    }
} registerLoaders;
} // namespace

ImageLoaderEntry* ImageLoaders()
{
    return loaderHead;
}
