#include "HostPlayer.h"

#include "FuzzCheck.h"

#include <xmmintrin.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <limits>

namespace
{
HostPlayer* current = nullptr;

// Control bits of MXCSR (DAZ, exception masks, rounding, FTZ); the six
// exception flags below them are sticky and any arithmetic may raise them.
constexpr unsigned kCsrControl = 0xffc0;
constexpr unsigned kCsrDefault = 0x1f80;

// Effect Off passes the sum of two full-scale inputs, 2; with Effect On the
// pedal stays below that at any Level, rate or program (the largest output
// over the fuzz corpus was 2.0). Four times that leaves room, and a gain
// gone wrong is orders of magnitude beyond it.
constexpr double kOutputBound = 8.0;

// Host output buffers start with a pattern no computation produces (a NaN
// with a payload of our own), so an unwritten frame shows.
constexpr uint32_t kFloatUnwritten = 0x7fc0deadu;
constexpr uint64_t kDoubleUnwritten = 0x7ff8deadbeefdeadull;
constexpr double kAccumulateBase = 0.25; // what a host's mix bus already holds

// Opcodes the binding answers; every other one must answer 0 and touch
// nothing.
bool Answered(VstInt32 opcode)
{
    static const VstInt32 answered[] = {
        effOpen,
        effClose,
        effSetProgram,
        effGetProgram,
        effSetProgramName,
        effGetProgramName,
        effGetParamLabel,
        effGetParamDisplay,
        effGetParamName,
        effSetSampleRate,
        effSetBlockSize,
        effMainsChanged,
        effEditGetRect,
        effEditOpen,
        effEditClose,
        effIdentify,
        effGetChunk,
        effSetChunk,
        effProcessEvents,
        effCanBeAutomated,
        effGetProgramNameIndexed,
        effGetInputProperties,
        effGetOutputProperties,
        effGetPlugCategory,
        effSetSpeakerArrangement,
        effGetEffectName,
        effGetVendorString,
        effGetProductString,
        effVendorSpecific,
        effCanDo,
        effGetVstVersion,
        effGetMidiKeyName,
        effGetSpeakerArrangement,
    };
    return std::find(std::begin(answered), std::end(answered), opcode) != std::end(answered);
}

// Text a host passes in: the given characters and a terminator, in a buffer
// of exactly that size.
GuardedBuffer TextIn(FuzzReader& in)
{
    static const char* const known[] = {"receiveVstTimeInfo",
                                        "sendVstEvents",
                                        "sendVstMidiEvent",
                                        "receiveVstEvents",
                                        "receiveVstMidiEvent",
                                        "hasCockosExtensions",
                                        "hasCockosViewAsConfig",
                                        "bypass",
                                        "",
                                        "receiveVstTimeInfo ",
                                        "My Program"};
    if (in.Bool())
    {
        const char* text = in.Pick(known);
        GuardedBuffer buffer(std::strlen(text) + 1);
        std::memcpy(buffer.Data(), text, buffer.Size());
        return buffer;
    }
    const size_t length = static_cast<size_t>(in.Int(0, 300));
    GuardedBuffer buffer(length + 1);
    in.Bytes(buffer.Data(), length);
    for (size_t i = 0; i < length; ++i)
    {
        buffer.Data()[i] = buffer.Data()[i] == 0 ? 'x' : buffer.Data()[i];
    }
    buffer.Data()[length] = 0;
    return buffer;
}

bool Unchanged(const GuardedBuffer& buffer, const std::vector<uint8_t>& before)
{
    return before.empty() || std::memcmp(buffer.Data(), before.data(), before.size()) == 0;
}

std::vector<uint8_t> Copy(const GuardedBuffer& buffer)
{
    return std::vector<uint8_t>(buffer.Data(), buffer.Data() + buffer.Size());
}
} // namespace

HostPlayer::HostPlayer(VstPluginEntryProc pluginMain, VstPluginEntryProc legacyMain)
    : entries{pluginMain, legacyMain}
{
}

void HostPlayer::Play(const uint8_t* data, size_t size)
{
    FuzzReader reader(data, size);
    in = &reader;
    current = this;
    static const char* const products[] = {"Fuzz Host",      "",      "REAPER",    "Forte",
                                           "Adobe Audition", "Orion", "SAWStudio", "Cubase"};
    product = in->Pick(products);
    vendorVersion = static_cast<VstIntPtr>(in->Int(0, 99999));
    hostCsr = kCsrDefault;
    giveTime = false;
    lastChunk.clear();
    for (int instance = 0; instance < 3 && (instance == 0 || !in->Empty()); ++instance)
    {
        if (!Create())
        {
            break;
        }
        for (int step = 0; step < 256 && effect != nullptr && !in->Empty(); ++step)
        {
            Step();
        }
        if (effect != nullptr)
        {
            Call(effClose, 0, 0, nullptr, 0.0f);
        }
    }
    current = nullptr;
    in = nullptr;
}

