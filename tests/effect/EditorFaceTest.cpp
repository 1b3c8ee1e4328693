// The pedal's face as a musician uses it, driven through the graphics core of
// the effect's own editor without a window: the layout, the footswitch and
// its LED, the knobs, the cabinet switch and the about panel. A tick is one
// redraw check of the window's timer: collect the dirty controls, repaint.

#include "FacePng.h"
#include "FakeHost.h"
#include "PlugExample.h"
#include "RasterBitmap.h"
#include "ScreenBitmap.h"
#include "controls/IBitmapControl.h"
#include "controls/IBitmapOverlayControl.h"
#include "controls/IContactControlNoDblClick.h"
#include "controls/IHiddenToggleControl.h"
#include "controls/IKnobMultiControl.h"
#include "controls/ISwitchControl.h"
#include "graphics/IBitmapCache.h"
#include "graphics/IGraphicsWindow.h"

#include <gtest/gtest.h>

#include <typeinfo>
#include <vector>

extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback hostCallback);

namespace
{

constexpr IRegion kFace(0, 0, PlugExample::kEditorWidth, PlugExample::kEditorHeight);
constexpr IRegion kLedRect(91, 15, 109, 33);
constexpr IRegion kFootswitchRect(80, 172, 120, 212);
constexpr IRegion kLevelRect(18, 86, 83, 151);
constexpr IRegion kAttackRect(115, 86, 180, 151);
constexpr IRegion kAboutRect(5, 156, 186, 306);
constexpr int kLed = 1;
constexpr int kCabinetSwitch = 2;
constexpr int kToggle = 3;
constexpr int kContact = 4;
constexpr int kLevelKnob = 5;
constexpr int kAbout = 7;

const IMouseKeys kLeft{true, false, false, false, false};
const IMouseKeys kRight{false, true, false, false, false};
const IMouseKeys kShiftLeft{true, false, true, false, false};

// One instance made by the entry point and opened, as a host does before it
// shows the editor; the face has been painted, as the opening window paints
// it, and the checks after it have settled (values taken over are painted in
// two successive checks).
struct Pedal
{
    Pedal() : e(VSTPluginMain(&FakeHost::Callback)), fx(PlugOf(e)), face(FaceOf(fx))
    {
        Call(effOpen);
        face->RedrawRegion(kFace);
        for (int i = 0; i < 4 && Tick(); ++i)
        {
        }
        host.calls.clear();
    }
    ~Pedal() { Call(effClose); }
    Pedal(const Pedal&) = delete;
    Pedal& operator=(const Pedal&) = delete;

    static PlugExample* PlugOf(AEffect* effect)
    {
        return static_cast<PlugExample*>(IEffectVST::FromAEffect(effect));
    }
    static IGraphicsWindow* FaceOf(PlugExample* plug)
    {
        return plug != nullptr ? dynamic_cast<IGraphicsWindow*>(plug->Editor()) : nullptr;
    }
    VstIntPtr Call(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                   float opt = 0.0f)
    {
        return e->dispatcher(e, opcode, index, value, ptr, opt);
    }
    // True when something was repainted.
    bool Tick()
    {
        IRegion dirty;
        if (!face->CollectDirtyRegion(dirty))
        {
            return false;
        }
        face->RedrawRegion(dirty);
        return true;
    }
    // Press, check, release, check: a click as slow as a foot.
    void Click(int x, int y, const IMouseKeys& keys = kLeft)
    {
        face->MousePressed(x, y, keys);
        Tick();
        face->MouseReleased(x, y, keys);
        Tick();
    }
    double Control(int index) const { return face->GetControl(index)->Value(); }
    double Param(int index) const { return fx->GetParam(index)->GetNormalized(); }
    // The host callbacks of one kind, as (index, value) pairs.
    std::vector<HostCall> Calls(VstInt32 opcode) const
    {
        std::vector<HostCall> out;
        for (const HostCall& c : host.calls)
        {
            if (c.opcode == opcode)
            {
                out.push_back(c);
            }
        }
        return out;
    }
    // The back buffer's pixels inside area, row by row.
    std::vector<RasterPixel> Pixels(const IRegion& area) const
    {
        std::vector<RasterPixel> out;
        const ScreenBitmap* b = face->BackBuffer();
        for (int y = area.top; y < area.bottom; ++y)
        {
            for (int x = area.left; x < area.right; ++x)
            {
                out.push_back(b->Pixels()[static_cast<size_t>(y) * b->RowSpan() + x] & 0xFFFFFFu);
            }
        }
        return out;
    }

