#include "PlugExample.h"

#include <cmath>
#include <mutex>

PlugExample::PlugExample(audioMasterCallback hostCallback)
    : IEffectVST(hostCallback, kNumParams, "1-1 2-2", kNumPresets, "Vorn-Kettle[Ge]", "",
                 "Quillmark", kVersion, FourCC("qvkb"), FourCC("Quil"), 0, false, false, false)
{
    GetParam(kLevel)->InitContinuous("Level", 0.5, 0.0, 1.0, 0.001, "");
    GetParam(kAttack)->InitContinuous("Attack", 0.5, 0.0, 1.0, 0.001, "");
    GetParam(kEffect)->InitEnumerated("Effect", 1, 2);
    GetParam(kEffect)->AddDisplayText(0, "Off");
    GetParam(kEffect)->AddDisplayText(1, "On");
    GetParam(kCabinet)->InitEnumerated("Cabinet", 1, 2);
    GetParam(kCabinet)->AddDisplayText(0, "Off");
    GetParam(kCabinet)->AddDisplayText(1, "On");

    // Continuous values go in as doubles, enumerated ones as ints.
    DefinePreset("Init", 1.0, 0.5, 1, 1);
    FillPresetsFromCurrent("Init", kNumPresets - 1);
}

PlugExample::~PlugExample() = default;

void PlugExample::HandleReset()
{
    std::lock_guard<IEffectLock> guard(lock);
    pedal.Reset(sampleRate);
}

void PlugExample::HandleParameterChange(int32_t paramIndex)
{
    std::lock_guard<IEffectLock> guard(lock);
    const IParameter* p = GetParam(paramIndex);
    if (!p)
    {
        return;
    }
    const double v = p->Value();
    switch (paramIndex)
    {
    case kLevel:
        pedal.SetLevel(v);
        break;
    case kAttack:
        pedal.SetAttack(v);
        break;
    case kEffect:
        // Only the two switch positions mean anything; other values (from
        // an odd state chunk) leave the switch as it is.
        if (std::trunc(v) == 0.0)
        {
            SetStatusLed(0.0);
            pedal.SetEffectOn(false);
        }
        else if (std::trunc(v) == 1.0)
        {
            SetStatusLed(1.0);
            pedal.SetEffectOn(true);
        }
        break;
    case kCabinet:
        if (std::trunc(v) == 0.0)
        {
            pedal.SetCabinetOn(false);
        }
        else if (std::trunc(v) == 1.0)
        {
            pedal.SetCabinetOn(true);
        }
        break;
    default:
        break;
    }
}

void PlugExample::SetStatusLed(double /*value*/)
{
    // The LED exists only once the editor has built its face; until then
    // there is nothing to light.
    if (ledIndex < 0)
    {
        return;
    }
}

void PlugExample::ProcessBlock(double** inputs, double** outputs, int32_t nFrames)
{
    pedal.ProcessBlock(inputs[0], inputs[1], outputs[0], outputs[1], nFrames);
}
