#include "TestEffect.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace
{
struct Parsed
{
    std::vector<IChannelPair> pairs;
    int nIn;
    int nOut;
    std::string report;
};

Parsed Parse(const char* channels)
{
    testing::internal::CaptureStderr();
    TestBaseEffect effect(TestBaseEffect::Bare(0, channels, 0));
    Parsed result{{}, effect.NInputs(), effect.NOutputs(), testing::internal::GetCapturedStderr()};
    for (int i = 0; i < effect.NChannelConfigs(); ++i)
    {
        result.pairs.push_back(effect.ChannelConfig(i));
    }
    return result;
}

std::string Pairs(const Parsed& parsed)
{
    std::string s;
    for (const IChannelPair& p : parsed.pairs)
    {
        s += std::to_string(p.nIn) + "-" + std::to_string(p.nOut) + ";";
    }
    return s;
}

// The binding's constructor connects every channel and sets 1024 frames.
void ConnectAll(IEffectBase& effect, int blockSize = 1024)
{
    effect.ConnectInputChannels(0, effect.NInputs(), true);
    effect.ConnectOutputChannels(0, effect.NOutputs(), true);
    effect.ApplyBlockSize(blockSize);
}

// Outputs ProcessBlock's inputs scaled: out[k] = in[k] * (k + 2); records calls.
class ScalingEffect : public TestBaseEffect
{
public:
    using TestBaseEffect::TestBaseEffect;
    void ProcessBlock(double** inputs, double** outputs, int32_t nFrames) override
    {
        blocks.push_back(nFrames);
        for (int k = 0; k < NOutputs(); ++k)
        {
            for (int i = 0; i < nFrames; ++i)
            {
                outputs[k][i] = (k < NInputs() ? inputs[k][i] : 0.0) * (k + 2);
            }
        }
    }
    std::vector<int> blocks;
};

const char kAssertion[] = "sscanf(channelIOStr, \"%d-%d\", &nIn, &nOut) == 2";
} // namespace

TEST(ChannelConfig, WellFormedStrings)
{
    const Parsed p = Parse("1-1 2-2");
    EXPECT_EQ(Pairs(p), "1-1;2-2;");
    EXPECT_EQ(p.nIn, 2);
    EXPECT_EQ(p.nOut, 2);
    EXPECT_EQ(p.report, "");
    const Parsed q = Parse("2-6 8-1");
    EXPECT_EQ(q.nIn, 8);
    EXPECT_EQ(q.nOut, 6);
    const Parsed none = Parse(nullptr);
    EXPECT_TRUE(none.pairs.empty());
    EXPECT_EQ(none.nIn, 0);
    EXPECT_EQ(none.report, "");
}

TEST(ChannelConfig, MalformedStringsReportAndGoOn)
{
    const Parsed trailing = Parse("1-1 2-2 ");
    EXPECT_EQ(Pairs(trailing), "1-1;2-2;0-0;");
    EXPECT_EQ(trailing.nIn, 2);
    EXPECT_NE(trailing.report.find(kAssertion), std::string::npos) << trailing.report;
    EXPECT_NE(trailing.report.find("IEffectBase.cpp"), std::string::npos);
    EXPECT_NE(trailing.report.find("line "), std::string::npos);

    const Parsed empty = Parse("");
    EXPECT_EQ(Pairs(empty), "0-0;");
    EXPECT_NE(empty.report.find(kAssertion), std::string::npos);

    const Parsed letters = Parse("x");
    EXPECT_EQ(Pairs(letters), "0-0;");
    EXPECT_EQ(letters.nIn, 0);

    const Parsed half = Parse("2- 3-x");
    EXPECT_EQ(Pairs(half), "2-3;3-0;"); // %d skips the blank; values read so far are kept
    EXPECT_NE(half.report.find(kAssertion), std::string::npos);

    // A doubled space repeats the following pair, without a report.
    const Parsed doubled = Parse("1-1  2-2");
    EXPECT_EQ(Pairs(doubled), "1-1;2-2;2-2;");
    EXPECT_EQ(doubled.report, "");

    // Numbers out of range saturate; channel counts stay bounded.
    const Parsed huge = Parse("99999999999-1");
    EXPECT_EQ(huge.pairs[0].nIn, 2147483647);
    EXPECT_EQ(huge.nIn, IEffectBase::kMaxChannels);
    const Parsed negative = Parse("-3-2");
    EXPECT_EQ(Pairs(negative), "-3-2;");
    EXPECT_EQ(negative.nIn, 0);
}

TEST(ChannelConfig, LegalIO)
{
    testing::internal::CaptureStderr();
    TestBaseEffect effect(TestBaseEffect::Bare(0, "1-1 2-2", 0));
    EXPECT_TRUE(effect.LegalIO(1, -1));
    EXPECT_TRUE(effect.LegalIO(2, 2));
    EXPECT_TRUE(effect.LegalIO(-1, -1));
    EXPECT_FALSE(effect.LegalIO(1, 2));
    EXPECT_FALSE(effect.LegalIO(3, -1));
    TestBaseEffect none(TestBaseEffect::Bare(0, nullptr, 0));
    EXPECT_FALSE(none.LegalIO(-1, -1));
    testing::internal::GetCapturedStderr();
}