    FakeHost host;
    AEffect* e;
    PlugExample* fx;
    IGraphicsWindow* face;
};

// The strip a bitmap-drawing control paints from, or null.
const IBitmapFrames* BitmapOf(IControl* c)
{
    if (auto* knob = dynamic_cast<IKnobMultiControl*>(c))
    {
        return &knob->Bitmap();
    }
    if (auto* b = dynamic_cast<IBitmapControl*>(c))
    {
        return &b->Bitmap();
    }
    return nullptr;
}

// Pixel (x, y) of a bitmap's colour channels.
RasterPixel BitmapPixel(const IBitmapFrames& bitmap, int x, int y)
{
    const RasterBitmap* b = bitmap.handle;
    const int row = b->IsBottomUp() ? b->PixelHeight() - 1 - y : y;
    return b->Pixels()[static_cast<size_t>(row) * b->RowSpan() + x] & 0xFFFFFFu;
}

} // namespace

TEST(EditorFace, ControlsInDrawingOrder)
{
    Pedal p;
    ASSERT_NE(p.face, nullptr);
    EXPECT_EQ(p.face->Width(), 213);
    EXPECT_EQ(p.face->Height(), 326);
    EXPECT_EQ(p.face->FrameRate(), 24);
    EXPECT_EQ(p.fx->LedIndex(), 1);
#ifdef _WIN32
    EXPECT_EQ(p.e->flags & effFlagsHasEditor, effFlagsHasEditor);
#else
    // No window system: the face exists, but no host is offered it.
    EXPECT_EQ(p.e->flags & effFlagsHasEditor, 0);
    EXPECT_EQ(p.Call(effEditOpen, 0, 0, &p), 0);
#endif

    struct Row
    {
        const std::type_info& type;
        IRegion rect;
        int param;
        int blend;
        int bitmapWidth;
        int bitmapHeight;
        int frames;
    };
    const Row rows[] = {
        {typeid(IBitmapControl), {0, 0, 213, 333}, -1, IBlend::kOpaque, 213, 333, 1},
        {typeid(IBitmapControl), kLedRect, -1, IBlend::kNormal, 18, 36, 2},
        {typeid(ISwitchControl), {80, 61, 120, 101}, 3, IBlend::kNormal, 40, 80, 2},
        {typeid(IHiddenToggleControl), {80, 172, 110, 202}, 2, -1, 0, 0, 0},
        {typeid(IContactControlNoDblClick), kFootswitchRect, -1, IBlend::kNormal, 40, 80, 2},
        {typeid(IKnobMultiControl), kLevelRect, 0, IBlend::kNormal, 65, 4225, 65},
        {typeid(IKnobMultiControl), kAttackRect, 1, IBlend::kNormal, 65, 4225, 65},
        {typeid(IBitmapOverlayControl), kAboutRect, -1, IBlend::kNormal, 181, 150, 1},
    };
    ASSERT_EQ(p.face->NControls(), 8);
    for (int i = 0; i < 8; ++i)
    {
        const Row& want = rows[i];
        IControl* c = p.face->GetControl(i);
        EXPECT_EQ(typeid(*c), want.type) << i;
        EXPECT_EQ(c->Rect(), want.rect) << i;
        EXPECT_EQ(c->ParamIndex(), want.param) << i;
        EXPECT_EQ(c->IsHidden(), i == kToggle) << i;
        if (want.blend >= 0)
        {
            EXPECT_EQ(c->Blend().method, want.blend) << i;
            EXPECT_EQ(c->Blend().weight, 1.0f) << i;
        }
        if (want.frames == 0)
        {
            continue;
        }
        if (auto* knob = dynamic_cast<IKnobMultiControl*>(c))
        {
            EXPECT_EQ(knob->Direction(), 0);
            EXPECT_EQ(knob->Gearing(), 4.0);
        }
        const IBitmapFrames* bitmap = BitmapOf(c);
        ASSERT_NE(bitmap, nullptr) << i;
        ASSERT_NE(bitmap->handle, nullptr) << i;
        EXPECT_EQ(bitmap->width, want.bitmapWidth) << i;
        EXPECT_EQ(bitmap->height, want.bitmapHeight) << i;
        EXPECT_EQ(bitmap->frameCount, want.frames) << i;
    }
    EXPECT_TRUE(p.face->GetControl(kContact)->DoubleClickAsPress());
    EXPECT_EQ(p.fx->Footswitch()->Contact(), p.face->GetControl(kContact));
    EXPECT_EQ(p.fx->Footswitch()->Toggle(), p.face->GetControl(kToggle));
    EXPECT_EQ(static_cast<IBitmapOverlayControl*>(p.face->GetControl(kAbout))->OverlayTargetRect(),
              IRegion(10, 35, 80, 55));

    // Starting values: the parameters' own, and the LED lit for "On".
    const double start[8] = {0.0, 1.0, 1.0, 1.0, 0.0, 0.5, 0.5, 0.0};
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ(p.Control(i), start[i]) << i;
    }
}

