// A small, well-behaved VST 2 effect for testing `vsthost validate`, built
// once clean and once per deliberate fault; FIXTURE_FAULT selects it:
//   0 none: a gain and a one-pole low-pass, three programs, chunks
//   1 effGetParamName writes 300 bytes, past any host buffer
//   2 crashes when a block is larger than the size the host announced
//   3 hangs in processing at sample rates above 200 kHz
//   4 effSetChunk stores the gain in 8 bits, so a chunk does not round-trip
//   5 a non-finite input leaves the filter non-finite for good
//   6 burns time on silent blocks after signal, as a denormal stall does
//   7 keeps its filter state in one place shared by every instance
//   8 process replaces the outputs instead of adding to them
//   9 mixes a little of the other input in after writing its output, which
//     in place reads the output back
//  10 effSetProgram reloads the program's stored values, losing edits
//  11 the double-precision path skips the filter
//  12 getParameter answers in its own units (0..10)
//  13 a second effOpen frees what the first made: an access violation
//  14 leaks a megabyte every instance
//  15 program names of 26 bytes, past the documented 24
//  16 uniqueID 0
//  17 effSetChunk trusts any chunk shorter than its own to be whole and
//     crashes on it
//  18 parameter values are stored as given, NaN included
#include "VstInterface.h"
#include "FixtureExport.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

namespace
{
constexpr int kPrograms = 3;
constexpr int kParams = 2;
constexpr size_t kNameLimit = FIXTURE_FAULT == 15 ? 32 : kVstMaxProgNameLen;

struct Program
{
    float values[kParams];
    char name[kNameLimit];
};

// One filter state for every instance, as a global in a plug-in does.
double sharedState[2] = {0.0, 0.0};
void* volatile lastLeak = nullptr;

struct Fixture
{
    AEffect effect;
    Program programs[kPrograms];
    int current = 0;
    double rate = 44100.0;
    int32_t maxBlock = 512;
    double state[2] = {0.0, 0.0};
    bool heardSignal = false;
    int opens = 0;
    // Program values as stored, before the host edited them.
    float stored[kPrograms][kParams];
    // Bank: every program's values, then the current program.
    unsigned char bank[kPrograms * kParams * 4 + 4];
    unsigned char single[kParams * 4];
};

Fixture* From(AEffect* e)
{
    return e ? static_cast<Fixture*>(e->object) : nullptr;
}

void Crash(int32_t value)
{
    // A real access violation, the same on every system: a write through
    // a null pointer the compiler cannot see through.
    volatile int* volatile nowhere = nullptr;
    *nowhere = value;
}

float Clamp(float v)
{
    return std::isfinite(v) ? (v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v) : 0.0f;
}

void Text(void* ptr, const char* text, size_t limit)
{
    if (ptr)
    {
        std::snprintf(static_cast<char*>(ptr), limit, "%s", text);
    }
}

bool ReadValues(const unsigned char* bytes, float* values)
{
    for (int i = 0; i < kParams; ++i)
    {
        float v;
        std::memcpy(&v, bytes + 4 * i, 4);
        if (!std::isfinite(v) || v < 0.0f || v > 1.0f)
        {
            return false;
        }
        if (FIXTURE_FAULT == 4 && i == 0)
        {
            v = std::floor(v * 255.0f) / 255.0f;
        }
        values[i] = v;
    }
    return true;
}

VstIntPtr SetChunk(Fixture* f, VstInt32 index, VstIntPtr size, const void* ptr)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(ptr);
    if (!ptr)
    {
        return 0;
    }
    if (FIXTURE_FAULT == 17 &&
        size < static_cast<VstIntPtr>(index == 1 ? sizeof(f->single) : sizeof(f->bank)))
    {
        Crash(static_cast<int32_t>(size));
    }
    if (index == 1)
    {
        float values[kParams];
        if (size != static_cast<VstIntPtr>(sizeof(f->single)) || !ReadValues(bytes, values))
        {
            return 0;
        }
        std::memcpy(f->programs[f->current].values, values, sizeof(values));
        return 1;
    }
    int32_t current;
    if (size != static_cast<VstIntPtr>(sizeof(f->bank)))
    {
        return 0;
    }
    std::memcpy(&current, bytes + kPrograms * kParams * 4, 4);
    float values[kPrograms][kParams];
    for (int p = 0; p < kPrograms; ++p)
    {
        if (!ReadValues(bytes + p * kParams * 4, values[p]))
        {
            return 0;
        }
    }
    if (current < 0 || current >= kPrograms)
    {
        return 0;
    }
    for (int p = 0; p < kPrograms; ++p)
    {
        std::memcpy(f->programs[p].values, values[p], sizeof(values[p]));
    }
    f->current = current;
    return 1;
}

