#include "IEffectVST.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace
{

// Copies src into a host buffer of size bytes: at most size - 1 characters
// and always a terminator, whatever the length of src.
void CopyText(char* dst, const char* src, int size)
{
    if (!dst || size <= 0)
    {
        return;
    }
    const size_t n = src ? strnlen(src, static_cast<size_t>(size - 1)) : 0;
    std::memcpy(dst, src ? src : "", n);
    dst[n] = '\0';
}

int16_t ToInt16(int v)
{
    return static_cast<int16_t>(std::clamp(v, 0, 32767));
}

} // namespace

IEffectVST::IEffectVST(audioMasterCallback hostCallback, int32_t nParams, const char* channelIOStr,
                       int32_t nPresets, const char* effectName, const char* productName,
                       const char* vendorName, int32_t version, int32_t uniqueId, int32_t vendorId,
                       int32_t latency, bool doesMidi, bool doesChunks, bool isInstrument)
    : IEffectBase(nParams, channelIOStr, nPresets, effectName, productName, vendorName, version,
                  uniqueId, vendorId, latency, doesMidi, doesChunks, isInstrument),
      hostCallback(hostCallback), doesMidi(doesMidi),
      programChunk(IByteBuffer::kDefaultGranularity), bankChunk(IByteBuffer::kDefaultGranularity)
{
    // Zeroed whole, padding included: some hosts read the flags as a
    // pointer-sized field.
    std::memset(&effect, 0, sizeof(effect));
    effect.magic = kEffectMagic;
    effect.dispatcher = &IEffectVST::DispatcherEntry;
    effect.process = &IEffectVST::ProcessEntry;
    effect.setParameter = &IEffectVST::SetParameterEntry;
    effect.getParameter = &IEffectVST::GetParameterEntry;
    effect.processReplacing = &IEffectVST::ProcessReplacingEntry;
    effect.processDoubleReplacing = &IEffectVST::ProcessDoubleReplacingEntry;
    effect.numPrograms = nPresets;
    effect.numParams = nParams;
    effect.numInputs = NInputs();
    effect.numOutputs = NOutputs();
    effect.uniqueID = uniqueId;
    effect.version = VersionNumber(true);
    effect.initialDelay = latency;
    effect.ioRatio = 1.0f;
    effect.object = this;
    effect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
    if (doesChunks)
    {
        effect.flags |= effFlagsProgramChunks;
    }
    if (LegalIO(1, -1))
    {
        effect.flags |= effFlagsCanMono;
    }
    if (isInstrument)
    {
        effect.flags |= effFlagsIsSynth;
    }

    std::memset(&inputArrangement, 0, sizeof(inputArrangement));
    std::memset(&outputArrangement, 0, sizeof(outputArrangement));
    inputArrangement.numChannels = NInputs();
    outputArrangement.numChannels = NOutputs();

    ConnectInputChannels(0, NInputs(), true);
    ConnectOutputChannels(0, NOutputs(), true);
    ApplyBlockSize(1024);
}

IEffectVST::~IEffectVST()
{
    effect.object = nullptr;
}

IEffectVST* IEffectVST::FromAEffect(AEffect* e)
{
    return e ? static_cast<IEffectVST*>(e->object) : nullptr;
}

// --- Talking to the host ---

VstIntPtr IEffectVST::CallHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt)
{
    if (!hostCallback)
    {
        return 0;
    }
    return hostCallback(&effect, opcode, index, value, ptr, opt);
}

const VstTimeInfo* IEffectVST::QueryTime(VstInt32 validMask)
{
    return reinterpret_cast<const VstTimeInfo*>(
        CallHost(audioMasterGetTime, 0, validMask, nullptr, 0.0f));
}

void IEffectVST::BeginParameterGesture(int32_t paramIndex)
{
    CallHost(audioMasterBeginEdit, paramIndex, 0, nullptr, 0.0f);
}

void IEffectVST::AutomateParameter(int32_t paramIndex, double normalizedValue)
{
    CallHost(audioMasterAutomate, paramIndex, 0, nullptr, static_cast<float>(normalizedValue));
}

void IEffectVST::EndParameterGesture(int32_t paramIndex)
{
    CallHost(audioMasterEndEdit, paramIndex, 0, nullptr, 0.0f);
}

