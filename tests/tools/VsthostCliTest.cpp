// vsthost as a program: run against third-party Linux plug-ins (DISTRHO's
// dpf-plugins-vst and lsp-plugins-vst) whose behaviour is known, and against
// the fixture modules for what no third-party plug-in offers (64-bit
// processing, absurd records, a null effect).
#include <gtest/gtest.h>

#include <sndfile.h>

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <thread>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace
{
const std::string kVst = "/usr/lib/vst/";
const std::string kEq = kVst + "3BandEQ-vst.so";
const std::string kBitcrush = kVst + "MaBitcrush-vst.so";
const std::string kKars = kVst + "Kars-vst.so";
const std::string kLspEq = kVst + "lsp-plugins/para-equalizer-x16-stereo.so";

struct Result
{
    int status = -1;
    std::string out;
    std::string err;
};

struct Audio
{
    int channels = 0;
    int rate = 0;
    int format = 0;
    std::vector<double> samples; // interleaved

    size_t Frames() const { return channels ? samples.size() / static_cast<size_t>(channels) : 0; }
    double At(size_t frame, int channel) const
    {
        return samples[frame * static_cast<size_t>(channels) + static_cast<size_t>(channel)];
    }
};

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

class VsthostCli : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/vsthost-test-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        ASSERT_NE(::mkdtemp(buffer.data()), nullptr);
        dir = buffer.data();
    }

    void TearDown() override
    {
        for (const std::string& name : Entries())
        {
            ::unlink((dir + "/" + name).c_str());
        }
        ::rmdir(dir.c_str());
    }

    std::string Path(const std::string& name) const { return dir + "/" + name; }

    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        if (DIR* d = ::opendir(dir.c_str()))
        {
            while (dirent* e = ::readdir(d))
            {
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                {
                    names.push_back(e->d_name);
                }
            }
            ::closedir(d);
        }
        return names;
    }

    Result Run(const std::vector<std::string>& args) const
    {
        std::vector<std::string> all = {VSTHOST_EXE};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all)
        {
            argv.push_back(&a[0]);
        }
        argv.push_back(nullptr);

        const std::string outPath = dir + "/.stdout", errPath = dir + "/.stderr";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        Result r;
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0)
        {
            int status = 0;
            ::waitpid(pid, &status, 0);
            r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        posix_spawn_file_actions_destroy(&actions);
        r.out = ReadText(outPath);
        r.err = ReadText(errPath);
        ::unlink(outPath.c_str());
        ::unlink(errPath.c_str());
        return r;
    }

    // Starts vsthost without waiting for it.
    pid_t Start(const std::vector<std::string>& args) const
    {
        std::vector<std::string> all = {VSTHOST_EXE};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all)
        {
            argv.push_back(&a[0]);
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = -1;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        {
            pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    // A failure: non-zero exit, nothing on stdout, exactly one line on
    // stderr, and nothing left in the work folder but `keep`.
    void ExpectCleanFailure(const Result& r, const std::string& mention,
                            const std::vector<std::string>& keep = {}) const
    {
        EXPECT_NE(r.status, 0);
        EXPECT_LT(r.status, 128) << "crashed";
        EXPECT_EQ(r.out, "");
        // The fixture's own chatter is the plug-in's, not the tool's.
        std::string err = r.err;
        const std::string chatter = "fixture: opened\n";
        for (size_t at; (at = err.find(chatter)) != std::string::npos;)
        {
            err.erase(at, chatter.size());
        }
        ASSERT_FALSE(err.empty());
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
        EXPECT_EQ(err.compare(0, 9, "vsthost: "), 0) << err;
        EXPECT_NE(err.find(mention), std::string::npos) << err;
        std::vector<std::string> left = Entries();
        for (const std::string& k : keep)
        {
            left.erase(std::remove(left.begin(), left.end(), k), left.end());
        }
        EXPECT_TRUE(left.empty()) << "left behind: " << left.front();
    }

    static void WriteWav(const std::string& path, int channels, int rate,
                         const std::vector<float>& interleaved, int format)
    {
        SF_INFO info{};
        info.channels = channels;
        info.samplerate = rate;
        info.format = SF_FORMAT_WAV | format;
        SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
        ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
        sf_writef_float(f, interleaved.data(),
                        static_cast<sf_count_t>(interleaved.size() / channels));
        sf_close(f);
    }

    static Audio ReadWav(const std::string& path)
    {
        Audio a;
        SF_INFO info{};
        SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
        EXPECT_NE(f, nullptr) << path << ": " << sf_strerror(nullptr);
        if (!f)
        {
            return a;
        }
        a.channels = info.channels;
        a.rate = info.samplerate;
        a.format = info.format;
        a.samples.resize(static_cast<size_t>(info.frames * info.channels));
        sf_readf_double(f, a.samples.data(), info.frames);
        sf_close(f);
        return a;
    }

    // `seconds` of a stereo sine at `amplitude`; the right channel has the
    // opposite sign so that channel mix-ups show.
    std::string StereoSine(const std::string& name, int rate, double hz, double amplitude,
                           double seconds = 1.0) const
    {
        const size_t n = static_cast<size_t>(rate * seconds);
        std::vector<float> s(2 * n);
        for (size_t i = 0; i < n; ++i)
        {
            s[2 * i] = static_cast<float>(amplitude * std::sin(2.0 * M_PI * hz * i / rate));
            s[2 * i + 1] = -s[2 * i];
        }
        WriteWav(Path(name), 2, rate, s, SF_FORMAT_FLOAT);
        return Path(name);
    }

    static double Rms(const Audio& a, int channel, size_t from = 0)
    {
        double sum = 0.0;
        size_t n = 0;
        for (size_t f = from; f < a.Frames(); ++f, ++n)
        {
            sum += a.At(f, channel) * a.At(f, channel);
        }
        return n ? std::sqrt(sum / n) : 0.0;
    }

    std::string dir;
};

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// --- info on third-party plug-ins ------------------------------------------

TEST_F(VsthostCli, InfoReportsWhatTheDistrhoThreeBandEqDeclares)
{
    ASSERT_TRUE(Exists(kEq)) << "dpf-plugins-vst is not installed";
    Result r = Run({"info", kEq, "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string& j = r.out;
    // DPF exports only the legacy entry name.
    EXPECT_TRUE(Has(j, "\"entry\": \"main\""));
    EXPECT_TRUE(Has(j, "\"magic\": 1450406992")); // 0x56737450
    EXPECT_TRUE(Has(j, "\"effectName\": \"3 Band EQ\""));
    EXPECT_TRUE(Has(j, "\"vendorString\": \"DISTRHO\""));
    EXPECT_TRUE(Has(j, "\"productString\": \"3BandEQ\""));
    EXPECT_TRUE(Has(j, "\"uniqueIdText\": \"D3EQ\""));
    EXPECT_TRUE(Has(j, "\"numParams\": 6"));
    EXPECT_TRUE(Has(j, "\"numInputs\": 2"));
    EXPECT_TRUE(Has(j, "\"numOutputs\": 2"));
    EXPECT_TRUE(Has(j, "\"vstVersion\": 2400"));
    EXPECT_TRUE(Has(j, "\"categoryName\": \"effect\""));
    EXPECT_TRUE(Has(j, "\"HasEditor\""));
    EXPECT_TRUE(Has(j, "\"CanReplacing\""));
    for (const char* name : {"Low", "Mid", "High", "Master", "Low-Mid Freq", "Mid-High Freq"})
    {
        EXPECT_TRUE(Has(j, std::string("\"name\": \"") + name + "\"")) << name;
    }
    // Gains sit in the middle of their range at 0 dB.
    EXPECT_TRUE(Has(j, "\"label\": \"dB\""));
    EXPECT_TRUE(Has(j, "\"value\": 0.5"));
    EXPECT_TRUE(Has(j, "\"name\": \"Default\""));
    EXPECT_TRUE(Has(j, "\"receiveVstMidiEvent\": -1"));
    EXPECT_TRUE(Has(j, "\"warnings\": []"));
}

TEST_F(VsthostCli, InfoShowsChannelCountsAndSynthFlagOfOtherDistrhoPlugins)
{
    Result crush = Run({"info", kBitcrush, "--json"});
    ASSERT_EQ(crush.status, 0) << crush.err;
    EXPECT_TRUE(Has(crush.out, "\"effectName\": \"MaBitcrush\""));
    EXPECT_TRUE(Has(crush.out, "\"numInputs\": 1"));
    EXPECT_TRUE(Has(crush.out, "\"numOutputs\": 2"));
    EXPECT_TRUE(Has(crush.out, "\"numParams\": 1"));
    EXPECT_TRUE(Has(crush.out, "\"name\": \"resolution\""));
    EXPECT_TRUE(Has(crush.out, "\"label\": \"bits\""));
    EXPECT_TRUE(Has(crush.out, "\"editor\": null"));

    Result kars = Run({"info", kKars, "--json"});
    ASSERT_EQ(kars.status, 0) << kars.err;
    EXPECT_TRUE(Has(kars.out, "\"effectName\": \"Kars\""));
    EXPECT_TRUE(Has(kars.out, "\"IsSynth\""));
    EXPECT_TRUE(Has(kars.out, "\"categoryName\": \"synth\""));
    EXPECT_TRUE(Has(kars.out, "\"numInputs\": 0"));
    EXPECT_TRUE(Has(kars.out, "\"numOutputs\": 1"));
    EXPECT_TRUE(Has(kars.out, "\"inputs\": []"));
}

TEST_F(VsthostCli, InfoOnAnLspPluginUsesTheCurrentEntryAndShowsChunkSupport)
{
    ASSERT_TRUE(Exists(kLspEq)) << "lsp-plugins-vst is not installed";
    Result r = Run({"info", kLspEq, "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "\"entry\": \"VSTPluginMain\""));
    EXPECT_TRUE(Has(r.out, "\"effectName\": \"Parametric Equalizer x16 Stereo\""));
    EXPECT_TRUE(Has(r.out, "\"vendorString\": \"LSP VST\""));
    EXPECT_TRUE(Has(r.out, "\"uniqueIdText\": \"a5er\""));
    EXPECT_TRUE(Has(r.out, "\"ProgramChunks\""));
    EXPECT_TRUE(Has(r.out, "\"numParams\": 157"));
    EXPECT_TRUE(Has(r.out, "\"name\": \"bypass\""));
    EXPECT_TRUE(Has(r.out, "\"name\": \"g_out\""));
}

TEST_F(VsthostCli, InfoTextNamesTheSameFacts)
{
    Result r = Run({"info", kEq});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Magic            0x56737450 (VstP)"));
    EXPECT_TRUE(Has(r.out, "Flags            0x00000011 (HasEditor, CanReplacing)"));
    EXPECT_TRUE(Has(r.out, "Effect name      \"3 Band EQ\""));
    EXPECT_TRUE(Has(r.out, "Parameters (6)"));
    EXPECT_TRUE(Has(r.out, "\"Master\""));
    EXPECT_TRUE(Has(r.out, "hasCockosExtensions"));
}

// --- rendering through third-party plug-ins --------------------------------

TEST_F(VsthostCli, ThreeBandEqAtItsDefaultsPassesASine)
{
    const std::string in = StereoSine("in.wav", 48000, 1000.0, 0.5);
    Result r = Run({"render", kEq, in, Path("out.wav"), "--block", "300"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    Audio src = ReadWav(in), out = ReadWav(Path("out.wav"));
    ASSERT_EQ(out.channels, 2);
    EXPECT_EQ(out.rate, 48000);
    EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    ASSERT_EQ(out.Frames(), src.Frames());
    double worst = 0.0;
    for (size_t i = 0; i < src.samples.size(); ++i)
    {
        worst = std::max(worst, std::fabs(out.samples[i] - src.samples[i]));
    }
    EXPECT_LT(worst, 1e-4);
}

TEST_F(VsthostCli, ThreeBandEqMasterParameterScalesTheLevel)
{
    const std::string in = StereoSine("in.wav", 44100, 440.0, 0.5);
    // Master runs from -24 to +24 dB: 0.25 is -12 dB.
    Result r = Run({"render", kEq, in, Path("out.wav"), "--param", "3=0.25", "--verbose"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.err, "parameter 3 = 0.250000 (-12.0")) << r.err;
    Audio src = ReadWav(in), out = ReadWav(Path("out.wav"));
    // Skip the first 100 ms in case the gain is smoothed.
    const double ratio = Rms(out, 0, 4410) / Rms(src, 0, 4410);
    EXPECT_NEAR(20.0 * std::log10(ratio), -12.0, 0.05);
    EXPECT_NEAR(Rms(out, 1, 4410), Rms(out, 0, 4410), 1e-6);
}

TEST_F(VsthostCli, AccumulatingProcessMatchesReplacingOnZeroedOutputs)
{
    const std::string in = StereoSine("in.wav", 44100, 440.0, 0.5, 0.5);
    ASSERT_EQ(Run({"render", kEq, in, Path("a.wav"), "--param", "1=0.7"}).status, 0);
    Result r =
        Run({"render", kEq, in, Path("b.wav"), "--param", "1=0.7", "--precision", "accumulate"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadText(Path("a.wav")), ReadText(Path("b.wav")));
}

TEST_F(VsthostCli, MonoInputFeedsBothInputsAndSingleInputPluginsGetTheAverage)
{
    // MaBitcrush has one input and two outputs; at 16 bits a quiet sine comes
    // through with only quantisation error, so the input it got is visible.
    const int rate = 44100;
    std::vector<float> mono(rate / 2);
    for (size_t i = 0; i < mono.size(); ++i)
    {
        mono[i] = static_cast<float>(0.5 * std::sin(2.0 * M_PI * 300.0 * i / rate));
    }
    WriteWav(Path("mono.wav"), 1, rate, mono, SF_FORMAT_FLOAT);
    Result r = Run({"render", kEq, Path("mono.wav"), Path("eq.wav")});
    ASSERT_EQ(r.status, 0) << r.err;
    Audio eq = ReadWav(Path("eq.wav"));
    ASSERT_EQ(eq.channels, 2);
    for (size_t f = 0; f < eq.Frames(); f += 97)
    {
        EXPECT_NEAR(eq.At(f, 0), mono[f], 1e-4);
        EXPECT_NEAR(eq.At(f, 1), mono[f], 1e-4);
    }

    // A stereo input whose channels cancel averages to silence on one input.
    const std::string in = StereoSine("in.wav", rate, 300.0, 0.5, 0.5);
    r = Run({"render", kBitcrush, in, Path("crush.wav"), "--param", "0=1"});
    ASSERT_EQ(r.status, 0) << r.err;
    Audio crush = ReadWav(Path("crush.wav"));
    ASSERT_EQ(crush.channels, 2);
    EXPECT_LT(Rms(crush, 0), 1e-3);
    r = Run({"render", kBitcrush, Path("mono.wav"), Path("crush2.wav"), "--param", "0=1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_GT(Rms(ReadWav(Path("crush2.wav")), 0), 0.3);
}

TEST_F(VsthostCli, LspGainChunkRoundTripAndBypass)
{
    const std::string in = StereoSine("in.wav", 48000, 1000.0, 0.5);
    // g_out at 0.6 is about -20 dB.
    Result saved = Run({"render", kLspEq, in, Path("quiet.wav"), "--param", "2=0.6", "--save-chunk",
                        Path("state.bin")});
    ASSERT_EQ(saved.status, 0) << saved.err;
    ASSERT_GT(ReadText(Path("state.bin")).size(), 100u);
    Result plain = Run({"render", kLspEq, in, Path("plain.wav")});
    ASSERT_EQ(plain.status, 0) << plain.err;
    Result loaded =
        Run({"render", kLspEq, in, Path("restored.wav"), "--load-chunk", Path("state.bin")});
    ASSERT_EQ(loaded.status, 0) << loaded.err;

    const size_t settle = 4800;
    const double quiet = Rms(ReadWav(Path("quiet.wav")), 0, settle);
    const double restored = Rms(ReadWav(Path("restored.wav")), 0, settle);
    const double unity = Rms(ReadWav(Path("plain.wav")), 0, settle);
    EXPECT_NEAR(unity, 0.5 / std::sqrt(2.0), 0.01);
    EXPECT_NEAR(20.0 * std::log10(quiet / unity), -20.0, 0.2);
    EXPECT_NEAR(restored, quiet, 1e-3 * quiet);

    // With "bypass" on, the same quiet setting lets the input through
    // untouched once the bypass cross-fade is over.
    Result bypassed =
        Run({"render", kLspEq, in, Path("bypassed.wav"), "--param", "0=1", "--param", "2=0.6"});
    ASSERT_EQ(bypassed.status, 0) << bypassed.err;
    Audio src = ReadWav(in), through = ReadWav(Path("bypassed.wav"));
    ASSERT_EQ(through.Frames(), src.Frames());
    double worst = 0.0;
    for (size_t f = settle; f < src.Frames(); ++f)
    {
        for (int c = 0; c < 2; ++c)
        {
            worst = std::max(worst, std::fabs(through.At(f, c) - src.At(f, c)));
        }
    }
    EXPECT_LT(worst, 1e-6);
}

TEST_F(VsthostCli, GeneratedDemoIsDeterministicStereoAndFourSecondsLong)
{
    Result a = Run({"render", kEq, "--generate", "demo", Path("a.wav")});
    Result b = Run({"render", kEq, "--generate", "demo", Path("b.wav"), "--block", "64"});
    ASSERT_EQ(a.status, 0) << a.err;
    ASSERT_EQ(b.status, 0) << b.err;
    Audio demo = ReadWav(Path("a.wav"));
    EXPECT_EQ(demo.rate, 44100);
    EXPECT_EQ(demo.channels, 2);
    EXPECT_EQ(demo.Frames(), 4u * 44100u);
    EXPECT_GT(Rms(demo, 0), 0.01);
    EXPECT_GT(Rms(demo, 1), 0.01);
    // The pass-through EQ makes the block size irrelevant.
    EXPECT_EQ(ReadText(Path("a.wav")), ReadText(Path("b.wav")));

    Result c = Run({"render", kEq, "--generate", "demo", Path("c.wav"), "--rate", "96000"});
    ASSERT_EQ(c.status, 0) << c.err;
    Audio fast = ReadWav(Path("c.wav"));
    EXPECT_EQ(fast.rate, 96000);
    EXPECT_EQ(fast.Frames(), 4u * 96000u);
}

// --- the fixture modules ----------------------------------------------------

TEST_F(VsthostCli, HostAnswersCallbacksMadeDuringTheEntryCall)
{
    Result r = Run({"info", FIXTURE_GAIN, "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    // What the plug-in printed went to stderr, not into the report.
    EXPECT_EQ(r.out.substr(0, 2), "{\n");
    EXPECT_FALSE(Has(r.out, "fixture: opened"));
    EXPECT_TRUE(Has(r.err, "fixture: opened"));
    EXPECT_TRUE(Has(r.out, "\"productString\": \"on vsthost 2400\""));
    EXPECT_TRUE(Has(r.out, "\"uniqueIdText\": \"qfix\""));
    EXPECT_TRUE(Has(r.out, "\"version\": 1234"));
    EXPECT_TRUE(Has(r.out, "\"initialDelay\": 7"));
    EXPECT_TRUE(Has(r.out, "\"vendorVersion\": 4321"));
    EXPECT_TRUE(Has(r.out, "\"CanDoubleReplacing\""));
    EXPECT_TRUE(Has(r.out, "\"receiveVstTimeInfo\": 1"));
    EXPECT_TRUE(Has(r.out, "\"hasCockosExtensions\": 3203334144"));
    EXPECT_TRUE(Has(r.out, "\"label\": \"In 1\""));
    EXPECT_TRUE(Has(r.out, "\"label\": \"Out 3\""));
    EXPECT_TRUE(Has(r.out, "\"display\": \"1.000\""));
    EXPECT_TRUE(Has(r.out, "\"name\": \"Only\""));
}

TEST_F(VsthostCli, DoublePrecisionWritesSixtyFourBitSamplesAndTransportAdvances)
{
    const int rate = 48000, block = 300;
    const std::string in = StereoSine("in.wav", rate, 1000.0, 0.25, 0.25);
    Result r = Run({"render", FIXTURE_GAIN, in, Path("out.wav"), "--precision", "double", "--block",
                    std::to_string(block)});
    ASSERT_EQ(r.status, 0) << r.err;
    Audio src = ReadWav(in), out = ReadWav(Path("out.wav"));
    EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_DOUBLE);
    ASSERT_EQ(out.channels, 3);
    ASSERT_EQ(out.Frames(), src.Frames());
    for (size_t f = 0; f < out.Frames(); ++f)
    {
        ASSERT_EQ(out.At(f, 0), src.At(f, 0)) << f;
        ASSERT_EQ(out.At(f, 1), src.At(f, 1)) << f;
        // 120 BPM: two quarter notes per second, one time per block.
        const double blockStart = static_cast<double>(f / block * block);
        ASSERT_DOUBLE_EQ(out.At(f, 2), blockStart / rate * 2.0) << f;
    }
}

TEST_F(VsthostCli, ParametersAutomationAndChunksWithoutTheChunkFlag)
{
    const std::string in = StereoSine("in.wav", 44100, 500.0, 0.5, 0.2);
    Result r = Run({"render", FIXTURE_GAIN, in, Path("half.wav"), "--param", "0=0.25",
                    "--save-chunk", Path("chunk.bin"), "--verbose"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.err, "begin edit parameter 0")) << r.err;
    EXPECT_TRUE(Has(r.err, "automate parameter 0 value 0.25")) << r.err;
    EXPECT_TRUE(Has(r.err, "end edit parameter 0")) << r.err;
    EXPECT_EQ(ReadText(Path("chunk.bin")).size(), 8u);

    Result again = Run({"render", FIXTURE_GAIN, in, Path("again.wav"), "--load-chunk",
                        Path("chunk.bin"), "--precision", "accumulate"});
    ASSERT_EQ(again.status, 0) << again.err;
    Audio src = ReadWav(in), half = ReadWav(Path("half.wav")), loaded = ReadWav(Path("again.wav"));
    for (size_t f = 0; f < src.Frames(); f += 31)
    {
        EXPECT_FLOAT_EQ(static_cast<float>(half.At(f, 0)), static_cast<float>(0.5 * src.At(f, 0)));
        EXPECT_FLOAT_EQ(static_cast<float>(loaded.At(f, 1)),
                        static_cast<float>(0.5 * src.At(f, 1)));
    }
}

TEST_F(VsthostCli, AbsurdCountsAreClampedAndReported)
{
    Result r = Run({"info", FIXTURE_ABSURD, "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "\"numInputs\": 1073741824"));
    EXPECT_TRUE(Has(r.out, "numInputs 1073741824 is out of range, using 1024"));
    EXPECT_TRUE(Has(r.out, "numOutputs -5 is out of range, using 0"));
    EXPECT_TRUE(Has(r.out, "numParams 2000000000 is out of range, using 16384"));
    EXPECT_TRUE(Has(r.out, "numPrograms -1 is out of range, using 0"));
    EXPECT_TRUE(Has(r.out, "\"outputs\": []"));

    const std::string in = StereoSine("in.wav", 44100, 500.0, 0.5, 0.1);
    ExpectCleanFailure(Run({"render", FIXTURE_ABSURD, in, Path("out.wav")}), "no audio outputs",
                       {"in.wav"});
}

// --- failures ---------------------------------------------------------------

TEST_F(VsthostCli, ModulesThatAreNotUsablePluginsFailCleanly)
{
    ExpectCleanFailure(Run({"info", Path("missing.so")}), "missing.so");
    ExpectCleanFailure(Run({"info", "/usr/lib/x86_64-linux-gnu/libz.so.1"}),
                       "no VSTPluginMain or main");
    ExpectCleanFailure(Run({"info", FIXTURE_NOENTRY}), "no VSTPluginMain or main");
    ExpectCleanFailure(Run({"info", FIXTURE_NULL}), "no effect record");
    ExpectCleanFailure(Run({"info", FIXTURE_BADMAGIC}), "wrong magic 0x12345678");
    ExpectCleanFailure(Run({"render", FIXTURE_NULL, "--generate", "demo", Path("out.wav")}),
                       "no effect record");
}

TEST_F(VsthostCli, BadAudioFilesFailWithoutLeavingOutput)
{
    ExpectCleanFailure(Run({"render", kEq, Path("nothere.wav"), Path("out.wav")}), "nothere.wav");
    {
        std::ofstream junk(Path("junk.wav"));
        junk << "this is not a sound file";
    }
    ExpectCleanFailure(Run({"render", kEq, Path("junk.wav"), Path("out.wav")}), "junk.wav",
                       {"junk.wav"});
    const std::string in = StereoSine("in.wav", 44100, 500.0, 0.5, 0.1);
    ExpectCleanFailure(Run({"render", kEq, in, dir + "/no/such/dir/out.wav"}), "out.wav",
                       {"in.wav", "junk.wav"});
    // An existing output survives a failed render unchanged.
    {
        std::ofstream keep(Path("keep.wav"));
        keep << "old";
    }
    ExpectCleanFailure(Run({"render", kEq, in, Path("keep.wav"), "--param", "9=0.5"}), "--param 9",
                       {"in.wav", "junk.wav", "keep.wav"});
    EXPECT_EQ(ReadText(Path("keep.wav")), "old");
    ExpectCleanFailure(
        Run({"render", FIXTURE_GAIN, in, Path("o.wav"), "--save-chunk", dir + "/nope/c.bin"}),
        "c.bin", {"in.wav", "junk.wav", "keep.wav"});
    // DPF plug-ins without state give no chunk: that is a failure too.
    ExpectCleanFailure(Run({"render", kEq, in, Path("o.wav"), "--save-chunk", Path("c.bin")}),
                       "no program chunk", {"in.wav", "junk.wav", "keep.wav"});
}

TEST_F(VsthostCli, NoTemporaryFileSurvivesACrashingPluginOrATermination)
{
    const std::string in = StereoSine("in.wav", 44100, 500.0, 0.5, 0.5);
    Result crash = Run({"render", FIXTURE_CRASH, in, Path("out.wav"), "--block", "64"});
    EXPECT_EQ(crash.status, 128 + SIGSEGV);
    EXPECT_EQ(Entries(), std::vector<std::string>{"in.wav"});

    // A render long enough to be caught while its temporary file exists.
    pid_t pid = Start({"render", kEq, "--generate", "demo", Path("long.wav"), "--rate", "2000000",
                       "--block", "1"});
    ASSERT_GT(pid, 0);
    // Sanitizer builds start slowly, so wait for the temporary file as long
    // as the render runs (the render itself takes minutes at this rate).
    bool seen = false;
    bool exited = false;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!seen && !exited && std::chrono::steady_clock::now() < deadline)
    {
        for (const std::string& name : Entries())
        {
            seen = seen || name.find("long.wav.") == 0;
        }
        if (!seen)
        {
            exited = ::waitpid(pid, &status, WNOHANG) == pid;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    if (!exited)
    {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, &status, 0);
    }
    ASSERT_TRUE(seen);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    EXPECT_EQ(Entries(), std::vector<std::string>{"in.wav"});
}

TEST_F(VsthostCli, BadCommandLinesFailWithOneLine)
{
    const std::vector<std::string> keep = {};
    ExpectCleanFailure(Run({"frobnicate"}), "unknown command");
    ExpectCleanFailure(Run({"info"}), "needs a PLUGIN");
    ExpectCleanFailure(Run({"info", kEq, "--jsn"}), "unknown option --jsn");
    ExpectCleanFailure(Run({"render", kEq, "--generate", "demo", Path("o.wav"), "--bogus"}),
                       "unknown option --bogus");
    ExpectCleanFailure(Run({"render", kEq, "--generate", "noise", Path("o.wav")}), "--generate");
    ExpectCleanFailure(Run({"render", kEq, Path("o.wav")}), "IN.wav OUT.wav");
    for (const char* bad : {"x", "1", "1=", "=0.5", "-1=0.5", "1=1.5", "1=nan", "1=0.5x"})
    {
        ExpectCleanFailure(
            Run({"render", kEq, "--generate", "demo", Path("o.wav"), "--param", bad}), "--param");
    }
    ExpectCleanFailure(Run({"render", kEq, "--generate", "demo", Path("o.wav"), "--block", "0"}),
                       "--block");
    ExpectCleanFailure(Run({"render", kEq, "--generate", "demo", Path("o.wav"), "--rate"}),
                       "needs a value");
    ExpectCleanFailure(Run({"render", kEq, "--generate", "demo", Path("o.wav"), "--program", "1"}),
                       "program");
    ExpectCleanFailure(
        Run({"render", kEq, "--generate", "demo", Path("o.wav"), "--precision", "double"}),
        "processDoubleReplacing");
}
} // namespace
