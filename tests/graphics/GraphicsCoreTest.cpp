#include "ControlTestDoubles.h"

#include "controls/IBitmapControl.h"
#include "controls/IBitmapOverlayControl.h"
#include "controls/IContactControlNoDblClick.h"
#include "controls/IHiddenToggleControl.h"

#include <gtest/gtest.h>

namespace
{
// The blits whose destination is rect.
std::vector<int32_t> RowsPaintedAt(const RecordingGraphics& g, const IRegion& rect)
{
    std::vector<int32_t> rows;
    for (const RecordingGraphics::Blit& blit : g.blits)
    {
        if (blit.dest == rect)
        {
            rows.push_back(blit.srcY);
        }
    }
    return rows;
}
} // namespace

// What is painted in which tick: a delivered value twice, an edit once, the
// bounding box of everything dirty, and nothing beyond the repainted area.
TEST(GraphicsCore, RedrawCycle)
{
    GestureEffect effect;
    RecordingGraphics g(&effect);
    auto* knob = g.Add(new IKnobMultiControl(&effect, 10, 20, 1, kKnobStrip, 0, 4.0));
    auto* middle = g.Add(new IBitmapControl(&effect, 100, 100, -1, kTwoFrames, 0));
    auto* far = g.Add(new ISwitchControl(&effect, 150, 250, 3, kTwoFrames, 0));
    g.AddBackground(102, "img/background.png");
    const IRegion knobRect(10, 20, 75, 85);
    const IRegion background(0, 0, 213, 333);
    ASSERT_EQ(knobRect, knob->Rect());

    EXPECT_EQ(background, g.Tick());
    EXPECT_EQ(4u, g.blits.size());
    EXPECT_EQ(IRegion(), g.Tick());

    g.PushParameterValue(1, 0.25, true);
    for (int tick = 0; tick < 2; ++tick)
    {
        g.blits.clear();
        EXPECT_EQ(knobRect, g.Tick()) << tick;
        ASSERT_EQ(2u, g.blits.size());
        EXPECT_EQ(background, g.blits[0].dest);
        EXPECT_EQ(1, g.blits[0].method);
        EXPECT_EQ(std::vector<int32_t>{1040}, RowsPaintedAt(g, knobRect)); // frame 17
    }
    EXPECT_EQ(IRegion(), g.Tick());

    knob->HandleWheel(0, 0, kLeft, 1);
    EXPECT_EQ(knobRect, g.Tick());
    EXPECT_EQ(IRegion(), g.Tick());

    knob->MarkDirty(false);
    far->MarkDirty(false);
    g.blits.clear();
    EXPECT_EQ(IRegion(10, 20, 190, 290), g.Tick());
    EXPECT_EQ(1u, RowsPaintedAt(g, middle->Rect()).size()); // inside the box, not dirty

    // The window repaints less than was collected: the far switch is left
    // out, and clean afterwards all the same.
    far->MarkDirty(false);
    g.blits.clear();
    EXPECT_TRUE(g.RedrawRegion(knobRect));
    EXPECT_TRUE(RowsPaintedAt(g, far->Rect()).empty());
    EXPECT_FALSE(far->NeedsDraw());
    EXPECT_EQ(knobRect, g.presented.back());
}

// Press, drag 10 up, a drag that did not move, release outside the editor:
// the gesture frames the one edit.
TEST(GraphicsCore, DragGestureOrder)
{
    GestureEffect effect;
    RecordingGraphics g(&effect);
    g.AddBackground(102, "img/background.png");
    auto* knob = g.Add(new IKnobMultiControl(&effect, 115, 86, 1, kKnobStrip, 0, 4.0));
    knob->SetValue(0.5);

    g.MousePressed(200, 5, kLeft); // background: bound to nothing
    g.MouseReleased(200, 5, kLeft);
    EXPECT_TRUE(effect.log.empty());

    g.MousePressed(140, 110, kLeft);
    g.MouseDragged(140, 100, kLeft);
    g.MouseDragged(140, 100, kLeft);
    g.MouseReleased(-5, 400, kLeft);
    // The release reaches the knob, not the background under the pointer.
    const std::vector<std::string> expected = {"begin1", "auto1", "p1", "end1"};
    EXPECT_EQ(expected, effect.log);
    EXPECT_DOUBLE_EQ(0.5 + 10.0 / 65.0 / 4.0, effect.automated.back().value);
    EXPECT_EQ(-1, g.CaptureIndex());
}

// A contact goes to 1 on the press and back on the release; a double click
// on the footswitch kind is a second press, without a new gesture start.
TEST(GraphicsCore, ContactPressesAndDoubleClicks)
{
    GestureEffect effect;
    RecordingGraphics g(&effect);
    auto* plain = g.Add(new IContactControl(&effect, 0, 0, 0, kTwoFrames, 0));
    auto* foot = g.Add(new IContactControlNoDblClick(&effect, 80, 172, 2, kTwoFrames, 0));

    g.MousePressed(85, 180, kLeft);
    EXPECT_EQ(1.0, foot->Value());
    g.MouseReleased(85, 180, kLeft);
    EXPECT_EQ(0.0, foot->Value());
    EXPECT_TRUE(g.MouseDoubleClicked(85, 180, kLeft));
    EXPECT_EQ(1.0, foot->Value());
    g.MouseReleased(85, 180, kLeft);
    EXPECT_EQ(0.0, foot->Value());
    const std::vector<std::string> expected = {"auto2", "p2", "begin2", "auto2", "p2",  "end2",
                                               "auto2", "p2", "auto2",  "p2",    "end2"};
    EXPECT_EQ(expected, effect.log);

    effect.log.clear();
    EXPECT_FALSE(g.MouseDoubleClicked(5, 5, kLeft)); // nothing delivered: nothing to restore
    EXPECT_EQ(0.0, plain->Value());
    EXPECT_TRUE(effect.log.empty());
}

// The panel's hit area follows what was painted last.
TEST(GraphicsCore, OverlayHitAreaSwitchesWhenPainted)
{
    RecordingGraphics g;
    g.AddBackground(102, "img/background.png");
    auto* about = g.Add(
        new IBitmapOverlayControl(nullptr, 5, 156, Strip(181, 150, 1), IRegion(10, 35, 80, 55)));
    auto* hidden = g.Add(new IHiddenToggleControl(nullptr, {80, 172, 110, 202}, 2));
    g.HideParameterControls(2, true);
    const IRegion panel(5, 156, 186, 306);
    EXPECT_EQ(1, g.FindControlAt(100, 190)); // the hidden toggle is never hit
    g.Tick();
    EXPECT_EQ(0, g.FindControlAt(100, 190));
    EXPECT_TRUE(RowsPaintedAt(g, panel).empty());

    g.MousePressed(20, 40, kLeft);
    g.MouseReleased(20, 40, kLeft);
    EXPECT_EQ(1.0, about->Value());
    EXPECT_EQ(0, g.FindControlAt(100, 190)); // not live before it is shown
    g.Tick();
    EXPECT_EQ(1u, RowsPaintedAt(g, panel).size());
    EXPECT_EQ(1, g.FindControlAt(100, 190));

    g.MousePressed(100, 190, kLeft);
    g.MouseReleased(100, 190, kLeft);
    EXPECT_EQ(0.0, about->Value());
    g.Tick();
    EXPECT_EQ(0, g.FindControlAt(100, 190));
    EXPECT_EQ(1, g.FindControlAt(20, 40));
    EXPECT_EQ(0.0, hidden->Value());
}