VstIntPtr VSTCALLBACK HostPlayer::HostCallback(AEffect* e, VstInt32 opcode, VstInt32 index,
                                               VstIntPtr value, void* ptr, float opt)
{
    VK_FUZZ_CHECK(current != nullptr, "host callback %d outside a session", opcode);
    return current->Answer(e, opcode, index, value, ptr, opt);
}

VstIntPtr HostPlayer::Answer(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr, void* ptr,
                             float opt)
{
    VK_FUZZ_CHECK(creating || e == effect, "callback %d with a foreign effect record", opcode);
    const VstInt32 nParams = effect != nullptr ? effect->numParams : INT32_MAX;
    switch (opcode)
    {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterAutomate:
        VK_FUZZ_CHECK(index >= 0 && index < nParams, "automation of parameter %d", index);
        VK_FUZZ_CHECK(opt >= 0.0f && opt <= 1.0f, "automation value %g", static_cast<double>(opt));
        return 0;
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
        VK_FUZZ_CHECK(index >= 0 && index < nParams, "gesture on parameter %d", index);
        return 0;
    case audioMasterGetTime:
        return giveTime ? reinterpret_cast<VstIntPtr>(&time) : 0;
    case audioMasterProcessEvents:
    {
        VK_FUZZ_CHECK(ptr != nullptr, "event list missing");
        const VstEvents* list = static_cast<const VstEvents*>(ptr);
        VK_FUZZ_CHECK(list->numEvents >= 1 && list->numEvents <= 4096, "%d events sent",
                      list->numEvents);
        for (VstInt32 i = 0; i < list->numEvents; ++i)
        {
            const VstEvent* ev = VstEventList(list)[i];
            VK_FUZZ_CHECK(ev != nullptr, "event %d of a sent list is null", i);
            if (ev->type == kVstMidiType)
            {
                VK_FUZZ_CHECK(ev->byteSize == static_cast<VstInt32>(sizeof(VstMidiEvent)),
                              "MIDI event of %d bytes", ev->byteSize);
            }
        }
        return 1;
    }
    case audioMasterGetProductString:
        // Hosts fill at most kVstMaxProductStrLen bytes.
        VK_FUZZ_CHECK(ptr != nullptr, "no buffer for the product string");
        std::snprintf(static_cast<char*>(ptr), kVstMaxProductStrLen, "%s", product.c_str());
        return product.empty() ? 0 : 1;
    case audioMasterGetVendorVersion:
        return vendorVersion;
    case audioMasterGetSampleRate:
        return 44100;
    case audioMasterGetBlockSize:
        return 512;
    default:
        return 0;
    }
}

bool HostPlayer::Create()
{
    creating = true;
    const VstPluginEntryProc entry = entries[in->Byte() & 1];
    Enter();
    AEffect* e = entry(&HostPlayer::HostCallback);
    Leave("entry point");
    creating = false;
    VK_FUZZ_CHECK(e != nullptr, "the entry point made no instance");
    VK_FUZZ_CHECK(e->magic == kEffectMagic, "magic %x", static_cast<unsigned>(e->magic));
    VK_FUZZ_CHECK(e->dispatcher && e->process && e->processReplacing && e->setParameter &&
                      e->getParameter && e->processDoubleReplacing,
                  "an entry of the record is null");
    std::memcpy(record, e, sizeof(record));
    effect = e;
    connectedIn = e->numInputs;
    connectedOut = e->numOutputs;
    tainted = false;
    return true;
}

void HostPlayer::Enter()
{
    _mm_setcsr(hostCsr);
}

void HostPlayer::Leave(const char* call)
{
    const unsigned csr = _mm_getcsr();
    _mm_setcsr(kCsrDefault);
    VK_FUZZ_CHECK((csr & kCsrControl) == (hostCsr & kCsrControl),
                  "%s left MXCSR %#x, the host had %#x", call, csr, hostCsr);
    if (effect == nullptr)
    {
        return;
    }
    // numInputs, numOutputs and initialDelay may change (host quirks on open,
    // a new latency) and the editor flag appears when an editor is attached;
    // nothing else of the record may.
    AEffect want;
    std::memcpy(&want, record, sizeof(want));
    want.numInputs = effect->numInputs;
    want.numOutputs = effect->numOutputs;
    want.initialDelay = effect->initialDelay;
    want.flags = (want.flags & ~effFlagsHasEditor) | (effect->flags & effFlagsHasEditor);
    VK_FUZZ_CHECK(std::memcmp(&want, effect, sizeof(want)) == 0, "%s changed the effect record",
                  call);
    VK_FUZZ_CHECK(effect->numInputs >= 0 && effect->numInputs <= 256 && effect->numOutputs >= 0 &&
                      effect->numOutputs <= 256,
                  "%s left %d inputs, %d outputs", call, effect->numInputs, effect->numOutputs);
}