TEST(EditorFace, ImagesDecodeOncePerCache)
{
    IBitmapCache cache;
    FakeHost host;
    PlugExample first(&FakeHost::Callback, &cache);
    EXPECT_EQ(cache.Count(), 6);
    PlugExample second(&FakeHost::Callback, &cache);
    EXPECT_EQ(cache.Count(), 6);
    // Both faces paint from the same six decoded pictures.
    for (int i : {0, kLed, kCabinetSwitch, kContact, kLevelKnob, kAbout})
    {
        const IBitmapFrames* a = BitmapOf(first.Editor()->GetControl(i));
        const IBitmapFrames* b = BitmapOf(second.Editor()->GetControl(i));
        ASSERT_TRUE(a != nullptr && b != nullptr) << i;
        EXPECT_NE(a->handle, nullptr) << i;
        EXPECT_EQ(a->handle, b->handle) << i;
    }
    EXPECT_EQ(cache.Find(102), BitmapOf(first.Editor()->GetControl(0))->handle);
}

TEST(EditorFace, HitsOfTheFaceAndTheOpenPanel)
{
    Pedal p;
    struct Hit
    {
        int x;
        int y;
        int index;
    };
    // The toggle lies hidden under the contact and is never hit; the closed
    // panel is hit only on the badge.
    const Hit closed[] = {{85, 180, kContact},
                          {100, 190, kContact},
                          {80, 172, kContact},
                          {119, 211, kContact},
                          {120, 180, 0},
                          {20, 40, kAbout},
                          {79, 54, kAbout},
                          {80, 55, 0},
                          {50, 120, kLevelKnob},
                          {150, 120, 6},
                          {100, 80, kCabinetSwitch},
                          {100, 20, kLed},
                          {5, 320, 0},
                          {212, 325, 0}};
    for (const Hit& h : closed)
    {
        EXPECT_EQ(p.face->FindControlAt(h.x, h.y), h.index) << h.x << "," << h.y;
    }
    p.Click(20, 40);
    EXPECT_EQ(p.Control(kAbout), 1.0);
    const Hit open[] = {{85, 180, kAbout},  {100, 190, kAbout},    {5, 156, kAbout},
                        {185, 305, kAbout}, {50, 120, kLevelKnob}, {186, 200, 0}};
    for (const Hit& h : open)
    {
        EXPECT_EQ(p.face->FindControlAt(h.x, h.y), h.index) << h.x << "," << h.y;
    }
}

