#include "FuzzPedal.h"

#include "DenormalGuard.h"
#include "SectionState.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace
{

// Sections fused into one pass over a chunk. One section per pass is bound by
// its own feedback latency; two or three per frame give the processor
// independent recurrences to overlap. More than fit in the vector registers
// (16 on x86-64, 8 on x86) spill the history to the stack, which puts a
// store-to-load round trip into every recurrence and is slower again.
constexpr int kGroup = sizeof(void*) == 8 ? 2 : 3;

template <size_t... J>
void RunFused(SectionState* s, double* buf, int len, std::index_sequence<J...>)
{
    for (int i = 0; i < len; ++i)
    {
        double x = buf[i];
        ((x = s[J].Run(x) + FuzzPedal::kDenormalOffset), ...);
        buf[i] = x;
    }
}

// Runs G consecutive sections from `first` over buf in place. Each section's
// output plus the denormal offset becomes the next section's input and, after
// the last one, the new buffer content.
template <int G> void RunGroup(BiquadBank& bank, int first, double* buf, int len)
{
    SectionState s[G];
    for (int j = 0; j < G; ++j)
    {
        s[j].Load(bank, first + j);
    }
    RunFused(s, buf, len, std::make_index_sequence<G>());
    for (int j = 0; j < G; ++j)
    {
        s[j].Store(bank, first + j);
    }
}

// Sections first .. first + count - 1 over buf, each output offset as above.
// The sections of a chain run one after the other over the whole chunk: each
// recurrence depends only on its own past and on the earlier sections, so
// the result is the same, bit for bit, as running the chain frame by frame.
void RunCascade(BiquadBank& bank, int first, int count, double* buf, int len)
{
    while (count >= kGroup)
    {
        RunGroup<kGroup>(bank, first, buf, len);
        first += kGroup;
        count -= kGroup;
    }
    if (count == 2)
    {
        RunGroup<2>(bank, first, buf, len);
    }
    else if (count == 1)
    {
        RunGroup<1>(bank, first, buf, len);
    }
}

} // namespace

FuzzPedal::FuzzPedal()
    : currentRate(0.0), designedRate(0.0), outputGain(0.0), drive(0.0), attack(0.0),
      effectOn(false), cabinetOn(false), path(Path::Auto), wave(FastestWave()), bank(), chunk()
{
}

FuzzPedal::WaveChoice FuzzPedal::FastestWave()
{
    if (CpuHasAvx2())
    {
        return {RunWaveAvx2, kWaveMinFramesAvx2, kWaveMinFramesCabinetAvx2};
    }
    return {RunWaveSse2, kWaveMinFramesSse2, kWaveMinFramesCabinetSse2};
}

bool FuzzPedal::ForcePath(Path p)
{
    if (p == Path::WaveAvx2 && !CpuHasAvx2())
    {
        return false;
    }
    path = p;
    return true;
}

void FuzzPedal::Reset(double sampleRate)
{
    currentRate = sampleRate;
    if (currentRate == designedRate)
    {
        return;
    }
    BiquadBank fresh{};
    if (!fresh.DesignFilters(currentRate))
    {
        return;
    }
    bank = fresh;
    designedRate = currentRate;
}

double FuzzPedal::ShapeSample(double x, double ceiling, double drive)
{
    const double a = x * drive;
    const double d = a >= 0.0 ? 0.1 : -0.1;
    const double magnitude = std::fabs(a);
    double f;
    if (magnitude < 0.2)
    {
        f = ((1.0 - magnitude / 0.4) * a * ceiling) * 10.0;
    }
    else
    {
        f = (d * ceiling) * 10.0;
    }
    double g = 0.0;
    if (!(f < 0.0))
    {
        g = std::min(f, 0.3);
    }
    const double o = a > -0.2 ? -0.2 : 0.02;
    return g + o;
}

void FuzzPedal::BlendWeights(double& dry, double& shaped) const
{
    const double e = std::clamp(0.5 * attack, -0.5, 0.5);
    dry = 0.5 - e;
    shaped = e + 0.5;
}