int32_t IEffectVST::QuerySamplePosition()
{
    const VstTimeInfo* t = QueryTime(0);
    if (!t || !(t->samplePos >= 0.0))
    {
        return 0;
    }
    // Saturate: a position past 2^31 samples (13 hours at 44.1 kHz) does not
    // fit the result, and converting it would be undefined.
    if (t->samplePos >= 2147483647.0)
    {
        return INT32_MAX;
    }
    return static_cast<int32_t>(t->samplePos);
}

double IEffectVST::QueryTempo()
{
    if (!hostCallback)
    {
        return 0.0;
    }
    const VstTimeInfo* t = QueryTime(kVstTempoValid);
    if (t && (t->flags & kVstTempoValid) && t->tempo >= 0.0)
    {
        return t->tempo;
    }
    return 0.0;
}

void IEffectVST::QueryTimeSignature(int32_t* numerator, int32_t* denominator)
{
    if (numerator)
    {
        *numerator = 0;
    }
    if (denominator)
    {
        *denominator = 0;
    }
    const VstTimeInfo* t = QueryTime(kVstTimeSigValid);
    if (t && (t->flags & kVstTimeSigValid) && t->timeSigNumerator >= 0 &&
        t->timeSigDenominator >= 0)
    {
        if (numerator)
        {
            *numerator = t->timeSigNumerator;
        }
        if (denominator)
        {
            *denominator = t->timeSigDenominator;
        }
    }
}

int32_t IEffectVST::QueryHostIdentity()
{
    if (hostCode == kHostNotAsked)
    {
        // Hosts write up to 64 bytes; the larger buffer and the forced
        // terminator protect against those that write more or forget it.
        char text[256] = {};
        CallHost(audioMasterGetProductString, 0, 0, text, 0.0f);
        text[sizeof(text) - 1] = '\0';
        int32_t packed = 0;
        if (text[0] != '\0')
        {
            const int64_t v = std::clamp<int64_t>(
                static_cast<int64_t>(CallHost(audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f)),
                INT32_MIN, INT32_MAX);
            packed =
                static_cast<int32_t>((v / 10000) * 65536 + ((v % 10000) / 100) * 256 + v % 100);
        }
        SetHost(text, packed);
    }
    return hostCode;
}

void IEffectVST::RefreshEditorRect()
{
    if (editor)
    {
        editRect.top = 0;
        editRect.left = 0;
        editRect.right = ToInt16(editor->Width());
        editRect.bottom = ToInt16(editor->Height());
    }
}

void IEffectVST::ApplyHostQuirks()
{
    if (hostQuirksDone)
    {
        return;
    }
    hostQuirksDone = true;
    switch (QueryHostIdentity())
    {
    case kHostForte:
    case kHostAudition:
    case kHostOrion:
    case kHostSawStudio:
        ApplyStereoInputLimit();
        break;
    default:
        break;
    }
    effect.numInputs = NInputs();
    effect.numOutputs = NOutputs();
    inputArrangement.numChannels = NInputs();
    outputArrangement.numChannels = NOutputs();
}

void IEffectVST::AttachEditor(IGraphicsCore* newEditor)
{
    if (!newEditor)
    {
        return;
    }
    IEffectBase::AttachEditor(newEditor);
    effect.flags |= effFlagsHasEditor;
    RefreshEditorRect();
}

void IEffectVST::SetLatencySamples(int32_t samples)
{
    IEffectBase::SetLatencySamples(samples);
    effect.initialDelay = samples;
}

bool IEffectVST::SendMidiMessage(IMidiMessage message)
{
    VstMidiEvent ev;
    std::memset(&ev, 0, sizeof(ev));
    ev.type = kVstMidiType;
    ev.byteSize = sizeof(VstMidiEvent);
    ev.deltaFrames = message.offset;
    ev.midiData[0] = static_cast<char>(message.status);
    ev.midiData[1] = static_cast<char>(message.data1);
    ev.midiData[2] = static_cast<char>(message.data2);
    VstEvents list;
    std::memset(&list, 0, sizeof(list));
    list.numEvents = 1;
    list.events[0] = reinterpret_cast<VstEvent*>(&ev);
    return CallHost(audioMasterProcessEvents, 0, 0, &list, 0.0f) == 1;
}

