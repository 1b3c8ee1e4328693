#include "FakeEditor.h"
#include "TestEffect.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <limits>
#include <string>

namespace
{
double DoubleAt(const IByteBuffer& buffer, int pos)
{
    double v = -12345.0;
    EXPECT_EQ(buffer.ReadAt(pos, 8, &v), pos + 8);
    return v;
}

// What the binding does for a chunk handed in by the host.
IByteBuffer ChunkFrom(const void* bytes, int n)
{
    IByteBuffer buffer;
    buffer.ResizeZeroed(n);
    if (n > 0)
    {
        std::memcpy(buffer.Data(), bytes, static_cast<size_t>(n));
    }
    return buffer;
}

// The binding's program switch when chunks are not used.
void SwitchProgram(IEffectBase& effect, int index)
{
    effect.StoreCurrentPreset(nullptr);
    effect.LoadPreset(index);
}
} // namespace

TEST(StateChunk, WrittenChunkIsFortyBytes)
{
    TestBaseEffect effect(TestBaseEffect::Bare());
    effect.InitPedalParameters();
    effect.GetParam(0)->SetValue(0.75);
    IByteBuffer chunk;
    chunk.AppendInt32(99); // leftover bytes are dropped by the header
    ASSERT_TRUE(IEffectBase::WriteChunkHeader(chunk));
    ASSERT_TRUE(effect.WriteState(chunk));
    ASSERT_EQ(chunk.Size(), 40);
    const uint8_t header[8] = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
    EXPECT_EQ(std::memcmp(chunk.Data(), header, 8), 0);
    EXPECT_EQ(DoubleAt(chunk, 8), 0.75);
    EXPECT_EQ(DoubleAt(chunk, 16), 0.5);
    EXPECT_EQ(DoubleAt(chunk, 24), 1.0);
    EXPECT_EQ(DoubleAt(chunk, 32), 1.0);
    // 0.75 as a little-endian IEEE double: 00 .. 00 e8 3f.
    EXPECT_EQ(chunk.Data()[14], 0xe8);
    EXPECT_EQ(chunk.Data()[15], 0x3f);

    int32_t version = -1;
    EXPECT_EQ(IEffectBase::ReadChunkHeader(chunk, &version), 8);
    EXPECT_EQ(version, 0x00010000);

    TestBaseEffect restored(TestBaseEffect::Bare());
    restored.InitPedalParameters();
    EXPECT_EQ(restored.ReadState(chunk, 8), 40);
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(restored.GetParam(i)->Value(), effect.GetParam(i)->Value()) << i;
    }
    EXPECT_EQ(restored.changes, (std::vector<int>{0, 1, 2, 3}));
}

TEST(StateChunk, HeaderlessAndShortChunks)
{
    const double values[4] = {0.1, 0.2, 0.0, 1.0};
    IByteBuffer plain = ChunkFrom(values, 32);
    int32_t version = -1;
    EXPECT_EQ(IEffectBase::ReadChunkHeader(plain, &version), 0);
    EXPECT_EQ(version, 0);
    TestBaseEffect effect(TestBaseEffect::Bare());
    effect.InitPedalParameters();
    EXPECT_EQ(effect.UnserializeParams(plain, 0), 32);
    EXPECT_EQ(effect.GetParam(1)->Value(), 0.2);
    EXPECT_EQ(effect.GetParam(2)->Value(), 0.0);

    const uint8_t magicOnly[7] = {0x74, 0x66, 0x66, 0x70, 0, 0, 1};
    for (int n = 4; n <= 7; ++n)
    {
        version = -1;
        EXPECT_EQ(IEffectBase::ReadChunkHeader(ChunkFrom(magicOnly, n), &version), -1) << n;
        EXPECT_EQ(version, 0);
    }
    EXPECT_EQ(IEffectBase::ReadChunkHeader(ChunkFrom(magicOnly, 3), &version), 0);
    EXPECT_EQ(IEffectBase::ReadChunkHeader(IByteBuffer(), &version), 0);
    EXPECT_EQ(IEffectBase::ReadChunkHeader(IByteBuffer(), nullptr), 0);

    // A header cut short reads nothing, still notifies every parameter, fails.
    effect.changes.clear();
    effect.GetParam(0)->SetValue(0.9);
    EXPECT_EQ(effect.UnserializeParams(ChunkFrom(magicOnly, 6), -1), -1);
    EXPECT_EQ(effect.GetParam(0)->Value(), 0.9);
    EXPECT_EQ(effect.changes, (std::vector<int>{0, 1, 2, 3}));
}

