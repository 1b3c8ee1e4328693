// The host side of the plug-in's audioMasterCallback. vsthost runs one plug-in
// at a time, so the callback reaches the single active host object through a
// process-wide pointer; that also answers calls made during the entry point,
// when the effect pointer is still null.
#pragma once

#include "Transport.h"
#include "VstInterface.h"

#include <cstdint>
#include <string>
#include <vector>

class HostCallback
{
public:
    static constexpr VstIntPtr kVendorVersion = 2100;

    // A parameter gesture or automation call made by the plug-in.
    struct Edit
    {
        int32_t opcode; // audioMasterAutomate, audioMasterBeginEdit or audioMasterEndEdit
        int32_t index;
        float value;
        int64_t samplePos;
    };

    HostCallback();
    ~HostCallback();
    HostCallback(const HostCallback&) = delete;
    HostCallback& operator=(const HostCallback&) = delete;

    // The function handed to the plug-in's entry point.
    static VstIntPtr VSTCALLBACK Dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                          VstIntPtr value, void* ptr, float opt);

    Transport& GetTransport() { return transport; }
    void SetBlockSize(int32_t frames) { blockSize = frames; }

    const std::vector<Edit>& Edits() const { return edits; }
    // Edits that arrived after the record was full.
    uint64_t DroppedEdits() const { return droppedEdits; }

    // Distinct opcodes the plug-in called, in the order first seen.
    const std::vector<int32_t>& OpcodesSeen() const { return opcodesSeen; }

private:
    VstIntPtr Handle(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float opt);
    void Record(int32_t opcode, int32_t index, float value);

    static constexpr size_t kMaxEdits = 65536;

    Transport transport;
    int32_t blockSize = 512;
    VstTimeInfo timeInfo{};
    std::vector<Edit> edits;
    uint64_t droppedEdits = 0;
    std::vector<int32_t> opcodesSeen;
    HostCallback* previous = nullptr;
};
