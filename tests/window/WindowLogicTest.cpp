// The editor window's logic against an in-memory window system: messages in,
// core calls and system calls out.
#include "RecordingWindowPlatform.h"
#include "TestEffect.h"

#include "IParameter.h"
#include "controls/IControl.h"
#include "graphics/IGraphicsWindow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace
{
using OS = IWindowPlatform;

// A control that writes every event it receives to a shared log.
class LoggingControl : public IControl
{
public:
    LoggingControl(IEffectBase* owner, const IRegion& r, int32_t param, std::vector<std::string>& l,
                   const char* name)
        : IControl(owner, r, param), log(l), tag(name)
    {
        SetPromptDisabled(false);
    }
    void HandleMouseDown(int32_t x, int32_t y, const IMouseKeys& keys) override
    {
        log.push_back(tag + " down " + Where(x, y) + Keys(keys));
        IControl::HandleMouseDown(x, y, keys);
    }
    void HandleMouseUp(int32_t x, int32_t y, const IMouseKeys& keys) override
    {
        log.push_back(tag + " up " + Where(x, y) + Keys(keys));
    }
    void HandleMouseDrag(int32_t x, int32_t y, int32_t dx, int32_t dy, const IMouseKeys&) override
    {
        log.push_back(tag + " drag " + Where(x, y) + " by " + Where(dx, dy));
    }
    void HandleDoubleClick(int32_t x, int32_t y, const IMouseKeys&) override
    {
        log.push_back(tag + " double " + Where(x, y));
    }
    void HandleWheel(int32_t x, int32_t y, const IMouseKeys&, int32_t notches) override
    {
        log.push_back(tag + " wheel " + Where(x, y) + " notches " + std::to_string(notches));
    }
    bool HandleKey(int32_t x, int32_t y, int32_t key) override
    {
        log.push_back(tag + " key " + std::to_string(key) + " at " + Where(x, y));
        return true;
    }
    bool Paint(IGraphicsCore*) override
    {
        log.push_back(tag + " paint");
        return true;
    }

private:
    static std::string Where(int32_t x, int32_t y)
    {
        return std::to_string(x) + "," + std::to_string(y);
    }
    static std::string Keys(const IMouseKeys& k)
    {
        std::string s;
        s += k.left ? " L" : "";
        s += k.right ? " R" : "";
        s += k.shift ? " S" : "";
        s += k.control ? " C" : "";
        s += k.alt ? " A" : "";
        return s;
    }
    std::vector<std::string>& log;
    std::string tag;
};

// The editor with a device context of its own for text and presentation.
class TestWindow : public IGraphicsWindow
{
public:
    static inline OS::Handle const kBackDc = reinterpret_cast<OS::Handle>(0xBB);
    TestWindow(IEffectBase* plugIn, RecordingWindowPlatform* os, int32_t frameRate = 0)
        : IGraphicsWindow(plugIn, 213, 326, frameRate, os)
    {
    }

protected:
    void* BackBufferContext() override { return kBackDc; }
};

OS::LParam Position(int32_t x, int32_t y)
{
    return static_cast<OS::LParam>((static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) |
                                   static_cast<uint16_t>(x));
}

OS::WParam Wheel(int32_t delta, uint32_t keys = 0)
{
    return (static_cast<OS::WParam>(static_cast<uint16_t>(delta)) << 16) | keys;
}

class WindowLogic : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FakeHost::Current() = &host;
        effect = std::make_unique<TestEffect>(TestEffect::Bare(3));
        effect->GetParam(0)->InitContinuous("Gain", 0.0, -24.0, 24.0, 0.1, "dB");
        effect->GetParam(1)->InitEnumerated("Mode", 1, 2);
        effect->GetParam(1)->AddDisplayText(0, "Off");
        effect->GetParam(1)->AddDisplayText(1, "On");
        effect->GetParam(2)->InitContinuous("Depth", 0.0, -10.0, 10.0, 0.1);
        effect->GetParam(2)->SetNegateDisplay(true);
        editor = std::make_unique<TestWindow>(effect.get(), &os);
        knob = new LoggingControl(effect.get(), IRegion(10, 20, 75, 85), 0, log, "knob");
        small = new LoggingControl(effect.get(), IRegion(0, 0, 20, 10), 2, log, "small");
        toggle = new LoggingControl(effect.get(), IRegion(100, 100, 140, 120), 1, log, "toggle");
        editor->AddControl(knob);
        editor->AddControl(small);
        editor->AddControl(toggle);
        pad = new LoggingControl(effect.get(), IRegion(78, 45, 95, 60), -1, log, "pad");
        editor->AddControl(pad);
        hostWindow = os.AddHostWindow(400, 230, 500, 500, 20, 20);
    }
    void TearDown() override
    {
        editor.reset();
        effect.reset();
        FakeHost::Current() = nullptr;
    }

    void* Open()
    {
        void* w = editor->CreateEditorWindow(hostWindow);
        EXPECT_NE(w, nullptr);
        editorWindow = w;
        // The first paint, as the system asks for it, leaves every control
        // clean.
        Send(OS::kWmPaint);
        log.clear();
        return w;
    }
    intptr_t Send(uint32_t message, OS::WParam wParam = 0, OS::LParam lParam = 0)
    {
        return IGraphicsWindow::EditorProcedure(os, editorWindow, message, wParam, lParam);
    }
    intptr_t SendPopup(uint32_t message, OS::WParam wParam = 0, OS::LParam lParam = 0)
    {
        return IGraphicsWindow::PopupProcedure(os, editor->PromptWindow(), message, wParam, lParam);
    }
    void Tick() { Send(OS::kWmTimer, IGraphicsWindow::kTimerId); }

    FakeHost host;
    RecordingWindowPlatform os;
    std::unique_ptr<TestEffect> effect;
    std::unique_ptr<TestWindow> editor;
    LoggingControl* knob = nullptr;
    LoggingControl* small = nullptr;
    LoggingControl* toggle = nullptr;
    LoggingControl* pad = nullptr;
    std::vector<std::string> log;
    void* hostWindow = nullptr;
    void* editorWindow = nullptr;
};

