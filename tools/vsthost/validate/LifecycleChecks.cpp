// Lifecycle: the call orders real hosts use, repeated creation, several
// instances at once, and the module loaded again and again.
#include "Check.h"
#include "CheckContext.h"
#include "Platform.h"
#include "PluginModule.h"

#include <cstdio>

namespace
{
// A prepared instance still processes sanely.
Outcome Processes(Harness& h, CheckContext& context, const std::string& what)
{
    context.Step(what + ", then processing");
    std::string fault = OutputFault(h.Run(context.Music(22050)));
    return fault.empty() ? Pass(what + ", then processed") : Fail(what + ": " + fault);
}

Outcome ScanOrder(CheckContext& context)
{
    // A scanning host sets rate and block size before effOpen.
    std::unique_ptr<Harness> h = context.Load();
    context.Step("rate and block size before effOpen");
    h->SetRate(48000.0);
    h->SetBlockSize(1024);
    h->Plugin().Open();
    h->Plugin().QueryText(effGetEffectName);
    h->Resume();
    return Processes(*h, context, "rate and block size before effOpen");
}

Outcome OpenTwice(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Load();
    context.Step("effOpen twice");
    h->Plugin().Open();
    h->Plugin().Open();
    h->SetRate(44100.0);
    h->SetBlockSize(512);
    h->Resume();
    return Processes(*h, context, "effOpen twice");
}

Outcome CloseWithoutSuspend(CheckContext& context)
{
    {
        std::unique_ptr<Harness> h = context.Prepared();
        context.Step("processing before effClose while resumed");
        h->Run(context.Music(4096));
        context.Step("effClose while resumed");
        h->Plugin().Close();
    }
    std::unique_ptr<Harness> again = context.Prepared();
    return Processes(*again, context, "effClose while resumed, a new instance");
}

Outcome ResumeToggle(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Load();
    h->Plugin().Open();
    h->SetRate(44100.0);
    h->SetBlockSize(512);
    context.Step("resume, suspend, resume, suspend, resume");
    h->Resume();
    h->Suspend();
    h->Resume();
    h->Suspend();
    h->Resume();
    Outcome first = Processes(*h, context, "resume/suspend toggled twice");
    if (first.verdict != Verdict::Pass)
    {
        return first;
    }
    // A host changing the rate toggles again.
    h->Suspend();
    h->SetRate(96000.0);
    h->Resume();
    h->Suspend();
    h->Resume();
    return Processes(*h, context, "resume/suspend toggled twice at each start, rate changed");
}

Outcome Cycles(CheckContext& context)
{
    const int cycles = context.Scale(20, 100, 300);
    // The first cycles fill caches and pools; growth is measured after them.
    const int warmUp = cycles / 10;
    const Audio input = context.Music(4096);
    // The module stays loaded, so that only instances come and go.
    PluginModule keeper;
    std::string error;
    keeper.Load(context.Path(), error);
    size_t before = 0;
    for (int i = 0; i < cycles; ++i)
    {
        if (i == warmUp)
        {
            before = Platform::MemoryInUse();
        }
        context.Step("cycle " + std::to_string(i + 1));
        std::string fault = OutputFault(context.RenderFresh(input));
        if (!fault.empty())
        {
            return Fail("cycle " + std::to_string(i + 1) + ": " + fault);
        }
    }
    const size_t after = Platform::MemoryInUse();
    const double grown = before && after > before ? static_cast<double>(after - before) : 0.0;
    const int measured = cycles - warmUp;
    char text[200];
    std::snprintf(text, sizeof(text),
                  "%d create/open/process/close cycles; memory grew %.0f KiB over the last %d "
                  "(%.1f KiB per cycle)",
                  cycles, grown / 1024.0, measured, grown / 1024.0 / measured);
    // A leak of a few KiB per instance is what a host that opens many notices.
    if (grown > 1024.0 * 1024.0 && grown / measured > 4096.0)
    {
        return Warn(text);
    }
    return Pass(text);
}

Outcome Instances(CheckContext& context)
{
    const int count = context.Scale(4, 8, 16);
    const Audio input = context.Music(44100);
    context.Step("two instances, one after the other");
    const Audio alone = context.RenderFresh(input);
    const bool repeatable = Identical(alone, context.RenderFresh(input));
    std::vector<std::unique_ptr<Harness>> all;
    for (int i = 0; i < count; ++i)
    {
        context.Step("instance " + std::to_string(i + 1) + " alive with the others");
        all.push_back(context.Prepared());
    }
    // Interleaved, block by block, as a host running several tracks does.
    std::vector<Audio> outputs;
    for (auto& h : all)
    {
        outputs.emplace_back(h->Outputs(), input.Frames());
    }
    for (int64_t at = 0; at < input.Frames(); at += 512)
    {
        Audio block(static_cast<int32_t>(input.channels.size()),
                    std::min<int64_t>(512, input.Frames() - at));
        for (size_t c = 0; c < input.channels.size(); ++c)
        {
            std::copy(input.channels[c].begin() + at,
                      input.channels[c].begin() + at + block.Frames(), block.channels[c].begin());
        }
        RunOptions together;
        together.advanceTransport = false;
        for (size_t i = 0; i < all.size(); ++i)
        {
            Audio out = all[i]->Run(block, together);
            for (size_t c = 0; c < out.channels.size(); ++c)
            {
                std::copy(out.channels[c].begin(), out.channels[c].end(),
                          outputs[i].channels[c].begin() + at);
            }
        }
        context.Host().GetTransport().Advance(static_cast<int32_t>(block.Frames()));
    }
    for (size_t i = 0; i < outputs.size(); ++i)
    {
        std::string fault = OutputFault(outputs[i]);
        if (!fault.empty())
        {
            return Fail("instance " + std::to_string(i + 1) + ": " + fault);
        }
        if (repeatable && !Identical(outputs[i], alone))
        {
            char text[200];
            std::snprintf(text, sizeof(text),
                          "instance %zu of %d differs from one alone by %g: instances share state",
                          i + 1, count, MaxDifference(outputs[i], alone));
            return Fail(text);
        }
    }
    return Pass(std::to_string(count) + " instances processed interleaved" +
                (repeatable ? ", each as if alone" : " (output not repeatable, not compared)"));
}

Outcome Reload(CheckContext& context)
{
    const int times = context.Scale(5, 20, 50);
    const Audio input = context.Music(2048);
    for (int i = 0; i < times; ++i)
    {
        context.Step("load " + std::to_string(i + 1));
        // No other instance holds the module, so each closes unloads it.
        std::string fault = OutputFault(context.RenderFresh(input));
        if (!fault.empty())
        {
            return Fail("load " + std::to_string(i + 1) + ": " + fault);
        }
    }
    return Pass("module loaded, used and unloaded " + std::to_string(times) + " times");
}
} // namespace

std::vector<Check> LifecycleChecks()
{
    return {
        {"lifecycle.scan-order", ScanOrder},
        {"lifecycle.open-twice", OpenTwice},
        {"lifecycle.close-without-suspend", CloseWithoutSuspend},
        {"lifecycle.resume-toggle", ResumeToggle},
        {"lifecycle.cycles", Cycles},
        {"lifecycle.instances", Instances},
        {"lifecycle.reload", Reload},
    };
}
