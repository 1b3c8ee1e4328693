#include "IBitmapControl.h"

#include "graphics/IGraphicsCore.h"

namespace
{
// A strip that claims no frames is drawn as a single picture.
int32_t FramesOf(const IBitmapFrames& bitmap)
{
    return bitmap.frameCount < 1 ? 1 : bitmap.frameCount;
}
} // namespace

IBitmapControl::IBitmapControl(IEffectBase* owningPlugIn, int32_t x, int32_t y, int32_t param,
                               const IBitmapFrames& frames, int32_t blendMethod)
    : IControl(owningPlugIn, FrameRect(x, y, frames), param), bitmap(frames)
{
    promptDisabled = false;
    blend = IBlend{blendMethod, 1.0f};
}

IRegion IBitmapControl::FrameRect(int32_t x, int32_t y, const IBitmapFrames& frames)
{
    return IRegion(x, y, x + frames.width, y + frames.height / FramesOf(frames));
}

int32_t IBitmapControl::FrameForValue(double v, int32_t frameCount)
{
    const int32_t n = frameCount < 1 ? 1 : frameCount;
    const double position = (n - 1) * v + 0.5;
    // Clamped before the conversion, so that a value far outside 0..1 (or
    // NaN, which fails the first test) cannot overflow the integer.
    if (!(position >= 1.0))
    {
        return 1;
    }
    if (position >= static_cast<double>(n))
    {
        return n;
    }
    return static_cast<int32_t>(position) + 1;
}

bool IBitmapControl::PaintFrame(IGraphicsCore* graphics, const IBitmapFrames& frames,
                                const IRegion& where, double v, const IBlend& how)
{
    if (graphics == nullptr)
    {
        return false;
    }
    return graphics->DrawBitmapFrame(frames, where, FrameForValue(v, frames.frameCount), &how);
}

bool IBitmapControl::Paint(IGraphicsCore* graphics)
{
    return PaintFrame(graphics, bitmap, rect, value, blend);
}