TEST(StateChunk, TwoValuesSetTwoZeroTheThirdAndKeepTheFourth)
{
    TestBaseEffect effect(TestBaseEffect::Bare());
    effect.InitPedalParameters();
    effect.GetParam(2)->InitContinuous("Effect", 1.0, 0.5, 2.0, 0.5);
    effect.GetParam(3)->SetValue(0.0);
    IByteBuffer chunk;
    IEffectBase::WriteChunkHeader(chunk);
    chunk.AppendDouble(0.3);
    chunk.AppendDouble(0.4);
    chunk.AppendInt32(7); // a stray half value is not read
    EXPECT_EQ(effect.ReadState(chunk, IEffectBase::ReadChunkHeader(chunk, nullptr)), -1);
    EXPECT_EQ(effect.GetParam(0)->Value(), 0.3);
    EXPECT_EQ(effect.GetParam(1)->Value(), 0.4);
    EXPECT_EQ(effect.GetParam(2)->Value(), 0.5); // 0.0 clamped into 0.5..2
    EXPECT_EQ(effect.GetParam(3)->Value(), 0.0); // untouched
    EXPECT_EQ(effect.changes, (std::vector<int>{0, 1, 2, 3}));
}

TEST(StateChunk, StoredValuesAreClampedNotRounded)
{
    TestBaseEffect effect(TestBaseEffect::Bare());
    effect.InitPedalParameters();
    const double values[4] = {7.0, -3.0, 0.4, std::numeric_limits<double>::quiet_NaN()};
    EXPECT_EQ(effect.UnserializeParams(ChunkFrom(values, 32), 0), 32);
    EXPECT_EQ(effect.GetParam(0)->Value(), 1.0);
    EXPECT_EQ(effect.GetParam(1)->Value(), 0.0);
    EXPECT_EQ(effect.GetParam(2)->Value(), 0.4); // enumerated, not a whole step
    EXPECT_EQ(effect.GetParam(3)->Value(), 0.0); // NaN never reaches the effect
}

TEST(StateChunk, ReadingNeverLeavesTheBuffer)
{
    TestBaseEffect effect(TestBaseEffect::Bare());
    effect.InitPedalParameters();
    const double values[4] = {0.1, 0.2, 0.0, 1.0};
    const IByteBuffer chunk = ChunkFrom(values, 32);
    for (int start : {-1, -8, INT_MIN, 33, 32, 31, INT_MAX, INT_MAX - 4})
    {
        effect.GetParam(1)->SetValue(0.77);
        EXPECT_EQ(effect.UnserializeParams(chunk, start), -1) << start;
        EXPECT_EQ(effect.GetParam(1)->Value(), 0.77) << start;
    }
    EXPECT_EQ(effect.UnserializeParams(chunk, 24), -1); // one value, then short
    EXPECT_EQ(effect.GetParam(0)->Value(), 1.0);
}

TEST(StateChunk, NoParametersSerialiseToNothing)
{
    TestBaseEffect empty(TestBaseEffect::Bare(0));
    IByteBuffer buffer;
    EXPECT_TRUE(empty.SerializeParamValues(buffer));
    EXPECT_EQ(buffer.Size(), 0);
    EXPECT_EQ(empty.UnserializeParams(buffer, 0), 0);
}

TEST(Presets, DefineFillAndEnsure)
{
    TestBaseEffect effect(TestBaseEffect::Bare());
    effect.InitPedalParameters();
    effect.DefinePreset("Init", 1.0, 0.5, 1, 0);
    effect.FillPresetsFromCurrent("Init", 14);
    effect.FillPresetsFromCurrent(nullptr, 5); // only one slot left
    ASSERT_TRUE(effect.GetPreset(0)->initialised);
    const IByteBuffer& first = effect.GetPreset(0)->state;
    ASSERT_EQ(first.Size(), 32);
    EXPECT_EQ(DoubleAt(first, 0), 1.0);
    EXPECT_EQ(DoubleAt(first, 16), 1.0);
    EXPECT_EQ(DoubleAt(first, 24), 0.0);
    EXPECT_STREQ(effect.PresetName(1), "Init");
    EXPECT_EQ(DoubleAt(effect.GetPreset(14)->state, 0), 0.5);
    EXPECT_STREQ(effect.PresetName(15), "Default");
    EXPECT_STREQ(effect.PresetName(-1), "");
    EXPECT_STREQ(effect.PresetName(16), "");
    effect.DefinePreset("none left", 0.0, 0.0, 0, 0);
    effect.EnsureOnePreset();
    EXPECT_EQ(effect.NPresets(), 16);
    // Defining a preset does not change the current values.
    EXPECT_EQ(effect.GetParam(0)->Value(), 0.5);

    TestBaseEffect bare(TestBaseEffect::Bare(2, "1-1", 0));
    bare.GetParam(0)->SetValue(0.25);
    bare.EnsureOnePreset();
    ASSERT_EQ(bare.NPresets(), 1);
    EXPECT_TRUE(bare.GetPreset(0)->initialised);
    EXPECT_STREQ(bare.PresetName(0), "Default");
    EXPECT_EQ(DoubleAt(bare.GetPreset(0)->state, 0), 0.25);
}

