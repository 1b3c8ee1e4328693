#include "PlugExample.h"

#include "ModuleInstance.h"
#include "controls/IBitmapControl.h"
#include "controls/IBitmapOverlayControl.h"
#include "controls/IHiddenToggleControl.h"
#include "controls/IKnobMultiControl.h"
#include "controls/ISwitchControl.h"
#include "graphics/IGraphicsWindow.h"

#include <cmath>
#include <mutex>

namespace
{
// Image resources of the face (type "PNG" in the module).
constexpr int32_t kFootswitchImage = 100;
constexpr int32_t kKnobImage = 101;
constexpr int32_t kBackgroundImage = 102;
constexpr int32_t kAboutImage = 103;
constexpr int32_t kLedImage = 104;
constexpr int32_t kCabinetSwitchImage = 105;
constexpr int32_t kKnobFrames = 65;
// A knob's own height times this is the drag that sweeps its range.
constexpr double kKnobGearing = 4.0;
} // namespace

PlugExample::PlugExample(audioMasterCallback hostCallback, IBitmapCache* bitmapCache)
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

    // Frame rate 0: the editor's default rate of redraw checks.
    IWindowPlatform* windowSystem = SystemWindowPlatform();
    auto face = std::make_unique<IGraphicsWindow>(this, kEditorWidth, kEditorHeight, 0,
                                                  windowSystem, bitmapCache);
    face->SetModuleHandle(GetModuleInstance());
    BuildFace(face.get());
    AttachEditor(face.release());
    if (windowSystem == nullptr)
    {
        // No window system: the face exists and paints into its back buffer,
        // but no window can ever show it, so a host must not offer it.
        effect.flags &= ~effFlagsHasEditor;
    }
}

PlugExample::~PlugExample()
{
    // The contact control lists the footswitch logic as its observer, so
    // the logic may only go once the controls have gone.
    delete editor;
    editor = nullptr;
}

void PlugExample::BuildFace(IGraphicsCore* face)
{
    face->AddBackground(kBackgroundImage, "img/background.png");

    const IBitmapFrames led = face->LoadResourceBitmap(kLedImage, "img/vornkettle_led.png", 2);
    ledIndex = face->AddControl(new IBitmapControl(this, 91, 15, -1, led, IBlend::kNormal));

    const IBitmapFrames cabinet =
        face->LoadResourceBitmap(kCabinetSwitchImage, "img/vornkettle_switch_01.png", 2);
    face->AddControl(new ISwitchControl(this, 80, 61, kCabinet, cabinet, IBlend::kNormal));

    // The footswitch's parameter control lies hidden under its contact: it
    // only carries the value of "Effect" for the footswitch logic to flip.
    auto* toggle = new IHiddenToggleControl(this, IRegion(80, 172, 110, 202), kEffect);
    face->AddControl(toggle);
    face->HideParameterControls(kEffect, true);

    const IBitmapFrames footswitch =
        face->LoadResourceBitmap(kFootswitchImage, "img/vornkettle_switch_02.png", 2);
    stompSwitch = std::make_unique<StompSwitch>(this, face, 80, 172, footswitch, toggle);

    const IBitmapFrames knob =
        face->LoadResourceBitmap(kKnobImage, "img/vornkettle_knob_01.png", kKnobFrames);
    face->AddControl(new IKnobMultiControl(this, 18, 86, kLevel, knob, 0, kKnobGearing));
    face->AddControl(new IKnobMultiControl(this, 115, 86, kAttack, knob, 0, kKnobGearing));

    const IBitmapFrames about =
        face->LoadResourceBitmap(kAboutImage, "img/vornkettle_about.png", 1);
    face->AddControl(new IBitmapOverlayControl(this, 5, 156, about, IRegion(10, 35, 80, 55)));
}

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
        // an odd state chunk) leave the switch as it is. The LED follows
        // from here whichever side changed the switch (the host, a program,
        // a state or the footswitch); without a window open the control keeps
        // the value and shows it when the window opens.
        if (std::trunc(v) == 0.0)
        {
            if (editor != nullptr)
            {
                editor->PushControlValue(ledIndex, 0.0);
            }
            pedal.SetEffectOn(false);
        }
        else if (std::trunc(v) == 1.0)
        {
            if (editor != nullptr)
            {
                editor->PushControlValue(ledIndex, 1.0);
            }
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

void PlugExample::ProcessBlock(double** inputs, double** outputs, int32_t nFrames)
{
    pedal.ProcessBlock(inputs[0], inputs[1], outputs[0], outputs[1], nFrames);
}
