#include "IGraphicsCore.h"

#include "IEffectBase.h"
#include "IParameter.h"
#include "controls/IBitmapControl.h"
#include "controls/IControl.h"

#include <cmath>
#include <limits>

namespace
{
constexpr int32_t kDefaultFrameRate = 24;
} // namespace

IGraphicsCore::IGraphicsCore(IEffectBase* owningPlugIn, int32_t editorWidth, int32_t editorHeight,
                             int32_t checksPerSecond)
    : plugIn(owningPlugIn), width(editorWidth), height(editorHeight),
      frameRate(checksPerSecond > 0 ? checksPerSecond : kDefaultFrameRate)
{
}

IGraphicsCore::~IGraphicsCore()
{
    // Last to first, as the list was built.
    while (!controls.empty())
    {
        controls.pop_back();
    }
}

// --- Slots whose behaviour belongs to the drawing layer and the window ---

void IGraphicsCore::CreateBackBuffer() {}

bool IGraphicsCore::PresentRegion(const IRegion&)
{
    return false;
}

bool IGraphicsCore::BlitBitmap(const IBitmapFrames&, const IRegion&, int32_t, int32_t,
                               const IBlend*)
{
    return false;
}

bool IGraphicsCore::BlitRotated(const IBitmapFrames&, int32_t, int32_t, double, int32_t,
                                const IBlend*)
{
    return false;
}

bool IGraphicsCore::BlitRotatedMasked(const IBitmapFrames&, const IBitmapFrames&,
                                      const IBitmapFrames&, int32_t, int32_t, double, const IBlend*)
{
    return false;
}

bool IGraphicsCore::BlendPixel(const IColour&, float, float, const IBlend*)
{
    return false;
}

bool IGraphicsCore::WritePixel(const IColour&, int32_t, int32_t)
{
    return false;
}

bool IGraphicsCore::StrokeLine(const IColour&, float, float, float, float, const IBlend*, bool)
{
    return false;
}

bool IGraphicsCore::StrokeArc(const IColour&, float, float, float, float, float, const IBlend*,
                              bool)
{
    return false;
}

bool IGraphicsCore::StrokeCircle(const IColour&, float, float, float, const IBlend*, bool)
{
    return false;
}

bool IGraphicsCore::FillRegion(const IColour&, const IRegion&, const IBlend*)
{
    return false;
}

bool IGraphicsCore::RenderText(const ITextStyle&, const char*, const IRegion&)
{
    return false;
}

IColour IGraphicsCore::ReadPixel(int32_t, int32_t)
{
    return {0, 0, 0, 0};
}

void* IGraphicsCore::BackBufferPixels()
{
    return nullptr;
}

void IGraphicsCore::ChangeEditorSize(int32_t newWidth, int32_t newHeight)
{
    width = newWidth;
    height = newHeight;
    EndCapture();
    while (!controls.empty())
    {
        controls.pop_back();
    }
    if (plugIn != nullptr)
    {
        plugIn->RefreshEditorRect();
    }
}

bool IGraphicsCore::HasWindow()
{
    return NativeWindow() != nullptr;
}

void IGraphicsCore::ShowValuePrompt(IControl*, const IParameter*) {}

void IGraphicsCore::HostDirectory(std::string& out)
{
    out.clear();
}

void IGraphicsCore::ModuleDirectory(std::string& out)
{
    out.clear();
}

void IGraphicsCore::AskForFile(std::string& out, int32_t, const char*)
{
    out.clear();
}

bool IGraphicsCore::AskForColour(IColour&, const char*)
{
    return false;
}

bool IGraphicsCore::OpenWebPage(const char*, const char*, const char*, const char*)
{
    return false;
}

void* IGraphicsCore::CreateEditorWindow(void*)
{
    return nullptr;
}

void IGraphicsCore::DestroyEditorWindow() {}

void* IGraphicsCore::NativeWindow()
{
    return nullptr;
}

IBitmapFrames IGraphicsCore::LoadResourceBitmap(int32_t, const char*, int32_t frameCount)
{
    IBitmapFrames none;
    none.frameCount = frameCount > 0 ? frameCount : 1;
    return none;
}

IBitmapFrames IGraphicsCore::ResampleBitmap(const IBitmapFrames& bitmap, int32_t, int32_t)
{
    IBitmapFrames none;
    none.frameCount = bitmap.frameCount;
    return none;
}

IBitmapFrames IGraphicsCore::CutBitmap(const IBitmapFrames& bitmap, const IRegion&)
{
    IBitmapFrames none;
    none.frameCount = bitmap.frameCount;
    return none;
}