bool IEffectVST::SendMidiMessages(const IMidiMessage* messages, int32_t count)
{
    if (count > 0 && !messages)
    {
        return false;
    }
    bool all = true;
    for (int32_t i = 0; i < count; ++i)
    {
        all = SendMidiMessage(messages[i]) && all;
    }
    return all;
}

// --- Dispatcher ---

VstIntPtr IEffectVST::DispatcherEntry(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                      void* ptr, float opt)
{
    try
    {
        IEffectVST* self = FromAEffect(e);
        if (!self)
        {
            return 0;
        }
        // Hosts call these many times a second; the editor repaints from its
        // own timer, so there is nothing to do and no reason to wait for the
        // audio thread.
        if (opcode == effEditIdle || opcode == effIdle)
        {
            return 0;
        }
        if (opcode == effClose)
        {
            // Waits for a block still running, then destroys the instance
            // without holding its own lock.
            {
                std::lock_guard<IEffectLock> guard(self->lock);
            }
            delete self;
            return 0;
        }
        std::lock_guard<IEffectLock> guard(self->lock);
        return self->Dispatch(opcode, index, value, ptr, opt);
    }
    catch (...)
    {
        return 0;
    }
}

VstIntPtr IEffectVST::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt)
{
    char* text = static_cast<char*>(ptr);
    const bool paramValid = index >= 0 && index < NParams();
    switch (opcode)
    {
    case effOpen:
        ApplyHostQuirks();
        NotifyAllParameters();
        return 0;

    case effSetProgram:
        // Checked on the full pointer-sized value: a truncated huge value
        // could otherwise land on a valid slot.
        if (value >= 0 && value < NPresets())
        {
            if (!doesChunks)
            {
                StoreCurrentPreset(nullptr);
            }
            LoadPreset(static_cast<int32_t>(value));
        }
        return 0;

    case effGetProgram:
        return currentPreset;

    case effSetProgramName:
        if (text)
        {
            // Read no further than the longest name a slot keeps.
            char name[IPresetSlot::kNameSize];
            CopyText(name, text, IPresetSlot::kNameSize);
            StoreCurrentPreset(name);
        }
        return 0;

    case effGetProgramName:
        CopyText(text, PresetName(currentPreset), kProgramNameSize);
        return 0;

    case effGetParamLabel:
        if (paramValid)
        {
            CopyText(text, GetParam(index)->Label(), kParamTextSize);
        }
        return 0;

    case effGetParamDisplay:
        if (paramValid && text)
        {
            const IParameter* p = GetParam(index);
            p->FormatDisplay(p->Value(), false, text, kParamTextSize);
        }
        return 0;

    case effGetParamName:
        if (paramValid)
        {
            CopyText(text, GetParam(index)->Name(), kParamTextSize);
        }
        return 0;

    case effSetSampleRate:
        // A rate of zero, below zero or not a number would poison every
        // filter designed from it.
        if (std::isfinite(opt) && opt > 0.0f)
        {
            sampleRate = opt;
            HandleReset();
        }
        return 0;

    case effSetBlockSize:
        SetBlockSizeFromHost(value);
        return 0;

    case effMainsChanged:
        if (value != 0)
        {
            HandleActivate(true);
        }
        else
        {
            HandleActivate(false);
            HandleReset();
        }
        return 0;

    case effEditGetRect:
        if (ptr && editor)
        {
            *static_cast<ERect**>(ptr) = &editRect;
            return 1;
        }
        return 0;

    case effEditOpen:
        if (editor && editor->CreateEditorWindow(ptr))
        {
            HandleEditorOpened();
            return 1;
        }
        return 0;

    case effEditClose:
        if (editor)
        {
            HandleEditorClosing();
            editor->DestroyEditorWindow();
            return 1;
        }
        return 0;

    case effIdentify:
        return kIdentifyAnswer;

    case effGetChunk:
        return ptr ? GetChunk(static_cast<void**>(ptr), index == 0) : 0;

    case effSetChunk:
        return ptr ? SetChunk(ptr, value, index == 0) : 0;

    case effProcessEvents:
        return ptr ? ProcessEvents(static_cast<const VstEvents*>(ptr)) : 0;

    case effCanBeAutomated:
        return paramValid ? 1 : 0;

    case effGetProgramNameIndexed:
        if (text)
        {
            CopyText(text, PresetName(index), kProgramNameSize);
            return text[0] != '\0' ? 1 : 0;
        }
        return 0;

    case effGetInputProperties:
        return GetPinProperties(static_cast<VstPinProperties*>(ptr), index, true);

    case effGetOutputProperties:
        return GetPinProperties(static_cast<VstPinProperties*>(ptr), index, false);

    case effGetPlugCategory:
        return kPlugCategEffect;

    case effProcessVarIo:
        return 0;

    case effSetSpeakerArrangement:
        SetSpeakerArrangement(reinterpret_cast<const VstSpeakerArrangement*>(value),
                              static_cast<const VstSpeakerArrangement*>(ptr));
        return 1;

    case effGetEffectName:
        if (text)
        {
            CopyText(text, effectName, kEffectNameSize);
            return 1;
        }
        return 0;

    case effGetVendorString:
        if (text)
        {
            CopyText(text, vendorName, kVendorTextSize);
            return 1;
        }
        return 0;

    case effGetProductString:
        if (text)
        {
            CopyText(text, productName, kProductTextSize);
            return 1;
        }
        return 0;

    case effVendorSpecific:
        // REAPER's request for the text of a parameter value that is not
        // the current one.
        if (index == 7 && text)
        {
            if (value >= 0 && value < NParams())
            {
                GetParam(static_cast<int32_t>(value))
                    ->FormatDisplay(opt, true, text, kParamTextSize);
            }
            return kVendorSpecificAnswer;
        }
        return 0;

    case effCanDo:
        return CanDo(text);

    case effGetVstVersion:
        return kVstVersion;

    case effGetMidiKeyName:
        if (ptr)
        {
            MidiKeyName* key = static_cast<MidiKeyName*>(ptr);
            key->keyName[0] = '\0';
            const bool named = GetMidiNoteName(key->thisKeyNumber, key->keyName, kVstMaxNameLen);
            key->keyName[kVstMaxNameLen - 1] = '\0';
            return named ? 1 : 0;
        }
        return 0;

    case effGetSpeakerArrangement:
        if (value)
        {
            *reinterpret_cast<VstSpeakerArrangement**>(value) = &inputArrangement;
        }
        if (ptr)
        {
            *static_cast<VstSpeakerArrangement**>(ptr) = &outputArrangement;
        }
        return 1;

    default:
        return 0;
    }
}

