#include "TextProbe.h"

#include <algorithm>
#include <cstring>
#include <vector>

TextProbe TextProbe::Ask(const PluginInstance& plugin, int32_t opcode, int32_t index)
{
    return Ask(plugin.Effect(), opcode, index);
}

TextProbe TextProbe::Ask(AEffect* effect, int32_t opcode, int32_t index)
{
    // Two passes with different canaries: a plug-in byte that happens to
    // equal one canary cannot hide in both.
    TextProbe probe;
    const unsigned char canaries[2] = {0xA5, 0x5A};
    for (unsigned char canary : canaries)
    {
        std::vector<unsigned char> buffer(16384, canary);
        VstIntPtr r = effect->dispatcher(effect, opcode, index, 0, buffer.data(), 0.0f);
        size_t last = buffer.size();
        while (last > 0 && buffer[last - 1] == canary)
        {
            --last;
        }
        if (canary == canaries[0])
        {
            probe.result = r;
            size_t n = 0;
            while (n < buffer.size() && buffer[n] != 0 && buffer[n] != canary)
            {
                ++n;
            }
            probe.text.assign(reinterpret_cast<const char*>(buffer.data()), n);
        }
        probe.written = std::max(probe.written, last);
    }
    return probe;
}

std::string TextProbe::Excess(const char* what, int32_t index, size_t documented) const
{
    if (written <= documented)
    {
        return std::string();
    }
    return std::string(what) + (index >= 0 ? " " + std::to_string(index) : std::string()) +
           " wrote " + std::to_string(written) + " bytes (limit " + std::to_string(documented) +
           ")";
}

void TextTally::Add(const TextProbe& probe, const char* what, int32_t index, size_t documented)
{
    ++probes;
    if (probe.written > TextProbe::kHostBuffer)
    {
        if (overHostBuffer++ == 0)
        {
            firstOverHostBuffer = probe.Excess(what, index, TextProbe::kHostBuffer);
        }
    }
    else if (probe.written > documented)
    {
        if (overDocumented++ == 0)
        {
            firstOverDocumented = probe.Excess(what, index, documented);
        }
    }
}

Outcome TextTally::Judge(const std::string& summary) const
{
    if (overHostBuffer > 0)
    {
        return Fail(std::to_string(overHostBuffer) + " of " + std::to_string(probes) +
                    " texts overran a " + std::to_string(TextProbe::kHostBuffer) +
                    "-byte host buffer, e.g. " + firstOverHostBuffer);
    }
    if (overDocumented > 0)
    {
        return Warn(std::to_string(overDocumented) + " of " + std::to_string(probes) +
                    " texts longer than documented, e.g. " + firstOverDocumented);
    }
    return Pass(summary);
}
