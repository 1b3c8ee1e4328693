#include "SimdSse2.h"
#include "WaveKernel.h"

void RunWaveSse2(BiquadBank& bank, const WaveParams& params, bool cabinet, const double* in0,
                 const double* in1, double* out0, double* out1, int32_t nFrames)
{
    RunWave<VecSse2>(bank, params, cabinet, in0, in1, out0, out1, nFrames);
}