TEST(WindowTables, TimerPeriodsAndKeyCodes)
{
    EXPECT_EQ(IGraphicsWindow::TimerPeriod(24.0), 41u);
    EXPECT_EQ(IGraphicsWindow::TimerPeriod(60.0), 16u);
    EXPECT_EQ(IGraphicsWindow::TimerPeriod(1000.0), 1u);
    struct
    {
        uint32_t vk;
        int32_t code;
    } keys[] = {{0x20, 0},  {0x26, 1},  {0x28, 2}, {0x25, 3}, {0x27, 4}, {'0', 5},
                {'7', 12},  {'9', 14},  {'A', 15}, {'Q', 31}, {'Z', 40}, {0x74, -1},
                {0x60, -1}, {0x69, -1}, {'/', -1}, {':', -1}, {'@', -1}, {'[', -1}};
    for (const auto& k : keys)
    {
        EXPECT_EQ(IGraphicsWindow::KeyCodeFor(k.vk), k.code) << "virtual key " << k.vk;
    }
}

TEST(WindowTables, DirectoryOfAPath)
{
    EXPECT_EQ(IGraphicsWindow::DirectoryOf("C:\\Hosts\\host.exe"), "C:\\Hosts\\");
    EXPECT_EQ(IGraphicsWindow::DirectoryOf("host.exe"), "");
    EXPECT_EQ(IGraphicsWindow::DirectoryOf("C:\\Hosts\\"), "");
    EXPECT_EQ(IGraphicsWindow::DirectoryOf(""), "");
    EXPECT_EQ(IGraphicsWindow::DirectoryOf("C:/a/b.dll"), "");
}

TEST(WindowHeadless, NoWindowLayerNoWindow)
{
    TestEffect effect(TestEffect::Bare(1));
    IGraphicsWindow editor(&effect, 100, 80, 0, nullptr);
    int parent = 0;
    EXPECT_EQ(editor.CreateEditorWindow(&parent), nullptr);
    EXPECT_FALSE(editor.HasWindow());
    std::string out = "x";
    editor.HostDirectory(out);
    EXPECT_EQ(out, "");
    IColour colour;
    EXPECT_FALSE(editor.AskForColour(colour, "pick"));
    EXPECT_FALSE(editor.RenderText(ITextStyle(), "text", IRegion(0, 0, 10, 10)));
    EXPECT_EQ(editor.DecodeResourceImage(100, "img/x.gif"), nullptr);
#ifndef _WIN32
    EXPECT_EQ(SystemWindowPlatform(), nullptr);
#else
    EXPECT_NE(SystemWindowPlatform(), nullptr);
#endif
}

