#include "Renderer.h"

#include "AudioFileReader.h"
#include "AudioFileWriter.h"
#include "DemoSignal.h"
#include "HostCallback.h"
#include "HostError.h"
#include "PendingFile.h"
#include "Platform.h"
#include "PluginInstance.h"
#include "ProgressBar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace
{
std::vector<unsigned char> ReadWholeFile(const std::string& path)
{
    std::FILE* f = Platform::OpenFile(path, "rb");
    if (!f)
    {
        throw HostError("cannot read " + path + ": " + Platform::LastErrorText());
    }
    std::vector<unsigned char> bytes;
    unsigned char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0)
    {
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed)
    {
        throw HostError("cannot read " + path + ": read error");
    }
    return bytes;
}

const char* EditName(int32_t opcode)
{
    switch (opcode)
    {
    case audioMasterAutomate:
        return "automate";
    case audioMasterBeginEdit:
        return "begin edit";
    case audioMasterEndEdit:
        return "end edit";
    default:
        return "?";
    }
}

// Buffers and pointer arrays for one precision. Always at least one channel
// each way, so a plug-in that touches inputs[0] without having inputs finds a
// silent buffer rather than a null pointer.
template <typename T> struct Channels
{
    std::vector<std::vector<T>> buffers;
    std::vector<T*> pointers;

    void Allocate(int32_t count, int32_t frames)
    {
        buffers.assign(static_cast<size_t>(std::max(count, 1)),
                       std::vector<T>(static_cast<size_t>(frames), T(0)));
        pointers.clear();
        for (auto& b : buffers)
        {
            pointers.push_back(b.data());
        }
    }

    void Clear()
    {
        for (auto& b : buffers)
        {
            std::fill(b.begin(), b.end(), T(0));
        }
    }
};

template <typename T>
void Interleave(const Channels<T>& outputs, int32_t channels, int32_t n, std::vector<T>& out)
{
    for (int32_t f = 0; f < n; ++f)
    {
        for (int32_t c = 0; c < channels; ++c)
        {
            out[static_cast<size_t>(f) * static_cast<size_t>(channels) + static_cast<size_t>(c)] =
                outputs.buffers[static_cast<size_t>(c)][static_cast<size_t>(f)];
        }
    }
}
} // namespace

template <typename T>
void Renderer::MapInput(const std::vector<double>& source, int sourceChannels, int64_t start,
                        int32_t n, std::vector<std::vector<T>>& inputs, int32_t pluginInputs)
{
    for (auto& b : inputs)
    {
        std::fill(b.begin(), b.begin() + n, T(0));
    }
    if (pluginInputs <= 0 || sourceChannels < 1)
    {
        return;
    }
    const size_t stride = static_cast<size_t>(sourceChannels);
    for (int32_t f = 0; f < n; ++f)
    {
        const size_t at = static_cast<size_t>(start + f) * stride;
        const double left = source[at];
        const double right = sourceChannels > 1 ? source[at + 1] : left;
        if (pluginInputs == 1)
        {
            inputs[0][static_cast<size_t>(f)] =
                static_cast<T>(sourceChannels > 1 ? 0.5 * (left + right) : left);
        }
        else
        {
            inputs[0][static_cast<size_t>(f)] = static_cast<T>(left);
            inputs[1][static_cast<size_t>(f)] = static_cast<T>(right);
        }
    }
}

template void Renderer::MapInput<float>(const std::vector<double>&, int, int64_t, int32_t,
                                        std::vector<std::vector<float>>&, int32_t);
template void Renderer::MapInput<double>(const std::vector<double>&, int, int64_t, int32_t,
                                         std::vector<std::vector<double>>&, int32_t);

Renderer::Renderer(const RenderOptions& o) : options(o) {}

void Renderer::Log(const std::string& line) const
{
    if (options.verbose)
    {
        std::fprintf(stderr, "vsthost: %s\n", line.c_str());
    }
}

