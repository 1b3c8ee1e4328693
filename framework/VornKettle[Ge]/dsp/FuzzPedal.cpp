#include "FuzzPedal.h"

#include "DenormalGuard.h"

#include <algorithm>
#include <cmath>

namespace
{

// Sections fused into one pass over a chunk. A single section over a chunk is
// bound by its own feedback latency; several consecutive sections per frame
// give the processor independent recurrences to overlap, while their history
// stays in registers instead of going through memory every sample.
constexpr int kGroup = 4;

// Runs G consecutive sections from `first` over buf in place. Each section's
// output plus the denormal offset becomes the next section's input and, after
// the last one, the new buffer content. Per section the arithmetic is exactly
// that of BiquadBank::RunSection.
template <int G> void RunGroup(BiquadBank& bank, int first, double* buf, int len)
{
    double b0[G], b1[G], b2[G], a1[G], a2[G], x1[G], x2[G], y1[G], y2[G];
    for (int j = 0; j < G; ++j)
    {
        b0[j] = bank.b0[first + j];
        b1[j] = bank.b1[first + j];
        b2[j] = bank.b2[first + j];
        a1[j] = bank.a1[first + j];
        a2[j] = bank.a2[first + j];
        x1[j] = bank.x1[first + j];
        x2[j] = bank.x2[first + j];
        y1[j] = bank.y1[first + j];
        y2[j] = bank.y2[first + j];
    }
    for (int i = 0; i < len; ++i)
    {
        double x = buf[i];
        for (int j = 0; j < G; ++j)
        {
            double y = x1[j] * b1[j];
            y = y + x * b0[j];
            y = y + b2[j] * x2[j];
            y = y - y1[j] * a1[j];
            y = y - a2[j] * y2[j];
            x2[j] = x1[j];
            x1[j] = x;
            y2[j] = y1[j];
            y1[j] = y;
            x = y + FuzzPedal::kDenormalOffset;
        }
        buf[i] = x;
    }
    for (int j = 0; j < G; ++j)
    {
        bank.x1[first + j] = x1[j];
        bank.x2[first + j] = x2[j];
        bank.y1[first + j] = y1[j];
        bank.y2[first + j] = y2[j];
    }
}

// Sections first .. first + count - 1 over buf, each output offset as above.
void RunCascade(BiquadBank& bank, int first, int count, double* buf, int len)
{
    while (count >= kGroup)
    {
        RunGroup<kGroup>(bank, first, buf, len);
        first += kGroup;
        count -= kGroup;
    }
    switch (count)
    {
    case 3:
        RunGroup<3>(bank, first, buf, len);
        break;
    case 2:
        RunGroup<2>(bank, first, buf, len);
        break;
    case 1:
        RunGroup<1>(bank, first, buf, len);
        break;
    default:
        break;
    }
}

} // namespace

FuzzPedal::FuzzPedal()
    : currentRate(0.0), designedRate(0.0), outputGain(0.0), drive(0.0), attack(0.0),
      effectOn(false), cabinetOn(false), bank(), chunk()
{
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
    const bool withCabinet = cabinetOn;
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
        if (withCabinet)
        {
            RunCabinetChunk(chunk, len);
        }
        for (int i = 0; i < len; ++i)
        {
            out1[start + i] = chunk[i];
            out0[start + i] = chunk[i];
        }
    }
    RecoverHistory(withCabinet);
}
