#include "ControlTestDoubles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
// The knob's last painted source row in this tick's blits, or keep.
int32_t LastRowAt(RecordingGraphics& g, const IRegion& rect, int32_t keep)
{
    for (const RecordingGraphics::Blit& blit : g.blits)
    {
        if (blit.dest == rect)
        {
            keep = blit.srcY;
        }
    }
    g.blits.clear();
    return keep;
}
} // namespace

// A host thread sets the knob's parameter and loads presets while the editor
// thread ticks, paints and drags the same knob. Run under ThreadSanitizer it
// proves the hand-over race-free; afterwards the knob shows the last value
// the host set.
TEST(HandOver, HostPushesMeetEditorTicksAndDrags)
{
    TestEffect effect(TestEffect::Bare(4, "1-1 2-2", 4));
    effect.InitPedalParameters();
    effect.DefinePreset("Soft", 0.2, 0.1, 1, 0);
    effect.DefinePreset("Hard", 0.9, 0.8, 1, 1);
    auto* g = new RecordingGraphics(&effect);
    g->AddBackground(102, "img/background.png");
    auto* knob = g->Add(new IKnobMultiControl(&effect, 115, 86, 1, kKnobStrip, 0, 4.0));
    const IRegion knobRect = knob->Rect();
    effect.AttachEditor(g);

    constexpr int kPushes = 20000;
    constexpr double kLast = 0.3; // frame 20 of 65
    enum Phase
    {
        kAll,
        kStopDragging,
        kDragsStopped,
        kPushesDone
    };
    std::atomic<int> phase{kAll};
    std::thread host(
        [&]
        {
            for (int i = 0; i < kPushes; ++i)
            {
                if (i % 64 == 0)
                {
                    effect.LoadPreset((i / 64) % 2);
                }
                else
                {
                    effect.SetParameterFromHost(1, (i % 101) / 100.0);
                }
            }
            // The last pushes meet ticks only, so the last one is what must show.
            phase.store(kStopDragging);
            while (phase.load() != kDragsStopped)
            {
                std::this_thread::yield();
            }
            for (int i = 0; i < 100; ++i)
            {
                effect.SetParameterFromHost(1, i / 200.0);
            }
            effect.SetParameterFromHost(1, kLast);
            phase.store(kPushesDone);
        });

    int32_t lastRow = -1;
    int drags = 0;
    while (phase.load() != kPushesDone)
    {
        g->Tick();
        lastRow = LastRowAt(*g, knobRect, lastRow);
        if (phase.load() == kAll)
        {
            g->MousePressed(140, 110, kLeft);
            g->MouseDragged(140, drags % 2 == 0 ? 100 : 120, kLeft);
            g->MouseReleased(140, 100, kLeft);
            ++drags;
        }
        else if (phase.load() == kStopDragging)
        {
            phase.store(kDragsStopped);
        }
    }
    host.join();
    g->Tick();
    lastRow = LastRowAt(*g, knobRect, lastRow);

    EXPECT_GT(drags, 0);
    EXPECT_EQ(kLast, knob->Value());
    EXPECT_EQ(19 * 65, lastRow);
}
