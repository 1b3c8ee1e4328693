#include "ModuleInstance.h"

#include <dlfcn.h>

#include <atomic>

namespace
{
std::atomic<void*> moduleInstance{nullptr};
}

void* GetModuleInstance()
{
    if (void* h = moduleInstance.load())
    {
        return h;
    }
    // The image that holds this very function: the plug-in module when
    // loaded by a host, the program itself in a test.
    Dl_info info = {};
    if (dladdr(reinterpret_cast<void*>(&GetModuleInstance), &info) != 0)
    {
        return info.dli_fbase;
    }
    return nullptr;
}

void SetModuleInstance(void* instance)
{
    moduleInstance.store(instance);
}
