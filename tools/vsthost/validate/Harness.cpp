#include "Harness.h"

#include "HostError.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <type_traits>

namespace
{
template <typename T> void Size(std::vector<std::vector<T>>& buffers, int32_t count, int32_t frames)
{
    // At least one buffer each way: plug-ins without inputs still touch
    // inputs[0] now and then.
    buffers.resize(static_cast<size_t>(std::max(count, 1)));
    for (auto& b : buffers)
    {
        if (b.size() < static_cast<size_t>(frames))
        {
            b.resize(static_cast<size_t>(frames));
        }
    }
}

template <typename T> std::vector<T*> Pointers(std::vector<std::vector<T>>& buffers)
{
    std::vector<T*> p;
    for (auto& b : buffers)
    {
        p.push_back(b.data());
    }
    return p;
}
} // namespace

Harness::Harness(const std::string& path, HostCallback& h) : host(h)
{
    plugin.Load(path, &HostCallback::Dispatch);
}

Harness::~Harness()
{
    Close();
}

bool Harness::HasDouble() const
{
    AEffect* e = Effect();
    return e && (e->flags & effFlagsCanDoubleReplacing) && e->processDoubleReplacing;
}

void Harness::Prepare(double r, int32_t maxBlock)
{
    plugin.Open();
    SetRate(r);
    SetBlockSize(maxBlock);
    Resume();
}

void Harness::SetRate(double r)
{
    rate = r;
    host.GetTransport().SetSampleRate(r);
    plugin.Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(r));
}

void Harness::SetBlockSize(int32_t frames)
{
    host.SetBlockSize(frames);
    plugin.Dispatch(effSetBlockSize, 0, frames);
}

void Harness::Resume()
{
    plugin.Dispatch(effMainsChanged, 0, 1);
    plugin.Dispatch(effStartProcess);
    host.GetTransport().Start();
    resumed = true;
}

void Harness::Suspend()
{
    plugin.Dispatch(effStopProcess);
    plugin.Dispatch(effMainsChanged, 0, 0);
    host.GetTransport().Stop();
    resumed = false;
}

void Harness::Close()
{
    if (resumed && Effect())
    {
        Suspend();
    }
    // Only effClose frees what the entry point created, and it follows an
    // effOpen; a check that only looked at the record still ends that way.
    if (Effect() && !plugin.IsOpen())
    {
        plugin.Open();
    }
    plugin.Close();
}

template <typename T> void Harness::Call(Callback callback, T** in, T** out, int32_t frames)
{
    AEffect* e = Effect();
    if constexpr (std::is_same<T, double>::value)
    {
        (void)callback;
        e->processDoubleReplacing(e, in, out, frames);
    }
    else if (callback == Callback::Accumulate)
    {
        e->process(e, in, out, frames);
    }
    else
    {
        e->processReplacing(e, in, out, frames);
    }
}

namespace
{
template <typename T>
void RunBlocks(const Audio& input, Audio& output, const RunOptions& o, int32_t inputs,
               int32_t outputs, std::vector<std::vector<T>>& inBuf,
               std::vector<std::vector<T>>& outBuf, HostCallback& host,
               const std::function<void(T**, T**, int32_t)>& call)
{
    const int64_t total = input.Frames();
    int64_t done = 0;
    while (done < total)
    {
        int32_t n = o.nextBlock ? o.nextBlock() : o.block;
        n = static_cast<int32_t>(std::min<int64_t>(std::max(n, 1), total - done));
        Size(inBuf, inputs, n);
        Size(outBuf, outputs, n);
        for (size_t c = 0; c < inBuf.size(); ++c)
        {
            for (int32_t i = 0; i < n; ++i)
            {
                inBuf[c][static_cast<size_t>(i)] =
                    c < input.channels.size()
                        ? static_cast<T>(input.channels[c][static_cast<size_t>(done + i)])
                        : T(0);
            }
        }
        for (auto& b : outBuf)
        {
            std::fill(b.begin(), b.begin() + n, static_cast<T>(o.prefill));
        }
        std::vector<T*> in = Pointers(inBuf);
        std::vector<T*> out = Pointers(outBuf);
        if (o.inPlace)
        {
            for (size_t c = 0; c < out.size() && c < in.size(); ++c)
            {
                out[c] = in[c];
            }
        }
        if (o.beforeBlock)
        {
            o.beforeBlock(done);
        }
        const auto start = std::chrono::steady_clock::now();
        call(in.data(), out.data(), n);
        if (o.blockSeconds)
        {
            o.blockSeconds->push_back(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        if (o.advanceTransport)
        {
            host.GetTransport().Advance(n);
        }
        for (int32_t c = 0; c < outputs; ++c)
        {
            for (int32_t i = 0; i < n; ++i)
            {
                output.channels[static_cast<size_t>(c)][static_cast<size_t>(done + i)] =
                    static_cast<double>(out[static_cast<size_t>(c)][i]);
            }
        }
        done += n;
    }
}
} // namespace

Audio Harness::Run(const Audio& input, const RunOptions& o)
{
    AEffect* e = Effect();
    if (!e)
    {
        throw HostError("no plug-in loaded");
    }
    if ((o.callback == Callback::Accumulate && !e->process) ||
        (o.callback == Callback::Replace && !e->processReplacing) ||
        (o.callback == Callback::Double && !e->processDoubleReplacing))
    {
        throw HostError("the plug-in has no such process callback");
    }
    Audio output(Outputs(), input.Frames());
    if (o.callback == Callback::Double)
    {
        RunBlocks<double>(input, output, o, Inputs(), Outputs(), doubleIn, doubleOut, host,
                          [&](double** in, double** out, int32_t n)
                          { Call(o.callback, in, out, n); });
    }
    else
    {
        RunBlocks<float>(input, output, o, Inputs(), Outputs(), floatIn, floatOut, host,
                         [&](float** in, float** out, int32_t n) { Call(o.callback, in, out, n); });
    }
    return output;
}

std::vector<unsigned char> Harness::GetChunk(bool program)
{
    void* data = nullptr;
    VstIntPtr size = plugin.Dispatch(effGetChunk, program ? 1 : 0, 0, &data);
    if (size <= 0 || !data)
    {
        return {};
    }
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    return std::vector<unsigned char>(bytes, bytes + size);
}

VstIntPtr Harness::SetChunk(bool program, const std::vector<unsigned char>& bytes)
{
    // A copy of its own: the plug-in may keep the pointer only for the call.
    // An empty chunk still comes with a valid pointer.
    std::vector<unsigned char> copy = bytes;
    unsigned char none = 0;
    return plugin.Dispatch(effSetChunk, program ? 1 : 0, static_cast<VstIntPtr>(copy.size()),
                           copy.empty() ? &none : copy.data());
}

std::vector<float> Harness::Parameters()
{
    std::vector<float> values;
    for (int32_t i = 0; i < plugin.Params(); ++i)
    {
        values.push_back(Effect()->getParameter(Effect(), i));
    }
    return values;
}
