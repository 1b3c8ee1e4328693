#include "FakeEditor.h"
#include "TestEffect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

TEST(IEffectBase, IdentifyHostFollowsTableOrderIgnoringCase)
{
    const struct
    {
        const char* product;
        int code;
    } cases[] = {
        {"REAPER", 1},
        {"Ableton Live 11", 9},
        {"Cubase live", 3},
        {"Nuendo", 4},
        {"SONAR Cakewalk", 5},
        {"Samplitude Pro", 8},
        {"Fruity Wrapper", 7},
        {"Melodyne", 12},
        {"VstManLib", 13},
        {"AULab", 14},
        {"Forte", 15},
        {"Chainer", 16},
        {"Adobe Audition", 17},
        {"Orion", 18},
        {"SAWStudio", 20},
        {"Logic", 21},
        {"Digital Performer", 22},
        {"Bitwig Studio", 0},
        {"", 0},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(IEffectBase::IdentifyHost(c.product), c.code) << c.product;
    }
    EXPECT_EQ(IEffectBase::IdentifyHost(nullptr), 0);
}

TEST(IEffectBase, SetHostStoresCodeAndVersion)
{
    TestBaseEffect effect(TestBaseEffect::Bare());
    EXPECT_EQ(effect.HostCode(), -1);
    EXPECT_EQ(effect.QueryHostIdentity(), -1);
    effect.SetHost("reaper", 2 * 65536 + 5 * 256 + 1);
    EXPECT_EQ(effect.HostCode(), 1);
    EXPECT_EQ(effect.QueryHostIdentity(), 1);
    EXPECT_EQ(effect.HostVersion(), 0x20501);
}

TEST(IEffectBase, ConstructionSetsIdentityAndEmptyPresets)
{
    TestBaseEffect effect(TestBaseEffect::Bare());
    EXPECT_STREQ(effect.EffectName(), "Vorn-Kettle[Ge]");
    EXPECT_STREQ(effect.ProductName(), "");
    EXPECT_STREQ(effect.VendorName(), "Quillmark");
    EXPECT_EQ(effect.VersionNumber(false), 0x20100);
    EXPECT_EQ(effect.VersionNumber(true), 20100);
    EXPECT_EQ(effect.SampleRate(), 44100.0);
    EXPECT_EQ(effect.BlockSize(), 0);
    EXPECT_EQ(effect.NParams(), 4);
    ASSERT_EQ(effect.NPresets(), 16);
    EXPECT_STREQ(effect.PresetName(0), "- 1 -");
    EXPECT_STREQ(effect.PresetName(15), "- 16 -");
    EXPECT_FALSE(effect.GetPreset(0)->initialised);
    EXPECT_EQ(effect.GetParam(4), nullptr);
    EXPECT_EQ(effect.GetParam(-1), nullptr);

    const std::string longName(300, 'q');
    IEffectBase bounded(0, nullptr, 0, longName.c_str(), nullptr, longName.c_str(), 0x0A0B0C, 0, 0,
                        0, false, false, false);
    EXPECT_EQ(std::strlen(bounded.EffectName()), 127u);
    EXPECT_STREQ(bounded.ProductName(), "");
    EXPECT_EQ(bounded.VersionNumber(true), 10 * 10000 + 11 * 100 + 12);
    IEffectBase negative(-3, nullptr, -2, "", "", "", 0, 0, 0, 0, false, false, false);
    EXPECT_EQ(negative.NParams(), 0);
    EXPECT_EQ(negative.NPresets(), 0);
}

