#include "PluginInstance.h"

#include "HostError.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

PluginInstance::~PluginInstance()
{
    Close();
}

void PluginInstance::Load(const std::string& path, audioMasterCallback callback)
{
    Close();
    std::string error;
    if (!module.Load(path, error))
    {
        throw HostError(error);
    }

    void* entry = module.Symbol("VSTPluginMain");
    entryName = "VSTPluginMain";
    if (!entry)
    {
        entry = module.Symbol("main");
        entryName = "main";
    }
    if (!entry)
    {
        module.Unload();
        throw HostError(path + ": no VSTPluginMain or main entry point; not a VST 2 plug-in");
    }

    effect = reinterpret_cast<VstPluginEntryProc>(entry)(callback);
    if (!effect)
    {
        module.Unload();
        throw HostError(path + ": the entry point returned no effect record");
    }
    if (effect->magic != kEffectMagic)
    {
        char text[160];
        std::snprintf(text, sizeof(text), ": wrong magic 0x%08" PRIx32 " in the effect record",
                      static_cast<uint32_t>(effect->magic));
        // A record without the magic is not ours to close; just unload.
        effect = nullptr;
        module.Unload();
        throw HostError(path + text);
    }
    if (!effect->dispatcher)
    {
        effect = nullptr;
        module.Unload();
        throw HostError(path + ": the effect record has no dispatcher");
    }
    RefreshCounts();
}

void PluginInstance::Open()
{
    Dispatch(effOpen);
    opened = true;
    RefreshCounts();
}

void PluginInstance::Close()
{
    if (effect && opened)
    {
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    }
    effect = nullptr;
    opened = false;
    module.Unload();
}

VstIntPtr PluginInstance::Dispatch(int32_t opcode, int32_t index, VstIntPtr value, void* ptr,
                                   float opt) const
{
    return effect ? effect->dispatcher(effect, opcode, index, value, ptr, opt) : 0;
}

std::string PluginInstance::QueryText(int32_t opcode, int32_t index, VstIntPtr* result) const
{
    // Far larger than any published limit: plug-ins routinely write past the
    // declared 8 bytes of parameter texts.
    char buffer[1024];
    std::memset(buffer, 0, sizeof(buffer));
    VstIntPtr r = Dispatch(opcode, index, 0, buffer, 0.0f);
    if (result)
    {
        *result = r;
    }
    buffer[sizeof(buffer) - 1] = '\0';
    return std::string(buffer);
}

int32_t PluginInstance::Clamp(const char* what, int32_t value, int32_t limit)
{
    if (value >= 0 && value <= limit)
    {
        return value;
    }
    int32_t clamped = value < 0 ? 0 : limit;
    std::string line = std::string(what) + " " + std::to_string(value) +
                       " is out of range, using " + std::to_string(clamped);
    for (const std::string& w : warnings)
    {
        if (w == line)
        {
            return clamped;
        }
    }
    warnings.push_back(line);
    return clamped;
}

void PluginInstance::RefreshCounts()
{
    if (!effect)
    {
        return;
    }
    inputs = Clamp("numInputs", effect->numInputs, kMaxChannels);
    outputs = Clamp("numOutputs", effect->numOutputs, kMaxChannels);
    params = Clamp("numParams", effect->numParams, kMaxParams);
    programs = Clamp("numPrograms", effect->numPrograms, kMaxPrograms);
}
