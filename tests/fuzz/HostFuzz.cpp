// libFuzzer target: our own hostile host. Loads the plug-in module of the
// same build as a host does (dlopen, both entry names) and plays the fuzz
// input as a sequence of host calls through HostPlayer.

#include "FuzzCheck.h"
#include "HostPlayer.h"

#include <dlfcn.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace
{
HostPlayer* player = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Loaded once and kept: libFuzzer picks up the module's coverage
    // counters when it is loaded before the first input.
    void* module = dlopen(VK_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    VK_FUZZ_CHECK(module != nullptr, "cannot load %s: %s", VK_MODULE_PATH, dlerror());
    auto pluginMain = reinterpret_cast<VstPluginEntryProc>(dlsym(module, "VSTPluginMain"));
    auto legacyMain = reinterpret_cast<VstPluginEntryProc>(dlsym(module, "main"));
    VK_FUZZ_CHECK(pluginMain != nullptr && legacyMain != nullptr, "entry points missing");
    player = new HostPlayer(pluginMain, legacyMain);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    player->Play(data, size);
    return 0;
}
