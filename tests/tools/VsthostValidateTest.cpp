// vsthost validate against fixture plug-ins with one deliberate fault each:
// the check meant for the fault must catch it, and no check may complain
// about anything else.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace
{
struct Outcome
{
    int status = -1;
    std::string out;
    std::string err;
    // Check name to PASS, WARN or FAIL.
    std::map<std::string, std::string> results;
};

Outcome Validate(const std::string& plugin, const std::string& extra)
{
    const std::string errFile = ::testing::TempDir() + "validate-stderr.txt";
    const std::string command = std::string("'") + VSTHOST_EXE + "' validate '" + plugin +
                                "' --json --level 1 --seed 7 --timeout 10 " + extra + " 2>'" +
                                errFile + "'";
    Outcome run;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
    {
        return run;
    }
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0)
    {
        run.out.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(errFile);
    std::stringstream s;
    s << err.rdbuf();
    run.err = s.str();
    // The report's own layout: "name" then "result" in each check's object.
    size_t at = 0;
    while ((at = run.out.find("\"name\": \"", at)) != std::string::npos)
    {
        at += 9;
        const std::string name = run.out.substr(at, run.out.find('"', at) - at);
        const size_t r = run.out.find("\"result\": \"", at) + 11;
        run.results[name] = run.out.substr(r, 4);
    }
    return run;
}

struct Case
{
    const char* fixture;
    const char* check;
    const char* verdict;
    // Further checks that see the same fault from another side.
    std::set<std::string> alsoAffected;
};

TEST(VsthostValidate, EachFaultIsCaughtByItsCheckAndNothingElseComplains)
{
    const Case cases[] = {
        {FIXTURE_CLEAN, nullptr, nullptr, {}},
        {FIXTURE_LONG_NAME, "parameters.texts", "FAIL", {}},
        {FIXTURE_BIG_BLOCK_CRASH, "audio.block-sizes", "FAIL", {}},
        {FIXTURE_HIGH_RATE_HANG, "audio.sample-rates", "FAIL", {}},
        {FIXTURE_LOSSY_CHUNK,
         "state.chunk-roundtrip",
         "FAIL",
         {"state.transfer", "state.bad-chunks"}},
        {FIXTURE_STICKY_NAN, "audio.nan-recovery", "FAIL", {}},
        {FIXTURE_SILENCE_STALL, "audio.denormal-stall", "WARN", {}},
        {FIXTURE_SHARED_STATE, "lifecycle.instances", "FAIL", {}},
        {FIXTURE_REPLACING_PROCESS, "audio.accumulate", "FAIL", {}},
        {FIXTURE_IN_PLACE_CROSSFEED, "audio.in-place", "FAIL", {}},
        {FIXTURE_PROGRAM_RELOAD, "state.program-edits", "FAIL", {"state.program-after-bank"}},
        {FIXTURE_DOUBLE_UNFILTERED, "audio.precision", "FAIL", {}},
        {FIXTURE_PARAM_UNITS, "parameters.get-after-set", "FAIL", {}},
        {FIXTURE_REOPEN_CRASH, "lifecycle.open-twice", "FAIL", {}},
        {FIXTURE_INSTANCE_LEAK, "lifecycle.cycles", "WARN", {}},
        {FIXTURE_LONG_PROGRAM_NAME, "identity.strings", "WARN", {"state.programs"}},
        {FIXTURE_ZERO_ID, "identity.unique-id", "FAIL", {}},
        {FIXTURE_SHORT_CHUNK_CRASH, "state.bad-chunks", "FAIL", {}},
        {FIXTURE_NAN_PARAM, "parameters.out-of-range", "FAIL", {}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.fixture);
        Outcome run = Validate(c.fixture, "");
        ASSERT_GE(run.results.size(), 30u) << run.out << run.err;
        for (const auto& [name, verdict] : run.results)
        {
            if (c.check && name == c.check)
            {
                EXPECT_EQ(verdict, c.verdict) << name;
            }
            else if (!c.alsoAffected.count(name))
            {
                EXPECT_EQ(verdict, "PASS") << name << "\n" << run.out;
            }
        }
        if (c.check)
        {
            EXPECT_EQ(run.results.count(c.check), 1u) << c.check;
        }
        // Only failures fail the run; a warning is reported and passes.
        const bool fails = c.check && std::string(c.verdict) == "FAIL";
        EXPECT_EQ(run.status, fails ? 1 : 0);
        EXPECT_NE(run.err.find("--seed 7"), std::string::npos) << run.err;
    }
}

TEST(VsthostValidate, CrashAndHangAreNamedWithTheStepThatCausedThem)
{
    Outcome crash = Validate(FIXTURE_BIG_BLOCK_CRASH, "--only audio.block-sizes");
    ASSERT_EQ(crash.results.size(), 1u) << crash.out;
    EXPECT_NE(crash.out.find("crashed: signal 11"), std::string::npos) << crash.out;
    EXPECT_NE(crash.out.find("during blocks of 2048 after announcing 512"), std::string::npos)
        << crash.out;

    Outcome hang = Validate(FIXTURE_HIGH_RATE_HANG, "--only audio --skip audio.denormal-stall");
    EXPECT_EQ(hang.results.size(), 8u) << hang.out;
    EXPECT_NE(hang.out.find("timed out after 10 s during 384000 Hz"), std::string::npos)
        << hang.out;
}

TEST(VsthostValidate, CommandLineMistakesAreRefused)
{
    for (const char* extra : {"--only no.such-check", "--skip nothing", "--level 4", "--seed -1"})
    {
        SCOPED_TRACE(extra);
        Outcome run = Validate(FIXTURE_CLEAN, extra);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.empty());
    }
}
} // namespace