VstIntPtr HostPlayer::Call(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    char name[48];
    std::snprintf(name, sizeof(name), "dispatcher opcode %d", opcode);
    Enter();
    const VstIntPtr result = effect->dispatcher(effect, opcode, index, value, ptr, opt);
    if (opcode == effClose)
    {
        effect = nullptr;
    }
    Leave(name);
    return result;
}

void HostPlayer::CheckText(const GuardedBuffer& text, uint8_t fill, const char* call) const
{
    VK_FUZZ_CHECK(text.CanaryIntact(), "%s wrote past the host's %zu-byte buffer", call,
                  text.Size());
    bool written = false;
    for (size_t i = 0; i < text.Size(); ++i)
    {
        written = written || text.Data()[i] != fill;
    }
    if (written)
    {
        VK_FUZZ_CHECK(std::memchr(text.Data(), 0, text.Size()) != nullptr,
                      "%s left its text unterminated", call);
    }
}

float HostPlayer::FuzzedFloat()
{
    static const float special[] = {0.0f,
                                    1.0f,
                                    0.5f,
                                    -0.0f,
                                    1e-40f,
                                    1.0000001f,
                                    0.99999994f,
                                    -1.0f,
                                    2.0f,
                                    -1e30f,
                                    1e30f,
                                    -1e7f,
                                    FLT_MAX,
                                    -FLT_MAX,
                                    std::numeric_limits<float>::infinity(),
                                    -std::numeric_limits<float>::infinity(),
                                    std::numeric_limits<float>::quiet_NaN()};
    if (in->Bool())
    {
        return static_cast<float>(in->Unit());
    }
    return in->Pick(special);
}

double HostPlayer::FuzzedRate()
{
    static const double special[] = {44100.0, 48000.0, 88200.0, 96000.0,  192000.0, 22050.0,
                                     11025.0, 8000.0,  1.0,     0.5,      1e-30,    1e6,
                                     1e9,     3e38,    0.0,     -44100.0, 1e-40};
    switch (in->Byte() % 4)
    {
    case 0:
        return in->Int(1, 400000);
    case 1:
        return static_cast<double>(std::numeric_limits<float>::quiet_NaN());
    default:
        return in->Pick(special);
    }
}

VstInt32 HostPlayer::FuzzedIndex(VstInt32 count)
{
    switch (in->Byte() % 8)
    {
    case 0:
        return static_cast<VstInt32>(in->U32());
    case 1:
        return in->Bool() ? INT32_MIN : INT32_MAX;
    default:
        return in->Int(-2, std::max(count, 0) + 1);
    }
}

void HostPlayer::Step()
{
    switch (in->Byte() % 12)
    {
    case 0:
    case 1:
    case 2:
        Dispatch();
        break;
    case 3:
        SetParameter();
        break;
    case 4:
        GetParameter();
        break;
    case 5:
        Process(Audio::Accumulate);
        break;
    case 6:
    case 7:
        Process(Audio::Replace);
        break;
    case 8:
        Process(Audio::Double);
        break;
    case 9:
        SendEvents();
        break;
    case 10:
        SetArrangements();
        break;
    default:
        ChangeHostState();
        break;
    }
}

void HostPlayer::Dispatch()
{
    const uint8_t pick = in->Byte();
    if (pick < 224)
    {
        DispatchKnown(pick % (effGetNumMidiOutputChannels + 1));
    }
    else
    {
        DispatchKnown(static_cast<VstInt32>(in->U32()));
    }
}