TEST_F(WindowLogic, OpeningCreatesTheChildWindowAndItsTimer)
{
    void* w = Open();
    const auto& made = os.Get(w);
    EXPECT_EQ(made.className, "IEffectWndClass");
    EXPECT_EQ(made.text, "IEffect");
    EXPECT_EQ(made.style, OS::kWsChild | OS::kWsVisible);
    EXPECT_EQ(made.parent, hostWindow);
    EXPECT_EQ(made.width, 213);
    EXPECT_EQ(made.height, 326);
    EXPECT_EQ(made.x, 0);
    EXPECT_EQ(made.userData, reinterpret_cast<intptr_t>(editor.get()));
    ASSERT_EQ(os.timers.size(), 1u);
    EXPECT_EQ(os.timers[0].id, 2u);
    EXPECT_EQ(os.timers[0].ms, 41u);
    const auto& cls = os.classes.at("IEffectWndClass");
    EXPECT_EQ(cls.style, OS::kCsDblClks);
    EXPECT_EQ(cls.procedure, RecordingWindowPlatform::kEditorProc);
    EXPECT_EQ(os.Count("LoadCursor 32512"), 1);
    // The system's first paint presented the whole editor from the back
    // buffer, every control painted.
    ASSERT_EQ(os.blits.size(), 1u);
    EXPECT_EQ(os.blits[0].destination, RecordingWindowPlatform::kScreenDc);
    EXPECT_EQ(os.blits[0].source, TestWindow::kBackDc);
    EXPECT_EQ(os.blits[0].rect.right, 213);
    EXPECT_EQ(os.blits[0].operation, OS::kSrcCopy);
    EXPECT_FALSE(os.eraseAsked);
    EXPECT_EQ(editor->ParentWindow(), hostWindow);
}

TEST_F(WindowLogic, WindowClassIsSharedAcrossEditorsAndFailureUndoesIt)
{
    const int32_t before = IGraphicsWindow::WindowClassUsers();
    TestWindow second(effect.get(), &os, 60);
    Open();
    ASSERT_NE(second.CreateEditorWindow(hostWindow), nullptr);
    EXPECT_EQ(os.Count("RegisterClass"), 1);
    EXPECT_EQ(os.timers.back().ms, 16u);
    EXPECT_EQ(IGraphicsWindow::WindowClassUsers(), before + 2);
    editor->DestroyEditorWindow();
    EXPECT_EQ(os.Count("UnregisterClass"), 0);
    second.DestroyEditorWindow();
    EXPECT_EQ(os.Count("UnregisterClass"), 1);
    EXPECT_EQ(IGraphicsWindow::WindowClassUsers(), before);
    // Closing twice, or closing what never opened, changes nothing.
    second.DestroyEditorWindow();
    EXPECT_EQ(IGraphicsWindow::WindowClassUsers(), before);

    os.failCreate = true;
    EXPECT_EQ(editor->CreateEditorWindow(hostWindow), nullptr);
    EXPECT_EQ(os.Count("RegisterClass"), 2);
    EXPECT_EQ(os.Count("UnregisterClass"), 2);
    EXPECT_EQ(IGraphicsWindow::WindowClassUsers(), before);
    EXPECT_FALSE(editor->HasWindow());
}

TEST_F(WindowLogic, ReopeningWithoutCloseKeepsPlaceAndSize)
{
    void* first = Open();
    os.Get(first).x = 7;
    os.Get(first).y = 9;
    os.Get(first).width = 300;
    os.Get(first).height = 200;
    void* second = editor->CreateEditorWindow(hostWindow);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_FALSE(os.Alive(first));
    // The host window has a frame of 20 pixels; the place is kept in its
    // client coordinates all the same.
    EXPECT_EQ(os.Get(second).x, 7);
    EXPECT_EQ(os.Get(second).y, 9);
    EXPECT_EQ(os.Get(second).width, 300);
    EXPECT_EQ(os.Get(second).height, 200);
    EXPECT_EQ(editor->NativeWindow(), second);
    EXPECT_EQ(os.Count("RegisterClass"), 2);
    editor->DestroyEditorWindow();
    EXPECT_EQ(os.Count("UnregisterClass"), 2);
}

TEST_F(WindowLogic, MessagesBeforeTheWindowIsOursGoToTheDefault)
{
    // A message that arrives while CreateWindowEx still runs finds the
    // object, but not yet as the owner of this window.
    void* w = Open();
    editor->DestroyEditorWindow();
    os.Get(w).alive = true;
    os.defaultMessages.clear();
    IGraphicsWindow::EditorProcedure(os, w, OS::kWmLButtonDown, OS::kMkLButton, Position(20, 30));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(os.defaultMessages, std::vector<uint32_t>{OS::kWmLButtonDown});
}