void Renderer::Run()
{
    // Everything that can be checked without the plug-in comes first.
    std::vector<double> source;
    int sourceChannels = 2;
    double rate = options.rate;
    if (!options.generate.empty())
    {
        if (rate <= 0.0)
        {
            rate = 44100.0;
        }
        source = DemoSignal::Generate(rate);
    }
    else
    {
        AudioFileReader reader;
        reader.Read(options.input);
        sourceChannels = reader.Channels();
        if (rate <= 0.0)
        {
            rate = reader.SampleRate();
        }
        source = reader.Samples();
    }
    const int64_t totalFrames = static_cast<int64_t>(source.size()) / sourceChannels;
    const int fileRate = static_cast<int>(std::lround(rate));

    std::vector<unsigned char> chunkIn;
    if (!options.loadChunk.empty())
    {
        chunkIn = ReadWholeFile(options.loadChunk);
    }

    HostCallback host;
    host.GetTransport().SetSampleRate(rate);
    host.SetBlockSize(options.blockSize);

    PluginInstance plugin;
    plugin.Load(options.plugin, &HostCallback::Dispatch);
    AEffect* effect = plugin.Effect();
    Log("loaded " + options.plugin + " through " + plugin.EntryName());
    plugin.Open();
    plugin.Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    plugin.Dispatch(effSetBlockSize, 0, options.blockSize);

    const bool isDouble = options.precision == RenderOptions::Precision::Double;
    if (options.precision == RenderOptions::Precision::Float &&
        (!(effect->flags & effFlagsCanReplacing) || !effect->processReplacing))
    {
        throw HostError(options.plugin + ": no processReplacing; try --precision accumulate");
    }
    if (isDouble &&
        (!(effect->flags & effFlagsCanDoubleReplacing) || !effect->processDoubleReplacing))
    {
        throw HostError(options.plugin + ": no processDoubleReplacing (64-bit processing)");
    }
    if (options.precision == RenderOptions::Precision::Accumulate && !effect->process)
    {
        throw HostError(options.plugin + ": no accumulating process callback");
    }
    if (options.precision != RenderOptions::Precision::Accumulate)
    {
        plugin.Dispatch(effSetProcessPrecision, 0,
                        isDouble ? kVstProcessPrecision64 : kVstProcessPrecision32);
    }

    if (options.program >= 0)
    {
        if (options.program >= plugin.Programs())
        {
            throw HostError("bad --program " + std::to_string(options.program) +
                            ": the plug-in has " + std::to_string(plugin.Programs()) + " programs");
        }
        plugin.Dispatch(effSetProgram, 0, options.program);
        Log("program " + std::to_string(options.program) + " selected");
    }
    if (!options.loadChunk.empty())
    {
        plugin.Dispatch(effSetChunk, 1, static_cast<VstIntPtr>(chunkIn.size()),
                        chunkIn.empty() ? nullptr : chunkIn.data());
        Log("loaded a program chunk of " + std::to_string(chunkIn.size()) + " bytes");
    }
    for (const RenderOptions::ParamSetting& p : options.params)
    {
        if (p.index >= plugin.Params())
        {
            throw HostError("bad --param " + std::to_string(p.index) + ": the plug-in has " +
                            std::to_string(plugin.Params()) + " parameters");
        }
        if (!effect->setParameter)
        {
            throw HostError(options.plugin + ": the effect record has no setParameter");
        }
        effect->setParameter(effect, p.index, p.value);
        Log("parameter " + std::to_string(p.index) + " = " + std::to_string(p.value) + " (" +
            plugin.QueryText(effGetParamDisplay, p.index) + ")");
    }

    // The set-up above may have changed the plug-in's channel counts.
    plugin.RefreshCounts();
    const int32_t inCount = plugin.Inputs();
    const int32_t outCount = plugin.Outputs();
    if (outCount < 1)
    {
        throw HostError(options.plugin + ": the plug-in has no audio outputs");
    }
    const int64_t blockSamples = static_cast<int64_t>(options.blockSize) * (inCount + outCount);
    if (blockSamples > (int64_t(1) << 26))
    {
        throw HostError("bad --block " + std::to_string(options.blockSize) + ": too large for " +
                        std::to_string(inCount + outCount) + " channels");
    }

    PendingFile audioOut(options.output);
    AudioFileWriter writer;
    writer.Open(audioOut.TempPath(), options.output, outCount, fileRate, isDouble);

    const int32_t block = options.blockSize;
    Channels<float> inF, outF;
    Channels<double> inD, outD;
    std::vector<float> interleavedF;
    std::vector<double> interleavedD;
    if (isDouble)
    {
        inD.Allocate(inCount, block);
        outD.Allocate(outCount, block);
        interleavedD.resize(static_cast<size_t>(block) * static_cast<size_t>(outCount));
    }
    else
    {
        inF.Allocate(inCount, block);
        outF.Allocate(outCount, block);
        interleavedF.resize(static_cast<size_t>(block) * static_cast<size_t>(outCount));
    }

    plugin.Dispatch(effMainsChanged, 0, 1);
    plugin.Dispatch(effStartProcess);
    host.GetTransport().Start();
    const auto stopProcessing = [&]()
    {
        host.GetTransport().Stop();
        plugin.Dispatch(effStopProcess);
        plugin.Dispatch(effMainsChanged, 0, 0);
    };
    ProgressBar progress(Platform::StderrIsTerminal());
    try
    {
        for (int64_t done = 0; done < totalFrames;)
        {
            const int32_t n = static_cast<int32_t>(std::min<int64_t>(block, totalFrames - done));
            if (isDouble)
            {
                MapInput(source, sourceChannels, done, n, inD.buffers, inCount);
                outD.Clear();
                effect->processDoubleReplacing(effect, inD.pointers.data(), outD.pointers.data(),
                                               n);
                Interleave(outD, outCount, n, interleavedD);
                writer.Write(interleavedD.data(), n);
            }
            else
            {
                MapInput(source, sourceChannels, done, n, inF.buffers, inCount);
                // Zeroed outputs: the accumulating callback adds into them.
                outF.Clear();
                if (options.precision == RenderOptions::Precision::Accumulate)
                {
                    effect->process(effect, inF.pointers.data(), outF.pointers.data(), n);
                }
                else
                {
                    effect->processReplacing(effect, inF.pointers.data(), outF.pointers.data(), n);
                }
                Interleave(outF, outCount, n, interleavedF);
                writer.Write(interleavedF.data(), n);
            }
            host.GetTransport().Advance(n);
            done += n;
            progress.Update(done, totalFrames);
        }
    }
    catch (...)
    {
        progress.Finish();
        stopProcessing();
        throw;
    }
    progress.Finish();
    stopProcessing();
    writer.Close();

    std::unique_ptr<PendingFile> chunkOut;
    if (!options.saveChunk.empty())
    {
        void* data = nullptr;
        VstIntPtr size = plugin.Dispatch(effGetChunk, 1, 0, &data);
        if (size <= 0 || !data)
        {
            throw HostError(options.plugin + ": the plug-in returned no program chunk");
        }
        chunkOut.reset(new PendingFile(options.saveChunk));
        chunkOut->WriteAll(data, static_cast<size_t>(size));
        Log("saved a program chunk of " + std::to_string(size) + " bytes");
    }

    if (options.verbose)
    {
        for (const HostCallback::Edit& e : host.Edits())
        {
            std::string line =
                std::string(EditName(e.opcode)) + " parameter " + std::to_string(e.index);
            if (e.opcode == audioMasterAutomate)
            {
                char value[32];
                std::snprintf(value, sizeof(value), " value %.6g", static_cast<double>(e.value));
                line += value;
            }
            Log(line + " at sample " + std::to_string(e.samplePos));
        }
        if (host.DroppedEdits())
        {
            Log(std::to_string(host.DroppedEdits()) + " further edits not recorded");
        }
        std::string seen;
        for (int32_t op : host.OpcodesSeen())
        {
            seen += " " + std::to_string(op);
        }
        Log("host callback opcodes used:" + (seen.empty() ? std::string(" none") : seen));
    }
    plugin.Close();

    audioOut.Commit();
    if (chunkOut)
    {
        chunkOut->Commit();
    }
    // Reported only on success: a failure is exactly one line.
    for (const std::string& w : plugin.Warnings())
    {
        std::fprintf(stderr, "vsthost: warning: %s\n", w.c_str());
    }
    Log("wrote " + std::to_string(totalFrames) + " frames, " + std::to_string(outCount) +
        " channels at " + std::to_string(fileRate) + " Hz to " + options.output);
}