void HostPlayer::DispatchKnown(VstInt32 opcode)
{
    const VstInt32 nParams = effect->numParams;
    const VstInt32 nPrograms = effect->numPrograms;
    char call[48];
    std::snprintf(call, sizeof(call), "opcode %d", opcode);
    switch (opcode)
    {
    case effClose:
        Call(effClose, 0, 0, nullptr, 0.0f);
        return;

    case effSetProgram:
        Call(opcode, 0, FuzzedIndex(nPrograms), nullptr, 0.0f);
        return;

    case effGetProgram:
    {
        const VstIntPtr program = Call(opcode, 0, 0, nullptr, 0.0f);
        VK_FUZZ_CHECK(program >= 0 && program < nPrograms, "current program %ld",
                      static_cast<long>(program));
        return;
    }

    case effSetProgramName:
    case effCanDo:
    case effString2Parameter:
    {
        GuardedBuffer text = TextIn(*in);
        const std::vector<uint8_t> before = Copy(text);
        Call(opcode, FuzzedIndex(nParams), 0, text.Data(), 0.0f);
        VK_FUZZ_CHECK(text.CanaryIntact() && Unchanged(text, before), "%s wrote into its input",
                      call);
        return;
    }

    case effGetProgramName:
    case effGetProgramNameIndexed:
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
    case effGetEffectName:
    case effGetVendorString:
    case effGetProductString:
    case effVendorSpecific:
    {
        // The smallest buffer is the size hosts are promised to give.
        size_t smallest = kVstMaxParamStrLen;
        if (opcode == effGetProgramName || opcode == effGetProgramNameIndexed)
        {
            smallest = kVstMaxProgNameLen;
        }
        else if (opcode == effGetEffectName)
        {
            smallest = kVstMaxEffectNameLen;
        }
        else if (opcode == effGetVendorString || opcode == effGetProductString)
        {
            smallest = kVstMaxVendorStrLen;
        }
        const size_t sizes[] = {smallest, smallest, 64, 256};
        GuardedBuffer text(in->Pick(sizes), 0xcc);
        VstInt32 index =
            opcode == effGetProgramNameIndexed ? FuzzedIndex(nPrograms) : FuzzedIndex(nParams);
        VstIntPtr value = 0;
        float opt = 0.0f;
        if (opcode == effVendorSpecific)
        {
            index = in->Bool() ? 7 : static_cast<VstInt32>(in->U32());
            value = FuzzedIndex(nParams);
            opt = FuzzedFloat();
        }
        const VstIntPtr result = Call(opcode, index, value, text.Data(), opt);
        CheckText(text, 0xcc, call);
        if (opcode == effVendorSpecific)
        {
            VK_FUZZ_CHECK(result == (index == 7 ? 0xbeef : 0), "%s answered %ld", call,
                          static_cast<long>(result));
        }
        return;
    }

    case effSetSampleRate:
        Call(opcode, 0, 0, nullptr, static_cast<float>(FuzzedRate()));
        return;

    case effSetBlockSize:
    {
        static const VstIntPtr sizes[] = {
            0,   1,    2,    3,    16,        64,         100,
            512, 1024, 4096, 8192, -1,        1 << 20,    (1 << 20) + 1,
            513, 7,    31,   255,  INT32_MAX, INTPTR_MAX, INTPTR_MIN};
        Call(opcode, 0, in->Pick(sizes), nullptr, 0.0f);
        return;
    }

    case effMainsChanged:
        Call(opcode, 0, in->Bool() ? in->Int(0, 1) : static_cast<VstIntPtr>(in->U64()), nullptr,
             0.0f);
        return;

    case effEditGetRect:
    {
        ERect* rect = nullptr;
        const VstIntPtr result = Call(opcode, 0, 0, &rect, 0.0f);
        if (result != 0)
        {
            VK_FUZZ_CHECK(rect != nullptr, "editor rectangle answered 1 without a rectangle");
            VK_FUZZ_CHECK(
                rect->top == 0 && rect->left == 0 && rect->right >= 0 && rect->bottom >= 0,
                "editor rectangle %d %d %d %d", rect->top, rect->left, rect->bottom, rect->right);
        }
        else
        {
            VK_FUZZ_CHECK(rect == nullptr, "editor rectangle written but answered 0");
        }
        return;
    }

    case effEditOpen:
        // A fuzzer has no window to offer as the parent.
        Call(opcode, 0, 0, nullptr, 0.0f);
        return;

    case effGetChunk:
    {
        void* data = nullptr;
        const VstIntPtr n = Call(opcode, in->Int(0, 1), 0, &data, 0.0f);
        VK_FUZZ_CHECK(n >= 0 && n <= (1 << 24), "chunk of %ld bytes", static_cast<long>(n));
        if (n > 0)
        {
            VK_FUZZ_CHECK(data != nullptr, "chunk size without chunk");
            const uint8_t* bytes = static_cast<const uint8_t*>(data);
            lastChunk.assign(bytes, bytes + n); // reads all of it
        }
        return;
    }

    case effSetChunk:
    {
        std::vector<uint8_t> bytes = lastChunk;
        if (bytes.empty() || in->Bool())
        {
            bytes.resize(static_cast<size_t>(in->Int(0, 96)));
            in->Bytes(bytes.data(), bytes.size());
        }
        for (int flips = in->Int(0, 3); flips > 0 && !bytes.empty(); --flips)
        {
            bytes[static_cast<size_t>(in->Int(0, static_cast<int32_t>(bytes.size()) - 1))] ^=
                in->Byte();
        }
        GuardedBuffer chunk(bytes.size());
        std::copy(bytes.begin(), bytes.end(), chunk.Data());
        VstIntPtr size = static_cast<VstIntPtr>(bytes.size());
        switch (in->Byte() % 4)
        {
        case 0:
            size = in->Int(0, static_cast<int32_t>(bytes.size())); // a host sending less
            break;
        case 1:
            size = in->Bool() ? -1 : (1 << 20) + 1; // refused without reading
            break;
        default:
            break;
        }
        Call(opcode, in->Int(0, 1), size, chunk.Data(), 0.0f);
        VK_FUZZ_CHECK(chunk.CanaryIntact() && Unchanged(chunk, bytes), "the chunk was written");
        return;
    }

    case effProcessEvents:
        SendEvents();
        return;

    case effGetInputProperties:
    case effGetOutputProperties:
    {
        // Some hosts allocate only the first 80 bytes of the record.
        GuardedBuffer pin(offsetof(VstPinProperties, future), 0xcc);
        const VstInt32 count =
            opcode == effGetInputProperties ? effect->numInputs : effect->numOutputs;
        const VstIntPtr result = Call(opcode, FuzzedIndex(count), 0, pin.Data(), 0.0f);
        VK_FUZZ_CHECK(pin.CanaryIntact(), "%s wrote past the 80 bytes of a pin record", call);
        if (result != 0)
        {
            VK_FUZZ_CHECK(std::memchr(pin.Data(), 0, kVstMaxLabelLen) != nullptr,
                          "%s left the pin label unterminated", call);
        }
        return;
    }

    case effSetSpeakerArrangement:
        SetArrangements();
        return;

    case effGetMidiKeyName:
    {
        GuardedBuffer key(sizeof(MidiKeyName), 0xcc);
        MidiKeyName* name = key.As<MidiKeyName>();
        name->thisProgramIndex = static_cast<VstInt32>(in->U32());
        name->thisKeyNumber = static_cast<VstInt32>(in->U32());
        Call(opcode, 0, 0, key.Data(), 0.0f);
        VK_FUZZ_CHECK(key.CanaryIntact(), "%s wrote past the key name record", call);
        VK_FUZZ_CHECK(std::memchr(name->keyName, 0, sizeof(name->keyName)) != nullptr,
                      "%s left the key name unterminated", call);
        return;
    }

    case effGetSpeakerArrangement:
    {
        VstSpeakerArrangement* arrangements[2] = {nullptr, nullptr};
        const bool askIn = in->Bool();
        const bool askOut = in->Bool();
        Call(opcode, 0, askIn ? reinterpret_cast<VstIntPtr>(&arrangements[0]) : 0,
             askOut ? &arrangements[1] : nullptr, 0.0f);
        for (int k = 0; k < 2; ++k)
        {
            if (k == 0 ? askIn : askOut)
            {
                VK_FUZZ_CHECK(arrangements[k] != nullptr, "no speaker arrangement %d", k);
                VK_FUZZ_CHECK(arrangements[k]->numChannels >= 0 &&
                                  arrangements[k]->numChannels <= 256,
                              "arrangement of %d channels", arrangements[k]->numChannels);
            }
        }
        return;
    }

    default:
        break;
    }

    // Everything else, known or not: arguments of any kind, and a buffer
    // that opcodes the binding does not answer must leave alone.
    GuardedBuffer buffer(256, 0);
    const std::vector<uint8_t> before = Copy(buffer);
    const VstInt32 index = static_cast<VstInt32>(in->U32());
    const VstIntPtr value = static_cast<VstIntPtr>(in->U64());
    const float opt = FuzzedFloat();
    void* ptr = in->Bool() ? buffer.Data() : nullptr;
    const VstIntPtr result = Call(opcode, index, value, ptr, opt);
    VK_FUZZ_CHECK(buffer.CanaryIntact(), "%s wrote past its buffer", call);
    if (!Answered(opcode))
    {
        VK_FUZZ_CHECK(result == 0, "%s is not answered but returned %ld", call,
                      static_cast<long>(result));
        VK_FUZZ_CHECK(Unchanged(buffer, before), "%s is not answered but wrote", call);
    }
}

