// The parts of vsthost that need no plug-in: JSON output, command-line
// parsing, the transport the host reports, the demo signal, input mapping,
// the host callback and the all-or-nothing output file.
#include <gtest/gtest.h>

#include "DemoSignal.h"
#include "EditorOptions.h"
#include "HostCallback.h"
#include "HostError.h"
#include "JsonWriter.h"
#include "PendingFile.h"
#include "Platform.h"
#include "PluginReport.h"
#include "RenderOptions.h"
#include "Renderer.h"
#include "Transport.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace
{
TEST(JsonWriter, NestsAndSeparatesValues)
{
    JsonWriter j;
    j.BeginObject().Key("a").Int(-3).Key("list").BeginArray().Bool(true).Null().Float(0.5f);
    j.EndArray().Key("empty").BeginObject().EndObject().Key("none").BeginArray().EndArray();
    j.EndObject();
    EXPECT_EQ(j.Text(), "{\n  \"a\": -3,\n  \"list\": [\n    true,\n    null,\n    0.5\n  ],\n"
                        "  \"empty\": {},\n  \"none\": []\n}\n");
}

TEST(JsonWriter, NumbersRoundTripAndNonFiniteBecomeNull)
{
    JsonWriter j;
    j.BeginArray().Float(0.333333343f).Number(0.1).Number(NAN).Float(INFINITY).EndArray();
    EXPECT_EQ(j.Text(), "[\n  0.333333343,\n  0.10000000000000001,\n  null,\n  null\n]\n");
}

TEST(JsonWriter, QuotesPluginTextAsValidUtf8)
{
    EXPECT_EQ(JsonWriter::Quote("a\"b\\c\n\t\x01"), "\"a\\\"b\\\\c\\n\\t\\u0001\"");
    // Valid multi-byte sequences pass unchanged.
    EXPECT_EQ(JsonWriter::Quote("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB8"),
              "\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB8\"");
    // Latin-1 bytes, a truncated sequence, an overlong form and a surrogate
    // are replaced, one U+FFFD per bad byte.
    const std::string bad =
        JsonWriter::Quote(std::string("\xE9x\xE2\x82") + "\xC0\xAF\xED\xA0\x80");
    EXPECT_EQ(bad.find("\xE9"), std::string::npos);
    EXPECT_EQ(bad.substr(0, 5), "\"\xEF\xBF\xBDx");
    size_t replacements = 0;
    for (size_t p = 0; (p = bad.find("\xEF\xBF\xBD", p)) != std::string::npos; p += 3)
    {
        ++replacements;
    }
    EXPECT_EQ(replacements, 8u);
}

std::vector<std::string> Args(std::initializer_list<const char*> list)
{
    return std::vector<std::string>(list.begin(), list.end());
}

TEST(RenderOptions, ParsesEveryOptionInBothSpellings)
{
    RenderOptions o = RenderOptions::Parse(
        Args({"p.so", "in.wav", "--rate=48000", "out.wav", "--block", "64", "--precision", "double",
              "--param", "2=0.25", "--param=0=1", "--program", "3", "--load-chunk", "a.bin",
              "--save-chunk=b.bin", "--verbose"}));
    EXPECT_EQ(o.plugin, "p.so");
    EXPECT_EQ(o.input, "in.wav");
    EXPECT_EQ(o.output, "out.wav");
    EXPECT_EQ(o.rate, 48000.0);
    EXPECT_EQ(o.blockSize, 64);
    EXPECT_EQ(o.precision, RenderOptions::Precision::Double);
    ASSERT_EQ(o.params.size(), 2u);
    EXPECT_EQ(o.params[0].index, 2);
    EXPECT_EQ(o.params[0].value, 0.25f);
    EXPECT_EQ(o.params[1].index, 0);
    EXPECT_EQ(o.params[1].value, 1.0f);
    EXPECT_EQ(o.program, 3);
    EXPECT_EQ(o.loadChunk, "a.bin");
    EXPECT_EQ(o.saveChunk, "b.bin");
    EXPECT_TRUE(o.verbose);

    RenderOptions g = RenderOptions::Parse(Args({"p.so", "--generate", "demo", "out.wav"}));
    EXPECT_EQ(g.generate, "demo");
    EXPECT_EQ(g.input, "");
    EXPECT_EQ(g.output, "out.wav");
    EXPECT_EQ(g.rate, 0.0);
    EXPECT_EQ(g.blockSize, 512);
    EXPECT_EQ(g.precision, RenderOptions::Precision::Float);
    EXPECT_EQ(g.program, -1);
}

TEST(RenderOptions, RejectsMalformedArguments)
{
    const std::vector<std::vector<std::string>> bad = {
        Args({}),
        Args({"p.so", "in.wav"}),
        Args({"p.so", "in.wav", "out.wav", "extra"}),
        Args({"p.so", "--generate", "demo", "in.wav", "out.wav"}),
        Args({"p.so", "--generate", "sine", "out.wav"}),
        Args({"p.so", "in.wav", "out.wav", "--rate", "0"}),
        Args({"p.so", "in.wav", "out.wav", "--rate", "44.1k"}),
        Args({"p.so", "in.wav", "out.wav", "--block", "-4"}),
        Args({"p.so", "in.wav", "out.wav", "--block", "2000000"}),
        Args({"p.so", "in.wav", "out.wav", "--precision", "half"}),
        Args({"p.so", "in.wav", "out.wav", "--param", "1:0.5"}),
        Args({"p.so", "in.wav", "out.wav", "--param", "1=-0.1"}),
        Args({"p.so", "in.wav", "out.wav", "--param", " 1=0.5"}),
        Args({"p.so", "in.wav", "out.wav", "--param", "99999999999=0.5"}),
        Args({"p.so", "in.wav", "out.wav", "--program", "x"}),
        Args({"p.so", "in.wav", "out.wav", "--verbose=yes"}),
        Args({"p.so", "in.wav", "out.wav", "--save-chunk", "out.wav"}),
        Args({"p.so", "in.wav", "out.wav", "-v"}),
        Args({"p.so", "in.wav", "out.wav", "--load-chunk"}),
    };
    for (const auto& args : bad)
    {
        std::string joined;
        for (const auto& a : args)
        {
            joined += a + " ";
        }
        EXPECT_THROW(RenderOptions::Parse(args), HostError) << joined;
    }
}

TEST(EditorOptions, StepsKeepTheirOrderAndModifiersApplyToTheNextOnly)
{
    using Kind = EditorOptions::Step::Kind;
    EditorOptions o =
        EditorOptions::Parse({"--shift",    "--click",   "-3,4",    "p.dll",       "--drag",
                              "1,2,-30,40", "--ctrl",    "--wheel", "5,6,-2",      "--key",
                              "F5",         "--type",    "0.8",     "--set-param", "1=0.25",
                              "--wait",     "10",        "--close", "--reopen",    "--screenshot",
                              "a.png",      "--json",    "--hold",  "70",          "--double-click",
                              "5,6",        "--program", "3",       "--render",    "in.wav",
                              "out.wav"});
    EXPECT_EQ(o.plugin, "p.dll");
    EXPECT_TRUE(o.json);
    ASSERT_EQ(o.steps.size(), 13u);
    EXPECT_EQ(o.steps[0].kind, Kind::Click);
    EXPECT_TRUE(o.steps[0].shift);
    EXPECT_EQ(o.steps[0].x, -3);
    EXPECT_FALSE(o.steps[1].shift);
    EXPECT_EQ(o.steps[1].dx, -30);
    EXPECT_EQ(o.steps[1].dy, 40);
    EXPECT_TRUE(o.steps[2].ctrl);
    EXPECT_EQ(o.steps[2].dx, -2);
    EXPECT_EQ(o.steps[3].text, "F5");
    EXPECT_EQ(o.steps[5].index, 1);
    EXPECT_FLOAT_EQ(o.steps[5].value, 0.25f);
    EXPECT_EQ(o.steps[9].kind, Kind::Screenshot);
    EXPECT_EQ(o.steps[9].hold, 0);
    EXPECT_EQ(o.steps[10].hold, 70);
    EXPECT_EQ(o.steps[11].hold, 0);
    EXPECT_EQ(o.steps[11].index, 3);
    EXPECT_EQ(o.steps[12].kind, Kind::Render);
    EXPECT_EQ(o.steps[12].text2, "out.wav");
    EXPECT_EQ(EditorOptions::VirtualKey("F5"), 0x74);
    EXPECT_EQ(EditorOptions::VirtualKey("q"), 'Q');
    EXPECT_EQ(EditorOptions::VirtualKey("Return"), 0x0D);
    EXPECT_EQ(EditorOptions::VirtualKey("F13"), -1);

    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--click", "1,2"},
        {"p.dll", "q.dll"},
        {"p.dll", "--click", "1"},
        {"p.dll", "--click", "1,2,3"},
        {"p.dll", "--click", "1,x"},
        {"p.dll", "--drag", "1,2,3"},
        {"p.dll", "--click", "40000,1"},
        {"p.dll", "--key", "Hyper"},
        {"p.dll", "--set-param", "1=2"},
        {"p.dll", "--wait", "-1"},
        {"p.dll", "--screenshot"},
        {"p.dll", "--click", "1,2", "--shift"},
        {"p.dll", "--click", "1,2", "--hold", "50"},
        {"p.dll", "--hold", "3000", "--click", "1,2"},
        {"p.dll", "--program", "-1"},
        {"p.dll", "--render", "in.wav"},
        {"p.dll", "--hover", "1,2"},
    };
    for (const auto& args : bad)
    {
        std::string joined;
        for (const auto& a : args)
        {
            joined += a + " ";
        }
        EXPECT_THROW(EditorOptions::Parse(args), HostError) << joined;
    }
}