double FuzzPedal::RunFuzzChain(double x)
{
    const double u0 = bank.RunSection(0, x);
    const double u1 = bank.RunSection(1, u0 + kDenormalOffset);
    const double s = u1 + kDenormalOffset;
    const double w = ShapeSample(s, kShaperCeiling, drive);
    double dry, shaped;
    BlendWeights(dry, shaped);
    const double m = dry * (s * 2.0) + shaped * w;
    double u = bank.RunSection(2, m);
    for (int k = 3; k <= 11; ++k)
    {
        u = bank.RunSection(k, u + kDenormalOffset);
    }
    return outputGain * (u + kDenormalOffset);
}

double FuzzPedal::RunCabinetChain(double x)
{
    double c = bank.RunSection(12, x);
    for (int k = 13; k <= 21; ++k)
    {
        c = bank.RunSection(k, c + kDenormalOffset);
    }
    return c + kDenormalOffset;
}

void FuzzPedal::RunFuzzChunk(double* buf, int len, double dry, double shaped)
{
    // Sections 0 and 1: buf becomes s = u1 + offset.
    RunCascade(bank, 0, 2, buf, len);
    const double drv = drive;
    for (int i = 0; i < len; ++i)
    {
        const double s = buf[i];
        buf[i] = dry * (s * 2.0) + shaped * ShapeSample(s, kShaperCeiling, drv);
    }
    // Sections 2 to 11: buf becomes u11 + offset.
    RunCascade(bank, 2, 10, buf, len);
    const double gain = outputGain;
    for (int i = 0; i < len; ++i)
    {
        buf[i] = gain * buf[i];
    }
}

void FuzzPedal::RunCabinetChunk(double* buf, int len)
{
    RunCascade(bank, BiquadBank::kCabinetFirst, BiquadBank::kCabinetCount, buf, len);
}

void FuzzPedal::RecoverHistory(bool cabinetRan)
{
    if (!bank.HistoryFinite(BiquadBank::kFuzzFirst, BiquadBank::kFuzzCount))
    {
        bank.ClearHistory(BiquadBank::kFuzzFirst, BiquadBank::kFuzzCount);
    }
    if (cabinetRan && !bank.HistoryFinite(BiquadBank::kCabinetFirst, BiquadBank::kCabinetCount))
    {
        bank.ClearHistory(BiquadBank::kCabinetFirst, BiquadBank::kCabinetCount);
    }
}

void FuzzPedal::ProcessBlock(const double* in0, const double* in1, double* out0, double* out1,
                             int32_t nFrames)
{
    if (nFrames <= 0)
    {
        return;
    }
    if (!effectOn)
    {
        for (int32_t i = 0; i < nFrames; ++i)
        {
            const double y = in1[i] + in0[i];
            out1[i] = y;
            out0[i] = y;
        }
        return;
    }

    DenormalGuard guard;
    WaveRunner runner = nullptr;
    switch (path)
    {
    case Path::Auto:
        runner =
            nFrames >= (cabinetOn ? wave.minFramesCabinet : wave.minFrames) ? wave.run : nullptr;
        break;
    case Path::PerSection:
        break;
    case Path::WaveSse2:
        runner = RunWaveSse2;
        break;
    case Path::WaveAvx2:
        runner = RunWaveAvx2;
        break;
    }
    if (runner != nullptr)
    {
        double dry, shaped;
        BlendWeights(dry, shaped);
        const WaveParams params{dry, shaped, drive, outputGain};
        runner(bank, params, cabinetOn, in0, in1, out0, out1, nFrames);
    }
    else
    {
        RunPerSection(in0, in1, out0, out1, nFrames);
    }
    RecoverHistory(cabinetOn);
}

void FuzzPedal::RunPerSection(const double* in0, const double* in1, double* out0, double* out1,
                              int32_t nFrames)
{
    double dry, shaped;
    BlendWeights(dry, shaped);
    for (int64_t start = 0; start < nFrames; start += kChunkFrames)
    {
        const int len = static_cast<int>(std::min<int64_t>(kChunkFrames, nFrames - start));
        for (int i = 0; i < len; ++i)
        {
            chunk[i] = in1[start + i] + in0[start + i];
        }
        RunFuzzChunk(chunk, len, dry, shaped);
        if (cabinetOn)
        {
            RunCabinetChunk(chunk, len);
        }
        for (int i = 0; i < len; ++i)
        {
            out1[start + i] = chunk[i];
            out0[start + i] = chunk[i];
        }
    }
}
