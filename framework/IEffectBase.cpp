// The plug-in base's core: construction and destruction, the default
// virtual operations, host identification and the flow of parameter values.
// Presets and state live in IEffectBaseState.cpp, the channel wiring in
// IEffectBaseChannels.cpp.
#include "IEffectBase.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
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
    // The host is told the clamped value too, never one outside 0..1.
    normalizedValue = IParameter::ClampNormalized(normalizedValue);
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
    // The editor's controls, like the parameter, only take values in 0..1.
    normalizedValue = IParameter::ClampNormalized(normalizedValue);
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

// --- Accessors ---

IParameter* IEffectBase::GetParam(int32_t index)
{
    return index >= 0 && index < NParams() ? parameters[static_cast<size_t>(index)].get() : nullptr;
}

const IParameter* IEffectBase::GetParam(int32_t index) const
{
    return index >= 0 && index < NParams() ? parameters[static_cast<size_t>(index)].get() : nullptr;
}