VstIntPtr VSTCALLBACK Dispatch(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                               void* ptr, float opt)
{
    Fixture* f = From(e);
    if (!f)
    {
        return 0;
    }
    const bool validParam = index >= 0 && index < kParams;
    switch (opcode)
    {
    case effOpen:
        if (FIXTURE_FAULT == 13 && f->opens > 0)
        {
            Crash(f->opens);
        }
        if (FIXTURE_FAULT == 14)
        {
            // Touched, so that it is really taken from the system, and
            // kept in sight of the compiler, which would drop it otherwise.
            lastLeak = std::malloc(1 << 20);
            if (lastLeak)
            {
                std::memset(lastLeak, 1, 1 << 20);
            }
        }
        ++f->opens;
        return 0;
    case effClose:
        delete f;
        return 0;
    case effSetProgram:
        if (value >= 0 && value < kPrograms)
        {
            f->current = static_cast<int>(value);
            if (FIXTURE_FAULT == 10)
            {
                std::memcpy(f->programs[f->current].values, f->stored[f->current],
                            sizeof(f->stored[f->current]));
            }
        }
        return 0;
    case effGetProgram:
        return f->current;
    case effSetProgramName:
        Text(f->programs[f->current].name, ptr ? static_cast<const char*>(ptr) : "",
             kVstMaxProgNameLen);
        return 0;
    case effGetProgramName:
        Text(ptr, f->programs[f->current].name, kNameLimit);
        return 0;
    case effGetProgramNameIndexed:
        if (index < 0 || index >= kPrograms)
        {
            return 0;
        }
        Text(ptr, f->programs[index].name, kNameLimit);
        return 1;
    case effGetParamName:
        if (validParam && ptr)
        {
            if (FIXTURE_FAULT == 1)
            {
                std::memset(ptr, 'x', 299);
                static_cast<char*>(ptr)[299] = '\0';
                return 0;
            }
            Text(ptr, index == 0 ? "Gain" : "Tone", kVstMaxParamStrLen);
        }
        return 0;
    case effGetParamLabel:
        Text(ptr, validParam && index == 0 ? "dB" : "", kVstMaxParamStrLen);
        return 0;
    case effGetParamDisplay:
        if (validParam && ptr)
        {
            std::snprintf(static_cast<char*>(ptr), kVstMaxParamStrLen, "%.2f",
                          static_cast<double>(f->programs[f->current].values[index]));
        }
        return 0;
    case effSetSampleRate:
        f->rate = opt > 0.0f ? opt : 44100.0;
        return 0;
    case effSetBlockSize:
        f->maxBlock = static_cast<int32_t>(value);
        return 0;
    case effMainsChanged:
        f->state[0] = f->state[1] = 0.0;
        sharedState[0] = sharedState[1] = 0.0;
        f->heardSignal = false;
        return 0;
    case effGetChunk:
        if (!ptr)
        {
            return 0;
        }
        if (index == 1)
        {
            std::memcpy(f->single, f->programs[f->current].values, sizeof(f->single));
            *static_cast<void**>(ptr) = f->single;
            return sizeof(f->single);
        }
        for (int p = 0; p < kPrograms; ++p)
        {
            std::memcpy(f->bank + p * kParams * 4, f->programs[p].values, kParams * 4);
        }
        {
            const int32_t current = f->current;
            std::memcpy(f->bank + kPrograms * kParams * 4, &current, 4);
        }
        *static_cast<void**>(ptr) = f->bank;
        return sizeof(f->bank);
    case effSetChunk:
        return SetChunk(f, index, value, ptr);
    case effGetEffectName:
        Text(ptr, "Validate Fixture", kVstMaxEffectNameLen);
        return 1;
    case effGetVendorString:
        Text(ptr, "Quillmark Tests", kVstMaxVendorStrLen);
        return 1;
    case effGetProductString:
        Text(ptr, "Fixture", kVstMaxProductStrLen);
        return 1;
    case effGetVstVersion:
        return kVstVersion;
    case effCanDo:
        return -1;
    default:
        return 0;
    }
}