void HostPlayer::SetParameter()
{
    const VstInt32 index = FuzzedIndex(effect->numParams);
    const float value = FuzzedFloat();
    Enter();
    effect->setParameter(effect, index, value);
    Leave("setParameter");
}

void HostPlayer::GetParameter()
{
    const VstInt32 index = FuzzedIndex(effect->numParams);
    Enter();
    const float value = effect->getParameter(effect, index);
    Leave("getParameter");
    VK_FUZZ_CHECK(value >= 0.0f && value <= 1.0f, "getParameter %d gave %g", index,
                  static_cast<double>(value));
}

void HostPlayer::SendEvents()
{
    if (in->Byte() % 8 == 0)
    {
        VK_FUZZ_CHECK(Call(effProcessEvents, 0, 0, nullptr, 0.0f) == 0,
                      "events without a list answered");
        return;
    }
    const int n = in->Int(0, 12);
    // The header and exactly n pointers, at least the two slots declared.
    GuardedBuffer list(std::max(sizeof(VstEvents), offsetof(VstEvents, events) +
                                                       static_cast<size_t>(n) * sizeof(VstEvent*)));
    std::vector<GuardedBuffer> events;
    std::vector<GuardedBuffer> dumps;
    events.reserve(static_cast<size_t>(n));
    dumps.reserve(static_cast<size_t>(n));
    VstEvent** slots = reinterpret_cast<VstEvent**>(list.Data() + offsetof(VstEvents, events));
    for (int k = 0; k < n; ++k)
    {
        switch (in->Byte() % 4)
        {
        case 0:
            slots[k] = nullptr;
            continue;
        case 1:
        {
            events.emplace_back(sizeof(VstMidiSysexEvent));
            VstMidiSysexEvent* sysex = events.back().As<VstMidiSysexEvent>();
            const int32_t dumpBytes = in->Int(0, 64);
            dumps.emplace_back(static_cast<size_t>(dumpBytes));
            in->Bytes(dumps.back().Data(), dumps.back().Size());
            sysex->type = kVstSysExType;
            sysex->byteSize = sizeof(VstMidiSysexEvent);
            sysex->deltaFrames = in->Int(-4, 4100);
            sysex->dumpBytes = dumpBytes;
            sysex->sysexDump = reinterpret_cast<char*>(dumps.back().Data());
            break;
        }
        case 2:
        {
            events.emplace_back(sizeof(VstEvent));
            VstEvent* other = events.back().As<VstEvent>();
            in->Bytes(other, sizeof(VstEvent));
            if (other->type == kVstMidiType || other->type == kVstSysExType)
            {
                other->type = 3; // a deprecated kind
            }
            break;
        }
        default:
        {
            events.emplace_back(sizeof(VstMidiEvent));
            VstMidiEvent* midi = events.back().As<VstMidiEvent>();
            in->Bytes(midi, sizeof(VstMidiEvent));
            midi->type = kVstMidiType;
            midi->byteSize = sizeof(VstMidiEvent);
            break;
        }
        }
        slots[k] = events.back().As<VstEvent>();
    }
    list.As<VstEvents>()->numEvents = n;
    std::vector<std::vector<uint8_t>> before;
    for (const GuardedBuffer& event : events)
    {
        before.push_back(Copy(event));
    }
    const std::vector<uint8_t> listBefore = Copy(list);
    VK_FUZZ_CHECK(Call(effProcessEvents, 0, 0, list.Data(), 0.0f) == 1, "events not taken");
    VK_FUZZ_CHECK(list.CanaryIntact() && Unchanged(list, listBefore), "the event list was written");
    for (size_t k = 0; k < events.size(); ++k)
    {
        VK_FUZZ_CHECK(events[k].CanaryIntact() && Unchanged(events[k], before[k]),
                      "event %zu was written", k);
    }
}

