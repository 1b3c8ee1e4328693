// One named check of `vsthost validate`: a function that exercises the
// plug-in in a child process and says PASS, WARN or FAIL with one line why.
#pragma once

#include <string>
#include <vector>

class CheckContext;

enum class Verdict
{
    Pass,
    Warn,
    Fail
};

struct Outcome
{
    Verdict verdict = Verdict::Pass;
    std::string reason;
};

struct Check
{
    const char* name;
    // Runs in the child; throwing HostError is a FAIL with its message.
    Outcome (*run)(CheckContext& context);
    // The lowest --level that runs the check.
    int level = 1;
};

inline Outcome Pass(std::string reason)
{
    return Outcome{Verdict::Pass, std::move(reason)};
}

inline Outcome Warn(std::string reason)
{
    return Outcome{Verdict::Warn, std::move(reason)};
}

inline Outcome Fail(std::string reason)
{
    return Outcome{Verdict::Fail, std::move(reason)};
}

const char* VerdictName(Verdict verdict);

// The groups in the order they run; each is a table in its own file.
std::vector<Check> IdentityChecks();
std::vector<Check> LifecycleChecks();
std::vector<Check> AudioChecks();
std::vector<Check> ParameterChecks();
std::vector<Check> StateChecks();
std::vector<Check> EditorChecks();
std::vector<Check> TimingChecks();

std::vector<Check> AllChecks();
