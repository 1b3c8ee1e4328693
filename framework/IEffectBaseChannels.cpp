// The plug-in base's channel wiring: the block size of the scratch blocks,
// connecting channels, binding host buffers and running blocks through
// ProcessBlock.
#include "IEffectBase.h"

#include "ITrace.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

namespace
{
using Guard = std::lock_guard<IEffectLock>;
} // namespace

// --- Virtual operations ---

void IEffectBase::ProcessBlock(double** inputs, double** outputs, int32_t nFrames)
{
    if (nFrames <= 0 || outputs == nullptr)
    {
        return;
    }
    const size_t bytes = static_cast<size_t>(nFrames) * sizeof(double);
    const int32_t nIn = inputs != nullptr ? NInputs() : 0;
    for (int32_t k = 0; k < NOutputs(); ++k)
    {
        double* out = outputs[k];
        if (out == nullptr)
        {
            continue;
        }
        const double* in = k < nIn ? inputs[k] : nullptr;
        if (in == nullptr)
        {
            std::memset(out, 0, bytes);
        }
        else if (in != out)
        {
            std::memmove(out, in, bytes);
        }
    }
}

void IEffectBase::ApplyBlockSize(int32_t nFrames)
{
    Guard guard(lock);
    if (nFrames == blockSize || nFrames < 0 || nFrames > kMaxBlockSize)
    {
        return;
    }
    // Pointer entries that lead into a scratch block must follow it when the
    // block is reallocated, or a disconnected channel would read freed memory.
    auto resize = [nFrames](auto& channel)
    {
        const double* old = channel.scratch.data();
        try
        {
            channel.scratch.assign(static_cast<size_t>(nFrames), 0.0);
        }
        catch (const std::bad_alloc&)
        {
            std::vector<double>().swap(channel.scratch);
            return false;
        }
        if (!channel.connected || *channel.pointerSlot == old)
        {
            *channel.pointerSlot = channel.scratch.empty() ? nullptr : channel.scratch.data();
        }
        return true;
    };
    bool ok = true;
    for (IInputChannel& channel : inputChannels)
    {
        ok = resize(channel) && ok;
    }
    for (IOutputChannel& channel : outputChannels)
    {
        ok = resize(channel) && ok;
    }
    if (!ok)
    {
        // Out of memory: run without scratch rather than with a short one.
        // Every pointer entry is reset; the next bind sets the live ones.
        for (IInputChannel& channel : inputChannels)
        {
            std::vector<double>().swap(channel.scratch);
            *channel.pointerSlot = nullptr;
        }
        for (IOutputChannel& channel : outputChannels)
        {
            std::vector<double>().swap(channel.scratch);
            *channel.pointerSlot = nullptr;
        }
        nFrames = 0;
    }
    blockSize = nFrames;
    VK_TRACE("block size %d", blockSize);
}

// --- Channel wiring ---

bool IEffectBase::LegalIO(int32_t nIn, int32_t nOut) const
{
    return std::any_of(channelConfigs.begin(), channelConfigs.end(),
                       [=](const IChannelPair& p)
                       { return (nIn < 0 || p.nIn == nIn) && (nOut < 0 || p.nOut == nOut); });
}

namespace
{
template <typename Channel>
void ConnectRange(std::vector<Channel>& channels, int32_t first, int32_t count, bool connected)
{
    const int64_t lo = std::max<int64_t>(first, 0);
    const int64_t hi = std::min<int64_t>(static_cast<int64_t>(first) + count,
                                         static_cast<int64_t>(channels.size()));
    for (int64_t i = lo; i < hi; ++i)
    {
        Channel& channel = channels[static_cast<size_t>(i)];
        channel.connected = connected;
        if (!connected)
        {
            // From now on the channel reads its scratch block, which may still
            // hold the last block a float call converted into it: a
            // disconnected input must read silence, not replay that forever.
            std::fill(channel.scratch.begin(), channel.scratch.end(), 0.0);
            *channel.pointerSlot = channel.scratch.empty() ? nullptr : channel.scratch.data();
        }
    }
}

void FloatToDouble(const float* src, double* dest, int32_t n)
{
    for (int32_t i = 0; i < n; ++i)
    {
        dest[i] = src[i];
    }
}
} // namespace