TEST(ChannelWiring, ConnectRangesAreClippedToTheChannels)
{
    TestBaseEffect effect(TestBaseEffect::Bare(0, "6-6", 0));
    ASSERT_EQ(effect.NInputs(), 6);
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_FALSE(effect.InputConnected(i));
        EXPECT_EQ(effect.InputPointer(i), nullptr);
    }
    effect.ConnectInputChannels(4, 100, true);
    effect.ConnectInputChannels(-3, 4, true);
    effect.ConnectInputChannels(2, 2147483647, true); // first + count overflows int32
    effect.ConnectInputChannels(100, 5, false);
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_EQ(effect.InputConnected(i), i != 1) << i;
    }
    EXPECT_FALSE(effect.InputConnected(6));
    EXPECT_EQ(effect.InputPointer(-1), nullptr);
}

TEST(ChannelWiring, StereoInputLimit)
{
    TestBaseEffect effect(TestBaseEffect::Bare(0, "6-6", 0));
    ConnectAll(effect, 16);
    effect.ConnectOutputChannels(0, 6, false);
    double in[6][16] = {};
    double* ins[6] = {in[0], in[1], in[2], in[3], in[4], in[5]};
    effect.BindInputsFromDouble(ins);
    std::vector<double*> outputsBefore;
    for (int i = 0; i < 6; ++i)
    {
        outputsBefore.push_back(effect.OutputPointer(i));
    }
    effect.ApplyStereoInputLimit();
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_EQ(effect.InputConnected(i), i < 2) << i;
        EXPECT_EQ(effect.InputPointer(i), i < 2 ? in[i] : effect.InputScratch(i)) << i;
        EXPECT_EQ(effect.OutputConnected(i), i >= 2) << i;
        EXPECT_EQ(effect.OutputPointer(i), outputsBefore[static_cast<size_t>(i)]) << i;
    }

    TestBaseEffect stereo(TestBaseEffect::Bare(0, "2-2", 0));
    ConnectAll(stereo, 16);
    stereo.ConnectOutputChannels(1, 1, false);
    stereo.ApplyStereoInputLimit();
    EXPECT_TRUE(stereo.InputConnected(0));
    EXPECT_TRUE(stereo.InputConnected(1));
    EXPECT_FALSE(stereo.OutputConnected(1));
}

TEST(ChannelWiring, BlockSizeClearsScratchOnlyWhenItChanges)
{
    TestBaseEffect effect(TestBaseEffect::Bare(0, "2-2", 0));
    ConnectAll(effect, 8);
    effect.ConnectInputChannels(1, 1, false);
    float in[2][8] = {{1, 2, 3, 4, 5, 6, 7, 8}, {}};
    float* ins[2] = {in[0], in[1]};
    effect.BindInputsFromFloat(ins, 8);
    EXPECT_EQ(effect.InputScratch(0)[7], 8.0);
    effect.ApplyBlockSize(8);
    EXPECT_EQ(effect.InputScratch(0)[7], 8.0);
    effect.ApplyBlockSize(4096);
    EXPECT_EQ(effect.BlockSize(), 4096);
    EXPECT_EQ(effect.InputScratch(0)[7], 0.0);
    // The disconnected channel follows its reallocated scratch block.
    EXPECT_EQ(effect.InputPointer(1), effect.InputScratch(1));
    effect.ApplyBlockSize(-5);
    effect.ApplyBlockSize(2147483647);
    EXPECT_EQ(effect.BlockSize(), 4096);
}

TEST(ChannelWiring, DefaultProcessBlockCopiesAndClears)
{
    TestBaseEffect effect(TestBaseEffect::Bare(0, "1-3", 0));
    ConnectAll(effect, 4);
    double in[4] = {1, 2, 3, 4};
    double out[3][4] = {{9, 9, 9, 9}, {9, 9, 9, 9}, {9, 9, 9, 9}};
    double* ins[1] = {in};
    double* outs[3] = {out[0], out[1], out[2]};
    effect.BindInputsFromDouble(ins);
    effect.BindOutputsToDouble(outs);
    effect.RunBlockDouble(4);
    EXPECT_EQ(out[0][3], 4.0);
    EXPECT_EQ(out[1][0], 0.0);
    EXPECT_EQ(out[2][3], 0.0);
    double* inPlace[3] = {in, out[1], out[2]};
    effect.BindOutputsToDouble(inPlace);
    effect.RunBlockDouble(4);
    EXPECT_EQ(in[2], 3.0);
}

