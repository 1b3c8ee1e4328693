#pragma once

#include "FuzzPedal.h"
#include "IEffectVST.h"
#include "StompSwitch.h"

#include <cstdint>
#include <memory>

class IBitmapCache;

// Vorn-Kettle[Ge]: a germanium fuzz with a speaker-cabinet stage. Four
// parameters (Level, Attack, Effect, Cabinet), sixteen programs, stereo or
// mono in and out, and an editor that shows the pedal.
class PlugExample : public IEffectVST
{
public:
    static constexpr int32_t kNumParams = 4;
    static constexpr int32_t kEditorWidth = 213;
    static constexpr int32_t kEditorHeight = 326;
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

    // bitmapCache: where the editor's images are kept; null = this module's
    // shared cache (tests and benchmarks pass one of their own).
    explicit PlugExample(audioMasterCallback hostCallback, IBitmapCache* bitmapCache = nullptr);
    // Destroys the editor and then the footswitch logic that observes one of
    // its controls; the bases release the rest.
    ~PlugExample() override;
    // Hands the host's sample rate to the signal path, which redesigns its
    // filters only when the rate changed.
    void HandleReset() override;
    // Maps a parameter onto the quantities the signal path reads.
    void HandleParameterChange(int32_t paramIndex) override;
    // The fuzz and cabinet chains.
    void ProcessBlock(double** inputs, double** outputs, int32_t nFrames) override;

    // What the signal path reads, for inspection.
    double CurrentRate() const { return pedal.CurrentRate(); }
    double OutputGain() const { return pedal.OutputGain(); }
    double Drive() const { return pedal.Drive(); }
    double Attack() const { return pedal.Attack(); }
    bool EffectOn() const { return pedal.EffectOn(); }
    bool CabinetOn() const { return pedal.CabinetOn(); }
    const FuzzPedal& Pedal() const { return pedal; }
    // Index of the status LED in the editor's control list.
    int32_t LedIndex() const { return ledIndex; }
    const StompSwitch* Footswitch() const { return stompSwitch.get(); }

private:
    // The pedal's face, control by control in drawing order; stores
    // ledIndex and creates the footswitch logic.
    void BuildFace(IGraphicsCore* face);

    // Index of the status LED in the editor's control list (-1: no editor).
    int32_t ledIndex = -1;
    // The sound itself, free of host and editor types.
    FuzzPedal pedal;
    // Observes the footswitch's contact control, which the editor owns.
    std::unique_ptr<StompSwitch> stompSwitch;
};