TEST_F(WindowLogic, PressDragReleaseWithCaptureAndSignedPositions)
{
    Open();
    os.altDown = true;
    Send(OS::kWmLButtonDown, OS::kMkLButton | OS::kMkShift, Position(20, 30));
    EXPECT_EQ(os.capture, editorWindow);
    // Moves without a button, or without the capture, drag nothing.
    Send(OS::kWmMouseMove, 0, Position(25, 30));
    Send(OS::kWmMouseMove, OS::kMkLButton, Position(20, 20));
    Send(OS::kWmMouseMove, OS::kMkLButton, Position(-5, -3));
    os.altDown = false;
    Send(OS::kWmLButtonUp, OS::kMkControl, Position(-40, 2000));
    EXPECT_EQ(os.capture, nullptr);
    Send(OS::kWmMouseMove, OS::kMkLButton, Position(30, 30));
    const std::vector<std::string> expected = {
        "knob down 20,30 L S A",
        "knob drag 20,20 by 0,-10",
        "knob drag -5,-3 by -25,-23",
        "knob up -40,2000 C",
    };
    EXPECT_EQ(log, expected);
    // The gesture reached the plug-in's host around the drag.
    EXPECT_EQ(host.Count(audioMasterBeginEdit), 1);
    EXPECT_EQ(host.Count(audioMasterEndEdit), 1);
}

TEST_F(WindowLogic, RightPressDoubleClickWheelAndKeys)
{
    Open();
    Send(OS::kWmRButtonDown, OS::kMkRButton, Position(110, 110));
    Send(OS::kWmRButtonUp, 0, Position(110, 110));
    Send(OS::kWmLButtonDblClk, OS::kMkLButton, Position(30, 40));
    // The editor sits at (0, 0) in the host's client area, whose top-left is
    // at screen (420, 250).
    Send(OS::kWmMouseWheel, Wheel(120), Position(500, 300));
    Send(OS::kWmMouseWheel, Wheel(60), Position(500, 300));
    Send(OS::kWmMouseWheel, Wheel(-240, OS::kMkShift), Position(500, 300));
    os.cursor = OS::Point{500, 300};
    Send(OS::kWmKeyDown, '7');
    Send(OS::kWmKeyDown, 'Q');
    Send(OS::kWmKeyDown, 0x74);
    Send(OS::kWmKeyDown, 0x65);
    const std::vector<std::string> expected = {
        "toggle down 110,110 R",     "toggle up 110,110",         "knob double 30,40",
        "pad wheel 80,50 notches 1", "pad wheel 80,50 notches 0", "pad wheel 80,50 notches -2",
        "pad key 12 at 80,50",       "pad key 31 at 80,50",
    };
    EXPECT_EQ(log, expected);
}

TEST_F(WindowLogic, TimerTickInvalidatesTheDirtyRegionAndPaintsAtOnce)
{
    Open();
    os.blits.clear();
    Tick();
    EXPECT_TRUE(os.blits.empty()) << "nothing was dirty";
    knob->MarkDirty(false);
    small->MarkDirty(false);
    Tick();
    ASSERT_EQ(os.invalidated.size(), 1u);
    EXPECT_EQ(os.invalidated[0].left, 0);
    EXPECT_EQ(os.invalidated[0].right, 75);
    EXPECT_EQ(os.invalidated[0].bottom, 85);
    ASSERT_EQ(os.blits.size(), 1u);
    EXPECT_EQ(os.blits[0].rect.right, 75);
    EXPECT_EQ(os.blits[0].from.x, 0);
    const std::vector<std::string> expected = {"knob paint", "small paint"};
    EXPECT_EQ(log, expected);
    EXPECT_FALSE(os.eraseAsked);
    // Ticks of other timers do nothing.
    knob->MarkDirty(false);
    Send(OS::kWmTimer, 7);
    EXPECT_EQ(os.invalidated.size(), 1u);
}

TEST_F(WindowLogic, PaintWithoutControlsStillSettlesTheUpdateArea)
{
    TestWindow empty(effect.get(), &os);
    void* w = empty.CreateEditorWindow(hostWindow);
    ASSERT_NE(w, nullptr);
    IGraphicsWindow::EditorProcedure(os, w, OS::kWmPaint, 0, 0);
    OS::Rect r;
    EXPECT_FALSE(os.GetUpdateRect(w, &r, false));
    EXPECT_TRUE(os.blits.empty() || os.blits.back().destination != w);
}