void IEffectVST::SetBlockSizeFromHost(VstIntPtr frames)
{
    // Nothing sensible can be sized from zero or a negative count; a huge
    // count is capped, and longer blocks then run in pieces.
    if (frames <= 0)
    {
        return;
    }
    ApplyBlockSize(static_cast<int32_t>(std::min<VstIntPtr>(frames, kMaxBlockSize)));
    HandleReset();
}

void IEffectVST::SetSpeakerArrangement(const VstSpeakerArrangement* in,
                                       const VstSpeakerArrangement* out)
{
    if (in)
    {
        const int32_t n = std::clamp(in->numChannels, 0, NInputs());
        ConnectInputChannels(0, n, true);
        ConnectInputChannels(n, NInputs() - n, false);
    }
    if (out)
    {
        const int32_t n = std::clamp(out->numChannels, 0, NOutputs());
        ConnectOutputChannels(0, n, true);
        ConnectOutputChannels(n, NOutputs() - n, false);
    }
}

VstIntPtr IEffectVST::GetPinProperties(VstPinProperties* pin, int32_t index, bool isInput) const
{
    const int32_t count = isInput ? NInputs() : NOutputs();
    if (!pin || index < 0 || index >= count)
    {
        return 0;
    }
    // Only the first 80 bytes: some hosts allocate no more.
    std::memset(pin, 0, offsetof(VstPinProperties, future));
    pin->flags = kVstPinIsActive;
    if (index % 2 == 0)
    {
        pin->flags |= kVstPinIsStereo;
    }
    std::snprintf(pin->label, sizeof(pin->label), isInput ? "Input %d" : "Output %d",
                  static_cast<int>(index) + 1);
    return 1;
}