void IGraphicsCore::AddBackground(int32_t resourceId, const char* name)
{
    IBitmapFrames bitmap = LoadResourceBitmap(resourceId, name, 1);
    auto background = std::make_unique<IBitmapControl>(plugIn, 0, 0, -1, bitmap, IBlend::kOpaque);
    background->SetGraphics(this);
    // Index 0, whenever it is added: drawn first, hit last. Indices handed
    // out earlier move up by one.
    controls.insert(controls.begin(), std::move(background));
}

bool IGraphicsCore::FillColumnSpan(const IColour& colour, int32_t x, int32_t y1, int32_t y2)
{
    const IBlend opaque{IBlend::kOpaque, 1.0f};
    return StrokeLine(colour, static_cast<float>(x), static_cast<float>(y1), static_cast<float>(x),
                      static_cast<float>(y2), &opaque, false);
}

bool IGraphicsCore::FillRowSpan(const IColour& colour, int32_t y, int32_t x1, int32_t x2)
{
    const IBlend opaque{IBlend::kOpaque, 1.0f};
    return StrokeLine(colour, static_cast<float>(x1), static_cast<float>(y), static_cast<float>(x2),
                      static_cast<float>(y), &opaque, false);
}

void IGraphicsCore::KeepBitmap(const IBitmapFrames&) {}

void IGraphicsCore::DropBitmap(const IBitmapFrames&) {}

RasterBitmap* IGraphicsCore::DecodeResourceImage(int32_t, const char*)
{
    return nullptr;
}

// --- Control list ---

int32_t IGraphicsCore::AddControl(IControl* control)
{
    if (control == nullptr)
    {
        return -1;
    }
    control->SetGraphics(this);
    controls.emplace_back(control);
    return NControls() - 1;
}

IControl* IGraphicsCore::GetControl(int32_t index) const
{
    if (index < 0 || index >= NControls())
    {
        return nullptr;
    }
    return controls[static_cast<size_t>(index)].get();
}

// --- Values from the host side ---

void IGraphicsCore::PushParameterValue(int32_t paramIndex, double value, bool isNormalized)
{
    if (!isNormalized)
    {
        const IParameter* parameter = plugIn != nullptr ? plugIn->GetParam(paramIndex) : nullptr;
        if (parameter == nullptr)
        {
            return;
        }
        value = parameter->ToNormalized(value);
    }
    for (auto& control : controls)
    {
        if (control->ParamIndex() == paramIndex)
        {
            control->SetValueFromPlugIn(value);
        }
    }
}

void IGraphicsCore::PushControlValue(int32_t controlIndex, double value)
{
    if (IControl* control = GetControl(controlIndex))
    {
        control->SetValueFromPlugIn(value);
    }
}

// --- Editor thread ---

void IGraphicsCore::StartCapture(int32_t index, int32_t x, int32_t y)
{
    captureIndex = index;
    lastMouseX = x;
    lastMouseY = y;
}

void IGraphicsCore::EndCapture()
{
    captureIndex = -1;
    lastMouseX = -1;
    lastMouseY = -1;
}

void IGraphicsCore::TakeDeliveredValues()
{
    for (auto& control : controls)
    {
        control->TakeDeliveredValue();
    }
}

void IGraphicsCore::HideParameterControls(int32_t paramIndex, bool hide)
{
    for (auto& control : controls)
    {
        if (control->ParamIndex() == paramIndex)
        {
            control->SetHidden(hide);
        }
    }
}

void IGraphicsCore::MarkAllDirty()
{
    TakeDeliveredValues();
    for (auto& control : controls)
    {
        control->MarkDirty(false);
    }
}

bool IGraphicsCore::CollectDirtyRegion(IRegion& region)
{
    TakeDeliveredValues();
    bool any = false;
    for (auto& control : controls)
    {
        // Observers hear of a change once per tick at most; they may change
        // other controls' values, which this same pass then collects.
        control->NotifyObservers();
        if (control->NeedsDraw())
        {
            region = region.Union(control->Rect());
            any = true;
        }
    }
    return any;
}

bool IGraphicsCore::RedrawRegion(const IRegion& region)
{
    if (controls.empty())
    {
        return true;
    }
    TakeDeliveredValues();
    drawRegion = region;
    for (auto& control : controls)
    {
        if (!control->IsHidden() && region.Overlaps(control->Rect()))
        {
            control->Paint(this);
        }
    }
    for (auto& control : controls)
    {
        control->FinishDraw();
    }
    return PresentRegion(region);
}

