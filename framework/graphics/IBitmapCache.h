#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class RasterBitmap;

// Owns every bitmap the editors of one loaded module use: images decoded from
// the module's resources, entered under their resource id, and bitmaps made by
// resampling or cutting, entered under -1. A bitmap handed out stays valid
// until it is dropped or the cache is destroyed; there is no reference count
// and no eviction.
//
// Threads. Any thread; every lookup, insertion and removal takes the cache's
// own lock, which is never held while an image is decoded.
class IBitmapCache
{
public:
    IBitmapCache() = default;
    IBitmapCache(const IBitmapCache&) = delete;
    IBitmapCache& operator=(const IBitmapCache&) = delete;
    // Destroys every bitmap, then the entries.
    ~IBitmapCache();

    // The first bitmap entered under resourceId, in insertion order, or null.
    RasterBitmap* Find(int32_t resourceId);
    // Appends an entry and takes ownership of bitmap. False (and bitmap not
    // taken) for a null bitmap, one the cache already holds, or when the list
    // cannot grow.
    bool Add(int32_t resourceId, RasterBitmap* bitmap);
    // Removes the first entry holding bitmap and destroys the bitmap; false,
    // and nothing destroyed, when no entry holds it.
    bool Drop(const RasterBitmap* bitmap);
    // Number of entries.
    int32_t Count();

    // The cache of this module: built by static initialisation, destroyed
    // when the module is unloaded (or the program ends).
    static IBitmapCache& Shared();

private:
    struct Entry
    {
        int32_t resourceId;
        std::unique_ptr<RasterBitmap> image;
    };

    std::mutex lock;
    std::vector<Entry> entries;
};