void IEffectBase::ConnectInputChannels(int32_t first, int32_t count, bool connected)
{
    ConnectRange(inputChannels, first, count, connected);
}

void IEffectBase::ConnectOutputChannels(int32_t first, int32_t count, bool connected)
{
    ConnectRange(outputChannels, first, count, connected);
}

void IEffectBase::ApplyStereoInputLimit()
{
    if (NInputs() > 2)
    {
        ConnectInputChannels(2, NInputs() - 2, false);
    }
    if (NOutputs() > 2)
    {
        ConnectOutputChannels(2, NOutputs() - 2, true);
    }
}

void IEffectBase::BindInputsFromFloat(float** hostInputs, int32_t nFrames)
{
    size_t k = 0;
    for (IInputChannel& channel : inputChannels)
    {
        if (!channel.connected)
        {
            continue;
        }
        channel.hostFloat = hostInputs != nullptr ? hostInputs[k++] : nullptr;
        channel.hostDouble = nullptr;
        double* scratch = channel.scratch.empty() ? nullptr : channel.scratch.data();
        const int32_t n = std::clamp<int32_t>(nFrames, 0, blockSize);
        if (scratch != nullptr && channel.hostFloat != nullptr)
        {
            FloatToDouble(channel.hostFloat, scratch, n);
        }
        else if (scratch != nullptr)
        {
            std::fill_n(scratch, n, 0.0); // no host buffer: silence
        }
        *channel.pointerSlot = scratch;
    }
}

void IEffectBase::BindInputsFromDouble(double** hostInputs)
{
    size_t k = 0;
    for (IInputChannel& channel : inputChannels)
    {
        if (!channel.connected)
        {
            continue;
        }
        channel.hostFloat = nullptr;
        channel.hostDouble = hostInputs != nullptr ? hostInputs[k++] : nullptr;
        *channel.pointerSlot = channel.hostDouble != nullptr
                                   ? const_cast<double*>(channel.hostDouble)
                               : channel.scratch.empty() ? nullptr
                                                         : channel.scratch.data();
    }
}

void IEffectBase::BindOutputsToFloat(float** hostOutputs)
{
    size_t k = 0;
    for (IOutputChannel& channel : outputChannels)
    {
        if (!channel.connected)
        {
            continue;
        }
        channel.hostDest = hostOutputs != nullptr ? hostOutputs[k++] : nullptr;
        channel.hostDouble = nullptr;
        *channel.pointerSlot = channel.scratch.empty() ? nullptr : channel.scratch.data();
    }
}

void IEffectBase::BindOutputsToDouble(double** hostOutputs)
{
    size_t k = 0;
    for (IOutputChannel& channel : outputChannels)
    {
        if (!channel.connected)
        {
            continue;
        }
        channel.hostDest = nullptr;
        channel.hostDouble = hostOutputs != nullptr ? hostOutputs[k++] : nullptr;
        *channel.pointerSlot = channel.hostDouble != nullptr ? channel.hostDouble
                               : channel.scratch.empty()     ? nullptr
                                                             : channel.scratch.data();
    }
}

void IEffectBase::RunBlockAccumulating(int32_t nFrames)
{
    RunBlock(nFrames, RunMode::Accumulate);
}

void IEffectBase::RunBlockReplacing(int32_t nFrames)
{
    RunBlock(nFrames, RunMode::Replace);
}

void IEffectBase::RunBlockDouble(int32_t nFrames)
{
    RunBlock(nFrames, RunMode::Double);
}