void HostPlayer::SetArrangements()
{
    static const VstInt32 counts[] = {0, 1, 2, 3, 8, -1, INT32_MIN, INT32_MAX};
    GuardedBuffer arrangements[2] = {GuardedBuffer(0), GuardedBuffer(0)};
    VstSpeakerArrangement* given[2] = {nullptr, nullptr};
    VstInt32 n[2] = {0, 0};
    for (int k = 0; k < 2; ++k)
    {
        if (in->Byte() % 4 == 0)
        {
            continue;
        }
        n[k] = in->Pick(counts);
        // The header and as many speakers as the host describes (up to 8).
        const size_t speakers = static_cast<size_t>(std::clamp(n[k], 0, 8));
        arrangements[k] = GuardedBuffer(offsetof(VstSpeakerArrangement, speakers) +
                                        speakers * sizeof(VstSpeakerProperties));
        given[k] = arrangements[k].As<VstSpeakerArrangement>();
        given[k]->type = n[k] == 1 ? kSpeakerArrMono : kSpeakerArrStereo;
        given[k]->numChannels = n[k];
    }
    VK_FUZZ_CHECK(Call(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(given[0]), given[1],
                       0.0f) == 1,
                  "speaker arrangement refused");
    if (given[0] != nullptr)
    {
        connectedIn = std::clamp(n[0], 0, effect->numInputs);
    }
    if (given[1] != nullptr)
    {
        connectedOut = std::clamp(n[1], 0, effect->numOutputs);
    }
    for (const GuardedBuffer& arrangement : arrangements)
    {
        VK_FUZZ_CHECK(arrangement.CanaryIntact(), "a speaker arrangement was overrun");
    }
}

