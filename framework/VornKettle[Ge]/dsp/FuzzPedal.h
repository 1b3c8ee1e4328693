#pragma once

#include "BiquadBank.h"
#include "WavePaths.h"

#include <cstdint>

// The germanium fuzz and cabinet sound, free of host and editor types: the
// plug-in class forwards its reset, parameter changes and audio blocks here.
//
// Per frame the two inputs are summed, band-limited by sections 0 and 1,
// driven into an asymmetric clipper blended with the unclipped signal,
// equalised by sections 2 to 11, scaled by the level and, with the cabinet on,
// equalised by sections 12 to 21. The same result goes to both outputs.
class FuzzPedal
{
public:
    // Added to a section's output before it feeds the next one, keeping the
    // recursive sections off subnormal numbers when the signal decays.
    static constexpr double kDenormalOffset = 1e-20;
    static constexpr double kShaperCeiling = 0.8;
    // Frames processed per pass of the chunked loop.
    static constexpr int kChunkFrames = 256;
    // Blocks from these sizes on run as a wavefront (fuzz chain alone, and
    // with the cabinet); below them the fill and drain of the wave cost more
    // than the per-section loop saves. Each is about where the two measured
    // even, ProcessBlock timed on either path at sizes from 8 to 128 frames;
    // the two-lane figures hold with eight vector registers (the 32-bit
    // build) as with sixteen.
    static constexpr int kWaveMinFramesAvx2 = 24;
    static constexpr int kWaveMinFramesCabinetAvx2 = 32;
    static constexpr int kWaveMinFramesSse2 = 32;
    static constexpr int kWaveMinFramesCabinetSse2 = 48;

    // How a block is computed. Every path gives the same bits; Auto picks the
    // fastest the processor has for the block's size.
    enum class Path
    {
        Auto,
        PerSection,
        WaveSse2,
        WaveAvx2
    };

    FuzzPedal();

    // Takes the host's rate. The bank is redesigned, and its history cleared,
    // only when the rate differs from the one it was last designed for. A rate
    // that gives no usable design (zero, negative, not finite, absurdly high)
    // keeps the running design and history.
    void Reset(double sampleRate);

    void SetLevel(double level) { outputGain = level * 4.0; }
    void SetAttack(double value)
    {
        attack = value;
        drive = attack * 5.0;
    }
    void SetEffectOn(bool on) { effectOn = on; }
    void SetCabinetOn(bool on) { cabinetOn = on; }

    // Runs every later block through the given path, whatever its size.
    // Returns false, and keeps the current choice, for a path this processor
    // cannot run.
    bool ForcePath(Path p);

    // Processes nFrames frames; both inputs of a frame are read before its
    // outputs are written, so the buffers may alias in place. A chain whose
    // history turns non-finite (a NaN or infinite input sample) is cleared at
    // the end of the block, so the next block is clean again.
    void ProcessBlock(const double* in0, const double* in1, double* out0, double* out1,
                      int32_t nFrames);

    // The asymmetric clipper: soft positive half limited at 0.3, negative half
    // discarded, and an offset that jumps from -0.2 to 0.02 once the driven
    // signal reaches -0.2.
    static double ShapeSample(double x, double ceiling, double drive);

    // One sample through sections 0 to 11 (with shaper, blend and level) or
    // through sections 12 to 21.
    double RunFuzzChain(double x);
    double RunCabinetChain(double x);

    double CurrentRate() const { return currentRate; }
    double DesignedRate() const { return designedRate; }
    double OutputGain() const { return outputGain; }
    double Drive() const { return drive; }
    double Attack() const { return attack; }
    bool EffectOn() const { return effectOn; }
    bool CabinetOn() const { return cabinetOn; }
    const BiquadBank& Bank() const { return bank; }
    // Direct access for loading a known coefficient set.
    BiquadBank& Bank() { return bank; }

private:
    // Dry and shaped blend weights for the current attack.
    void BlendWeights(double& dry, double& shaped) const;
    void RunFuzzChunk(double* buf, int len, double dry, double shaped);
    void RunCabinetChunk(double* buf, int len);
    void RecoverHistory(bool cabinetRan);
    void RunPerSection(const double* in0, const double* in1, double* out0, double* out1,
                       int32_t nFrames);

    double currentRate;
    double designedRate;
    double outputGain;
    double drive;
    double attack;
    bool effectOn;
    bool cabinetOn;
    Path path;
    // The fastest wavefront this processor has and the block sizes from
    // which it beats the per-section loop.
    struct WaveChoice
    {
        WaveRunner run;
        int minFrames;
        int minFramesCabinet;
    };
    static WaveChoice FastestWave();

    WaveChoice wave;
    BiquadBank bank;
    double chunk[kChunkFrames];
};
