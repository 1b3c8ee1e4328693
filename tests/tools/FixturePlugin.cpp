// A tiny VST 2 plug-in used as a test subject for vsthost. One source, built
// as several modules; FIXTURE_KIND selects the behaviour:
//   1 gain: 2 inputs, 3 outputs, prints a line on opening. Outputs 1 and 2 are the inputs times
//     2 * Gain (unity at the default 0.5), output 3 carries the host's ppqPos
//     (-1 when the host did not mark it valid). All three process callbacks,
//     program chunks without the ProgramChunks flag, one automation gesture
//     in the first processed block.
//   2 the entry point returns null.
//   3 the record has the wrong magic.
//   4 absurd channel, parameter and program counts.
//   5 no entry point at all.
//   6 like 1, but dies from a segmentation fault in its third block.
#include "VstInterface.h"
#include "FixtureExport.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>

namespace
{
struct Fixture
{
    AEffect effect;
    audioMasterCallback host;
    float gain = 0.5f;
    float invert = 0.0f;
    char hostProduct[kVstMaxProductStrLen + 1] = {};
    VstIntPtr hostVersion = 0;
    bool gestureSent = false;
    int blocks = 0;
    unsigned char chunk[8] = {};
};

Fixture* From(AEffect* e)
{
    return e ? static_cast<Fixture*>(e->object) : nullptr;
}

void Copy(void* ptr, const char* text)
{
    if (ptr)
    {
        std::strcpy(static_cast<char*>(ptr), text);
    }
}

VstIntPtr VSTCALLBACK Dispatch(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                               void* ptr, float)
{
    Fixture* f = From(e);
    if (!f)
    {
        return 0;
    }
    switch (opcode)
    {
    case effOpen:
        // Chatty plug-ins exist; a host's own output must survive them.
        std::printf("fixture: opened\n");
        std::fflush(stdout);
        return 0;
    case effClose:
        delete f;
        return 0;
    case effGetParamName:
        if (index == 0 || index == 1)
        {
            Copy(ptr, index == 0 ? "Gain" : "Invert");
        }
        return 0;
    case effGetParamLabel:
        if (index == 0)
        {
            Copy(ptr, "x");
        }
        return 0;
    case effGetParamDisplay:
        if ((index == 0 || index == 1) && ptr)
        {
            std::snprintf(static_cast<char*>(ptr), 16, "%.3f",
                          index == 0 ? 2.0 * f->gain : static_cast<double>(f->invert));
        }
        return 0;
    case effGetProgramNameIndexed:
        if (index != 0)
        {
            return 0;
        }
        Copy(ptr, "Only");
        return 1;
    case effGetEffectName:
        Copy(ptr, "Fixture");
        return 1;
    case effGetVendorString:
        Copy(ptr, "Quillmark Tests");
        return 1;
    case effGetProductString:
        if (ptr)
        {
            // Host product (at most 63 characters) and version fit in 80 bytes.
            char text[80];
            std::snprintf(text, sizeof(text), "on %.40s %d", f->hostProduct,
                          static_cast<int>(f->hostVersion));
            Copy(ptr, text);
        }
        return 1;
    case effGetVendorVersion:
        return 4321;
    case effGetVstVersion:
        return kVstVersion;
    case effGetPlugCategory:
        return kPlugCategEffect;
    case effGetInputProperties:
    case effGetOutputProperties:
    {
        int count = opcode == effGetInputProperties ? 2 : 3;
        if (!ptr || index < 0 || index >= count)
        {
            return 0;
        }
        VstPinProperties* p = static_cast<VstPinProperties*>(ptr);
        std::snprintf(p->label, sizeof(p->label), "%s %d",
                      opcode == effGetInputProperties ? "In" : "Out", index + 1);
        p->flags = kVstPinIsActive | (index % 2 == 0 ? kVstPinIsStereo : 0);
        return 1;
    }
    case effCanDo:
        if (ptr && std::strcmp(static_cast<const char*>(ptr), "receiveVstTimeInfo") == 0)
        {
            return 1;
        }
        if (ptr && std::strcmp(static_cast<const char*>(ptr), "hasCockosExtensions") == 0)
        {
            return static_cast<VstIntPtr>(0xbeef0000u);
        }
        return -1;
    case effGetChunk:
    {
        if (!ptr)
        {
            return 0;
        }
        std::memcpy(f->chunk, &f->gain, 4);
        std::memcpy(f->chunk + 4, &f->invert, 4);
        *static_cast<void**>(ptr) = f->chunk;
        return sizeof(f->chunk);
    }
    case effSetChunk:
        if (!ptr || value != 8)
        {
            return 0;
        }
        std::memcpy(&f->gain, ptr, 4);
        std::memcpy(&f->invert, static_cast<const char*>(ptr) + 4, 4);
        return 1;
    default:
        (void)value;
        return 0;
    }
}

void VSTCALLBACK SetParameter(AEffect* e, VstInt32 index, float value)
{
    Fixture* f = From(e);
    if (index == 0)
    {
        f->gain = value;
    }
    else if (index == 1)
    {
        f->invert = value;
    }
}

float VSTCALLBACK GetParameter(AEffect* e, VstInt32 index)
{
    Fixture* f = From(e);
    return index == 0 ? f->gain : index == 1 ? f->invert : 0.0f;
}

double Factor(const Fixture* f)
{
    return 2.0 * f->gain * (f->invert >= 0.5f ? -1.0 : 1.0);
}

// The host's musical position for this block, or -1 when not marked valid.
double Ppq(Fixture* f)
{
    VstIntPtr t = f->host(&f->effect, audioMasterGetTime, 0, kVstPpqPosValid, nullptr, 0.0f);
    const VstTimeInfo* info = reinterpret_cast<const VstTimeInfo*>(t);
    return info && (info->flags & kVstPpqPosValid) ? info->ppqPos : -1.0;
}

void Gesture(Fixture* f)
{
    if (f->gestureSent)
    {
        return;
    }
    f->gestureSent = true;
    f->host(&f->effect, audioMasterBeginEdit, 0, 0, nullptr, 0.0f);
    f->host(&f->effect, audioMasterAutomate, 0, 0, nullptr, f->gain);
    f->host(&f->effect, audioMasterEndEdit, 0, 0, nullptr, 0.0f);
}

template <typename T> void Run(AEffect* e, T** in, T** out, VstInt32 n, bool accumulate)
{
    Fixture* f = From(e);
    if (FIXTURE_KIND == 6 && ++f->blocks == 3)
    {
        std::raise(SIGSEGV);
    }
    Gesture(f);
    const double k = Factor(f);
    const double ppq = Ppq(f);
    for (VstInt32 i = 0; i < n; ++i)
    {
        for (int c = 0; c < 2; ++c)
        {
            T y = static_cast<T>(k * static_cast<double>(in[c][i]));
            out[c][i] = accumulate ? out[c][i] + y : y;
        }
        out[2][i] = accumulate ? out[2][i] + static_cast<T>(ppq) : static_cast<T>(ppq);
    }
}

void VSTCALLBACK Process(AEffect* e, float** in, float** out, VstInt32 n)
{
    Run(e, in, out, n, true);
}

void VSTCALLBACK ProcessReplacing(AEffect* e, float** in, float** out, VstInt32 n)
{
    Run(e, in, out, n, false);
}

void VSTCALLBACK ProcessDouble(AEffect* e, double** in, double** out, VstInt32 n)
{
    Run(e, in, out, n, false);
}
} // namespace