void IEffectBase::RunBlock(int32_t nFrames, RunMode mode)
{
    if (nFrames <= 0)
    {
        return;
    }
    // This is the one place that cuts host blocks: bindings hand over the
    // whole block. When every channel reads and writes host double buffers
    // directly, the block runs whole; otherwise a scratch block is involved
    // and the block runs in pieces that fit it, so a host block longer than
    // the announced maximum never runs past a scratch block.
    bool direct = mode == RunMode::Double;
    for (const IInputChannel& channel : inputChannels)
    {
        direct = direct && channel.connected && channel.hostDouble != nullptr;
    }
    for (const IOutputChannel& channel : outputChannels)
    {
        direct = direct && channel.connected && channel.hostDouble != nullptr;
    }
    if (direct)
    {
        ProcessBlock(inputPointers.data(), outputPointers.data(), nFrames);
        return;
    }
    if (blockSize <= 0)
    {
        // No scratch to process into: replacing calls still owe the host
        // defined output.
        for (IOutputChannel& channel : outputChannels)
        {
            if (!channel.connected)
            {
                continue;
            }
            if (mode == RunMode::Replace && channel.hostDest != nullptr)
            {
                std::fill_n(channel.hostDest, nFrames, 0.0f);
            }
            if (mode == RunMode::Double && channel.hostDouble != nullptr)
            {
                std::fill_n(channel.hostDouble, nFrames, 0.0);
            }
        }
        return;
    }
    for (int32_t offset = 0; offset < nFrames; offset += blockSize)
    {
        const int32_t n = std::min(blockSize, nFrames - offset);
        if (offset > 0)
        {
            for (IInputChannel& channel : inputChannels)
            {
                if (!channel.connected)
                {
                    continue;
                }
                if (channel.hostFloat != nullptr)
                {
                    FloatToDouble(channel.hostFloat + offset, channel.scratch.data(), n);
                }
                else if (channel.hostDouble != nullptr)
                {
                    *channel.pointerSlot = const_cast<double*>(channel.hostDouble) + offset;
                }
            }
            for (IOutputChannel& channel : outputChannels)
            {
                if (channel.connected && channel.hostDouble != nullptr)
                {
                    *channel.pointerSlot = channel.hostDouble + offset;
                }
            }
        }
        ProcessBlock(inputPointers.data(), outputPointers.data(), n);
        if (mode == RunMode::Double)
        {
            continue;
        }
        for (IOutputChannel& channel : outputChannels)
        {
            if (!channel.connected || channel.hostDest == nullptr)
            {
                continue;
            }
            float* dest = channel.hostDest + offset;
            const double* src = channel.scratch.data();
            if (mode == RunMode::Accumulate)
            {
                for (int32_t i = 0; i < n; ++i)
                {
                    dest[i] += static_cast<float>(src[i]);
                }
            }
            else
            {
                for (int32_t i = 0; i < n; ++i)
                {
                    dest[i] = static_cast<float>(src[i]);
                }
            }
        }
    }
}

// --- Accessors ---

IChannelPair IEffectBase::ChannelConfig(int32_t index) const
{
    return index >= 0 && index < NChannelConfigs() ? channelConfigs[static_cast<size_t>(index)]
                                                   : IChannelPair{};
}

bool IEffectBase::InputConnected(int32_t index) const
{
    return index >= 0 && index < NInputs() && inputChannels[static_cast<size_t>(index)].connected;
}

bool IEffectBase::OutputConnected(int32_t index) const
{
    return index >= 0 && index < NOutputs() && outputChannels[static_cast<size_t>(index)].connected;
}

double* IEffectBase::InputPointer(int32_t index) const
{
    return index >= 0 && index < NInputs() ? inputPointers[static_cast<size_t>(index)] : nullptr;
}

double* IEffectBase::OutputPointer(int32_t index) const
{
    return index >= 0 && index < NOutputs() ? outputPointers[static_cast<size_t>(index)] : nullptr;
}

const double* IEffectBase::InputScratch(int32_t index) const
{
    if (index < 0 || index >= NInputs() ||
        inputChannels[static_cast<size_t>(index)].scratch.empty())
    {
        return nullptr;
    }
    return inputChannels[static_cast<size_t>(index)].scratch.data();
}

const double* IEffectBase::OutputScratch(int32_t index) const
{
    if (index < 0 || index >= NOutputs() ||
        outputChannels[static_cast<size_t>(index)].scratch.empty())
    {
        return nullptr;
    }
    return outputChannels[static_cast<size_t>(index)].scratch.data();
}
