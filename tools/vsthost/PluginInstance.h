// One plug-in instance as a host holds it: the loaded module, the effect
// record its entry point returned, and checked access to its dispatcher.
// Counts the plug-in reports are clamped to sane limits before the host sizes
// anything by them.
#pragma once

#include "PluginModule.h"
#include "VstInterface.h"

#include <cstdint>
#include <string>
#include <vector>

class PluginInstance
{
public:
    static constexpr int32_t kMaxChannels = 1024;
    static constexpr int32_t kMaxParams = 16384;
    static constexpr int32_t kMaxPrograms = 16384;

    PluginInstance() = default;
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    // Loads the module, calls its entry point with `callback` and checks the
    // record. Throws HostError on any failure.
    void Load(const std::string& path, audioMasterCallback callback);

    // effOpen, then reads the counts.
    void Open();

    // effClose (when opened) and unloading; safe to call more than once.
    void Close();

    AEffect* Effect() const { return effect; }
    bool IsOpen() const { return opened; }
    const std::string& EntryName() const { return entryName; }

    VstIntPtr Dispatch(int32_t opcode, int32_t index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) const;

    // A text the plug-in writes into a host buffer, read safely whatever the
    // plug-in's idea of the buffer size.
    std::string QueryText(int32_t opcode, int32_t index = 0, VstIntPtr* result = nullptr) const;

    // Re-reads numInputs, numOutputs, numParams and numPrograms.
    void RefreshCounts();

    int32_t Inputs() const { return inputs; }
    int32_t Outputs() const { return outputs; }
    int32_t Params() const { return params; }
    int32_t Programs() const { return programs; }

    // One line per count that had to be clamped.
    const std::vector<std::string>& Warnings() const { return warnings; }

private:
    int32_t Clamp(const char* what, int32_t value, int32_t limit);

    PluginModule module;
    AEffect* effect = nullptr;
    std::string entryName;
    bool opened = false;
    int32_t inputs = 0;
    int32_t outputs = 0;
    int32_t params = 0;
    int32_t programs = 0;
    std::vector<std::string> warnings;
};
