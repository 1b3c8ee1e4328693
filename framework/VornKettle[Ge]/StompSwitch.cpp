#include "StompSwitch.h"

#include "controls/IContactControlNoDblClick.h"
#include "controls/IHiddenToggleControl.h"
#include "graphics/IGraphicsCore.h"

#include <memory>

StompSwitch::StompSwitch(IEffectBase* effect, IGraphicsCore* editor, int32_t x, int32_t y,
                         const IBitmapFrames& bitmap, IHiddenToggleControl* toggle)
    : toggleControl(toggle)
{
    if (editor == nullptr)
    {
        return;
    }
    // No parameter of its own: the press reaches the effect only through
    // Update, so a right press or a press too short to be seen flips nothing.
    auto contact =
        std::make_unique<IContactControlNoDblClick>(effect, x, y, -1, bitmap, IBlend::kNormal);
    editor->AddControl(contact.get());
    contactControl = contact.release();
    contactControl->AddObserver(this);
}

void StompSwitch::Update()
{
    if (contactControl == nullptr || toggleControl == nullptr)
    {
        return;
    }
    const double v = contactControl->Value();
    if (v == 1.0 && lastContactValue == 0.0)
    {
        toggleControl->SetValueFromPrompt(1.0 - toggleControl->Value());
    }
    lastContactValue = v;
}