TEST(EditorFace, FootswitchFlipsEffectAndTheLedFollows)
{
    Pedal p;
    const std::vector<RasterPixel> lit = p.Pixels(kLedRect);
    const std::vector<RasterPixel> released = p.Pixels(kFootswitchRect);
    // An instance the host never opened shows the LED dark.
    FakeHost other;
    PlugExample unopened(&FakeHost::Callback);
    auto* unopenedFace = static_cast<IGraphicsWindow*>(unopened.Editor());
    unopenedFace->RedrawRegion(kFace);
    FakeHost::Current() = &p.host;
    std::vector<RasterPixel> dark;
    for (int y = kLedRect.top; y < kLedRect.bottom; ++y)
    {
        for (int x = kLedRect.left; x < kLedRect.right; ++x)
        {
            const ScreenBitmap* b = unopenedFace->BackBuffer();
            dark.push_back(b->Pixels()[static_cast<size_t>(y) * b->RowSpan() + x] & 0xFFFFFFu);
        }
    }
    ASSERT_NE(dark, lit);

    // Press and hold: flipped once at the check, the LED at the one after.
    p.face->MousePressed(85, 180, kLeft);
    p.Tick();
    EXPECT_EQ(p.Param(PlugExample::kEffect), 0.0);
    EXPECT_FALSE(p.fx->EffectOn());
    EXPECT_NE(p.Pixels(kFootswitchRect), released);
    EXPECT_EQ(p.Pixels(kLedRect), lit);
    p.Tick();
    EXPECT_EQ(p.Control(kLed), 0.0);
    EXPECT_EQ(p.Pixels(kLedRect), dark);
    std::vector<HostCall> automated = p.Calls(audioMasterAutomate);
    ASSERT_EQ(automated.size(), 1u);
    EXPECT_EQ(automated[0].index, PlugExample::kEffect);
    EXPECT_EQ(automated[0].opt, 0.0f);
    // The footswitch has no parameter of its own: no edit gesture.
    EXPECT_TRUE(p.Calls(audioMasterBeginEdit).empty());

    // Release changes nothing; the pedal now passes the dry sum.
    p.face->MouseReleased(85, 180, kLeft);
    p.Tick();
    p.Tick();
    EXPECT_EQ(p.Param(PlugExample::kEffect), 0.0);
    EXPECT_EQ(p.Pixels(kFootswitchRect), released);
    float in0[4] = {0.1f, -0.2f, 0.3f, 0.25f};
    float in1[4] = {0.05f, 0.1f, -0.4f, 0.5f};
    float out0[4] = {};
    float out1[4] = {};
    float* ins[2] = {in0, in1};
    float* outs[2] = {out0, out1};
    p.Call(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    p.Call(effSetBlockSize, 0, 4);
    p.Call(effMainsChanged, 0, 1);
    p.e->processReplacing(p.e, ins, outs, 4);
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(out0[i], in1[i] + in0[i]) << i;
        EXPECT_EQ(out1[i], in1[i] + in0[i]) << i;
    }

    // Pressed again: on, and lit again.
    p.Click(85, 180);
    p.Tick();
    EXPECT_EQ(p.Param(PlugExample::kEffect), 1.0);
    EXPECT_TRUE(p.fx->EffectOn());
    EXPECT_EQ(p.Pixels(kLedRect), lit);
    EXPECT_EQ(p.Calls(audioMasterAutomate).size(), 2u);
}

