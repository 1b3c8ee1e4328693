#pragma once

#include "BiquadBank.h"

#include <cstdint>

// The block-wide values the wavefront kernels need from the pedal.
struct WaveParams
{
    double dry;
    double shaped;
    double drive;
    double gain;
};

// Runs nFrames frames through the fuzz chain and, with `cabinet`, the cabinet
// chain, reading and writing the history of `bank`. Same contract and same
// bits as the pedal's per-section block loop; nFrames > 0.
using WaveRunner = void (*)(BiquadBank& bank, const WaveParams& params, bool cabinet,
                            const double* in0, const double* in1, double* out0, double* out1,
                            int32_t nFrames);

// Two lanes; every x86 target this builds for has SSE2.
void RunWaveSse2(BiquadBank& bank, const WaveParams& params, bool cabinet, const double* in0,
                 const double* in1, double* out0, double* out1, int32_t nFrames);

// Four lanes; call only when CpuHasAvx2() is true.
void RunWaveAvx2(BiquadBank& bank, const WaveParams& params, bool cabinet, const double* in0,
                 const double* in1, double* out0, double* out1, int32_t nFrames);

// True when the processor has AVX2 and the operating system saves its
// registers.
bool CpuHasAvx2();