TEST(Transport, ReportsPositionAndOnlyTheRequestedFields)
{
    Transport t;
    t.SetSampleRate(48000.0);
    t.Start();
    t.Advance(24000); // half a second: one quarter note at 120 BPM
    VstTimeInfo info;
    t.Fill(info, kVstPpqPosValid | kVstTempoValid | kVstTimeSigValid);
    EXPECT_EQ(info.samplePos, 24000.0);
    EXPECT_EQ(info.sampleRate, 48000.0);
    EXPECT_EQ(info.ppqPos, 1.0);
    EXPECT_EQ(info.tempo, 120.0);
    EXPECT_EQ(info.timeSigNumerator, 4);
    EXPECT_EQ(info.timeSigDenominator, 4);
    EXPECT_EQ(info.flags,
              kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstTimeSigValid);
    EXPECT_EQ(info.barStartPos, 0.0); // not asked for

    t.Advance(24000 * 4);
    t.Fill(info, kVstBarsValid | kVstNanosValid | kVstClockValid);
    EXPECT_EQ(info.flags, kVstTransportPlaying | kVstBarsValid | kVstNanosValid | kVstClockValid);
    EXPECT_EQ(info.barStartPos, 4.0); // 5 quarters in: the second bar began at 4
    EXPECT_EQ(info.nanoSeconds, 2.5e9);
    EXPECT_EQ(info.ppqPos, 0.0);
    EXPECT_EQ(info.samplesToNextClock, 0); // exactly on a clock tick

    t.Advance(100); // clocks every 1000 samples at 48 kHz and 120 BPM
    t.Fill(info, kVstClockValid);
    EXPECT_EQ(info.samplesToNextClock, 900);
}

