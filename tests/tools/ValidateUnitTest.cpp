// The validator's parts that decide verdicts without a plug-in: the child
// runner, the canary text probe, selection by name and the audio measures.
#include <gtest/gtest.h>

#include "Audio.h"
#include "Check.h"
#include "Platform.h"
#include "TextProbe.h"
#include "ValidateOptions.h"
#include "VstInterface.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>

namespace
{
#ifndef _WIN32
double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

TEST(RunChild, ReportsOutputExitStatusSignalsAndTimeouts)
{
    ChildOutcome done =
        Platform::RunChild({"/bin/sh", "-c", "echo one; echo two; exit 3"}, 5000, false);
    EXPECT_TRUE(done.started);
    EXPECT_FALSE(done.crashed);
    EXPECT_FALSE(done.timedOut);
    EXPECT_EQ(done.exitCode, 3);
    EXPECT_EQ(done.output, "one\ntwo\n");

    // What the child said before dying is kept; the signal is named.
    ChildOutcome crashed =
        Platform::RunChild({"/bin/sh", "-c", "echo last words; kill -SEGV $$"}, 5000, false);
    EXPECT_TRUE(crashed.crashed);
    EXPECT_EQ(crashed.output, "last words\n");
    EXPECT_EQ(crashed.crash.rfind("signal 11 (", 0), 0u) << crashed.crash;

    auto start = std::chrono::steady_clock::now();
    ChildOutcome hung = Platform::RunChild({"/bin/sh", "-c", "echo started; sleep 30"}, 300, false);
    EXPECT_TRUE(hung.timedOut);
    EXPECT_FALSE(hung.crashed);
    EXPECT_EQ(hung.output, "started\n");
    EXPECT_LT(Seconds(start), 5.0);

    // A grandchild that keeps the pipe open must not hold the runner up.
    start = std::chrono::steady_clock::now();
    ChildOutcome left = Platform::RunChild({"/bin/sh", "-c", "sleep 30 & echo gone"}, 10000, false);
    EXPECT_FALSE(left.timedOut);
    EXPECT_EQ(left.exitCode, 0);
    EXPECT_EQ(left.output, "gone\n");
    EXPECT_LT(Seconds(start), 5.0);

    ChildOutcome missing = Platform::RunChild({"/no/such/program"}, 5000, false);
    EXPECT_EQ(missing.exitCode, 127);
}
#endif

// A plug-in dispatcher stand-in writing `user` bytes, all equal to the
// first canary: only the second pass can see them.
VstIntPtr VSTCALLBACK Writer(AEffect* e, VstInt32, VstInt32, VstIntPtr, void* ptr, float)
{
    const size_t length = static_cast<size_t>(reinterpret_cast<uintptr_t>(e->user));
    std::memset(ptr, 0xA5, length);
    return 1;
}

TEST(TextProbe, CountsEveryByteWrittenAndJudgesAgainstBothLimits)
{
    struct Case
    {
        size_t length;
        Verdict verdict;
    };
    const Case cases[] = {{0, Verdict::Pass},   {1, Verdict::Pass},   {8, Verdict::Pass},
                          {9, Verdict::Warn},   {256, Verdict::Warn}, {257, Verdict::Fail},
                          {5000, Verdict::Fail}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.length);
        AEffect effect{};
        effect.magic = kEffectMagic;
        effect.dispatcher = Writer;
        effect.user = reinterpret_cast<void*>(static_cast<uintptr_t>(c.length));
        const TextProbe probe = TextProbe::Ask(&effect, effGetParamName, 3);
        EXPECT_EQ(probe.written, c.length);
        TextTally tally;
        tally.Add(probe, "effGetParamName", 3, kVstMaxParamStrLen);
        const Outcome o = tally.Judge("fine");
        EXPECT_EQ(o.verdict, c.verdict) << o.reason;
        if (c.verdict != Verdict::Pass)
        {
            EXPECT_NE(o.reason.find("effGetParamName 3 wrote " + std::to_string(c.length)),
                      std::string::npos)
                << o.reason;
        }
    }
}

TEST(ValidateOptions, SelectsByCheckOrGroupAndRefusesUnknownNames)
{
    ValidateOptions o = ValidateOptions::Parse(
        {"plug.so", "--only", "audio,state.programs", "--skip", "audio.denormal-stall"});
    EXPECT_TRUE(o.Selects("audio.in-place"));
    EXPECT_TRUE(o.Selects("state.programs"));
    EXPECT_FALSE(o.Selects("audio.denormal-stall"));
    EXPECT_FALSE(o.Selects("state.transfer"));
    EXPECT_FALSE(o.Selects("identity.magic"));
    // A group is a whole name before the dot, not a prefix of one.
    EXPECT_THROW(ValidateOptions::Parse({"plug.so", "--only", "aud"}), std::exception);
    EXPECT_THROW(ValidateOptions::Parse({"plug.so", "--skip", "audio."}), std::exception);
    EXPECT_THROW(ValidateOptions::Parse({"plug.so", "--level", "0"}), std::exception);
    EXPECT_THROW(ValidateOptions::Parse({"plug.so", "--seed", "x"}), std::exception);
    EXPECT_THROW(ValidateOptions::Parse({"--json"}), std::exception);
    EXPECT_TRUE(ValidateOptions::Parse({"--list"}).list);
    ValidateOptions all = ValidateOptions::Parse({"plug.so", "--seed", "18446744073709551615"});
    EXPECT_EQ(all.seed, 18446744073709551615ull);
    EXPECT_TRUE(all.Selects("timing.open"));
}

TEST(AudioMeasures, NonFiniteAndBoundedOutputAndDifferences)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Audio a(2, 4);
    Audio b = a;
    EXPECT_TRUE(Identical(a, b));
    EXPECT_EQ(OutputFault(a), "");
    b.channels[1][2] = 1e-3;
    EXPECT_FALSE(Identical(a, b));
    EXPECT_DOUBLE_EQ(MaxDifference(a, b), 1e-3);
    // NaN where both have it is no difference; NaN against a number is.
    a.channels[0][1] = nan;
    b.channels[0][1] = nan;
    EXPECT_DOUBLE_EQ(MaxDifference(a, b), 1e-3);
    b.channels[0][1] = 0.0;
    EXPECT_TRUE(std::isinf(MaxDifference(a, b)));
    EXPECT_TRUE(std::isinf(MaxDifference(a, Audio(2, 5))));
    EXPECT_EQ(OutputFault(a), "output 1 sample 1 is nan");
    Audio loud(1, 2);
    loud.channels[0][1] = 1001.0;
    EXPECT_EQ(OutputFault(loud), "output 1 sample 1 is 1001");
    EXPECT_EQ(OutputFault(loud, false), "");
    EXPECT_DOUBLE_EQ(Peak(loud), 1001.0);
    // Every signal the checks feed is repeatable from its seed.
    EXPECT_TRUE(Identical(MakeSignal(SignalKind::Noise, 2, 100, 44100.0, 7),
                          MakeSignal(SignalKind::Noise, 2, 100, 44100.0, 7)));
    EXPECT_FALSE(Identical(MakeSignal(SignalKind::Noise, 2, 100, 44100.0, 7),
                           MakeSignal(SignalKind::Noise, 2, 100, 44100.0, 8)));
}
} // namespace
