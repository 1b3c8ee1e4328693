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
    currentRate = sampleRate;
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
        outputGain = v * 4.0;
        break;
    case kAttack:
        attack = v;
        drive = attack * 5.0;
        break;
    case kEffect:
        // Only the two switch positions mean anything; other values (from
        // an odd state chunk) leave the switch as it is.
        if (std::trunc(v) == 0.0)
        {
            effectOn = false;
        }
        else if (std::trunc(v) == 1.0)
        {
            effectOn = true;
        }
        break;
    case kCabinet:
        if (std::trunc(v) == 0.0)
        {
            cabinetOn = false;
        }
        else if (std::trunc(v) == 1.0)
        {
            cabinetOn = true;
        }
        break;
    default:
        break;
    }
}

void PlugExample::ProcessBlock(double** inputs, double** outputs, int32_t nFrames)
{
    IEffectBase::ProcessBlock(inputs, outputs, nFrames);
}