TEST_F(WindowLogic, TextPopupGeometry)
{
    Open();
    editor->ShowValuePrompt(knob, effect->GetParam(0));
    auto& knobPopup = os.Get(editor->PromptWindow());
    EXPECT_EQ(knobPopup.className, "EDIT");
    EXPECT_EQ(knobPopup.style, 0x50000005u);
    EXPECT_EQ(knobPopup.x, 10);
    EXPECT_EQ(knobPopup.y, 20);
    EXPECT_EQ(knobPopup.width, 65);
    EXPECT_EQ(knobPopup.height, 65);
    EXPECT_EQ(knobPopup.parent, editorWindow);
    EXPECT_EQ(knobPopup.id, 99);
    char shown[32];
    effect->GetParam(0)->FormatDisplay(0.0, false, shown);
    EXPECT_EQ(knobPopup.text, shown);
    EXPECT_EQ(knobPopup.procedure, RecordingWindowPlatform::kPopupProc);
    EXPECT_EQ(knobPopup.userData, reinterpret_cast<intptr_t>(editor.get()));
    ASSERT_EQ(os.fonts.size(), 1u);
    EXPECT_EQ(os.fonts[0].height, 14);
    EXPECT_EQ(os.fonts[0].face, "Arial");
    EXPECT_EQ(knobPopup.font, os.liveFonts.back());
    EXPECT_EQ(os.Count("SetFont redraw"), 0);
    EXPECT_EQ(editor->PromptState(), IGraphicsWindow::kPromptIdle);

    // A second request while one is open is refused.
    void* first = editor->PromptWindow();
    editor->ShowValuePrompt(small, effect->GetParam(2));
    EXPECT_EQ(editor->PromptWindow(), first);

    Send(OS::kWmRButtonDown, OS::kMkRButton, Position(1, 1));
    Tick();
    editor->ShowValuePrompt(small, effect->GetParam(2));
    auto& smallPopup = os.Get(editor->PromptWindow());
    EXPECT_EQ(smallPopup.x, -8);
    EXPECT_EQ(smallPopup.y, -3);
    EXPECT_EQ(smallPopup.width, 36);
    EXPECT_EQ(smallPopup.height, 16);

    editor->ShowValuePrompt(nullptr, effect->GetParam(0));
    editor->ShowValuePrompt(knob, nullptr);
    EXPECT_EQ(os.Count("CreateWindowEx EDIT"), 2);
}

TEST_F(WindowLogic, ListPopupGeometryAndSelection)
{
    Open();
    editor->ShowValuePrompt(toggle, effect->GetParam(1));
    auto& popup = os.Get(editor->PromptWindow());
    EXPECT_EQ(popup.className, "COMBOBOX");
    EXPECT_EQ(popup.style, 0x50000003u);
    EXPECT_EQ(popup.text, "");
    EXPECT_EQ(popup.width, 48);
    EXPECT_EQ(popup.height, 108);
    EXPECT_EQ(popup.x, 120 - 24);
    EXPECT_EQ(popup.y, 110);
    EXPECT_EQ(popup.items, (std::vector<std::string>{"Off", "On"}));
    EXPECT_EQ(popup.selected, 1);
}

