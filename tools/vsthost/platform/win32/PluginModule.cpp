#include "PluginModule.h"

#include "Platform.h"

#include <windows.h>

PluginModule::~PluginModule()
{
    Unload();
}

bool PluginModule::Load(const std::string& path, std::string& error)
{
    Unload();
    // No error dialogs from the loader: a command-line tool reports and exits.
    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // An absolute path lets the loader find libraries next to the plug-in.
    std::wstring wide = Platform::Widen(path);
    wchar_t full[32768];
    DWORD n = GetFullPathNameW(wide.c_str(), 32768, full, nullptr);
    HMODULE module = n > 0 && n < 32768
                         ? LoadLibraryExW(full, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)
                         : LoadLibraryW(wide.c_str());
    SetErrorMode(previous);
    if (!module)
    {
        error = "cannot load " + path + ": " + Platform::LastErrorText();
        return false;
    }
    handle = module;
    return true;
}

void* PluginModule::Symbol(const char* name) const
{
    if (!handle)
    {
        return nullptr;
    }
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void PluginModule::Unload()
{
    if (handle)
    {
        FreeLibrary(static_cast<HMODULE>(handle));
    }
    handle = nullptr;
}