TEST(Transport, FlagsAStartAndAStopOnce)
{
    Transport t;
    VstTimeInfo info;
    t.Fill(info, 0);
    EXPECT_EQ(info.flags, 0);
    t.Start();
    t.Fill(info, 0);
    EXPECT_EQ(info.flags, kVstTransportPlaying | kVstTransportChanged);
    t.Advance(10);
    t.Fill(info, 0);
    EXPECT_EQ(info.flags, kVstTransportPlaying);
    t.Stop();
    t.Fill(info, 0);
    EXPECT_EQ(info.flags, kVstTransportChanged);
    t.Start();
    EXPECT_EQ(t.Position(), 0);
}

TEST(DemoSignal, IsRepeatableStereoWithTheStatedPeak)
{
    const std::vector<double> a = DemoSignal::Generate(44100.0);
    const std::vector<double> b = DemoSignal::Generate(44100.0);
    ASSERT_EQ(a.size(), 2u * 4u * 44100u);
    EXPECT_EQ(a, b);
    double peak = 0.0, left = 0.0, right = 0.0;
    for (size_t i = 0; i < a.size(); i += 2)
    {
        peak = std::max({peak, std::fabs(a[i]), std::fabs(a[i + 1])});
        left += a[i] * a[i];
        right += a[i + 1] * a[i + 1];
    }
    EXPECT_DOUBLE_EQ(peak, 0.5);
    EXPECT_GT(left, 0.0);
    EXPECT_GT(right, 0.0);
    EXPECT_NE(left, right); // the strings are panned
    // Strummed: silence before the first string, sound after, fading out.
    EXPECT_EQ(a[a.size() - 2], 0.0);
    EXPECT_NE(a[200], 0.0);
    EXPECT_EQ(DemoSignal::Generate(8000.0).size(), 2u * 4u * 8000u);
}

