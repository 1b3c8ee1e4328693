// Audio: every callback, rates, block sizes, buffer layouts, precision, hard
// inputs, recovery from a bad block, and the time silence costs.
#include "Check.h"
#include "CheckContext.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>

namespace
{
std::string Number(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

// Why two renders of the same input by fresh instances cannot be compared, or
// empty when they give the same bits.
std::string Unrepeatable(CheckContext& context, const Audio& input, const Audio& first)
{
    context.Step("the same render again, to see whether it repeats");
    const Audio again = context.RenderFresh(input);
    if (Identical(first, again))
    {
        return std::string();
    }
    return "output not repeatable (two identical renders differ by " +
           Number("%g", MaxDifference(first, again)) + ")";
}

Outcome Callbacks(CheckContext& context)
{
    const Audio input = context.Music(44100);
    std::unique_ptr<Harness> probe = context.Load();
    AEffect* e = probe->Effect();
    struct Path
    {
        Callback callback;
        const char* name;
        bool present;
    };
    const Path paths[] = {{Callback::Replace, "processReplacing", e->processReplacing != nullptr},
                          {Callback::Double, "processDoubleReplacing", probe->HasDouble()},
                          {Callback::Accumulate, "process", e->process != nullptr}};
    probe.reset();
    std::string used;
    for (const Path& p : paths)
    {
        if (!p.present)
        {
            continue;
        }
        context.Step(p.name);
        RunOptions o;
        o.callback = p.callback;
        std::string fault = OutputFault(context.RenderFresh(input, o));
        if (!fault.empty())
        {
            return Fail(std::string(p.name) + ": " + fault);
        }
        used += std::string(used.empty() ? "" : ", ") + p.name;
    }
    return used.empty() ? Fail("no process callback") : Pass(used + ": finite and bounded");
}

Outcome SampleRates(CheckContext& context)
{
    const std::vector<double> rates =
        context.Level() <= 1
            ? std::vector<double>{8000, 44100, 96000, 384000}
            : std::vector<double>{8000,  11025, 16000,  22050,  32000,  44100, 48000,
                                  88200, 96000, 176400, 192000, 352800, 384000};
    for (double rate : rates)
    {
        context.Step(Number("%.0f Hz", rate));
        const Audio input =
            MakeSignal(SignalKind::Music, 2, static_cast<int64_t>(rate / 2), rate, context.Seed());
        std::string fault = OutputFault(context.RenderFresh(input, RunOptions(), rate));
        if (!fault.empty())
        {
            return Fail(Number("at %.0f Hz: ", rate) + fault);
        }
    }
    return Pass(std::to_string(rates.size()) + " rates from 8 to 384 kHz");
}

Outcome BlockSizes(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Prepared(44100.0, 4096);
    std::mt19937_64& random = context.Random();
    for (int32_t size : {1, 7, 96, 512, 4096})
    {
        context.Step("blocks of " + std::to_string(size));
        RunOptions o;
        o.block = size;
        std::string fault = OutputFault(h->Run(context.Music(size == 1 ? 2048 : 4 * size), o));
        if (!fault.empty())
        {
            return Fail("blocks of " + std::to_string(size) + ": " + fault);
        }
    }
    context.Step("a block of 0 frames");
    {
        std::vector<float> none(1, 0.0f);
        std::vector<float*> in(static_cast<size_t>(std::max(h->Inputs(), 1)), none.data());
        std::vector<float*> out(static_cast<size_t>(std::max(h->Outputs(), 1)), none.data());
        h->Effect()->processReplacing(h->Effect(), in.data(), out.data(), 0);
    }
    context.Step("random block sizes 1..4096");
    RunOptions o;
    std::uniform_int_distribution<int32_t> size(1, 4096);
    o.nextBlock = [&]() { return size(random); };
    std::string fault = OutputFault(h->Run(context.Music(44100), o));
    if (!fault.empty())
    {
        return Fail("random block sizes: " + fault);
    }
    // Hosts announce one size and then send more (offline renders, bounces).
    context.Step("blocks of 2048 after announcing 512");
    std::unique_ptr<Harness> small = context.Prepared(44100.0, 512);
    o = RunOptions();
    o.block = 2048;
    fault = OutputFault(small->Run(context.Music(8192), o));
    if (!fault.empty())
    {
        return Fail("blocks of 2048 after announcing 512: " + fault);
    }
    return Pass("1, 7, 96, 512, 4096, 0, random, and 2048 after announcing 512");
}

Outcome InPlace(CheckContext& context)
{
    const Audio input = context.Music(44100);
    context.Step("separate buffers");
    const Audio separate = context.RenderFresh(input);
    context.Step("in place");
    RunOptions o;
    o.inPlace = true;
    const Audio inPlace = context.RenderFresh(input, o);
    if (Identical(separate, inPlace))
    {
        return Pass("in-place output is bit-identical");
    }
    std::string why = Unrepeatable(context, input, separate);
    if (!why.empty())
    {
        return Warn(why);
    }
    return Fail("in-place output differs from separate buffers by " +
                Number("%g", MaxDifference(separate, inPlace)));
}

Outcome Precision(CheckContext& context)
{
    std::unique_ptr<Harness> probe = context.Load();
    if (!probe->HasDouble())
    {
        return Pass("no processDoubleReplacing");
    }
    probe.reset();
    const Audio input = context.Music(44100);
    context.Step("float");
    const Audio single = context.RenderFresh(input);
    context.Step("double");
    RunOptions o;
    o.callback = Callback::Double;
    const Audio twice = context.RenderFresh(input, o);
    // The float path rounds every input, every state and every output to 24
    // bits; through a few stages of gain that is a few parts per million of
    // the output's peak. 1e-4 of the peak (-80 dB) is well above that and
    // far below any audible difference.
    const double peak = std::max(Peak(twice), 1e-3);
    const double difference = MaxDifference(single, twice);
    const std::string text = "float and double differ by at most " + Number("%.3g", difference) +
                             " (peak " + Number("%.3g", peak) + ")";
    if (difference <= 1e-4 * peak)
    {
        return Pass(text);
    }
    std::string why = Unrepeatable(context, input, single);
    if (!why.empty())
    {
        return Warn(why);
    }
    return difference <= 1e-2 * peak ? Warn(text) : Fail(text);
}

Outcome Accumulate(CheckContext& context)
{
    std::unique_ptr<Harness> probe = context.Load();
    if (!probe->Effect()->process)
    {
        return Pass("no process callback");
    }
    probe.reset();
    const Audio input = context.Music(44100);
    context.Step("processReplacing");
    const Audio replaced = context.RenderFresh(input);
    context.Step("process onto outputs holding 0.25");
    RunOptions o;
    o.callback = Callback::Accumulate;
    o.prefill = 0.25;
    const Audio added = context.RenderFresh(input, o);
    Audio expected = replaced;
    for (auto& c : expected.channels)
    {
        for (double& v : c)
        {
            v = static_cast<double>(static_cast<float>(v) + 0.25f);
        }
    }
    const double tolerance = 1e-6 * std::max(1.0, Peak(expected));
    if (MaxDifference(added, expected) <= tolerance)
    {
        return Pass("process adds its output to what the buffers held");
    }
    std::string why = Unrepeatable(context, input, replaced);
    if (!why.empty())
    {
        return Warn(why);
    }
    if (MaxDifference(added, replaced) <= tolerance)
    {
        return Fail("process replaces what the buffers held instead of adding to it");
    }
    return Fail("process output differs from processReplacing plus the buffers by " +
                Number("%g", MaxDifference(added, expected)));
}

Outcome Extremes(CheckContext& context)
{
    struct Case
    {
        SignalKind kind;
        const char* name;
    };
    const Case cases[] = {{SignalKind::Loud, "loud (+26 dBFS)"},
                          {SignalKind::Silence, "silence"},
                          {SignalKind::Dc, "DC 0.5"},
                          {SignalKind::FullScale, "full-scale square"},
                          {SignalKind::Noise, "full-scale noise"}};
    for (const Case& c : cases)
    {
        context.Step(c.name);
        const Audio input = MakeSignal(c.kind, 2, 88200, 44100.0, context.Seed());
        std::string fault = OutputFault(context.RenderFresh(input));
        if (!fault.empty())
        {
            return Fail(std::string(c.name) + ": " + fault);
        }
    }
    return Pass("loud, silent, DC, full-scale square and noise: finite, within +60 dBFS");
}

// Blocks after the poisoned one until the output stays finite, or -1.
int BlocksToRecover(CheckContext& context, double poison, int maxBlocks)
{
    std::unique_ptr<Harness> h = context.Prepared();
    h->Run(context.Music(22050));
    Audio bad(2, 512);
    for (auto& c : bad.channels)
    {
        std::fill(c.begin(), c.end(), poison);
    }
    h->Run(bad);
    const Audio after = context.Music(512 * static_cast<int64_t>(maxBlocks));
    int lastBad = -1;
    const Audio out = h->Run(after);
    for (size_t c = 0; c < out.channels.size(); ++c)
    {
        for (size_t i = 0; i < out.channels[c].size(); ++i)
        {
            if (!std::isfinite(out.channels[c][i]))
            {
                lastBad = std::max(lastBad, static_cast<int>(i / 512));
            }
        }
    }
    return lastBad + 1 >= maxBlocks ? -1 : lastBad + 1;
}

Outcome NanRecovery(CheckContext& context)
{
    // Two seconds: whatever has not recovered by then will not.
    const int maxBlocks = 2 * 44100 / 512;
    std::string text;
    for (double poison :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
    {
        const char* name = std::isnan(poison) ? "NaN" : "infinity";
        context.Step(std::string("a block of ") + name);
        int blocks = BlocksToRecover(context, poison, maxBlocks);
        if (blocks < 0)
        {
            return Fail(std::string("one block of ") + name +
                        " input: output still not finite 2 s later");
        }
        text += std::string(text.empty() ? "" : ", ") + name + ": " + std::to_string(blocks) +
                " block" + (blocks == 1 ? "" : "s");
    }
    return Pass("blocks of 512 to recover from one bad block: " + text);
}

Outcome DenormalStall(CheckContext& context)
{
    const int seconds = context.Scale(4, 6, 11);
    const int repeats = context.Scale(3, 5, 7);
    const int rate = 44100;
    const int block = 441; // 100 blocks a second, windows on block boundaries
    const int blocksPerWindow = rate / block;
    const Audio signal = context.Music(static_cast<int64_t>(seconds) * rate);
    // One second of signal, then silence: whatever rings on decays towards
    // the denormal range.
    Audio quiet = signal;
    for (auto& c : quiet.channels)
    {
        std::fill(c.begin() + rate, c.end(), 0.0);
    }
    // Below a millisecond per second of audio, timer resolution and cache
    // effects dominate; a stall that small costs a host nothing.
    const double floor = 1e-3;
    // Per window, the ratio of each repeat. The two instances take turns
    // block by block, so that whatever else the machine does falls on both
    // alike; the median over repeats drops the odd disturbed window, while
    // a stall is there every time.
    std::vector<std::vector<double>> ratios(static_cast<size_t>(seconds));
    std::vector<std::vector<double>> quietMs(static_cast<size_t>(seconds));
    std::vector<std::vector<double>> signalMs(static_cast<size_t>(seconds));
    for (int r = 0; r < repeats; ++r)
    {
        context.Step("signal beside signal then silence, run " + std::to_string(r + 1));
        std::unique_ptr<Harness> a = context.Prepared(rate, block);
        std::unique_ptr<Harness> b = context.Prepared(rate, block);
        std::vector<double> timesA, timesB;
        RunOptions o;
        o.block = block;
        for (int64_t at = 0; at < signal.Frames(); at += block)
        {
            Audio pieceA(2, block), pieceB(2, block);
            for (size_t c = 0; c < 2; ++c)
            {
                std::copy(signal.channels[c].begin() + at, signal.channels[c].begin() + at + block,
                          pieceA.channels[c].begin());
                std::copy(quiet.channels[c].begin() + at, quiet.channels[c].begin() + at + block,
                          pieceB.channels[c].begin());
            }
            o.blockSeconds = &timesA;
            a->Run(pieceA, o);
            o.blockSeconds = &timesB;
            b->Run(pieceB, o);
        }
        for (size_t w = 0; w < static_cast<size_t>(seconds); ++w)
        {
            double ta = 0.0, tb = 0.0;
            for (size_t k = w * blocksPerWindow; k < (w + 1) * blocksPerWindow; ++k)
            {
                ta += timesA[k];
                tb += timesB[k];
            }
            ratios[w].push_back(tb / std::max(ta, floor));
            signalMs[w].push_back(1e3 * ta);
            quietMs[w].push_back(1e3 * tb);
        }
    }
    auto median = [](std::vector<double> x)
    {
        std::sort(x.begin(), x.end());
        return x[x.size() / 2];
    };
    double worst = 0.0;
    size_t worstWindow = 1;
    for (size_t w = 1; w < ratios.size(); ++w)
    {
        const double ratio = median(ratios[w]);
        if (ratio > worst)
        {
            worst = ratio;
            worstWindow = w;
        }
    }
    char text[200];
    std::snprintf(text, sizeof(text),
                  "worst second of silence after signal (second %zu) takes %.2fx the signal's "
                  "(%.2f ms vs %.2f ms per second of audio, median of %d)",
                  worstWindow + 1, worst, median(quietMs[worstWindow]),
                  median(signalMs[worstWindow]), repeats);
    return worst > 1.5 ? Warn(text) : Pass(text);
}
} // namespace

std::vector<Check> AudioChecks()
{
    return {
        {"audio.callbacks", Callbacks},
        {"audio.sample-rates", SampleRates},
        {"audio.block-sizes", BlockSizes},
        {"audio.in-place", InPlace},
        {"audio.precision", Precision},
        {"audio.accumulate", Accumulate},
        {"audio.extremes", Extremes},
        {"audio.nan-recovery", NanRecovery},
        {"audio.denormal-stall", DenormalStall},
    };
}
