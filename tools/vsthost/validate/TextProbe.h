// Asks a plug-in for a text the way a careful host does: the buffer is filled
// with a canary pattern first, so that every byte the plug-in writes shows,
// including those past the documented length.
#pragma once

#include "Check.h"
#include "PluginInstance.h"

#include <string>

struct TextProbe
{
    // Generous host buffer: writing past it corrupts memory in real hosts.
    static constexpr size_t kHostBuffer = 256;

    std::string text;
    // Bytes from the start of the buffer up to the last one the plug-in changed.
    size_t written = 0;
    VstIntPtr result = 0;

    static TextProbe Ask(const PluginInstance& plugin, int32_t opcode, int32_t index = 0);
    static TextProbe Ask(AEffect* effect, int32_t opcode, int32_t index = 0);

    // One word on how the write compares with `documented` bytes: empty when
    // within, else "effGetParamName 3 wrote 14 bytes (limit 8)".
    std::string Excess(const char* what, int32_t index, size_t documented) const;
};

// Tally of many probes: the first excess of each severity and their counts.
struct TextTally
{
    int probes = 0;
    int overDocumented = 0;
    int overHostBuffer = 0;
    std::string firstOverDocumented;
    std::string firstOverHostBuffer;

    void Add(const TextProbe& probe, const char* what, int32_t index, size_t documented);
    // FAIL beyond the host buffer, WARN beyond the documented length, else
    // PASS with `summary`.
    Outcome Judge(const std::string& summary) const;
};