TEST(Renderer, MapsMonoAndStereoOntoThePluginInputs)
{
    const std::vector<double> mono = {0.1, 0.2, 0.3};
    const std::vector<double> stereo = {0.1, -0.3, 0.2, 0.4, 0.5, 0.5};
    std::vector<std::vector<float>> in(3, std::vector<float>(4, 9.0f));

    Renderer::MapInput(mono, 1, 1, 2, in, 3);
    EXPECT_EQ(in[0][0], 0.2f);
    EXPECT_EQ(in[0][1], 0.3f);
    EXPECT_EQ(in[1][0], 0.2f);
    EXPECT_EQ(in[1][1], 0.3f);
    EXPECT_EQ(in[2][0], 0.0f);
    EXPECT_EQ(in[0][2], 9.0f); // beyond the block: untouched

    Renderer::MapInput(stereo, 2, 0, 3, in, 2);
    EXPECT_EQ(in[0][0], 0.1f);
    EXPECT_EQ(in[1][0], -0.3f);
    EXPECT_EQ(in[0][2], 0.5f);
    EXPECT_EQ(in[1][1], 0.4f);

    std::vector<std::vector<double>> one(1, std::vector<double>(3, 9.0));
    Renderer::MapInput(stereo, 2, 0, 3, one, 1);
    EXPECT_DOUBLE_EQ(one[0][0], -0.1);
    EXPECT_DOUBLE_EQ(one[0][1], 0.3);
    EXPECT_DOUBLE_EQ(one[0][2], 0.5);
}

