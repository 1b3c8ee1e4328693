#include "PluginModule.h"

#include <dlfcn.h>

PluginModule::~PluginModule()
{
    Unload();
}

bool PluginModule::Load(const std::string& path, std::string& error)
{
    Unload();
    // A bare name would make dlopen search the library path; a plug-in is
    // always given as a file.
    std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
    {
        const char* why = ::dlerror();
        error = why ? why : "cannot load " + path;
        return false;
    }
    return true;
}

void* PluginModule::Symbol(const char* name) const
{
    return handle ? ::dlsym(handle, name) : nullptr;
}

void PluginModule::Unload()
{
    if (handle)
    {
        ::dlclose(handle);
    }
    handle = nullptr;
}