void VSTCALLBACK SetParameter(AEffect* e, VstInt32 index, float value)
{
    Fixture* f = From(e);
    if (index >= 0 && index < kParams)
    {
        f->programs[f->current].values[index] = FIXTURE_FAULT == 18 ? value : Clamp(value);
    }
}

float VSTCALLBACK GetParameter(AEffect* e, VstInt32 index)
{
    Fixture* f = From(e);
    const float scale = FIXTURE_FAULT == 12 ? 10.0f : 1.0f;
    return index >= 0 && index < kParams ? scale * f->programs[f->current].values[index] : 0.0f;
}

void BurnMicroseconds(int us)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::microseconds(us);
    while (std::chrono::steady_clock::now() < end)
    {
    }
}

template <typename T> void Run(AEffect* e, T** in, T** out, VstInt32 n, bool accumulate)
{
    Fixture* f = From(e);
    if (FIXTURE_FAULT == 2 && n > f->maxBlock)
    {
        Crash(n);
    }
    if (FIXTURE_FAULT == 3)
    {
        volatile bool forever = f->rate > 200000.0;
        while (forever)
        {
        }
    }
    const float* values = f->programs[f->current].values;
    const bool isDouble = std::is_same<T, double>::value;
    const double gain = 2.0 * values[0];
    double* state = FIXTURE_FAULT == 7 ? sharedState : f->state;
    // Cutoff from 200 Hz to 20 kHz, limited below Nyquist.
    const double cutoff = std::fmin(200.0 * std::pow(100.0, values[1]), 0.45 * f->rate);
    const double a = 1.0 - std::exp(-2.0 * 3.14159265358979323846 * cutoff / f->rate);
    bool silent = true;
    for (int c = 0; c < 2; ++c)
    {
        double y = state[c];
        for (VstInt32 i = 0; i < n; ++i)
        {
            const double x = static_cast<double>(in[c][i]);
            silent = silent && x == 0.0;
            y += a * (x - y);
            T v = static_cast<T>(gain * (FIXTURE_FAULT == 11 && isDouble ? x : y));
            if (FIXTURE_FAULT == 9)
            {
                v += static_cast<T>(0.1 * static_cast<double>(in[1 - c][i]));
            }
            out[c][i] = accumulate ? out[c][i] + v : v;
        }
        // Non-finite state is dropped, and so is what decays into denormals.
        if (FIXTURE_FAULT != 5 && (!std::isfinite(y) || std::fabs(y) < 1e-20))
        {
            y = 0.0;
        }
        state[c] = y;
    }
    if (FIXTURE_FAULT == 6 && silent && f->heardSignal && n > 0)
    {
        BurnMicroseconds(200);
    }
    f->heardSignal = f->heardSignal || !silent;
}

void VSTCALLBACK Process(AEffect* e, float** in, float** out, VstInt32 n)
{
    Run(e, in, out, n, FIXTURE_FAULT != 8);
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

FIXTURE_EXPORT AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback host)
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
    for (int p = 0; p < kPrograms; ++p)
    {
        f->programs[p].values[0] = 0.5f;
        f->programs[p].values[1] = 0.25f * static_cast<float>(p + 1);
        std::snprintf(f->programs[p].name, sizeof(f->programs[p].name),
                      FIXTURE_FAULT == 15 ? "Program %d, a longer name" : "Program %d", p + 1);
        std::memcpy(f->stored[p], f->programs[p].values, sizeof(f->stored[p]));
    }
    AEffect& e = f->effect;
    std::memset(&e, 0, sizeof(e));
    e.magic = kEffectMagic;
    e.dispatcher = Dispatch;
    e.process = Process;
    e.setParameter = SetParameter;
    e.getParameter = GetParameter;
    e.processReplacing = ProcessReplacing;
    e.processDoubleReplacing = ProcessDouble;
    e.numPrograms = kPrograms;
    e.numParams = kParams;
    e.numInputs = 2;
    e.numOutputs = 2;
    e.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing | effFlagsProgramChunks;
    e.uniqueID = FIXTURE_FAULT == 16 ? 0 : ('q' << 24) | ('v' << 16) | ('f' << 8) | 'x';
    e.version = 1;
    e.object = f;
    return &e;
}
