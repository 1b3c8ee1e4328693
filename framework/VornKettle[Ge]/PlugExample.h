#pragma once

#include "IEffectVST.h"

#include <cstdint>

// Vorn-Kettle[Ge]: a germanium fuzz with a speaker-cabinet stage. Four
// parameters (Level, Attack, Effect, Cabinet), sixteen programs, stereo or
// mono in and out.
class PlugExample : public IEffectVST
{
public:
    static constexpr int32_t kNumParams = 4;
    static constexpr int32_t kNumPresets = 16;
    static constexpr int32_t kVersion = 0x00020100; // 2.1.0
    enum Param : int32_t
    {
        kLevel = 0,
        kAttack = 1,
        kEffect = 2,
        kCabinet = 3,
    };

    // Packs four characters most-significant first, as hosts read plug-in
    // and vendor codes.
    static constexpr int32_t FourCC(const char (&c)[5])
    {
        return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint8_t>(c[0])) << 24) |
                                    (static_cast<uint32_t>(static_cast<uint8_t>(c[1])) << 16) |
                                    (static_cast<uint32_t>(static_cast<uint8_t>(c[2])) << 8) |
                                    static_cast<uint32_t>(static_cast<uint8_t>(c[3])));
    }

    explicit PlugExample(audioMasterCallback hostCallback);
    // Nothing of its own; the bases release the framework's resources.
    ~PlugExample() override;
    // Picks up the host's sample rate for the signal path.
    void HandleReset() override;
    // Maps a parameter onto the quantities the signal path reads.
    void HandleParameterChange(int32_t paramIndex) override;
    // The signal path; until the fuzz is wired in, the framework's
    // pass-through.
    void ProcessBlock(double** inputs, double** outputs, int32_t nFrames) override;

    // What the signal path will read, for inspection.
    double CurrentRate() const { return currentRate; }
    double OutputGain() const { return outputGain; }
    double Drive() const { return drive; }
    double Attack() const { return attack; }
    bool EffectOn() const { return effectOn; }
    bool CabinetOn() const { return cabinetOn; }

private:
    // The signal path's inputs. The fuzz pedal (vk_fuzz_dsp) takes their
    // place: HandleReset hands it the rate, HandleParameterChange the values,
    // and ProcessBlock runs it; the accessors above then read from it.
    double currentRate = 0.0;
    double outputGain = 0.0;
    double drive = 0.0;
    double attack = 0.0;
    bool effectOn = false;
    bool cabinetOn = false;
};
