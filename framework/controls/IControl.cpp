#include "IControl.h"

#include "IEffectBase.h"
#include "IParameter.h"
#include "graphics/IGraphicsCore.h"

#include <cmath>
#include <cstring>

// Host threads hand values over through these without a lock; an atomic that
// is not lock-free would hide one (the runtime's) behind the hand-over.
static_assert(std::atomic<uint64_t>::is_always_lock_free, "64-bit atomics must be lock-free");
static_assert(std::atomic<double>::is_always_lock_free, "double atomics must be lock-free");
static_assert(std::atomic<uint32_t>::is_always_lock_free, "32-bit atomics must be lock-free");
static_assert(std::atomic<bool>::is_always_lock_free, "bool atomics must be lock-free");
static_assert(sizeof(double) == sizeof(uint64_t), "a value travels as its 64 bits");

namespace
{
uint64_t BitsOf(double v)
{
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof(bits));
    return bits;
}

double ValueOf(uint64_t bits)
{
    double v;
    std::memcpy(&v, &bits, sizeof(v));
    return v;
}
} // namespace

IControl::IControl(IEffectBase* owningPlugIn, const IRegion& r, int32_t param)
    : owner(owningPlugIn), rect(r), targetRect(r), paramIndex(param)
{
}

IControl::~IControl() = default;

void IControl::HandleMouseDown(int32_t, int32_t, const IMouseKeys& keys)
{
    if (keys.right)
    {
        OpenValuePrompt();
    }
}

void IControl::HandleMouseUp(int32_t, int32_t, const IMouseKeys&) {}

void IControl::HandleMouseDrag(int32_t, int32_t, int32_t, int32_t, const IMouseKeys&) {}

void IControl::HandleDoubleClick(int32_t, int32_t, const IMouseKeys&)
{
    const double restored = defaultValue.load(std::memory_order_acquire);
    if (restored >= 0.0)
    {
        value = restored;
        MarkDirty(true);
    }
}

void IControl::HandleWheel(int32_t, int32_t, const IMouseKeys& keys, int32_t notches)
{
    const double step = keys.shift || keys.control ? 0.001 : 0.01;
    value += notches * step;
    MarkDirty(true);
}

bool IControl::HandleKey(int32_t, int32_t, int32_t)
{
    return false;
}

void IControl::HandleMouseOver(int32_t, int32_t, const IMouseKeys&) {}

void IControl::HandleMouseOut() {}

void IControl::SetValueFromPlugIn(double v)
{
    // The first value the plug-in side delivers becomes the double-click
    // default. Deliveries are serialised by the plug-in lock, so the exchange
    // only guards against the editor thread reading a torn value; a NaN is no
    // default and leaves the slot open for the next delivery.
    if (!std::isnan(v))
    {
        double current = defaultValue.load(std::memory_order_acquire);
        while (current < 0.0)
        {
            if (defaultValue.compare_exchange_weak(current, v, std::memory_order_acq_rel))
            {
                deliveredFirst.store(true, std::memory_order_release);
                break;
            }
        }
    }
    deliveredBits.store(BitsOf(v), std::memory_order_release);
    deliveries.fetch_add(1, std::memory_order_release);
}

bool IControl::TakeDeliveredValue()
{
    const uint32_t count = deliveries.load(std::memory_order_acquire);
    if (count == deliveriesTaken)
    {
        return false;
    }
    deliveriesTaken = count;
    // The bits may already be those of a later delivery than count says; the
    // next take-over then finds the same value and changes nothing, so the
    // control always ends on the last value delivered.
    const double v = ValueOf(deliveredBits.load(std::memory_order_acquire));
    const bool first = deliveredFirst.exchange(false, std::memory_order_acq_rel);
    if (first || !(v == value))
    {
        value = v;
        MarkDirty(false);
        redrawAgain = true;
    }
    return true;
}

void IControl::SetHidden(bool flag)
{
    hidden = flag;
    redrawAgain = true;
    MarkDirty(false);
}

void IControl::SetGreyed(bool flag)
{
    greyed = flag;
    blend.weight = flag ? 0.25f : 1.0f;
    MarkDirty(false);
}

bool IControl::HitTest(int32_t x, int32_t y)
{
    // Contains already refuses the all-zero rectangle, which is how a control
    // is taken out of hit testing while keeping its paint rectangle.
    return targetRect.Contains(x, y);
}

void IControl::MarkDirty(bool push)
{
    // Written so that a NaN, which fails every comparison, lands on clampLow.
    if (value >= clampLow)
    {
        if (value > clampHigh)
        {
            value = clampHigh;
        }
    }
    else
    {
        value = clampLow;
    }
    dirty = true;
    changed = true;
    if (push && owner != nullptr && paramIndex >= 0)
    {
        owner->SetParameterFromGUI(paramIndex, value);
    }
}

void IControl::FinishDraw()
{
    dirty = redrawAgain;
    redrawAgain = false;
}

bool IControl::NeedsDraw()
{
    return dirty;
}

void IControl::SetValueFromPrompt(double v)
{
    if (v != value)
    {
        value = v;
        MarkDirty(true);
        redrawAgain = true;
    }
}

void IControl::OpenValuePrompt()
{
    if (paramIndex < 0 || promptDisabled)
    {
        return;
    }
    // An index the plug-in does not have passes no parameter, and the window
    // then opens no prompt.
    const IParameter* parameter = owner != nullptr ? owner->GetParam(paramIndex) : nullptr;
    if (graphics != nullptr)
    {
        graphics->ShowValuePrompt(this, parameter);
    }
    redrawAgain = true;
}