VstIntPtr IEffectVST::CanDo(const char* text) const
{
    if (!text)
    {
        return 0;
    }
    if (std::strcmp(text, "receiveVstTimeInfo") == 0)
    {
        return 1;
    }
    if (doesMidi &&
        (std::strcmp(text, "sendVstEvents") == 0 || std::strcmp(text, "sendVstMidiEvent") == 0 ||
         std::strcmp(text, "receiveVstEvents") == 0 ||
         std::strcmp(text, "receiveVstMidiEvent") == 0))
    {
        return 1;
    }
    if (std::strcmp(text, "hasCockosExtensions") == 0 ||
        std::strcmp(text, "hasCockosViewAsConfig") == 0)
    {
        return kCockosAnswer;
    }
    return 0;
}

VstIntPtr IEffectVST::ProcessEvents(const VstEvents* events)
{
    VstEvent* const* list = VstEventList(events);
    for (VstInt32 i = 0; i < events->numEvents; ++i)
    {
        VstEvent* ev = list[i];
        if (!ev)
        {
            continue;
        }
        if (ev->type == kVstMidiType)
        {
            const VstMidiEvent* midi = reinterpret_cast<const VstMidiEvent*>(ev);
            IMidiMessage m;
            m.offset = midi->deltaFrames;
            m.status = static_cast<uint8_t>(midi->midiData[0]);
            m.data1 = static_cast<uint8_t>(midi->midiData[1]);
            m.data2 = static_cast<uint8_t>(midi->midiData[2]);
            HandleMidiMessage(m);
        }
        else
        {
            VstEvents one;
            std::memset(&one, 0, sizeof(one));
            one.numEvents = 1;
            one.events[0] = ev;
            CallHost(audioMasterProcessEvents, 0, 0, &one, 0.0f);
        }
    }
    return 1;
}

// --- State chunks ---

VstIntPtr IEffectVST::GetChunk(void** data, bool isBank)
{
    IByteBuffer& buffer = isBank ? bankChunk : programChunk;
    if (!WriteChunkHeader(buffer))
    {
        return 0;
    }
    if (isBank)
    {
        StoreCurrentPreset(nullptr);
    }
    if (!WriteState(buffer) || buffer.Size() <= 0)
    {
        return 0;
    }
    *data = buffer.Data();
    return buffer.Size();
}

VstIntPtr IEffectVST::SetChunk(const void* data, VstIntPtr size, bool isBank)
{
    // An empty chunk carries no state, and an absurd size is a host error:
    // neither may reset parameters or allocate.
    if (size <= 0 || size > kMaxChunkSize)
    {
        return 0;
    }
    const int32_t n = static_cast<int32_t>(size);
    IByteBuffer& buffer = isBank ? bankChunk : programChunk;
    buffer.ResizeZeroed(n);
    if (buffer.Size() != n)
    {
        return 0;
    }
    std::memcpy(buffer.Data(), data, static_cast<size_t>(n));
    int32_t version = 0;
    const int32_t startPos = ReadChunkHeader(buffer, &version);
    const int32_t pos = ReadState(buffer, startPos);
    // A bank in our own format only changes the parameters; anything else
    // also becomes the current program's state.
    if (!(isBank && version >= kChunkVersion))
    {
        StoreCurrentPreset(nullptr);
    }
    if (pos < 0)
    {
        return 0;
    }
    PushParamsToEditor();
    return 1;
}

// --- Parameters ---

void IEffectVST::SetParameterEntry(AEffect* e, VstInt32 index, float value)
{
    try
    {
        IEffectVST* self = FromAEffect(e);
        // A value that is not a number would reach the signal path as one.
        if (!self || std::isnan(value))
        {
            return;
        }
        std::lock_guard<IEffectLock> guard(self->lock);
        self->SetParameterFromHost(index, value);
    }
    catch (...)
    {
    }
}

float IEffectVST::GetParameterEntry(AEffect* e, VstInt32 index)
{
    try
    {
        IEffectVST* self = FromAEffect(e);
        if (!self)
        {
            return 0.0f;
        }
        std::lock_guard<IEffectLock> guard(self->lock);
        return static_cast<float>(self->GetParameterForHost(index));
    }
    catch (...)
    {
        return 0.0f;
    }
}

