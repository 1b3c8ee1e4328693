#pragma once

// A plug-in module loaded the way a host loads it (dlopen natively,
// LoadLibrary under Windows), unloaded with the object.

#include "VstInterface.h"

#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

class LoadedModule
{
public:
    // path: the build's Unix path; under Wine the Unix root is Z:.
    explicit LoadedModule(std::string path)
    {
#if defined(_WIN32)
        if (!path.empty() && path[0] == '/')
        {
            path = "Z:" + path;
        }
        for (char& c : path)
        {
            c = c == '/' ? '\\' : c;
        }
        handle = LoadLibraryA(path.c_str());
#else
        handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
    }
    ~LoadedModule()
    {
        if (handle == nullptr)
        {
            return;
        }
#if defined(_WIN32)
        FreeLibrary(static_cast<HMODULE>(handle));
#else
        dlclose(handle);
#endif
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    // An exported function, or null.
    template <typename T> T Symbol(const char* name) const
    {
        if (handle == nullptr)
        {
            return nullptr;
        }
#if defined(_WIN32)
        return reinterpret_cast<T>(
            reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name)));
#else
        return reinterpret_cast<T>(dlsym(handle, name));
#endif
    }
    VstPluginEntryProc Entry(const char* name) const { return Symbol<VstPluginEntryProc>(name); }

    void* handle = nullptr;
};

// A host callback that answers only its version.
inline VstIntPtr VSTCALLBACK SilentHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*,
                                        float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}
