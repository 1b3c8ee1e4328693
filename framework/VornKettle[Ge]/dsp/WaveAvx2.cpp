// Built with AVX2 enabled (and FMA not): nothing in this file may run before
// CpuHasAvx2() has said yes, and nothing from it may be shared with the other
// files, so it holds the AVX2 instantiation of the kernel and nothing else.
#include "SimdAvx2.h"
#include "WaveKernel.h"

void RunWaveAvx2(BiquadBank& bank, const WaveParams& params, bool cabinet, const double* in0,
                 const double* in1, double* out0, double* out1, int32_t nFrames)
{
    RunWave<VecAvx2>(bank, params, cabinet, in0, in1, out0, out1, nFrames);
}