TEST(IEffectBase, HostPathPushesToEditorThenStoresThenNotifies)
{
    TestBaseEffect effect(TestBaseEffect::Bare());
    effect.InitPedalParameters();
    auto* editor = new FakeEditor(&effect);
    effect.AttachEditor(editor);
    editor->pushes.clear();

    effect.SetParameterFromHost(2, 0.3);
    ASSERT_EQ(editor->pushes.size(), 1u);
    EXPECT_EQ(editor->pushes[0].index, 2);
    EXPECT_EQ(editor->pushes[0].value, 0.3); // the control takes x unchanged
    EXPECT_EQ(effect.GetParam(2)->Value(), 0.0);
    EXPECT_EQ(effect.changes, std::vector<int>{2});
    EXPECT_TRUE(effect.automated.empty());
    EXPECT_FLOAT_EQ(static_cast<float>(effect.GetParameterForHost(2)), 0.0f);

    // Out-of-range indexes and NaN change nothing and call no handler.
    effect.changes.clear();
    effect.SetParameterFromHost(-1, 0.5);
    effect.SetParameterFromHost(4, 0.5);
    effect.SetParameterFromHost(0, std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(effect.changes.empty());
    EXPECT_EQ(editor->pushes.size(), 1u);
    EXPECT_EQ(effect.GetParam(0)->Value(), 0.5);
    EXPECT_EQ(effect.GetParameterForHost(-1), 0.0);
    EXPECT_EQ(effect.GetParameterForHost(4), 0.0);
}

TEST(IEffectBase, EditorEditReportsTheUnroundedValue)
{
    TestBaseEffect effect(TestBaseEffect::Bare());
    effect.InitPedalParameters();
    effect.SetParameterFromGUI(3, 0.3);
    EXPECT_EQ(effect.GetParam(3)->Value(), 0.0);
    ASSERT_EQ(effect.automated.size(), 1u);
    EXPECT_EQ(effect.automated[0].index, 3);
    EXPECT_EQ(effect.automated[0].value, 0.3);
    EXPECT_EQ(effect.changes, std::vector<int>{3});
    effect.SetParameterFromGUI(9, 0.3);
    EXPECT_EQ(effect.automated.size(), 1u);
}

TEST(IEffectBase, AttachEditorPushesNormalisedValuesAndOwnsTheEditor)
{
    bool destroyed = false;
    {
        TestBaseEffect effect(TestBaseEffect::Bare());
        effect.InitPedalParameters();
        effect.GetParam(0)->SetValue(0.25);
        effect.AttachEditor(nullptr);
        EXPECT_EQ(effect.Editor(), nullptr);
        auto* editor = new FakeEditor(&effect, 213, 326, &destroyed);
        effect.AttachEditor(editor);
        EXPECT_EQ(effect.Editor(), editor);
        EXPECT_EQ(editor->backBuffers, 1);
        ASSERT_EQ(editor->pushes.size(), 4u);
        EXPECT_EQ(editor->pushes[0].value, 0.25);
        EXPECT_EQ(editor->pushes[3].index, 3);

        // Real values, normalised by the editor on the way to its controls.
        effect.GetParam(1)->SetValue(0.75);
        editor->pushes.clear();
        effect.PushParamsToEditor();
        ASSERT_EQ(editor->pushes.size(), 4u);
        EXPECT_EQ(editor->pushes[1].value, effect.GetParam(1)->ToNormalized(0.75));
        EXPECT_EQ(editor->pushes[2].value, 1.0);

        // A replaced editor is destroyed rather than leaked.
        bool firstDestroyed = false;
        TestBaseEffect other(TestBaseEffect::Bare());
        other.AttachEditor(new FakeEditor(&other, 213, 326, &firstDestroyed));
        other.AttachEditor(new FakeEditor(&other));
        EXPECT_TRUE(firstDestroyed);
        EXPECT_FALSE(destroyed);
    }
    EXPECT_TRUE(destroyed);
}

TEST(IEffectBase, NotifyAllParametersCallsEveryHandlerInOrder)
{
    TestBaseEffect effect(TestBaseEffect::Bare());
    effect.NotifyAllParameters();
    EXPECT_EQ(effect.changes, (std::vector<int>{0, 1, 2, 3}));
}
