#include "ControlTestDoubles.h"

#include "controls/IBitmapControl.h"
#include "controls/IBitmapOverlayControl.h"
#include "controls/IContactControlNoDblClick.h"
#include "controls/IHiddenToggleControl.h"
#include "controls/IObserverInterface.h"
#include "controls/ISwitchControl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
} // namespace

TEST(Region, EdgeRules)
{
    struct Case
    {
        IRegion a, b;
        bool overlaps;
        IRegion intersect, unite;
    };
    const Case cases[] = {
        // Touching from the left overlaps, into a zero-width (not empty) strip.
        {{0, 0, 10, 10}, {10, 0, 20, 10}, true, {10, 0, 10, 10}, {0, 0, 20, 10}},
        {{10, 0, 20, 10}, {0, 0, 10, 10}, false, {}, {0, 0, 20, 10}},
        {{0, 0, 10, 10}, {0, 10, 10, 20}, true, {0, 10, 10, 10}, {0, 0, 10, 20}},
        {{0, 10, 10, 20}, {0, 0, 10, 10}, false, {}, {0, 0, 10, 20}},
        {{}, {5, 5, 9, 9}, false, {}, {5, 5, 9, 9}},
        {{5, 5, 9, 9}, {}, false, {}, {5, 5, 9, 9}},
        {{1, 1, 4, 4}, {3, 0, 8, 2}, true, {3, 1, 4, 2}, {1, 0, 8, 4}},
        // Degenerate but not empty: it still takes part.
        {{5, 5, 5, 9}, {0, 0, 10, 10}, true, {5, 5, 5, 9}, {0, 0, 10, 10}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        EXPECT_EQ(c.overlaps, c.a.Overlaps(c.b));
        EXPECT_EQ(c.intersect, c.a.Intersect(c.b));
        EXPECT_EQ(c.unite, c.a.Union(c.b));
    }
    EXPECT_FALSE(IRegion(5, 5, 5, 9).IsEmpty());
    EXPECT_FALSE(IRegion().Contains(0, 0));
    EXPECT_TRUE(IRegion(0, 0, 10, 10).Contains(0, 9));
    EXPECT_FALSE(IRegion(0, 0, 10, 10).Contains(10, 5));
    EXPECT_FALSE(IRegion(0, 0, 10, 10).Contains(5, 10));
}

// The bitmap control and the knob choose the same frame, and the source row
// follows from it; bad strips and values stay inside the strip.
TEST(Controls, FrameChoiceAndSourceRow)
{
    struct Case
    {
        IBitmapFrames strip;
        double value;
        int32_t srcY;
        int32_t frameHeight;
    };
    const Case cases[] = {
        {kKnobStrip, 0.0, 0, 65},      {kKnobStrip, 0.5, 2080, 65},  {kKnobStrip, 1.0, 4160, 65},
        {kTwoFrames, 0.4999, 0, 40},   {kTwoFrames, 0.5, 40, 40},    {kKnobStrip, kNaN, 0, 65},
        {kKnobStrip, 1e300, 4160, 65}, {kKnobStrip, -1e300, 0, 65},  {Strip(40, 80, 0), 1.0, 0, 80},
        {Strip(0, 0, 0), 1.0, 0, 0},   {Strip(10, 3, 7), 1.0, 3, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.strip.frameCount << " frames, value " << c.value);
        RecordingGraphics graphics;
        IBitmapControl bitmap(nullptr, 3, 4, -1, c.strip, IBlend::kNormal);
        IKnobMultiControl knob(nullptr, 3, 4, -1, c.strip, 0, 4.0);
        bitmap.SetValue(c.value);
        knob.SetValue(c.value);
        EXPECT_TRUE(bitmap.Paint(&graphics));
        EXPECT_TRUE(knob.Paint(&graphics));
        ASSERT_EQ(2u, graphics.blits.size());
        for (const RecordingGraphics::Blit& blit : graphics.blits)
        {
            EXPECT_EQ(c.srcY, blit.srcY);
            EXPECT_EQ(IRegion(3, 4, 3 + c.strip.width, 4 + c.frameHeight), blit.dest);
        }
    }
}

TEST(Controls, SwitchStepsAndWraps)
{
    struct Case
    {
        int32_t frames;
        double start;
        std::vector<double> presses;
    };
    const Case cases[] = {
        {2, 0.0, {1.0, 0.0, 1.0}},
        {3, 0.0, {0.5, 1.0, 0.0}},
        {1, 0.0, {1.0, 0.0, 1.0}},
        {0, 0.0, {1.0, 0.0}},
        {5, 0.0, {0.25, 0.5, 0.75, 1.0, 0.0}},
        // Within the tolerance the step stays on the last frame.
        {2, 0.0005, {1.0, 0.0}},
        {2, 0.002, {0.0}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.frames << " frames from " << c.start);
        GestureEffect effect;
        ISwitchControl control(&effect, 0, 0, 0, Strip(40, 40 * c.frames, c.frames), 0);
        control.SetValue(c.start);
        for (double expected : c.presses)
        {
            control.HandleMouseDown(1, 1, kLeft);
            EXPECT_DOUBLE_EQ(expected, control.Value());
            ASSERT_FALSE(effect.automated.empty());
            EXPECT_DOUBLE_EQ(expected, effect.automated.back().value);
        }
    }
}

TEST(Controls, KnobDragAndWheel)
{
    const double step = 10.0 / 65.0 / 4.0;
    struct Case
    {
        int32_t direction;
        double start;
        int32_t dx, dy;
        IMouseKeys keys;
        double expected;
    };
    const Case cases[] = {
        {0, 0.5, 0, -10, kLeft, 0.5 + step},
        {0, 0.5, 0, 10, kLeft, 0.5 - step},
        {0, 0.5, 0, -10, kShift, 0.5 + 10 * step},
        {0, 0.5, 0, -10, kControl, 0.5 + 10 * step},
        {0, 0.95, 0, -10, kShift, 1.0},
        {0, 0.05, 0, 10, kShift, 0.0},
        {0, 0.5, 10, 0, kLeft, 0.5},
        {1, 0.5, 10, -30, kLeft, 0.5 + step},
    };
    for (const Case& c : cases)
    {
        GestureEffect effect;
        IKnobMultiControl knob(&effect, 0, 0, 1, kKnobStrip, c.direction, 4.0);
        knob.SetValue(c.start);
        knob.HandleMouseDrag(0, 0, c.dx, c.dy, c.keys);
        EXPECT_NEAR(c.expected, knob.Value(), 1e-12) << c.dx << " " << c.dy;
        EXPECT_DOUBLE_EQ(knob.Value(), effect.automated.back().value);
    }
    // A knob without height has no travel: the value stays and stays finite.
    IKnobMultiControl flat(nullptr, 0, 0, -1, Strip(65, 0, 65), 0, 4.0);
    flat.SetValue(0.3);
    flat.HandleMouseDrag(0, 0, 0, -10, kLeft);
    EXPECT_EQ(0.3, flat.Value());

    GestureEffect effect;
    IKnobMultiControl knob(&effect, 0, 0, 0, kKnobStrip, 0, 4.0);
    const std::pair<IMouseKeys, double> wheels[] = {
        {kLeft, 0.47}, {kControl, 0.497}, {kShift, 0.497}};
    for (const auto& wheel : wheels)
    {
        knob.SetValue(0.5);
        knob.HandleWheel(0, 0, wheel.first, -3);
        EXPECT_NEAR(wheel.second, knob.Value(), 1e-12);
        EXPECT_NEAR(wheel.second, effect.automated.back().value, 1e-12);
    }
}

// The first delivered value becomes the double-click default and is painted
// in two ticks even when it equals the value; later ones are neither. Before
// any delivery a double click changes nothing. Bad values become bounds.
TEST(Controls, DeliveredValues)
{
    GestureEffect effect;
    IKnobMultiControl knob(&effect, 0, 0, 0, kKnobStrip, 0, 4.0);
    knob.FinishDraw();
    knob.HandleDoubleClick(0, 0, kLeft);
    EXPECT_TRUE(effect.automated.empty());

    knob.SetValueFromPlugIn(0.0);
    knob.SetValueFromPlugIn(0.0);
    EXPECT_FALSE(knob.IsDirty()); // not before the editor thread takes it over
    EXPECT_TRUE(knob.TakeDeliveredValue());
    EXPECT_TRUE(knob.IsDirty() && knob.RedrawAgain());
    knob.FinishDraw();
    knob.FinishDraw();
    knob.SetValueFromPlugIn(0.0);
    EXPECT_TRUE(knob.TakeDeliveredValue());
    EXPECT_FALSE(knob.IsDirty());
    EXPECT_FALSE(knob.TakeDeliveredValue());

    IKnobMultiControl level(&effect, 0, 0, 0, kKnobStrip, 0, 4.0);
    level.SetValueFromPlugIn(kNaN); // no default: the next value still becomes it
    level.SetValueFromPlugIn(0.7);
    level.SetValueFromPlugIn(0.2);
    level.TakeDeliveredValue();
    EXPECT_EQ(0.2, level.Value());
    level.HandleDoubleClick(0, 0, kLeft);
    EXPECT_EQ(0.7, level.Value());
    EXPECT_EQ(0.7, effect.automated.back().value);

    const std::pair<double, double> bad[] = {{kInf, 1.0}, {kNaN, 0.0}, {2.0, 1.0}, {-kInf, 0.0}};
    for (const auto& b : bad)
    {
        knob.SetValueFromPlugIn(b.first);
        knob.TakeDeliveredValue();
        EXPECT_EQ(b.second, knob.Value()) << b.first;
    }
    knob.SetValueFromPrompt(kNaN);
    EXPECT_EQ(0.0, effect.automated.back().value);
}

TEST(Controls, HiddenToggleFlipsAroundOneHalfWithEitherButton)
{
    GestureEffect effect;
    RecordingGraphics graphics(&effect);
    IHiddenToggleControl toggle(&effect, {0, 0, 30, 30}, 2);
    const std::pair<double, double> cases[] = {{0.5, 0.0}, {0.49, 1.0}, {1.0, 0.0}};
    for (const auto& c : cases)
    {
        for (const IMouseKeys& keys : {kLeft, kRight})
        {
            toggle.SetValue(c.first);
            toggle.HandleMouseDown(1, 1, keys);
            EXPECT_EQ(c.second, effect.Value(2)) << c.first;
        }
    }
    EXPECT_TRUE(toggle.Paint(&graphics));
    EXPECT_TRUE(graphics.blits.empty());
}

TEST(Controls, ValuePrompt)
{
    GestureEffect effect;
    RecordingGraphics graphics(&effect);
    auto* cabinet = graphics.Add(new ISwitchControl(&effect, 0, 0, 3, kTwoFrames, 0));
    auto* unbound = graphics.Add(new ISwitchControl(&effect, 0, 0, -1, kTwoFrames, 0));
    auto* beyond = graphics.Add(new IKnobMultiControl(&effect, 0, 0, 4, kKnobStrip, 0, 4.0));
    cabinet->SetValue(1.0);
    cabinet->FinishDraw();
    cabinet->HandleMouseDown(1, 1, kRight);
    ASSERT_EQ(1u, graphics.prompts.size());
    EXPECT_EQ(cabinet, graphics.prompts[0].control);
    EXPECT_EQ(effect.GetParam(3), graphics.prompts[0].parameter);
    EXPECT_EQ(1.0, cabinet->Value());
    ASSERT_EQ(1u, effect.automated.size());
    EXPECT_EQ(1.0, effect.automated[0].value);
    EXPECT_TRUE(cabinet->RedrawAgain());

    unbound->HandleMouseDown(1, 1, kRight);
    EXPECT_EQ(1u, graphics.prompts.size());
    beyond->HandleMouseDown(1, 1, kRight);
    ASSERT_EQ(2u, graphics.prompts.size());
    EXPECT_EQ(nullptr, graphics.prompts[1].parameter);
}

class CountingObserver : public IObserverInterface
{
public:
    void Update() override { ++calls; }
    int calls = 0;
};

TEST(Controls, ObserversHearAChangeOnce)
{
    std::vector<CountingObserver> observers(9); // more than one growth step
    IBitmapControl control(nullptr, 0, 0, -1, kTwoFrames, 0);
    for (CountingObserver& o : observers)
    {
        control.AddObserver(&o);
    }
    control.AddObserver(&observers[0]);
    control.NotifyObservers(); // nothing changed yet
    control.MarkDirty(false);
    control.NotifyObservers();
    control.NotifyObservers();
    for (const CountingObserver& o : observers)
    {
        EXPECT_EQ(1, o.calls);
    }
}
