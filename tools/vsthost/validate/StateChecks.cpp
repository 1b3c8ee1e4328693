// Programs and state: names and switching, edits kept per program, chunks
// that round-trip byte for byte and carry the sound into a new instance, and
// chunks a broken preset file would deliver.
#include "Check.h"
#include "CheckContext.h"
#include "TextProbe.h"

#include <cstdio>

namespace
{
bool HasChunks(Harness& h)
{
    return (h.Effect()->flags & effFlagsProgramChunks) != 0;
}

// Sets every parameter to a random value; returns what they read back.
std::vector<float> Randomise(Harness& h, std::mt19937_64& random)
{
    std::uniform_real_distribution<float> any(0.0f, 1.0f);
    AEffect* e = h.Effect();
    for (int32_t i = 0; i < h.Plugin().Params(); ++i)
    {
        e->setParameter(e, i, any(random));
    }
    return h.Parameters();
}

std::string FirstDifference(const std::vector<unsigned char>& a,
                            const std::vector<unsigned char>& b)
{
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
    {
        ++i;
    }
    char text[160];
    std::snprintf(text, sizeof(text), "%zu bytes, then %zu bytes, first difference at byte %zu",
                  a.size(), b.size(), i);
    return text;
}

std::string ParameterDifference(const std::vector<float>& a, const std::vector<float>& b)
{
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    {
        if (a[i] != b[i])
        {
            char text[120];
            std::snprintf(text, sizeof(text), "parameter %zu is %g instead of %g", i,
                          static_cast<double>(b[i]), static_cast<double>(a[i]));
            return text;
        }
    }
    return a.size() == b.size() ? std::string() : "parameter counts differ";
}

Outcome Programs(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Prepared();
    const int32_t programs = h->Plugin().Programs();
    if (programs == 0)
    {
        return Pass("no programs");
    }
    TextTally tally;
    const int32_t count = std::min<int32_t>(programs, context.Scale(32, 512, 16384));
    std::string mismatch;
    for (int32_t i = 0; i < count; ++i)
    {
        context.Step("effSetProgram " + std::to_string(i));
        h->Plugin().Dispatch(effSetProgram, 0, i);
        VstIntPtr now = h->Plugin().Dispatch(effGetProgram);
        if (now != i)
        {
            return Fail("effSetProgram " + std::to_string(i) + ", then effGetProgram says " +
                        std::to_string(now));
        }
        TextProbe current = TextProbe::Ask(h->Plugin(), effGetProgramName);
        tally.Add(current, "effGetProgramName", i, kVstMaxProgNameLen);
        TextProbe indexed = TextProbe::Ask(h->Plugin(), effGetProgramNameIndexed, i);
        if (indexed.result == 1 && indexed.text != current.text && mismatch.empty())
        {
            mismatch = "program " + std::to_string(i) + " is '" + current.text +
                       "' but effGetProgramNameIndexed says '" + indexed.text + "'";
        }
    }
    context.Step("effSetProgram out of range");
    h->Plugin().Dispatch(effSetProgram, 0, programs);
    h->Plugin().Dispatch(effSetProgram, 0, -1);
    VstIntPtr now = h->Plugin().Dispatch(effGetProgram);
    if (now < 0 || now >= programs)
    {
        return Fail("after effSetProgram with " + std::to_string(programs) +
                    " and -1 the current program is " + std::to_string(now));
    }
    std::string fault = OutputFault(h->Run(context.Music(11025)));
    if (!fault.empty())
    {
        return Fail("after switching programs: " + fault);
    }
    Outcome o = tally.Judge(std::to_string(count) + " programs selected and named");
    if (o.verdict == Verdict::Pass && !mismatch.empty())
    {
        return Warn(mismatch);
    }
    return o;
}

Outcome ProgramEdits(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Prepared();
    const int32_t params = h->Plugin().Params();
    if (h->Plugin().Programs() < 2 || params == 0)
    {
        return Pass("fewer than two programs or no parameters");
    }
    AEffect* e = h->Effect();
    h->Plugin().Dispatch(effSetProgram, 0, 0);
    std::uniform_int_distribution<int32_t> which(0, params - 1);
    const int32_t p = which(context.Random());
    const float before = e->getParameter(e, p);
    e->setParameter(e, p, before > 0.5f ? 0.1f : 0.9f);
    const std::vector<float> edited = h->Parameters();
    context.Step("edit parameter " + std::to_string(p) + " of program 0, to program 1 and back");
    h->Plugin().Dispatch(effSetProgram, 0, 1);
    h->Plugin().Dispatch(effSetProgram, 0, 0);
    std::string difference = ParameterDifference(edited, h->Parameters());
    if (!difference.empty())
    {
        return Fail("program 0 edited, program 1 selected and back: " + difference);
    }
    return Pass("an edit to program 0 survived selecting program 1 and back");
}

Outcome ChunkRoundTrip(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Prepared();
    if (!HasChunks(*h))
    {
        return Pass("no chunks (effFlagsProgramChunks not set)");
    }
    Randomise(*h, context.Random());
    std::string sizes;
    for (bool program : {false, true})
    {
        const char* what = program ? "program chunk" : "bank chunk";
        context.Step(std::string(what) + " get, set, get");
        const std::vector<unsigned char> first = h->GetChunk(program);
        if (first.empty())
        {
            return Fail(std::string("effFlagsProgramChunks set but no ") + what);
        }
        h->SetChunk(program, first);
        const std::vector<unsigned char> second = h->GetChunk(program);
        if (first != second)
        {
            return Fail(std::string(what) +
                        " not byte-identical after set: " + FirstDifference(first, second));
        }
        sizes += std::string(sizes.empty() ? "" : ", ") + what + " " +
                 std::to_string(first.size()) + " bytes";
    }
    return Pass("get, set, get byte-identical: " + sizes);
}

// An instance opened and set to the rate and block size, not yet resumed.
std::unique_ptr<Harness> Opened(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Load();
    h->Plugin().Open();
    h->SetRate(44100.0);
    h->SetBlockSize(512);
    return h;
}

// Gives a fresh instance the state `a` held: its bank chunk, or its
// parameters when it has no chunks.
void MoveState(Harness& to, bool chunks, const std::vector<unsigned char>& bank,
               const std::vector<float>& values)
{
    if (chunks)
    {
        to.SetChunk(false, bank);
        return;
    }
    for (int32_t i = 0; i < static_cast<int32_t>(values.size()); ++i)
    {
        to.Effect()->setParameter(to.Effect(), i, values[static_cast<size_t>(i)]);
    }
}

Outcome Transfer(CheckContext& context)
{
    const Audio input = context.Music(44100);
    std::unique_ptr<Harness> a = Opened(context);
    const bool chunks = HasChunks(*a);
    const std::vector<float> values = Randomise(*a, context.Random());
    const std::vector<unsigned char> bank =
        chunks ? a->GetChunk(false) : std::vector<unsigned char>();
    context.Step("rendering with the state");
    a->Resume();
    const Audio original = a->Run(input);
    a.reset();

    // Two fresh instances get the state: when even they differ, the output
    // is not repeatable and cannot be compared with the original.
    std::string difference;
    Audio copies[2];
    for (Audio& copy : copies)
    {
        context.Step("moving the state into a fresh instance");
        std::unique_ptr<Harness> b = Opened(context);
        MoveState(*b, chunks, bank, values);
        difference = ParameterDifference(values, b->Parameters());
        b->Resume();
        copy = b->Run(input);
    }
    const std::string also = difference.empty() ? "" : "; " + difference;
    if (!Identical(original, copies[0]))
    {
        char text[120];
        if (!Identical(copies[0], copies[1]))
        {
            std::snprintf(text, sizeof(text),
                          "output not repeatable (two instances with the same state differ by "
                          "%g)",
                          MaxDifference(copies[0], copies[1]));
            return Warn(text + also);
        }
        std::snprintf(text, sizeof(text), "the new instance renders differently (by up to %g)",
                      MaxDifference(original, copies[0]));
        return Fail(text + also);
    }
    if (!difference.empty())
    {
        // The sound travelled; what a host shows and automates did not.
        return Warn("same audio, but " + difference);
    }
    return Pass(std::string("state moved by ") + (chunks ? "bank chunk" : "parameters") +
                " renders bit-identical audio");
}

Outcome ProgramAfterBank(CheckContext& context)
{
    std::unique_ptr<Harness> a = Opened(context);
    const bool chunks = HasChunks(*a);
    const std::vector<float> values = Randomise(*a, context.Random());
    const std::vector<unsigned char> bank =
        chunks ? a->GetChunk(false) : std::vector<unsigned char>();
    const VstIntPtr program = a->Plugin().Dispatch(effGetProgram);
    a.reset();

    // What the state alone gives is compared with what it gives followed by
    // effSetProgram, so that only the program call is judged here.
    std::unique_ptr<Harness> b = Opened(context);
    MoveState(*b, chunks, bank, values);
    const std::vector<float> restored = b->Parameters();
    const std::vector<unsigned char> restoredBank =
        chunks ? b->GetChunk(false) : std::vector<unsigned char>();
    context.Step("state set, then effSetProgram to the current program");
    b->Plugin().Dispatch(effSetProgram, 0, program);
    std::string difference = ParameterDifference(restored, b->Parameters());
    if (!difference.empty())
    {
        return Fail("effSetProgram " + std::to_string(program) +
                    " right after the state: " + difference);
    }
    if (chunks)
    {
        const std::vector<unsigned char> after = b->GetChunk(false);
        if (after != restoredBank)
        {
            return Fail("bank chunk changed by effSetProgram after it: " +
                        FirstDifference(restoredBank, after));
        }
    }
    return Pass("effSetProgram right after the state keeps it");
}

Outcome BadChunks(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Prepared();
    if (!HasChunks(*h))
    {
        return Pass("no chunks (effFlagsProgramChunks not set)");
    }
    std::mt19937_64& random = context.Random();
    std::uniform_int_distribution<int> byte(0, 255);
    std::string accepted;
    for (bool program : {false, true})
    {
        const std::vector<unsigned char> good = h->GetChunk(program);
        struct Case
        {
            const char* name;
            std::vector<unsigned char> bytes;
        };
        std::vector<Case> cases;
        cases.push_back({"truncated",
                         std::vector<unsigned char>(good.begin(), good.begin() + good.size() / 2)});
        Case oversized{"oversized", good};
        for (int i = 0; i < 4096; ++i)
        {
            oversized.bytes.push_back(static_cast<unsigned char>(byte(random)));
        }
        cases.push_back(oversized);
        cases.push_back({"empty", {}});
        Case noise{"random", std::vector<unsigned char>(good.size() ? good.size() : 256)};
        for (unsigned char& b : noise.bytes)
        {
            b = static_cast<unsigned char>(byte(random));
        }
        cases.push_back(noise);
        Case flipped{"one byte changed", good};
        if (!flipped.bytes.empty())
        {
            flipped.bytes[flipped.bytes.size() / 3] ^= 0x5a;
        }
        cases.push_back(flipped);
        for (const Case& c : cases)
        {
            const std::string what =
                std::string(c.name) + (program ? " program" : " bank") + " chunk";
            context.Step(what);
            if (h->SetChunk(program, c.bytes) != 0)
            {
                accepted += std::string(accepted.empty() ? "" : ", ") + c.name;
            }
            std::string fault = OutputFault(h->Run(context.Music(4096)), false);
            if (!fault.empty())
            {
                return Fail("after a " + what + ": " + fault);
            }
        }
        context.Step(std::string("the good ") + (program ? "program" : "bank") + " chunk again");
        h->SetChunk(program, good);
        if (h->GetChunk(program) != good)
        {
            return Warn(std::string("after bad chunks the good ") + (program ? "program" : "bank") +
                        " chunk no longer round-trips");
        }
    }
    return Pass("truncated, oversized, empty, random and altered chunks survived (answered 1: " +
                (accepted.empty() ? std::string("none") : accepted) + ")");
}
} // namespace

std::vector<Check> StateChecks()
{
    return {
        {"state.programs", Programs},
        {"state.program-edits", ProgramEdits},
        {"state.chunk-roundtrip", ChunkRoundTrip},
        {"state.transfer", Transfer},
        {"state.program-after-bank", ProgramAfterBank},
        {"state.bad-chunks", BadChunks},
    };
}