TEST(EditorFace, FootswitchGesturesThatFlipTwiceOrNever)
{
    struct Case
    {
        const char* what;
        void (*gesture)(Pedal&);
        std::vector<float> automated;
    };
    const Case cases[] = {
        {"double click: a second press",
         [](Pedal& p)
         {
             p.face->MousePressed(85, 180, kLeft);
             p.Tick();
             p.face->MouseReleased(85, 180, kLeft);
             p.Tick();
             EXPECT_TRUE(p.face->MouseDoubleClicked(85, 180, kLeft));
             p.Tick();
             p.face->MouseReleased(85, 180, kLeft);
             p.Tick();
         },
         {0.0f, 1.0f}},
        {"right press", [](Pedal& p) { p.Click(85, 180, kRight); }, {}},
        {"press and release between two checks",
         [](Pedal& p)
         {
             p.face->MousePressed(85, 180, kLeft);
             p.face->MouseReleased(85, 180, kLeft);
             p.Tick();
         },
         {}},
        {"the host switched it off first: the press turns it on",
         [](Pedal& p)
         {
             p.e->setParameter(p.e, PlugExample::kEffect, 0.0f);
             p.Tick();
             EXPECT_EQ(p.Control(kLed), 0.0);
             p.Click(85, 180);
         },
         {1.0f}},
        {"a press on the open about panel closes it",
         [](Pedal& p)
         {
             p.Click(20, 40);
             ASSERT_EQ(p.Control(kAbout), 1.0);
             p.Click(100, 190);
             EXPECT_EQ(p.Control(kAbout), 0.0);
             EXPECT_EQ(p.Control(kContact), 0.0);
             EXPECT_EQ(p.face->FindControlAt(100, 190), kContact);
         },
         {}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        Pedal p;
        c.gesture(p);
        std::vector<float> automated;
        for (const HostCall& call : p.Calls(audioMasterAutomate))
        {
            EXPECT_EQ(call.index, PlugExample::kEffect);
            automated.push_back(call.opt);
        }
        EXPECT_EQ(automated, c.automated);
        const double effect = c.automated.empty() ? p.Param(PlugExample::kEffect)
                                                  : static_cast<double>(c.automated.back());
        EXPECT_EQ(p.Param(PlugExample::kEffect), effect);
        EXPECT_EQ(p.fx->EffectOn(), effect == 1.0);
        p.Tick();
        EXPECT_EQ(p.Control(kLed), effect);
        EXPECT_EQ(p.Control(kToggle), effect);
    }
}

TEST(EditorFace, KnobDragsAndTheCabinetSwitchReachTheHost)
{
    Pedal p;
    // 10 pixels up on Level: a 65-pixel knob with gearing 4.
    p.face->MousePressed(50, 118, kLeft);
    p.face->MouseDragged(50, 108, kLeft);
    p.face->MouseReleased(50, 108, kLeft);
    const double level = 0.5 + 10.0 / 65.0 / 4.0;
    EXPECT_DOUBLE_EQ(p.Param(PlugExample::kLevel), level);
    EXPECT_DOUBLE_EQ(p.fx->OutputGain(), level * 4.0);
    std::vector<VstInt32> order;
    for (const HostCall& c : p.host.calls)
    {
        if (c.opcode == audioMasterBeginEdit || c.opcode == audioMasterAutomate ||
            c.opcode == audioMasterEndEdit)
        {
            EXPECT_EQ(c.index, PlugExample::kLevel);
            order.push_back(c.opcode);
        }
    }
    EXPECT_EQ(order, (std::vector<VstInt32>{audioMasterBeginEdit, audioMasterAutomate,
                                            audioMasterEndEdit}));
    EXPECT_FLOAT_EQ(p.Calls(audioMasterAutomate)[0].opt, static_cast<float>(level));

    // The knob shows the frame for its value: the same the host's value
    // shows on a second pedal.
    p.Tick();
    Pedal q;
    q.e->setParameter(q.e, PlugExample::kLevel, static_cast<float>(level));
    q.Tick();
    EXPECT_EQ(p.Pixels(kLevelRect), q.Pixels(kLevelRect));
    EXPECT_NE(p.Pixels(kLevelRect), p.Pixels(kAttackRect));
    FakeHost::Current() = &p.host;

    // With shift, ten times as far: ten drags of 10 pixels end at 1.
    p.host.calls.clear();
    p.face->MousePressed(150, 118, kShiftLeft);
    int y = 118;
    for (int i = 0; i < 10; ++i)
    {
        y -= 10;
        p.face->MouseDragged(150, y, kShiftLeft);
        if (i == 0)
        {
            EXPECT_NEAR(p.Param(PlugExample::kAttack), 0.5 + 100.0 / 65.0 / 4.0, 1e-12);
        }
    }
    p.face->MouseReleased(150, y, kShiftLeft);
    EXPECT_EQ(p.Param(PlugExample::kAttack), 1.0);
    EXPECT_EQ(p.Calls(audioMasterAutomate).back().opt, 1.0f);
    EXPECT_EQ(p.Calls(audioMasterBeginEdit).size(), 1u);
    EXPECT_EQ(p.Calls(audioMasterEndEdit).size(), 1u);

    // The cabinet switch alternates "Cabinet".
    for (double want : {0.0, 1.0, 0.0})
    {
        p.Click(100, 80);
        EXPECT_EQ(p.Param(PlugExample::kCabinet), want);
        EXPECT_EQ(p.fx->CabinetOn(), want == 1.0);
    }
}

TEST(EditorFace, HostChangesMoveTheControlsAtTheNextCheck)
{
    Pedal p;
    p.e->setParameter(p.e, PlugExample::kAttack, 0.8f);
    EXPECT_EQ(p.Control(6), 0.5); // handed over, not yet taken
    p.Tick();
    EXPECT_EQ(p.Control(6), static_cast<double>(0.8f));

    // A program change stores Level 0.9 into the program left and loads
    // program 3's 0.5.
    p.e->setParameter(p.e, PlugExample::kLevel, 0.9f);
    p.Tick();
    const std::vector<RasterPixel> at09 = p.Pixels(kLevelRect);
    p.Call(effSetProgram, 0, 3);
    EXPECT_EQ(p.Control(kLevelKnob), static_cast<double>(0.9f));
    p.Tick();
    EXPECT_EQ(p.Control(kLevelKnob), 0.5);
    EXPECT_EQ(p.Control(6), 0.5);
    EXPECT_NE(p.Pixels(kLevelRect), at09);
}

TEST(EditorFace, DefaultFaceRendersWithinTheEditor)
{
    Pedal p;
    const ScreenBitmap* buffer = p.face->BackBuffer();
    ASSERT_NE(buffer, nullptr);
    // The background is 333 rows high; rows 326 to 332 are never visible.
    EXPECT_EQ(buffer->PixelWidth(), 213);
    EXPECT_EQ(buffer->PixelHeight(), 326);
    const IBitmapFrames& background = static_cast<IBitmapControl*>(p.face->GetControl(0))->Bitmap();
    // Outside every control the face is the background picture itself.
    for (int y : {0, 100, 325})
    {
        for (int x : {0, 3, 200, 212})
        {
            EXPECT_EQ(p.Pixels(IRegion(x, y, x + 1, y + 1))[0], BitmapPixel(background, x, y))
                << x << "," << y;
        }
    }
    // Opened, the about panel covers its rectangle with its opaque picture.
    p.Click(20, 40);
    const IBitmapFrames& about = static_cast<IBitmapControl*>(p.face->GetControl(kAbout))->Bitmap();
    const std::vector<RasterPixel> shown = p.Pixels(kAboutRect);
    size_t wrong = 0;
    for (int y = 0; y < 150; ++y)
    {
        for (int x = 0; x < 181; ++x)
        {
            wrong += shown[static_cast<size_t>(y) * 181 + x] != BitmapPixel(about, x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(wrong, 0u);

    // The default face as a host shows it on opening, for comparison with a
    // screenshot of the Windows editor.
    Pedal fresh;
    fresh.face->RedrawRegion(kFace);
    EXPECT_TRUE(WriteFacePng("editor-native.png", *fresh.face->BackBuffer()));
}