TEST_F(WindowLogic, PopupStateMachine)
{
    Open();
    editor->ShowValuePrompt(knob, effect->GetParam(0));
    void* popup = editor->PromptWindow();

    // Focused: presses and ticks do nothing, paints go to the default.
    SendPopup(OS::kWmSetFocus);
    EXPECT_EQ(editor->PromptState(), IGraphicsWindow::kPromptFocused);
    knob->MarkDirty(false);
    Send(OS::kWmLButtonDown, OS::kMkLButton, Position(20, 30));
    Tick();
    os.InvalidateRect(editorWindow, nullptr, false);
    Send(OS::kWmPaint);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(os.invalidated.size() == 1u);
    EXPECT_TRUE(os.lastPaintDefault);

    // Focus lost: idle; the pending redraw then refreshes the text.
    SendPopup(OS::kWmKillFocus);
    EXPECT_EQ(editor->PromptState(), IGraphicsWindow::kPromptIdle);
    os.Get(popup).text = "typed";
    effect->GetParam(0)->SetValue(3.5);
    Tick();
    EXPECT_EQ(editor->PromptState(), IGraphicsWindow::kPromptRefresh);
    EXPECT_EQ(log, std::vector<std::string>{"knob paint"});
    Tick();
    char shown[32];
    effect->GetParam(0)->FormatDisplay(3.5, false, shown);
    EXPECT_EQ(os.Get(popup).text, shown);
    EXPECT_NE(os.Get(popup).text, "typed");
    EXPECT_EQ(editor->PromptState(), IGraphicsWindow::kPromptIdle);
    // Focus and focus loss reached the edit control's own procedure; other
    // keys too, Return did not.
    SendPopup(OS::kWmKeyDown, 'A');
    SendPopup(OS::kWmKeyDown, OS::kVkReturn);
    EXPECT_EQ(editor->PromptState(), IGraphicsWindow::kPromptCommit);
    ASSERT_EQ(os.forwarded.size(), 3u);
    EXPECT_EQ(os.forwarded[0].procedure, RecordingWindowPlatform::kEditProc);
    EXPECT_EQ(os.forwarded[2].message, OS::kWmKeyDown);

    os.Get(popup).text = "12abc";
    log.clear();
    Tick();
    EXPECT_FALSE(os.Alive(popup));
    EXPECT_EQ(os.Get(popup).procedure, RecordingWindowPlatform::kEditProc);
    EXPECT_EQ(editor->PromptWindow(), nullptr);
    EXPECT_EQ(editor->PromptState(), IGraphicsWindow::kPromptIdle);
    EXPECT_TRUE(os.liveFonts.empty());
    EXPECT_DOUBLE_EQ(effect->Value(0), 12.0);
    EXPECT_DOUBLE_EQ(knob->Value(), effect->GetParam(0)->ToNormalized(12.0));
    // A message for a popup that is no longer ours goes to the default.
    os.defaultMessages.clear();
    IGraphicsWindow::PopupProcedure(os, popup, OS::kWmKeyDown, OS::kVkReturn, 0);
    EXPECT_EQ(os.defaultMessages.size(), 1u);
}

TEST_F(WindowLogic, RightPressCancelsTheFocusedOrIdlePopup)
{
    Open();
    for (bool focused : {false, true})
    {
        editor->ShowValuePrompt(knob, effect->GetParam(0));
        void* popup = editor->PromptWindow();
        if (focused)
        {
            SendPopup(OS::kWmSetFocus);
        }
        os.Get(popup).text = "20";
        Send(OS::kWmRButtonDown, OS::kMkRButton, Position(20, 30));
        EXPECT_EQ(editor->PromptState(), IGraphicsWindow::kPromptCancel);
        EXPECT_EQ(os.capture, nullptr);
        Tick();
        EXPECT_FALSE(os.Alive(popup));
        EXPECT_EQ(editor->PromptWindow(), nullptr);
        EXPECT_DOUBLE_EQ(effect->Value(0), 0.0);
    }
    EXPECT_TRUE(log.empty()) << log.front();
}

TEST_F(WindowLogic, CommittedTextsBecomeValues)
{
    Open();
    struct
    {
        LoggingControl* control;
        int param;
        const char* text;
        bool byList;
        double value;
    } cases[] = {
        {knob, 0, "abc", false, 0.0},  {knob, 0, "-7.5 dB", false, -7.5},
        {small, 2, "3", false, -3.0},  {toggle, 1, "Off", true, 0.0},
        {toggle, 1, "On", false, 1.0}, {toggle, 1, "Maybe", false, 0.0},
    };
    for (const auto& c : cases)
    {
        effect->GetParam(c.param)->SetValue(c.param == 1 ? 1.0 : 5.0);
        c.control->SetValue(effect->GetParam(c.param)->GetNormalized());
        editor->ShowValuePrompt(c.control, effect->GetParam(c.param));
        os.Get(editor->PromptWindow()).text = c.text;
        if (c.byList)
        {
            SendPopup(OS::kWmCommand, (static_cast<OS::WParam>(OS::kCbnSelChange) << 16) | 99);
        }
        else
        {
            SendPopup(OS::kWmKeyDown, OS::kVkReturn);
        }
        Tick();
        EXPECT_EQ(editor->PromptWindow(), nullptr);
        EXPECT_DOUBLE_EQ(effect->Value(c.param), c.value) << c.text;
    }
}

TEST_F(WindowLogic, ClosingWithAPopupOpenLetsTheNextOpeningShowOne)
{
    Open();
    editor->ShowValuePrompt(knob, effect->GetParam(0));
    void* popup = editor->PromptWindow();
    editor->DestroyEditorWindow();
    EXPECT_FALSE(os.Alive(popup));
    EXPECT_EQ(editor->PromptWindow(), nullptr);
    EXPECT_TRUE(os.liveFonts.empty());
    Open();
    editor->ShowValuePrompt(knob, effect->GetParam(0));
    EXPECT_NE(editor->PromptWindow(), nullptr);
    EXPECT_EQ(os.Get(editor->PromptWindow()).parent, editorWindow);
    // WM_CLOSE closes it too.
    Send(OS::kWmClose);
    EXPECT_FALSE(editor->HasWindow());
}