void HostPlayer::ChangeHostState()
{
    static const unsigned csrs[] = {kCsrDefault, 0x9fc0, 0x1fc0, 0x9f80, 0x3f80, 0x5f80, 0x7f80};
    switch (in->Byte() % 3)
    {
    case 0:
        hostCsr = in->Pick(csrs);
        break;
    case 1:
        giveTime = in->Bool();
        in->Bytes(&time, sizeof(time));
        break;
    default:
        vendorVersion = static_cast<VstIntPtr>(in->U64());
        break;
    }
}

// One host input block: silence, a sine, noise, a full-scale square, DC or
// a ramp, with a few special samples (NaN, infinities, huge, subnormal)
// sometimes put in.
void HostPlayer::FillInput(GuardedBuffer& buffer, size_t frames, bool isDouble)
{
    const int kind = in->Byte() % 6;
    const double amplitude = in->Unit();
    const double step = 0.001 + in->Unit() * 0.5;
    uint32_t noise = in->U32() | 1;
    for (size_t i = 0; i < frames; ++i)
    {
        double x = 0.0;
        switch (kind)
        {
        case 1:
            x = amplitude * std::sin(step * static_cast<double>(i));
            break;
        case 2:
            noise = noise * 1664525u + 1013904223u;
            x = amplitude * (static_cast<double>(noise >> 8) / 8388608.0 - 1.0);
            break;
        case 3:
            x = (i / 37) % 2 == 0 ? 1.0 : -1.0;
            break;
        case 4:
            x = amplitude;
            break;
        case 5:
            x = -1.0 + 2.0 * static_cast<double>(i % 200) / 199.0;
            break;
        default:
            break;
        }
        if (isDouble)
        {
            buffer.As<double>()[i] = x;
        }
        else
        {
            buffer.As<float>()[i] = static_cast<float>(x);
        }
    }
    static const double special[] = {std::numeric_limits<double>::quiet_NaN(),
                                     std::numeric_limits<double>::infinity(),
                                     -std::numeric_limits<double>::infinity(),
                                     1e30,
                                     -1e30,
                                     1e-40,
                                     1e-310,
                                     static_cast<double>(FLT_MAX),
                                     1.5,
                                     -1.0};
    for (int s = in->Byte() % 8 == 0 ? in->Int(1, 4) : 0; s > 0 && frames > 0; --s)
    {
        const size_t at = static_cast<size_t>(in->Int(0, static_cast<int32_t>(frames) - 1));
        const double x = in->Pick(special);
        if (isDouble)
        {
            buffer.As<double>()[at] = x;
        }
        else
        {
            buffer.As<float>()[at] = static_cast<float>(x);
        }
    }
}

