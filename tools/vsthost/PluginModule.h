// A loaded shared library holding a plug-in: dlopen/dlsym natively,
// LoadLibraryW/GetProcAddress on Windows. Unloads itself when destroyed.
#pragma once

#include <string>

class PluginModule
{
public:
    PluginModule() = default;
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // Loads the library at `path` (UTF-8). On failure returns false and sets
    // `error` to a one-line reason.
    bool Load(const std::string& path, std::string& error);

    // Address of an exported function, or null.
    void* Symbol(const char* name) const;

    void Unload();

    bool IsLoaded() const { return handle != nullptr; }

private:
    void* handle = nullptr;
};