TEST(ChannelWiring, FloatPathsConvertAccumulateAndReplace)
{
    ScalingEffect effect(TestBaseEffect::Bare(0, "1-1 2-2", 0));
    ConnectAll(effect, 4);
    float in[2][4] = {{1, 2, 3, 4}, {0.5f, 0.5f, 0.5f, 0.5f}};
    float out[2][4] = {{10, 10, 10, 10}, {10, 10, 10, 10}};
    float* ins[2] = {in[0], in[1]};
    float* outs[2] = {out[0], out[1]};
    effect.BindInputsFromFloat(ins, 4);
    effect.BindOutputsToFloat(outs);
    EXPECT_EQ(effect.InputPointer(0), effect.InputScratch(0));
    effect.RunBlockAccumulating(4);
    EXPECT_EQ(out[0][3], 18.0f); // 10 + 4 * 2
    EXPECT_EQ(out[1][0], 11.5f); // 10 + 0.5 * 3
    effect.BindInputsFromFloat(ins, 4);
    effect.BindOutputsToFloat(outs);
    effect.RunBlockReplacing(4);
    EXPECT_EQ(out[0][3], 8.0f);
    EXPECT_EQ(out[1][0], 1.5f);
}

TEST(ChannelWiring, DisconnectedChannelsConsumeNoHostBuffer)
{
    ScalingEffect effect(TestBaseEffect::Bare(0, "2-2", 0));
    ConnectAll(effect, 4);
    effect.ConnectInputChannels(0, 1, false);
    effect.ConnectOutputChannels(0, 1, false);
    float hostIn[4] = {1, 2, 3, 4};
    float hostOut[4] = {};
    float* ins[1] = {hostIn};
    float* outs[1] = {hostOut};
    effect.BindInputsFromFloat(ins, 4);
    effect.BindOutputsToFloat(outs);
    effect.RunBlockReplacing(4);
    // The host's first input feeds channel 2, whose output goes to the host's
    // first output; channel 1 reads its zeroed scratch and writes to scratch.
    EXPECT_EQ(effect.InputPointer(0), effect.InputScratch(0));
    EXPECT_EQ(effect.InputScratch(1)[2], 3.0);
    EXPECT_EQ(hostOut[2], 9.0f);
    EXPECT_EQ(effect.OutputScratch(0)[2], 0.0);

    double dIn[4] = {1, 1, 1, 1};
    double dOut[4] = {};
    double* dIns[1] = {dIn};
    double* dOuts[1] = {dOut};
    effect.BindInputsFromDouble(dIns);
    effect.BindOutputsToDouble(dOuts);
    EXPECT_EQ(effect.InputPointer(1), dIn);
    EXPECT_EQ(effect.OutputPointer(1), dOut);
    effect.RunBlockDouble(4);
    EXPECT_EQ(dOut[3], 3.0);
}

TEST(ChannelWiring, BlocksLongerThanTheScratchRunInPieces)
{
    ScalingEffect effect(TestBaseEffect::Bare(0, "2-2", 0));
    ConnectAll(effect, 4);
    std::vector<float> in(10), out(10, 100.0f);
    for (int i = 0; i < 10; ++i)
    {
        in[static_cast<size_t>(i)] = static_cast<float>(i);
    }
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {out.data(), out.data()};
    effect.ConnectOutputChannels(1, 1, false);
    effect.BindInputsFromFloat(ins, 10);
    effect.BindOutputsToFloat(outs);
    effect.RunBlockReplacing(10);
    EXPECT_EQ(effect.blocks, (std::vector<int>{4, 4, 2}));
    for (int i = 0; i < 10; ++i)
    {
        EXPECT_EQ(out[static_cast<size_t>(i)], 2.0f * static_cast<float>(i)) << i;
    }

    // The double path runs whole unless a scratch block is involved.
    std::vector<double> dIn(10, 1.0), dOut(10, 0.0), dOut2(10, 0.0);
    double* dIns[2] = {dIn.data(), dIn.data()};
    double* dOuts[2] = {dOut.data(), dOut2.data()};
    effect.blocks.clear();
    effect.ConnectOutputChannels(1, 1, true);
    effect.BindInputsFromDouble(dIns);
    effect.BindOutputsToDouble(dOuts);
    effect.RunBlockDouble(10);
    EXPECT_EQ(effect.blocks, std::vector<int>{10});
    effect.blocks.clear();
    effect.ConnectInputChannels(1, 1, false);
    effect.BindInputsFromDouble(dIns);
    effect.BindOutputsToDouble(dOuts);
    effect.RunBlockDouble(10);
    EXPECT_EQ(effect.blocks, (std::vector<int>{4, 4, 2}));
    EXPECT_EQ(dOut[9], 2.0);
    // Input 2 reads its scratch, cleared when it was disconnected: the last
    // float piece (8, 9) is not replayed.
    EXPECT_EQ(dOut2[9], 0.0);

    // No block size yet: nothing to process into, replacing writes silence.
    ScalingEffect unsized(TestBaseEffect::Bare(0, "1-1", 0));
    unsized.ConnectInputChannels(0, 1, true);
    unsized.ConnectOutputChannels(0, 1, true);
    float one[3] = {1, 1, 1};
    float sink[3] = {5, 5, 5};
    float* oneIn[1] = {one};
    float* sinkOut[1] = {sink};
    unsized.BindInputsFromFloat(oneIn, 3);
    unsized.BindOutputsToFloat(sinkOut);
    unsized.RunBlockReplacing(3);
    EXPECT_TRUE(unsized.blocks.empty());
    EXPECT_EQ(sink[2], 0.0f);
}
