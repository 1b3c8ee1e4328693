#include "IEffectBase.h"

#include "ITrace.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <string>

namespace
{
using Guard = std::lock_guard<IEffectLock>;

void CopyName(char* dest, size_t destSize, const char* src)
{
    std::snprintf(dest, destSize, "%s", src != nullptr ? src : "");
}

// A broken channel configuration string is a build error of the effect; it
// is reported and parsing goes on with what was read.
void ReportFailedCheck(const char* expression, const char* file, int line)
{
    const char* base = file;
    for (const char* p = file; *p != '\0'; ++p)
    {
        if (*p == '/' || *p == '\\')
        {
            base = p + 1;
        }
    }
    std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", expression, base, line);
}

// One integer as the C scanner's %d reads it (leading white space skipped,
// optional sign); out-of-range numbers saturate instead of being undefined.
bool ScanInt(const char*& p, int32_t* out)
{
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(p, &end, 10);
    if (end == p)
    {
        return false;
    }
    *out = static_cast<int32_t>(std::clamp<long>(v, INT32_MIN, INT32_MAX));
    p = end;
    return true;
}

// Reads "%d-%d" at p; returns how many values were read.
int ScanChannelPair(const char* p, int32_t* nIn, int32_t* nOut)
{
    if (!ScanInt(p, nIn))
    {
        return 0;
    }
    if (*p != '-')
    {
        return 1;
    }
    ++p;
    return ScanInt(p, nOut) ? 2 : 1;
}

struct HostName
{
    const char* substring;
    int32_t code;
};

constexpr HostName kHostNames[] = {
    {"cubase", IEffectBase::kHostCubase},
    {"reaper", IEffectBase::kHostReaper},
    {"nuendo", IEffectBase::kHostNuendo},
    {"cakewalk", IEffectBase::kHostCakewalk},
    {"samplitude", IEffectBase::kHostSamplitude},
    {"fruity", IEffectBase::kHostFruity},
    {"live", IEffectBase::kHostLive},
    {"melodyne", IEffectBase::kHostMelodyne},
    {"vstmanlib", IEffectBase::kHostVstManLib},
    {"aulab", IEffectBase::kHostAuLab},
    {"forte", IEffectBase::kHostForte},
    {"chainer", IEffectBase::kHostChainer},
    {"audition", IEffectBase::kHostAudition},
    {"orion", IEffectBase::kHostOrion},
    {"sawstudio", IEffectBase::kHostSawStudio},
    {"logic", IEffectBase::kHostLogic},
    {"digital", IEffectBase::kHostDigital},
};
} // namespace

IEffectBase::IEffectBase(int32_t nParams, const char* channelIOStr, int32_t nPresets,
                         const char* effectName_, const char* productName_, const char* vendorName_,
                         int32_t version_, int32_t uniqueId_, int32_t vendorId_, int32_t latency_,
                         bool /*doesMidi: kept by bindings*/, bool doesChunks_, bool isInstrument_)
    : uniqueId(uniqueId_), vendorId(vendorId_), version(version_), doesChunks(doesChunks_),
      isInstrument(isInstrument_), latency(latency_)
{
    for (int32_t i = 0; i < nParams; ++i)
    {
        parameters.push_back(std::make_unique<IParameter>());
    }
    for (int32_t i = 0; i < nPresets; ++i)
    {
        auto slot = std::make_unique<IPresetSlot>();
        std::snprintf(slot->name, sizeof(slot->name), "- %d -", i + 1);
        presets.push_back(std::move(slot));
    }
    CopyName(effectName, sizeof(effectName), effectName_);
    CopyName(productName, sizeof(productName), productName_);
    CopyName(vendorName, sizeof(vendorName), vendorName_);
    ParseChannelConfigs(channelIOStr);
}

IEffectBase::~IEffectBase()
{
    delete editor;
    editor = nullptr;
}

