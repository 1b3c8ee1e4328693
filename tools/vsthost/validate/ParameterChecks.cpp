// Parameters: their texts at several values, values and indexes a careless
// host sends, reading back, automation inside blocks and from another thread.
#include "Check.h"
#include "CheckContext.h"
#include "SecondThread.h"
#include "TextProbe.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <limits>

namespace
{
Outcome Texts(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Prepared();
    AEffect* e = h->Effect();
    const std::vector<float> values =
        context.Level() <= 1 ? std::vector<float>{0.0f, 0.5f, 1.0f}
                             : std::vector<float>{0.0f, 0.1f, 0.25f, 0.5f, 0.75f, 1.0f};
    TextTally tally;
    int emptyNames = 0;
    for (int32_t i = 0; i < h->Plugin().Params(); ++i)
    {
        context.Step("effGetParamName " + std::to_string(i));
        TextProbe name = TextProbe::Ask(h->Plugin(), effGetParamName, i);
        tally.Add(name, "effGetParamName", i, kVstMaxParamStrLen);
        emptyNames += name.text.empty() ? 1 : 0;
        for (float v : values)
        {
            context.Step("parameter " + std::to_string(i) + " texts at " + std::to_string(v));
            e->setParameter(e, i, v);
            tally.Add(TextProbe::Ask(h->Plugin(), effGetParamLabel, i), "effGetParamLabel", i,
                      kVstMaxParamStrLen);
            tally.Add(TextProbe::Ask(h->Plugin(), effGetParamDisplay, i), "effGetParamDisplay", i,
                      kVstMaxParamStrLen);
        }
    }
    Outcome o = tally.Judge(std::to_string(tally.probes) + " parameter texts within 8 bytes");
    if (o.verdict == Verdict::Pass && emptyNames > 0)
    {
        return Warn(std::to_string(emptyNames) + " parameters without a name");
    }
    return o;
}

Outcome OutOfRange(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Prepared();
    AEffect* e = h->Effect();
    const int32_t n = h->Plugin().Params();
    const float odd[] = {-1.0f,
                         2.0f,
                         1e30f,
                         std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity()};
    std::string stored;
    for (int32_t i = 0; i < n; ++i)
    {
        for (float v : odd)
        {
            context.Step("setParameter " + std::to_string(i) + " to " + std::to_string(v));
            e->setParameter(e, i, v);
            const float got = e->getParameter(e, i);
            if (!std::isfinite(got) && stored.empty())
            {
                stored = "parameter " + std::to_string(i) + " set to " + std::to_string(v) +
                         " reads back as " + std::to_string(got);
            }
            h->Plugin().QueryText(effGetParamDisplay, i);
        }
        // Something sane again, so that the next one plays with a valid set.
        e->setParameter(e, i, 0.5f);
    }
    for (int32_t i : {-1, n, n + 1, 1 << 20, std::numeric_limits<int32_t>::max()})
    {
        context.Step("parameter index " + std::to_string(i));
        e->setParameter(e, i, 0.5f);
        e->getParameter(e, i);
        h->Plugin().QueryText(effGetParamName, i);
        h->Plugin().QueryText(effGetParamLabel, i);
        h->Plugin().QueryText(effGetParamDisplay, i);
    }
    // Once more with every parameter at NaN while processing: the audio must
    // survive what the host got wrong.
    for (int32_t i = 0; i < n; ++i)
    {
        e->setParameter(e, i, std::numeric_limits<float>::quiet_NaN());
    }
    context.Step("processing with every parameter set to NaN");
    std::string fault = OutputFault(h->Run(context.Music(22050)), false);
    if (!fault.empty())
    {
        return Fail("after NaN parameter values: " + fault);
    }
    if (!stored.empty())
    {
        return Warn(stored);
    }
    return Pass("values outside 0..1, NaN, infinities and indexes -1, " + std::to_string(n) +
                ", 2^20, 2^31-1 survived; reads stay finite");
}

Outcome GetAfterSet(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Prepared();
    AEffect* e = h->Effect();
    std::uniform_real_distribution<float> any(0.0f, 1.0f);
    int stepped = 0;
    for (int32_t i = 0; i < h->Plugin().Params(); ++i)
    {
        bool quantised = false;
        for (int k = 0; k < context.Scale(3, 8, 32); ++k)
        {
            const float v = k == 0 ? 0.0f : k == 1 ? 1.0f : any(context.Random());
            context.Step("parameter " + std::to_string(i) + " set to " + std::to_string(v));
            e->setParameter(e, i, v);
            const float got = e->getParameter(e, i);
            if (!std::isfinite(got) || got < 0.0f || got > 1.0f)
            {
                return Fail("parameter " + std::to_string(i) + " set to " + std::to_string(v) +
                            " reads back as " + std::to_string(got));
            }
            if (std::fabs(got - v) > 1e-4f)
            {
                quantised = true;
                // A stepped value must at least be a fixed point of its steps.
                e->setParameter(e, i, got);
                const float again = e->getParameter(e, i);
                if (std::fabs(again - got) > 1e-4f)
                {
                    return Fail("parameter " + std::to_string(i) + ": set " + std::to_string(v) +
                                ", read " + std::to_string(got) + ", set that, read " +
                                std::to_string(again));
                }
            }
        }
        stepped += quantised ? 1 : 0;
    }
    return Pass("every value reads back (" + std::to_string(stepped) + " of " +
                std::to_string(h->Plugin().Params()) + " parameters are stepped)");
}

Outcome Automation(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Prepared();
    AEffect* e = h->Effect();
    const int32_t n = h->Plugin().Params();
    if (n == 0)
    {
        return Pass("no parameters");
    }
    std::uniform_real_distribution<float> any(0.0f, 1.0f);
    std::uniform_int_distribution<int32_t> which(0, n - 1);
    int changes = 0;
    RunOptions o;
    o.block = 32;
    o.beforeBlock = [&](int64_t)
    {
        e->setParameter(e, which(context.Random()), any(context.Random()));
        ++changes;
    };
    context.Step("a parameter change every 32 frames");
    std::string fault =
        OutputFault(h->Run(context.Music(context.Scale(44100, 88200, 441000)), o), false);
    if (!fault.empty())
    {
        return Fail("automated every 32 frames: " + fault);
    }
    return Pass(std::to_string(changes) + " changes, one every 32 frames: output finite");
}

Outcome Threaded(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Prepared();
    AEffect* e = h->Effect();
    const int32_t n = h->Plugin().Params();
    if (n == 0)
    {
        return Pass("no parameters");
    }
    std::atomic<long> changes{0};
    const uint64_t seed = context.Seed();
    Audio out;
    {
        // A host's editor or automation thread, writing while audio runs.
        SecondThread writer(
            [&](const std::atomic<bool>& stop)
            {
                std::mt19937_64 random(seed);
                std::uniform_real_distribution<float> any(0.0f, 1.0f);
                std::uniform_int_distribution<int32_t> which(0, n - 1);
                while (!stop.load())
                {
                    const int32_t i = which(random);
                    e->setParameter(e, i, any(random));
                    e->getParameter(e, i);
                    changes.fetch_add(1);
                }
            });
        context.Step("processing while another thread sets parameters");
        out = h->Run(context.Music(context.Scale(44100, 132300, 441000)));
    }
    std::string fault = OutputFault(out, false);
    if (!fault.empty())
    {
        return Fail(fault);
    }
    return Pass(std::to_string(changes.load()) +
                " setParameter calls from a second thread while processing");
}
} // namespace

std::vector<Check> ParameterChecks()
{
    return {
        {"parameters.texts", Texts},
        {"parameters.out-of-range", OutOfRange},
        {"parameters.get-after-set", GetAfterSet},
        {"parameters.automation", Automation},
        {"parameters.threaded", Threaded},
    };
}