TEST_F(WindowLogic, ResizingGrowsEmbeddedParentsOnly)
{
    // host frame > embedded container (a child) > the editor.
    void* container = os.AddHostWindow(0, 0, 233, 346, 0, 0, OS::kWsChild, hostWindow);
    editorWindow = editor->CreateEditorWindow(container);
    ASSERT_NE(editorWindow, nullptr);
    editor->ChangeEditorSize(253, 306);
    EXPECT_EQ(editor->Width(), 253);
    EXPECT_EQ(editor->NControls(), 0);
    EXPECT_EQ(os.Get(editorWindow).width, 253);
    EXPECT_EQ(os.Get(editorWindow).height, 306);
    EXPECT_EQ(os.Get(container).width, 273);
    EXPECT_EQ(os.Get(container).height, 326);
    // The container is embedded too, so its parent grows as well.
    EXPECT_EQ(os.Get(hostWindow).width, 540);
    EXPECT_EQ(os.Get(hostWindow).height, 480);
    EXPECT_EQ(os.Count("SetWindowPos"), 3);
    EXPECT_EQ(os.Count("SetWindowPos IEffectWndClass 253x306 flags 22"), 1);
    ASSERT_FALSE(os.invalidated.empty());
    EXPECT_EQ(os.invalidated.back().right, 213);
    EXPECT_EQ(os.invalidated.back().bottom, 326);

    // An MDI child counts as not embedded: the container grows, its parent
    // no longer.
    os.Get(container).exStyle = OS::kWsExMdiChild;
    os.Get(hostWindow).style = OS::kWsChild;
    editor->ChangeEditorSize(263, 306);
    EXPECT_EQ(os.Get(editorWindow).width, 263);
    EXPECT_EQ(os.Get(container).width, 283);
    EXPECT_EQ(os.Get(hostWindow).width, 540);
}

TEST_F(WindowLogic, DirectoryServices)
{
    os.hostFile = "C:\\Hosts\\host.exe";
    os.moduleFile = "D:\\Plug-ins\\Vorn-Kettle[Ge]_x64.dll";
    editor->SetModuleHandle(reinterpret_cast<void*>(0x7700));
    std::string out = "stale";
    editor->HostDirectory(out);
    EXPECT_EQ(out, "C:\\Hosts\\");
    editor->ModuleDirectory(out);
    EXPECT_EQ(out, "D:\\Plug-ins\\");
    os.hostFile = "host.exe";
    editor->HostDirectory(out);
    EXPECT_EQ(out, "");
    os.hostFile = "C:\\" + std::string(300, 'x') + "\\host.exe";
    editor->HostDirectory(out);
    EXPECT_EQ(out, "") << "a name cut short by the buffer";
    os.hostFile.clear();
    out = "stale";
    editor->HostDirectory(out);
    EXPECT_EQ(out, "");
}

TEST_F(WindowLogic, FileAndColourDialogs)
{
    std::string out = "stale";
    os.chosenFile = "C:\\x.txt";
    editor->AskForFile(out, 0, "C:\\");
    EXPECT_EQ(out, "");
    IColour colour{255, 10, 20, 30};
    EXPECT_FALSE(editor->AskForColour(colour, "Pick"));
    EXPECT_TRUE(os.fileDialogs.empty());
    EXPECT_TRUE(os.colourDialogs.empty());

    Open();
    editor->AskForFile(out, 1, "C:\\Temp");
    EXPECT_EQ(out, "C:\\x.txt");
    editor->AskForFile(out, 0, "");
    ASSERT_EQ(os.fileDialogs.size(), 2u);
    EXPECT_EQ(os.fileDialogKinds, (std::vector<std::string>{"save", "open"}));
    EXPECT_EQ(os.fileDialogs[0].flags, 0x802u);
    EXPECT_EQ(os.fileDialogs[1].flags, 0x1800u);
    EXPECT_STREQ(os.fileDialogs[0].initialDirectory, "C:\\Temp");
    EXPECT_EQ(os.fileDialogs[1].initialDirectory, nullptr);
    EXPECT_EQ(os.fileDialogs[0].maxFile, 255u);
    EXPECT_EQ(os.fileDialogs[0].owner, editorWindow);
    os.chosenFile.clear();
    editor->AskForFile(out, 0, nullptr);
    EXPECT_EQ(out, "");

    EXPECT_FALSE(editor->AskForColour(colour, "Pick"));
    os.colourAnswer = true;
    os.chosenColour = 0xFF0000;
    EXPECT_TRUE(editor->AskForColour(colour, "Pick"));
    ASSERT_EQ(os.colourDialogs.size(), 2u);
    EXPECT_EQ(os.colourDialogs[0].result, 10u | (20u << 8) | (30u << 16));
    EXPECT_EQ(os.colourDialogs[0].flags, 0x193u);
    EXPECT_STREQ(os.colourDialogs[0].prompt, "Pick");
    EXPECT_EQ(colour, (IColour{255, 0, 0, 255}));
    // The custom colours the user edited come back to the next dialog.
    EXPECT_EQ(os.colourDialogs[1].customColours, os.colourDialogs[0].customColours);
    EXPECT_EQ(os.colourDialogs[1].customColours[0], 0x123456u);
}