void IEffectBase::ParseChannelConfigs(const char* channelIOStr)
{
    int32_t maxIn = 0;
    int32_t maxOut = 0;
    for (const char* p = channelIOStr; p != nullptr;)
    {
        int32_t nIn = 0;
        int32_t nOut = 0;
        if (ScanChannelPair(p, &nIn, &nOut) != 2)
        {
            ReportFailedCheck("sscanf(channelIOStr, \"%d-%d\", &nIn, &nOut) == 2", __FILE__,
                              __LINE__);
        }
        maxIn = std::max(maxIn, std::min(nIn, kMaxChannels));
        maxOut = std::max(maxOut, std::min(nOut, kMaxChannels));
        channelConfigs.push_back({nIn, nOut});
        p = std::strchr(p, ' ');
        if (p != nullptr)
        {
            ++p;
        }
    }
    inputPointers.assign(static_cast<size_t>(maxIn), nullptr);
    outputPointers.assign(static_cast<size_t>(maxOut), nullptr);
    inputChannels.resize(static_cast<size_t>(maxIn));
    outputChannels.resize(static_cast<size_t>(maxOut));
    for (size_t j = 0; j < inputChannels.size(); ++j)
    {
        inputChannels[j].pointerSlot = &inputPointers[j];
    }
    for (size_t j = 0; j < outputChannels.size(); ++j)
    {
        outputChannels[j].pointerSlot = &outputPointers[j];
    }
}

// --- Virtual operations ---

void IEffectBase::HandleReset()
{
    Guard guard(lock);
}

void IEffectBase::HandleParameterChange(int32_t)
{
    Guard guard(lock);
}

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

void IEffectBase::HandleEditorOpened() {}

void IEffectBase::HandleEditorClosing() {}

void IEffectBase::HandleActivate(bool)
{
    Guard guard(lock);
}

void IEffectBase::HandleMidiMessage(IMidiMessage message)
{
    SendMidiMessage(message);
}

bool IEffectBase::GetMidiNoteName(int32_t, char* text, int textSize)
{
    if (text != nullptr && textSize > 0)
    {
        text[0] = '\0';
    }
    return false;
}

bool IEffectBase::WriteState(IByteBuffer& buffer)
{
    return SerializeParamValues(buffer);
}

int32_t IEffectBase::ReadState(const IByteBuffer& buffer, int32_t startPos)
{
    return UnserializeParams(buffer, startPos);
}

void IEffectBase::BeginParameterGesture(int32_t) {}

void IEffectBase::AutomateParameter(int32_t, double) {}

void IEffectBase::EndParameterGesture(int32_t) {}

int32_t IEffectBase::QuerySamplePosition()
{
    return 0;
}

double IEffectBase::QueryTempo()
{
    return 0.0;
}

void IEffectBase::QueryTimeSignature(int32_t* numerator, int32_t* denominator)
{
    if (numerator != nullptr)
    {
        *numerator = 0;
    }
    if (denominator != nullptr)
    {
        *denominator = 0;
    }
}

int32_t IEffectBase::QueryHostIdentity()
{
    return hostCode;
}

void IEffectBase::RefreshEditorRect() {}

void IEffectBase::ApplyHostQuirks() {}

