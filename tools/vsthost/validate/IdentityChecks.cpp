// Load and identity: what a scanning host reads before it ever processes.
#include "Check.h"
#include "CheckContext.h"
#include "TextProbe.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace
{
std::string FourChars(int32_t id)
{
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        char c = static_cast<char>((static_cast<uint32_t>(id) >> shift) & 0xff);
        s += (c >= 32 && c < 127) ? c : '.';
    }
    return s;
}

Outcome Magic(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Load();
    // PluginInstance refuses a wrong magic, a missing entry and a null record.
    return Pass("magic VstP through " + h->Plugin().EntryName());
}

Outcome EntryFunctions(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Load();
    AEffect* e = h->Effect();
    std::string missing;
    if (!e->setParameter)
    {
        missing += " setParameter";
    }
    if (!e->getParameter)
    {
        missing += " getParameter";
    }
    if (!e->processReplacing)
    {
        missing += " processReplacing";
    }
    if ((e->flags & effFlagsCanDoubleReplacing) && !e->processDoubleReplacing)
    {
        missing += " processDoubleReplacing (announced by its flag)";
    }
    if (!missing.empty())
    {
        return Fail("null:" + missing);
    }
    if (!(e->flags & effFlagsCanReplacing))
    {
        return Warn("no effFlagsCanReplacing: 2.4 hosts call only processReplacing");
    }
    if (!e->process)
    {
        return Warn("process (accumulating) is null; older hosts call it");
    }
    return Pass(std::string("process, processReplacing") +
                (h->HasDouble() ? ", processDoubleReplacing" : "") +
                ", setParameter, getParameter");
}

Outcome Counts(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Load();
    h->Plugin().Open();
    AEffect* e = h->Effect();
    char text[200];
    std::snprintf(text, sizeof(text), "%d in, %d out, %d parameters, %d programs, delay %d",
                  static_cast<int>(e->numInputs), static_cast<int>(e->numOutputs),
                  static_cast<int>(e->numParams), static_cast<int>(e->numPrograms),
                  static_cast<int>(e->initialDelay));
    if (!h->Plugin().Warnings().empty())
    {
        return Fail(h->Plugin().Warnings().front());
    }
    if (e->numInputs == 0 && e->numOutputs == 0)
    {
        return Warn(std::string(text) + ": no channels at all");
    }
    if (e->initialDelay < 0 || e->initialDelay > 10 * 192000)
    {
        return Fail(std::string(text) + ": initialDelay out of range");
    }
    return Pass(text);
}

Outcome UniqueId(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Load();
    const int32_t id = h->Effect()->uniqueID;
    char text[64];
    std::snprintf(text, sizeof(text), "%" PRId32 " ('%s')", id, FourChars(id).c_str());
    if (id == 0)
    {
        return Fail("uniqueID is 0: hosts tell plug-ins apart by it");
    }
    return Pass(text);
}

Outcome Strings(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Prepared();
    const PluginInstance& p = h->Plugin();
    TextTally tally;
    struct Named
    {
        int32_t opcode;
        const char* name;
        size_t limit;
    };
    const Named identity[] = {{effGetEffectName, "effGetEffectName", kVstMaxEffectNameLen},
                              {effGetVendorString, "effGetVendorString", kVstMaxVendorStrLen},
                              {effGetProductString, "effGetProductString", kVstMaxProductStrLen}};
    std::string empty;
    for (const Named& n : identity)
    {
        context.Step(n.name);
        TextProbe t = TextProbe::Ask(p, n.opcode);
        tally.Add(t, n.name, -1, n.limit);
        // Hosts list plug-ins by effect name; vendor and product are optional.
        if (t.text.empty() && n.opcode == effGetEffectName)
        {
            empty += std::string(empty.empty() ? "" : ", ") + n.name;
        }
    }
    context.Step("effGetProgramName");
    tally.Add(TextProbe::Ask(p, effGetProgramName), "effGetProgramName", -1, kVstMaxProgNameLen);
    const int32_t programs = std::min<int32_t>(p.Programs(), context.Scale(16, 128, 16384));
    for (int32_t i = 0; i < programs; ++i)
    {
        context.Step("effGetProgramNameIndexed " + std::to_string(i));
        tally.Add(TextProbe::Ask(p, effGetProgramNameIndexed, i), "effGetProgramNameIndexed", i,
                  kVstMaxProgNameLen);
    }
    // Pin properties are a record; writing past it is writing past the buffer.
    for (int32_t output = 0; output < 2; ++output)
    {
        const int32_t count = output ? p.Outputs() : p.Inputs();
        const char* name = output ? "effGetOutputProperties" : "effGetInputProperties";
        for (int32_t i = 0; i < count; ++i)
        {
            context.Step(std::string(name) + " " + std::to_string(i));
            TextProbe t =
                TextProbe::Ask(p, output ? effGetOutputProperties : effGetInputProperties, i);
            if (t.written > sizeof(VstPinProperties))
            {
                return Fail(t.Excess(name, i, sizeof(VstPinProperties)));
            }
        }
    }
    Outcome o =
        tally.Judge(std::to_string(tally.probes) + " texts within their documented lengths");
    if (o.verdict == Verdict::Pass && !empty.empty())
    {
        return Warn("empty: " + empty);
    }
    return o;
}

Outcome CanDo(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Prepared();
    const char* const asks[] = {
        "sendVstEvents",      "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent",
        "receiveVstTimeInfo", "offline",          "midiProgramNames", "bypass",
        "hasCockosExtensions"};
    std::string yes;
    std::string odd;
    for (const char* ask : asks)
    {
        context.Step(std::string("effCanDo ") + ask);
        std::string copy = ask;
        VstIntPtr r = h->Plugin().Dispatch(effCanDo, 0, 0, &copy[0]);
        if (r == 1)
        {
            yes += std::string(yes.empty() ? "" : ", ") + ask;
        }
        else if (r != 0 && r != -1 &&
                 !(std::strcmp(ask, "hasCockosExtensions") == 0 &&
                   static_cast<uint32_t>(r) == 0xbeef0000u))
        {
            odd += std::string(odd.empty() ? "" : ", ") + ask + "=" + std::to_string(r);
        }
    }
    std::string nonsense = "vsthostNoSuchCapability";
    VstIntPtr r = h->Plugin().Dispatch(effCanDo, 0, 0, &nonsense[0]);
    if (r == 1)
    {
        return Warn("answers yes to a capability that does not exist");
    }
    VstIntPtr version = h->Plugin().Dispatch(effGetVstVersion);
    if (!odd.empty())
    {
        return Warn("answers other than -1, 0, 1: " + odd);
    }
    return Pass("VST version " + std::to_string(version) +
                "; yes: " + (yes.empty() ? "none" : yes));
}
} // namespace

std::vector<Check> IdentityChecks()
{
    return {
        {"identity.magic", Magic},     {"identity.entry-functions", EntryFunctions},
        {"identity.counts", Counts},   {"identity.unique-id", UniqueId},
        {"identity.strings", Strings}, {"identity.can-do", CanDo},
    };
}
