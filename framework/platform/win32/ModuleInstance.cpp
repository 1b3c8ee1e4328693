#include "ModuleInstance.h"

#include <windows.h>

#include <atomic>

namespace
{
std::atomic<HINSTANCE> moduleInstance{nullptr};
}

void* GetModuleInstance()
{
    HINSTANCE h = moduleInstance.load();
    // Outside a DLL (a test program) the resources live in the program itself.
    return h ? h : GetModuleHandleA(nullptr);
}

void SetModuleInstance(void* instance)
{
    moduleInstance.store(static_cast<HINSTANCE>(instance));
}

// Runs for every attach and detach; all it does is remember which module
// this is, so the editor can find the module's images.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reason;
    (void)reserved;
    SetModuleInstance(instance);
    return TRUE;
}