TEST(HostCallback, AnswersLikeAHostAndRecordsEdits)
{
    HostCallback host;
    host.GetTransport().SetSampleRate(96000.0);
    host.SetBlockSize(128);
    const auto call = [](VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
    { return HostCallback::Dispatch(nullptr, opcode, index, value, ptr, opt); };

    EXPECT_EQ(call(audioMasterVersion, 0, 0, nullptr, 0.0f), 2400);
    EXPECT_EQ(call(audioMasterGetSampleRate, 0, 0, nullptr, 0.0f), 96000);
    EXPECT_EQ(call(audioMasterGetBlockSize, 0, 0, nullptr, 0.0f), 128);
    EXPECT_EQ(call(audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f), 2100);
    EXPECT_EQ(call(audioMasterCurrentId, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(call(audioMasterIOChanged, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(call(audioMasterGetProductString, 0, 0, nullptr, 0.0f), 0);

    char text[kVstMaxProductStrLen];
    std::memset(text, 'x', sizeof(text));
    EXPECT_EQ(call(audioMasterGetProductString, 0, 0, text, 0.0f), 1);
    EXPECT_STREQ(text, "vsthost");
    EXPECT_EQ(call(audioMasterGetVendorString, 0, 0, text, 0.0f), 1);
    EXPECT_STREQ(text, "Quillmark");

    char yes[] = "sendVstTimeInfo", no[] = "sendVstTimeInfo ";
    EXPECT_EQ(call(audioMasterCanDo, 0, 0, yes, 0.0f), 1);
    EXPECT_EQ(call(audioMasterCanDo, 0, 0, no, 0.0f), 0);
    EXPECT_EQ(call(audioMasterCanDo, 0, 0, nullptr, 0.0f), 0);

    const VstTimeInfo* t = reinterpret_cast<const VstTimeInfo*>(
        call(audioMasterGetTime, 0, kVstTempoValid, nullptr, 0.0f));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->sampleRate, 96000.0);
    EXPECT_EQ(t->tempo, 120.0);
    EXPECT_EQ(t->flags & kVstTempoValid, kVstTempoValid);

    call(audioMasterBeginEdit, 3, 0, nullptr, 0.0f);
    call(audioMasterAutomate, 3, 0, nullptr, 0.75f);
    call(audioMasterEndEdit, 3, 0, nullptr, 0.0f);
    ASSERT_EQ(host.Edits().size(), 3u);
    EXPECT_EQ(host.Edits()[0].opcode, audioMasterBeginEdit);
    EXPECT_EQ(host.Edits()[1].opcode, audioMasterAutomate);
    EXPECT_EQ(host.Edits()[1].index, 3);
    EXPECT_EQ(host.Edits()[1].value, 0.75f);
    EXPECT_EQ(host.Edits()[2].opcode, audioMasterEndEdit);
}

TEST(HostCallback, WithoutAnActiveHostOnlyTheVersionIsAnswered)
{
    EXPECT_EQ(HostCallback::Dispatch(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f), 2400);
    EXPECT_EQ(HostCallback::Dispatch(nullptr, audioMasterGetTime, 0, 0, nullptr, 0.0f), 0);
}

TEST(PluginReport, DecodesFlagsCodesAndCanDoAnswers)
{
    EXPECT_EQ(PluginReport::FlagNames(0x131),
              (std::vector<std::string>{"HasEditor", "CanReplacing", "ProgramChunks", "IsSynth"}));
    EXPECT_EQ(PluginReport::FlagNames(0x1018),
              (std::vector<std::string>{"CanMono", "CanReplacing", "CanDoubleReplacing"}));
    EXPECT_EQ(PluginReport::FlagNames(static_cast<int32_t>(0x80000040u)),
              (std::vector<std::string>{"bit 6", "bit 31"}));
    EXPECT_EQ(PluginReport::FourCharacters(0x616D7379), "amsy");
    EXPECT_EQ(PluginReport::FourCharacters(0x0A414243), "?ABC");
    EXPECT_STREQ(PluginReport::CategoryName(1), "effect");
    EXPECT_STREQ(PluginReport::CategoryName(7), "surroundFx");
    EXPECT_STREQ(PluginReport::CategoryName(11), "generator");
    EXPECT_STREQ(PluginReport::CategoryName(12), "invalid");
    EXPECT_STREQ(PluginReport::CategoryName(-1), "invalid");
    EXPECT_EQ(PluginReport::NormaliseCanDo(-1), -1);
    EXPECT_EQ(PluginReport::NormaliseCanDo(1), 1);
    // The 32-bit build sees 0xbeef0000 as a negative pointer-sized value.
    EXPECT_EQ(PluginReport::NormaliseCanDo(static_cast<int32_t>(0xbeef0000u)), 0xbeef0000LL);
    EXPECT_EQ(PluginReport::NormaliseCanDo(0xbeef0000LL), 0xbeef0000LL);
}

std::string TestFile(const char* name)
{
    return testing::TempDir() + name + std::to_string(Platform::ProcessId());
}

bool FileExists(const std::string& path)
{
    std::FILE* f = Platform::OpenFile(path, "rb");
    if (f)
    {
        std::fclose(f);
    }
    return f != nullptr;
}

TEST(PendingFile, LeavesNothingUnlessCommitted)
{
    const std::string path = TestFile("vsthost_pending_");
    std::string temp;
    {
        PendingFile p(path);
        temp = p.TempPath();
        p.WriteAll("abc", 3);
        EXPECT_TRUE(FileExists(temp));
        EXPECT_FALSE(FileExists(path));
    }
    EXPECT_FALSE(FileExists(temp));
    EXPECT_FALSE(FileExists(path));
}

TEST(PendingFile, CommitReplacesAnExistingFile)
{
    const std::string path = TestFile("vsthost_commit_");
    {
        PendingFile old(path);
        old.WriteAll("old contents", 12);
        old.Commit();
    }
    {
        PendingFile p(path);
        p.WriteAll("new", 3);
        p.Commit();
        EXPECT_FALSE(FileExists(p.TempPath()));
    }
    std::FILE* f = Platform::OpenFile(path, "rb");
    ASSERT_NE(f, nullptr);
    char buffer[32] = {};
    size_t n = std::fread(buffer, 1, sizeof(buffer), f);
    std::fclose(f);
    EXPECT_EQ(std::string(buffer, n), "new");
    EXPECT_TRUE(Platform::RemoveFile(path));
}

TEST(PendingFile, FailsWithAMessageWhenTheFolderIsMissing)
{
    PendingFile p(TestFile("no_such_folder_/x/") + "out.wav");
    try
    {
        p.WriteAll("x", 1);
        FAIL() << "no exception";
    }
    catch (const HostError& e)
    {
        EXPECT_NE(std::string(e.what()).find("cannot write"), std::string::npos);
    }
}
} // namespace