TEST(Presets, LoadingAnUninitialisedSlotCapturesAndNamesIt)
{
    TestBaseEffect effect(TestBaseEffect::Bare(4, "1-1 2-2", 4));
    effect.InitPedalParameters();
    auto* editor = new FakeEditor(&effect);
    effect.AttachEditor(editor);
    editor->pushes.clear();
    char name[32];
    effect.NextUserPresetName(name, sizeof(name));
    EXPECT_STREQ(name, "user preset 1");

    effect.GetParam(0)->SetValue(0.125);
    EXPECT_TRUE(effect.LoadPreset(2));
    EXPECT_EQ(effect.CurrentPreset(), 2);
    EXPECT_TRUE(effect.GetPreset(2)->initialised);
    EXPECT_STREQ(effect.PresetName(2), "user preset 1");
    EXPECT_EQ(DoubleAt(effect.GetPreset(2)->state, 0), 0.125);
    EXPECT_EQ(editor->pushes.size(), 4u);
    EXPECT_TRUE(effect.LoadPreset(0));
    EXPECT_STREQ(effect.PresetName(0), "user preset 2");

    effect.StoreCurrentPreset("my user preset here");
    effect.NextUserPresetName(name, sizeof(name));
    EXPECT_STREQ(name, "user preset 3");      // two names contain the phrase
    effect.StoreCurrentPreset("User Preset"); // case-sensitive
    effect.NextUserPresetName(name, sizeof(name));
    EXPECT_STREQ(name, "user preset 2");

    EXPECT_FALSE(effect.LoadPreset(-1));
    EXPECT_FALSE(effect.LoadPreset(4));
    EXPECT_EQ(effect.CurrentPreset(), 0);
}

TEST(Presets, LoadFailsWithoutParametersOrWithShortData)
{
    TestBaseEffect empty(TestBaseEffect::Bare(0, "1-1", 2));
    empty.FillPresetsFromCurrent("p", 1);
    EXPECT_FALSE(empty.LoadPreset(0)); // nothing read: end position 0
    EXPECT_TRUE(empty.LoadPreset(1));  // uninitialised slot: captured
    EXPECT_EQ(empty.CurrentPreset(), 1);
}

TEST(Presets, SwitchingWithoutChunksKeepsUnsavedEdits)
{
    TestBaseEffect effect(TestBaseEffect::Bare());
    effect.InitPedalParameters();
    effect.DefinePreset("Init", 1.0, 0.5, 1, 1);
    effect.FillPresetsFromCurrent("Init", 15);

    SwitchProgram(effect, 0); // stores the current Level 0.5 over the defined 1.0
    EXPECT_EQ(effect.GetParam(0)->Value(), 0.5);
    effect.GetParam(0)->SetValue(0.9);
    SwitchProgram(effect, 5);
    EXPECT_EQ(effect.CurrentPreset(), 5);
    EXPECT_EQ(effect.GetParam(0)->Value(), 0.5);
    effect.GetParam(1)->SetValue(0.1);
    SwitchProgram(effect, 0);
    EXPECT_EQ(effect.GetParam(0)->Value(), 0.9);
    EXPECT_EQ(effect.GetParam(1)->Value(), 0.5);
    SwitchProgram(effect, 5);
    EXPECT_EQ(effect.GetParam(1)->Value(), 0.1);
}

TEST(Presets, StoreCurrentPresetRenamesOnlyWithAName)
{
    TestBaseEffect effect(TestBaseEffect::Bare(4, "1-1", 2));
    effect.InitPedalParameters();
    effect.FillPresetsFromCurrent("A", 2);
    effect.GetParam(0)->SetValue(0.2);
    effect.StoreCurrentPreset("");
    EXPECT_STREQ(effect.PresetName(0), "A");
    EXPECT_EQ(effect.GetPreset(0)->state.Size(), 32);
    EXPECT_EQ(DoubleAt(effect.GetPreset(0)->state, 0), 0.2);
    const std::string longName(400, 'z');
    effect.StoreCurrentPreset(longName.c_str());
    EXPECT_EQ(std::strlen(effect.PresetName(0)), 255u);
}
