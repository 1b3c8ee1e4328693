// The legacy entry name "main" for hosts that look only for it. C++ reserves
// the name main for the program's own entry, so the function has another
// name here and only its symbol is called main (Windows exports the alias
// through the module definition file instead).
#include "VstInterface.h"

extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback hostCallback);

extern "C" __attribute__((visibility("default"))) AEffect* VSTCALLBACK
VkLegacyMain(audioMasterCallback hostCallback) __asm__("main");

extern "C" AEffect* VSTCALLBACK VkLegacyMain(audioMasterCallback hostCallback)
{
    return VSTPluginMain(hostCallback);
}