TEST_F(WindowLogic, WebPage)
{
    EXPECT_FALSE(editor->OpenWebPage("https://example.org", "T", "Go?", "Failed"));
    EXPECT_TRUE(os.calls.empty() || os.Count("MessageBox") == 0);
    Open();
    os.messageBoxAnswer = 7;
    EXPECT_FALSE(editor->OpenWebPage("https://example.org", "T", "Go?", "Failed"));
    EXPECT_EQ(os.Count("InternetGetConnectedState"), 0);
    EXPECT_EQ(os.Count("MessageBox Go? / T 4"), 1);
    os.messageBoxAnswer = OS::kIdYes;
    EXPECT_TRUE(editor->OpenWebPage("https://example.org", "T", "Go?", "Failed"));
    EXPECT_EQ(os.Count("ShellExecute open https://example.org 1"), 1);
    os.online = false;
    EXPECT_FALSE(editor->OpenWebPage("https://example.org", "T", nullptr, "Failed"));
    EXPECT_EQ(os.Count("MessageBox Failed / T 0"), 1);
    os.online = true;
    os.shellResult = 32;
    EXPECT_FALSE(editor->OpenWebPage("https://example.org", "T", nullptr, nullptr));
    EXPECT_EQ(os.Count("MessageBox"), 3);
}

TEST_F(WindowLogic, RenderTextKeepsItsFirstFont)
{
    EXPECT_TRUE(editor->RenderText(ITextStyle(), nullptr, IRegion(0, 0, 10, 10)));
    EXPECT_TRUE(os.fonts.empty());
    ITextStyle style;
    std::strcpy(style.face, "Courier New");
    style.size = 20;
    style.style = 1;
    style.alignment = 1;
    style.orientation = 90;
    style.colour = IColour{255, 1, 2, 3};
    EXPECT_TRUE(editor->RenderText(style, "Level", IRegion(5, 6, 50, 30)));
    ASSERT_EQ(os.fonts.size(), 1u);
    EXPECT_EQ(os.fonts[0].face, "Courier New");
    EXPECT_EQ(os.fonts[0].height, 20);
    EXPECT_EQ(os.fonts[0].escapement, 900);
    EXPECT_EQ(os.fonts[0].orientation, 900);
    EXPECT_EQ(os.fonts[0].weight, 700);
    EXPECT_FALSE(os.fonts[0].italic);
    EXPECT_EQ(os.bkMode, OS::kTransparent);
    EXPECT_EQ(os.textColours, std::vector<OS::ColourRef>{0x030201});

    std::strcpy(style.face, "Arial");
    style.size = 9;
    style.alignment = 2;
    EXPECT_TRUE(editor->RenderText(style, "Attack", IRegion(0, 0, 40, 12)));
    EXPECT_EQ(os.fonts.size(), 1u) << "the first call's font serves every call";
    EXPECT_EQ(os.textColours.size(), 1u) << "same colour, not set again";
    style.colour.a = 128;
    style.alignment = 7;
    EXPECT_TRUE(editor->RenderText(style, "Cab", IRegion(0, 0, 40, 12)));
    EXPECT_EQ(os.textColours.size(), 2u);
    ASSERT_EQ(os.texts.size(), 3u);
    EXPECT_EQ(os.texts[0].dc, TestWindow::kBackDc);
    EXPECT_EQ(os.texts[0].format, OS::kDtNoClip | OS::kDtCenter);
    EXPECT_EQ(os.texts[1].format, OS::kDtNoClip | OS::kDtRight);
    EXPECT_EQ(os.texts[2].format, OS::kDtNoClip);
    EXPECT_EQ(os.texts[0].rect.right, 50);
}
} // namespace