// --- Audio ---

int32_t IEffectVST::ConnectedInputs() const
{
    int32_t n = 0;
    for (int32_t i = 0; i < NInputs(); ++i)
    {
        n += InputConnected(i) ? 1 : 0;
    }
    return n;
}

int32_t IEffectVST::ConnectedOutputs() const
{
    int32_t n = 0;
    for (int32_t i = 0; i < NOutputs(); ++i)
    {
        n += OutputConnected(i) ? 1 : 0;
    }
    return n;
}

template <typename T> bool IEffectVST::HostBuffersPresent(T** buffers, int32_t count)
{
    if (count == 0)
    {
        return true;
    }
    if (!buffers)
    {
        return false;
    }
    for (int32_t i = 0; i < count; ++i)
    {
        if (!buffers[i])
        {
            return false;
        }
    }
    return true;
}

template <typename T> void IEffectVST::SilenceHostOutputs(T** outputs, int32_t nFrames) const
{
    if (!outputs)
    {
        return;
    }
    const int32_t count = ConnectedOutputs();
    for (int32_t i = 0; i < count; ++i)
    {
        if (outputs[i])
        {
            std::fill(outputs[i], outputs[i] + nFrames, T(0));
        }
    }
}

void IEffectVST::ProcessFloat(float** inputs, float** outputs, int32_t nFrames, FloatMode mode)
{
    if (nFrames <= 0)
    {
        return;
    }
    std::lock_guard<IEffectLock> guard(lock);
    if (doesMidi)
    {
        CallHost(audioMasterWantMidi, 0, 0, nullptr, 0.0f);
    }
    if (!HostBuffersPresent(outputs, ConnectedOutputs()))
    {
        return;
    }
    if (!HostBuffersPresent(inputs, ConnectedInputs()))
    {
        // Dropped: a replacing host still gets silence rather than whatever
        // its buffers held.
        if (mode == FloatMode::Replace)
        {
            SilenceHostOutputs(outputs, nFrames);
        }
        return;
    }
    // The whole host block goes to the base, which runs it in pieces that
    // fit the channel scratch blocks when it is longer than those.
    BindInputsFromFloat(inputs, nFrames);
    BindOutputsToFloat(outputs);
    if (mode == FloatMode::Accumulate)
    {
        RunBlockAccumulating(nFrames);
    }
    else
    {
        RunBlockReplacing(nFrames);
    }
}

void IEffectVST::ProcessDouble(double** inputs, double** outputs, int32_t nFrames)
{
    if (nFrames <= 0)
    {
        return;
    }
    std::lock_guard<IEffectLock> guard(lock);
    if (doesMidi)
    {
        CallHost(audioMasterWantMidi, 0, 0, nullptr, 0.0f);
    }
    if (!HostBuffersPresent(outputs, ConnectedOutputs()))
    {
        return;
    }
    if (!HostBuffersPresent(inputs, ConnectedInputs()))
    {
        SilenceHostOutputs(outputs, nFrames);
        return;
    }
    BindInputsFromDouble(inputs);
    BindOutputsToDouble(outputs);
    RunBlockDouble(nFrames);
}

void IEffectVST::ProcessEntry(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames)
{
    try
    {
        if (IEffectVST* self = FromAEffect(e))
        {
            self->ProcessFloat(inputs, outputs, sampleFrames, FloatMode::Accumulate);
        }
    }
    catch (...)
    {
    }
}

void IEffectVST::ProcessReplacingEntry(AEffect* e, float** inputs, float** outputs,
                                       VstInt32 sampleFrames)
{
    try
    {
        if (IEffectVST* self = FromAEffect(e))
        {
            self->ProcessFloat(inputs, outputs, sampleFrames, FloatMode::Replace);
        }
    }
    catch (...)
    {
    }
}

void IEffectVST::ProcessDoubleReplacingEntry(AEffect* e, double** inputs, double** outputs,
                                             VstInt32 sampleFrames)
{
    try
    {
        if (IEffectVST* self = FromAEffect(e))
        {
            self->ProcessDouble(inputs, outputs, sampleFrames);
        }
    }
    catch (...)
    {
    }
}
