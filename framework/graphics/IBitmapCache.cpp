#include "IBitmapCache.h"

#include "RasterBitmap.h"

#include <new>

namespace
{
// Lists of the framework grow by this many bytes at a time.
constexpr size_t kGrowthBytes = 4096;

// A static object of this module, not a leaked heap object: its destructor
// runs when the module is unloaded, so the pixels go with it.
IBitmapCache sharedCache;
} // namespace

IBitmapCache& IBitmapCache::Shared()
{
    return sharedCache;
}

IBitmapCache::~IBitmapCache()
{
    std::lock_guard<std::mutex> guard(lock);
    for (Entry& entry : entries)
    {
        entry.image.reset();
    }
    entries.clear();
}

RasterBitmap* IBitmapCache::Find(int32_t resourceId)
{
    std::lock_guard<std::mutex> guard(lock);
    for (const Entry& entry : entries)
    {
        if (entry.resourceId == resourceId)
        {
            return entry.image.get();
        }
    }
    return nullptr;
}

bool IBitmapCache::Add(int32_t resourceId, RasterBitmap* bitmap)
{
    if (bitmap == nullptr)
    {
        return false;
    }
    std::lock_guard<std::mutex> guard(lock);
    // A bitmap listed twice would be destroyed twice.
    for (const Entry& entry : entries)
    {
        if (entry.image.get() == bitmap)
        {
            return false;
        }
    }
    try
    {
        if (entries.size() == entries.capacity())
        {
            entries.reserve(entries.capacity() + kGrowthBytes / sizeof(Entry));
        }
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
    // Cannot throw now: the room is reserved.
    entries.push_back(Entry{resourceId, std::unique_ptr<RasterBitmap>(bitmap)});
    return true;
}

bool IBitmapCache::Drop(const RasterBitmap* bitmap)
{
    if (bitmap == nullptr)
    {
        return false;
    }
    std::unique_ptr<RasterBitmap> doomed;
    {
        std::lock_guard<std::mutex> guard(lock);
        for (auto it = entries.begin(); it != entries.end(); ++it)
        {
            if (it->image.get() == bitmap)
            {
                doomed = std::move(it->image);
                entries.erase(it);
                break;
            }
        }
    }
    // Freed outside the lock; nobody else can reach it any more.
    return doomed != nullptr;
}

int32_t IBitmapCache::Count()
{
    std::lock_guard<std::mutex> guard(lock);
    return static_cast<int32_t>(entries.size());
}