void IEffectBase::AttachEditor(IGraphicsCore* newEditor)
{
    if (newEditor == nullptr)
    {
        return;
    }
    Guard guard(lock);
    for (int32_t i = 0; i < NParams(); ++i)
    {
        newEditor->PushParameterValue(i, parameters[static_cast<size_t>(i)]->GetNormalized(), true);
    }
    newEditor->CreateBackBuffer();
    if (editor != newEditor)
    {
        delete editor; // the plug-in owns its editor; a replaced one goes
        editor = newEditor;
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

void IEffectBase::SetLatencySamples(int32_t samples)
{
    latency = samples;
}

bool IEffectBase::SendMidiMessage(IMidiMessage)
{
    return false;
}

bool IEffectBase::SendMidiMessages(const IMidiMessage* messages, int32_t count)
{
    if (count <= 0)
    {
        return true;
    }
    if (messages == nullptr)
    {
        return false;
    }
    bool ok = true;
    for (int32_t i = 0; i < count; ++i)
    {
        ok = SendMidiMessage(messages[i]) && ok;
    }
    return ok;
}

// --- Host identification ---

int32_t IEffectBase::IdentifyHost(const char* productString)
{
    if (productString == nullptr)
    {
        return kHostUnknown;
    }
    std::string lower(productString);
    for (char& c : lower)
    {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    for (const HostName& host : kHostNames)
    {
        if (lower.find(host.substring) != std::string::npos)
        {
            return host.code;
        }
    }
    return kHostUnknown;
}

void IEffectBase::SetHost(const char* productString, int32_t version_)
{
    hostCode = IdentifyHost(productString);
    hostVersion = version_;
}

// --- Parameter flow ---

void IEffectBase::SetParameterFromGUI(int32_t paramIndex, double normalizedValue)
{
    Guard guard(lock);
    IParameter* param = GetParam(paramIndex);
    if (param == nullptr)
    {
        return;
    }
    param->SetFromNormalized(normalizedValue);
    AutomateParameter(paramIndex, normalizedValue);
    HandleParameterChange(paramIndex);
}

void IEffectBase::SetParameterFromHost(int32_t paramIndex, double normalizedValue)
{
    Guard guard(lock);
    IParameter* param = GetParam(paramIndex);
    if (param == nullptr || std::isnan(normalizedValue))
    {
        return;
    }
    if (editor != nullptr)
    {
        editor->PushParameterValue(paramIndex, normalizedValue, true);
    }
    param->SetFromNormalized(normalizedValue);
    HandleParameterChange(paramIndex);
}

double IEffectBase::GetParameterForHost(int32_t paramIndex)
{
    Guard guard(lock);
    const IParameter* param = GetParam(paramIndex);
    return param != nullptr ? param->GetNormalized() : 0.0;
}

void IEffectBase::NotifyAllParameters()
{
    Guard guard(lock);
    for (int32_t i = 0; i < NParams(); ++i)
    {
        HandleParameterChange(i);
    }
}

void IEffectBase::PushParamsToEditor()
{
    Guard guard(lock);
    if (editor == nullptr)
    {
        return;
    }
    for (int32_t i = 0; i < NParams(); ++i)
    {
        editor->PushParameterValue(i, parameters[static_cast<size_t>(i)]->Value(), false);
    }
}

int32_t IEffectBase::VersionNumber(bool decimal) const
{
    if (!decimal)
    {
        return version;
    }
    const auto v = static_cast<uint32_t>(version);
    return static_cast<int32_t>((v >> 16) * 10000 + ((v >> 8) & 0xff) * 100 + (v & 0xff));
}

// --- State and presets ---

bool IEffectBase::SerializeParamValues(IByteBuffer& buffer)
{
    Guard guard(lock);
    const int32_t oldSize = buffer.Size();
    for (const auto& param : parameters)
    {
        if (!buffer.AppendDouble(param->Value()))
        {
            buffer.Resize(oldSize, true); // nothing half-written
            return false;
        }
    }
    return true;
}

int32_t IEffectBase::UnserializeParams(const IByteBuffer& buffer, int32_t startPos)
{
    Guard guard(lock);
    int32_t pos = startPos < 0 ? -1 : startPos;
    for (size_t i = 0; i < parameters.size() && pos >= 0; ++i)
    {
        double v = 0.0;
        pos = buffer.ReadAt(pos, 8, &v);
        if (pos < 0)
        {
            v = 0.0;
        }
        parameters[i]->SetValueClamped(v);
    }
    NotifyAllParameters();
    return pos;
}

IPresetSlot* IEffectBase::FirstFreePreset()
{
    for (auto& slot : presets)
    {
        if (!slot->initialised)
        {
            return slot.get();
        }
    }
    return nullptr;
}

void IEffectBase::DefinePreset(const char* name, ...)
{
    Guard guard(lock);
    IPresetSlot* slot = FirstFreePreset();
    if (slot == nullptr)
    {
        return;
    }
    slot->initialised = true;
    slot->SetName(name);
    slot->state.Resize(0, true);
    va_list args;
    va_start(args, name);
    for (const auto& param : parameters)
    {
        const double v =
            param->IsIntegerKind() ? static_cast<double>(va_arg(args, int)) : va_arg(args, double);
        slot->state.AppendDouble(v);
    }
    va_end(args);
}

void IEffectBase::FillPresetsFromCurrent(const char* name, int32_t count)
{
    Guard guard(lock);
    for (int32_t i = 0; i < count; ++i)
    {
        IPresetSlot* slot = FirstFreePreset();
        if (slot == nullptr)
        {
            return;
        }
        slot->initialised = true;
        slot->SetName(name != nullptr ? name : "Default");
        slot->state.Resize(0, true);
        SerializeParamValues(slot->state);
    }
}

void IEffectBase::EnsureOnePreset()
{
    Guard guard(lock);
    if (!presets.empty())
    {
        return;
    }
    presets.push_back(std::make_unique<IPresetSlot>());
    IPresetSlot& slot = *presets.back();
    slot.initialised = true;
    slot.SetName("Default");
    SerializeParamValues(slot.state);
}

const char* IEffectBase::PresetName(int32_t index) const
{
    const IPresetSlot* slot = GetPreset(index);
    return slot != nullptr ? slot->name : "";
}

void IEffectBase::NextUserPresetName(char* out, int outSize) const
{
    if (out == nullptr || outSize <= 0)
    {
        return;
    }
    static const char kUserPreset[] = "user preset";
    int count = 0;
    for (const auto& slot : presets)
    {
        if (std::strstr(slot->name, kUserPreset) != nullptr)
        {
            ++count;
        }
    }
    std::snprintf(out, static_cast<size_t>(outSize), "%s %d", kUserPreset, count + 1);
}

bool IEffectBase::LoadPreset(int32_t index)
{
    Guard guard(lock);
    if (index < 0 || index >= NPresets())
    {
        return false;
    }
    IPresetSlot& slot = *presets[static_cast<size_t>(index)];
    bool ok;
    if (slot.initialised)
    {
        ok = UnserializeParams(slot.state, 0) > 0;
    }
    else
    {
        slot.initialised = true;
        char name[IPresetSlot::kNameSize];
        NextUserPresetName(name, sizeof(name));
        slot.SetName(name);
        slot.state.Resize(0, true);
        ok = SerializeParamValues(slot.state);
    }
    if (ok)
    {
        currentPreset = index;
        PushParamsToEditor();
    }
    return ok;
}

void IEffectBase::StoreCurrentPreset(const char* name)
{
    Guard guard(lock);
    if (currentPreset < 0 || currentPreset >= NPresets())
    {
        return;
    }
    IPresetSlot& slot = *presets[static_cast<size_t>(currentPreset)];
    slot.state.Resize(0, true);
    SerializeParamValues(slot.state);
    if (name != nullptr && name[0] != '\0')
    {
        slot.SetName(name);
    }
}

bool IEffectBase::WriteChunkHeader(IByteBuffer& buffer)
{
    buffer.Resize(0, true);
    if (buffer.AppendInt32(kChunkMagic) && buffer.AppendInt32(kChunkVersion))
    {
        return true;
    }
    buffer.Resize(0, true);
    return false;
}

int32_t IEffectBase::ReadChunkHeader(const IByteBuffer& buffer, int32_t* version_)
{
    int32_t magic = 0;
    int32_t headerVersion = 0;
    int32_t startPos = 0;
    if (buffer.ReadAt(0, 4, &magic) == 4 && magic == kChunkMagic)
    {
        startPos = buffer.ReadAt(4, 4, &headerVersion) == 8 ? 8 : -1;
    }
    if (version_ != nullptr)
    {
        *version_ = startPos == 8 ? headerVersion : 0;
    }
    return startPos;
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

IParameter* IEffectBase::GetParam(int32_t index)
{
    return index >= 0 && index < NParams() ? parameters[static_cast<size_t>(index)].get() : nullptr;
}

const IParameter* IEffectBase::GetParam(int32_t index) const
{
    return index >= 0 && index < NParams() ? parameters[static_cast<size_t>(index)].get() : nullptr;
}

const IPresetSlot* IEffectBase::GetPreset(int32_t index) const
{
    return index >= 0 && index < NPresets() ? presets[static_cast<size_t>(index)].get() : nullptr;
}

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