int32_t IGraphicsCore::FindControlAt(int32_t x, int32_t y)
{
    if (captureIndex >= 0 && captureIndex < NControls())
    {
        return captureIndex;
    }
    for (int32_t i = NControls() - 1; i >= 0; --i)
    {
        IControl* control = controls[static_cast<size_t>(i)].get();
        if (!control->IsHidden() && !control->IsGreyed() && control->HitTest(x, y))
        {
            return i;
        }
    }
    return -1;
}

void IGraphicsCore::MousePressed(int32_t x, int32_t y, const IMouseKeys& keys)
{
    TakeDeliveredValues();
    EndCapture();
    const int32_t i = FindControlAt(x, y);
    if (i < 0)
    {
        return;
    }
    StartCapture(i, x, y);
    IControl* control = controls[static_cast<size_t>(i)].get();
    control->HandleMouseDown(x, y, keys);
    // After the press, so a value the press itself changes (a switch step)
    // reaches the plug-in before the edit begins.
    if (control->ParamIndex() >= 0 && plugIn != nullptr)
    {
        plugIn->BeginParameterGesture(control->ParamIndex());
    }
}

void IGraphicsCore::MouseReleased(int32_t x, int32_t y, const IMouseKeys& keys)
{
    TakeDeliveredValues();
    // Looked up while the capture still stands: the release goes to the
    // pressed control wherever the pointer is.
    const int32_t i = FindControlAt(x, y);
    EndCapture();
    if (i < 0)
    {
        return;
    }
    IControl* control = controls[static_cast<size_t>(i)].get();
    control->HandleMouseUp(x, y, keys);
    if (control->ParamIndex() >= 0 && plugIn != nullptr)
    {
        plugIn->EndParameterGesture(control->ParamIndex());
    }
}

void IGraphicsCore::MouseDragged(int32_t x, int32_t y, const IMouseKeys& keys)
{
    if (captureIndex < 0 || captureIndex >= NControls())
    {
        return;
    }
    TakeDeliveredValues();
    const int32_t dx = x - lastMouseX;
    const int32_t dy = y - lastMouseY;
    if (dx == 0 && dy == 0)
    {
        return;
    }
    lastMouseX = x;
    lastMouseY = y;
    controls[static_cast<size_t>(captureIndex)]->HandleMouseDrag(x, y, dx, dy, keys);
}

bool IGraphicsCore::MouseDoubleClicked(int32_t x, int32_t y, const IMouseKeys& keys)
{
    TakeDeliveredValues();
    EndCapture();
    const int32_t i = FindControlAt(x, y);
    if (i < 0)
    {
        return false;
    }
    IControl* control = controls[static_cast<size_t>(i)].get();
    if (control->DoubleClickAsPress())
    {
        // A new press without a gesture start; the release that follows
        // still ends the gesture.
        StartCapture(i, x, y);
        control->HandleMouseDown(x, y, keys);
        return true;
    }
    control->HandleDoubleClick(x, y, keys);
    return false;
}

void IGraphicsCore::WheelTurned(int32_t x, int32_t y, const IMouseKeys& keys, int32_t notches)
{
    TakeDeliveredValues();
    const int32_t i = FindControlAt(x, y);
    if (i >= 0)
    {
        controls[static_cast<size_t>(i)]->HandleWheel(x, y, keys, notches);
    }
}

void IGraphicsCore::KeyPressed(int32_t x, int32_t y, int32_t key)
{
    TakeDeliveredValues();
    const int32_t i = FindControlAt(x, y);
    if (i >= 0)
    {
        controls[static_cast<size_t>(i)]->HandleKey(x, y, key);
    }
}

bool IGraphicsCore::DrawBitmapFrame(const IBitmapFrames& bitmap, const IRegion& rect, int32_t frame,
                                    const IBlend* blend)
{
    int32_t srcY = 0;
    if (bitmap.frameCount >= 2 && frame >= 2)
    {
        const double y = static_cast<double>(bitmap.height) * (frame - 1) / bitmap.frameCount + 0.5;
        // A frame beyond the strip would start below it; the blit clips the
        // source, but the row must stay representable.
        srcY = y < static_cast<double>(std::numeric_limits<int32_t>::max())
                   ? static_cast<int32_t>(y)
                   : std::numeric_limits<int32_t>::max();
    }
    return BlitBitmap(bitmap, rect, 0, srcY, blend);
}
