#pragma once

#include "RasterBitmap.h"

// One file decoder of the loader registry, with the text a file chooser shows
// for it. Entries are static records chained at start-up; the list reads PNG,
// then JPEG.
struct ImageLoaderEntry
{
    RasterBitmap* (*loadFile)(const char* path, bool checkExtension, RasterBitmap* target);
    const char* (*description)();
    ImageLoaderEntry* next;
};

// Head of the registry; complete once static initialisation has run.
ImageLoaderEntry* ImageLoaders();