void HostPlayer::Process(Audio mode)
{
    static const int32_t lengths[] = {0,    1,    2,    3,    7,    31,   64,       127,  128,
                                      255,  256,  511,  512,  513,  1000, 1023,     1024, 1025,
                                      1500, 2047, 2049, 4096, 4097, -1,   INT32_MIN};
    const int32_t nFrames = in->Bool() ? in->Pick(lengths) : in->Int(1, 5000);
    const size_t frames = nFrames > 0 ? static_cast<size_t>(nFrames) : 0;
    const bool isDouble = mode == Audio::Double;
    const size_t sampleSize = isDouble ? sizeof(double) : sizeof(float);
    const int32_t nIn = effect->numInputs;
    const int32_t nOut = effect->numOutputs;
    // A host gives a buffer per channel of the record, or only as many as
    // the arrangement it set has channels.
    const int32_t givenIn = in->Bool() ? nIn : std::min(connectedIn, nIn);
    const int32_t givenOut = in->Bool() ? nOut : std::min(connectedOut, nOut);
    const int32_t usedIn = std::min(connectedIn, givenIn);
    const int32_t usedOut = std::min(connectedOut, givenOut);

    std::vector<GuardedBuffer> ins;
    std::vector<GuardedBuffer> outs;
    bool inRange = true;
    bool beyondFullScale = false;
    for (int32_t k = 0; k < givenIn; ++k)
    {
        ins.emplace_back(frames * sampleSize);
        GuardedBuffer& buffer = ins.back();
        FillInput(buffer, frames, isDouble);
        if (k < usedIn)
        {
            for (size_t i = 0; i < frames; ++i)
            {
                const double x = isDouble ? buffer.As<double>()[i] : buffer.As<float>()[i];
                inRange = inRange && std::isfinite(x) && std::fabs(x) <= 1.0;
                beyondFullScale = beyondFullScale || (std::isfinite(x) && std::fabs(x) > 1.0);
            }
        }
    }
    for (int32_t k = 0; k < givenOut; ++k)
    {
        outs.emplace_back(frames * sampleSize);
        GuardedBuffer& buffer = outs.back();
        for (size_t i = 0; i < frames; ++i)
        {
            if (mode == Audio::Accumulate)
            {
                buffer.As<float>()[i] = static_cast<float>(kAccumulateBase);
            }
            else if (isDouble)
            {
                std::memcpy(buffer.Data() + i * sizeof(double), &kDoubleUnwritten, sizeof(double));
            }
            else
            {
                std::memcpy(buffer.Data() + i * sizeof(float), &kFloatUnwritten, sizeof(float));
            }
        }
    }
    std::vector<std::vector<uint8_t>> inBefore;
    std::vector<std::vector<uint8_t>> outBefore;
    for (const GuardedBuffer& buffer : ins)
    {
        inBefore.push_back(Copy(buffer));
    }
    for (const GuardedBuffer& buffer : outs)
    {
        outBefore.push_back(Copy(buffer));
    }
    // The pointer arrays are exactly as long as the host says.
    std::vector<void*> inPtrs(static_cast<size_t>(givenIn));
    std::vector<void*> outPtrs(static_cast<size_t>(givenOut));
    for (int32_t k = 0; k < givenIn; ++k)
    {
        inPtrs[static_cast<size_t>(k)] = ins[static_cast<size_t>(k)].Data();
    }
    for (int32_t k = 0; k < givenOut; ++k)
    {
        outPtrs[static_cast<size_t>(k)] = outs[static_cast<size_t>(k)].Data();
    }

    const char* call = mode == Audio::Accumulate ? "process"
                       : isDouble                ? "processDoubleReplacing"
                                                 : "processReplacing";
    Enter();
    if (isDouble)
    {
        effect->processDoubleReplacing(effect, reinterpret_cast<double**>(inPtrs.data()),
                                       reinterpret_cast<double**>(outPtrs.data()), nFrames);
    }
    else if (mode == Audio::Accumulate)
    {
        effect->process(effect, reinterpret_cast<float**>(inPtrs.data()),
                        reinterpret_cast<float**>(outPtrs.data()), nFrames);
    }
    else
    {
        effect->processReplacing(effect, reinterpret_cast<float**>(inPtrs.data()),
                                 reinterpret_cast<float**>(outPtrs.data()), nFrames);
    }
    Leave(call);

    for (size_t k = 0; k < ins.size(); ++k)
    {
        VK_FUZZ_CHECK(ins[k].CanaryIntact() && Unchanged(ins[k], inBefore[k]),
                      "%s wrote into input %zu", call, k);
    }
    for (size_t k = 0; k < outs.size(); ++k)
    {
        const GuardedBuffer& buffer = outs[k];
        VK_FUZZ_CHECK(buffer.CanaryIntact(), "%s wrote past output %zu (%d frames)", call, k,
                      nFrames);
        if (static_cast<int32_t>(k) >= usedOut)
        {
            VK_FUZZ_CHECK(Unchanged(buffer, outBefore[k]),
                          "%s wrote output buffer %zu, which no connected channel uses", call, k);
            continue;
        }
        for (size_t i = 0; i < frames; ++i)
        {
            double y = 0.0;
            if (isDouble)
            {
                uint64_t bits = 0;
                std::memcpy(&bits, buffer.Data() + i * sizeof(double), sizeof(bits));
                VK_FUZZ_CHECK(bits != kDoubleUnwritten, "%s left frame %zu of output %zu unwritten",
                              call, i, k);
                y = buffer.As<double>()[i];
            }
            else
            {
                uint32_t bits = 0;
                std::memcpy(&bits, buffer.Data() + i * sizeof(float), sizeof(bits));
                VK_FUZZ_CHECK(bits != kFloatUnwritten, "%s left frame %zu of output %zu unwritten",
                              call, i, k);
                y = buffer.As<float>()[i];
            }
            if (mode == Audio::Accumulate)
            {
                y -= kAccumulateBase;
            }
            if (inRange && !tainted)
            {
                VK_FUZZ_CHECK(std::isfinite(y) && std::fabs(y) <= kOutputBound,
                              "%s gave %g at frame %zu of output %zu from input within full "
                              "scale",
                              call, y, i, k);
                peakSeen = std::max(peakSeen, std::fabs(y));
            }
        }
    }
    tainted = tainted || (beyondFullScale && nFrames > 0);
}
