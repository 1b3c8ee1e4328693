#include "PlugExample.h"

#include <memory>
#include <mutex>

// The module exports exactly two names; everything else stays hidden. On
// Windows the module definition file lists them instead.
#if defined(_WIN32)
#define VK_EXPORT
#else
#define VK_EXPORT __attribute__((visibility("default")))
#endif

namespace
{
// Serialises instance creation across the process. A function-local static
// is built exactly once even when two hosts' threads arrive together, and
// destroyed when the module unloads.
std::mutex& EntryLock()
{
    static std::mutex entryLock;
    return entryLock;
}
} // namespace

// Creates one instance for the host and hands it its effect record; null
// when the instance cannot be made. Also exported as "main".
extern "C" VK_EXPORT VK_HOST_ENTRY AEffect* VSTCALLBACK
VSTPluginMain(audioMasterCallback hostCallback)
{
    try
    {
        std::lock_guard<std::mutex> guard(EntryLock());
        std::unique_ptr<PlugExample> plug(new PlugExample(hostCallback));
        plug->EnsureOnePreset();
        AEffect* e = plug->GetAEffect();
        if (e->numPrograms < 1)
        {
            e->numPrograms = 1;
        }
        plug.release();
        return e;
    }
    catch (...)
    {
        return nullptr;
    }
}