// The no-entry module exports the same function under a name hosts do not
// look for.
#if FIXTURE_KIND == 5
#define FIXTURE_ENTRY NotAPluginEntry
#else
#define FIXTURE_ENTRY VSTPluginMain
#endif

FIXTURE_EXPORT AEffect* VSTCALLBACK FIXTURE_ENTRY(audioMasterCallback host)
{
    if (!host)
    {
        return nullptr;
    }
    Fixture* f = new (std::nothrow) Fixture();
    if (!f)
    {
        return nullptr;
    }
    // Hosts get these calls before they know the record.
    f->hostVersion = host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f);
    host(nullptr, audioMasterGetProductString, 0, 0, f->hostProduct, 0.0f);
    f->hostProduct[kVstMaxProductStrLen] = '\0';
    if (FIXTURE_KIND == 2)
    {
        delete f;
        return nullptr;
    }

    AEffect& e = f->effect;
    std::memset(&e, 0, sizeof(e));
    f->host = host;
    e.magic = FIXTURE_KIND == 3 ? 0x12345678 : kEffectMagic;
    e.dispatcher = Dispatch;
    e.process = Process;
    e.setParameter = SetParameter;
    e.getParameter = GetParameter;
    e.processReplacing = ProcessReplacing;
    e.processDoubleReplacing = ProcessDouble;
    e.numPrograms = 1;
    e.numParams = 2;
    e.numInputs = 2;
    e.numOutputs = 3;
    e.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
    e.uniqueID = ('q' << 24) | ('f' << 16) | ('i' << 8) | 'x';
    e.version = 1234;
    e.initialDelay = 7;
    e.object = f;
    if (FIXTURE_KIND == 4)
    {
        e.numInputs = 1 << 30;
        e.numOutputs = -5;
        e.numParams = 2000000000;
        e.numPrograms = -1;
    }
    return &e;
}
