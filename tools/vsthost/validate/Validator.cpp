#include "Validator.h"

#include "Check.h"
#include "CheckContext.h"
#include "HostError.h"
#include "Platform.h"
#include "ValidationReport.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <new>
#include <random>

namespace
{
const char kResultTag[] = "vsthost-check ";
const char kStepTag[] = "vsthost-step ";

// The text after the last line starting with `tag`, or empty.
std::string LastTagged(const std::string& output, const char* tag, size_t tagLength)
{
    size_t at = output.rfind(std::string("\n") + tag);
    if (at == std::string::npos)
    {
        if (output.compare(0, tagLength, tag) != 0)
        {
            return std::string();
        }
        at = 0;
    }
    else
    {
        ++at;
    }
    std::string line = output.substr(at + tagLength);
    return line.substr(0, line.find('\n'));
}

std::string OneLine(std::string text)
{
    for (char& c : text)
    {
        if (c == '\n' || c == '\r')
        {
            c = ' ';
        }
    }
    return text;
}

// The child's result line: "vsthost-check PASS reason".
bool ParseResult(const std::string& output, Verdict& verdict, std::string& reason)
{
    std::string line = LastTagged(output, kResultTag, sizeof(kResultTag) - 1);
    for (Verdict v : {Verdict::Pass, Verdict::Warn, Verdict::Fail})
    {
        std::string name = VerdictName(v);
        if (line.compare(0, name.size(), name) == 0)
        {
            verdict = v;
            reason = line.size() > name.size() ? line.substr(name.size() + 1) : "";
            return true;
        }
    }
    return false;
}
} // namespace

const char* VerdictName(Verdict verdict)
{
    switch (verdict)
    {
    case Verdict::Pass:
        return "PASS";
    case Verdict::Warn:
        return "WARN";
    default:
        return "FAIL";
    }
}

std::vector<Check> AllChecks()
{
    std::vector<Check> all;
    for (auto group : {IdentityChecks, LifecycleChecks, AudioChecks, ParameterChecks, StateChecks,
                       EditorChecks, TimingChecks})
    {
        for (const Check& c : group())
        {
            all.push_back(c);
        }
    }
    return all;
}

Validator::Validator(ValidateOptions o) : options(std::move(o)) {}

int Validator::Run()
{
    if (options.list)
    {
        std::string names;
        for (const Check& c : AllChecks())
        {
            names += std::string(c.name) + "\n";
        }
        std::fputs(names.c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    return options.runCheck.empty() ? RunAll() : RunOne();
}

int Validator::RunOne()
{
    Platform::EndAtOnceOnCrash();
    Outcome outcome = Fail("no check named " + options.runCheck);
    // Whatever the plug-in prints goes to standard error; standard output
    // carries only the result line.
    int saved = Platform::DivertStdout();
    for (const Check& check : AllChecks())
    {
        if (options.runCheck != check.name)
        {
            continue;
        }
        try
        {
            CheckContext context(options.plugin, options.level, options.seed, check.name);
            context.SetStepSink(
                [saved](const std::string& step)
                {
                    // Straight to the parent, past the diversion, at once: the
                    // next call may be the one that never returns.
                    std::string line = kStepTag + OneLine(step) + "\n";
                    Platform::WriteToHandle(saved, line);
                });
            outcome = check.run(context);
        }
        catch (const HostError& e)
        {
            outcome = Fail(e.what());
        }
        catch (const std::bad_alloc&)
        {
            outcome = Fail("out of memory");
        }
        catch (const std::exception& e)
        {
            outcome = Fail(std::string("exception: ") + e.what());
        }
        catch (...)
        {
            outcome = Fail("the plug-in threw an exception");
        }
    }
    Platform::RestoreStdout(saved);
    std::printf("%s%s %s\n", kResultTag, VerdictName(outcome.verdict),
                OneLine(outcome.reason).c_str());
    std::fflush(stdout);
    return 0;
}

int Validator::RunAll()
{
    if (!options.seedGiven)
    {
        options.seed =
            std::random_device()() ^
            static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
        options.seed %= 1000000000ull;
    }
    const std::string self = Platform::ExecutablePath();
    if (self.empty())
    {
        throw HostError("cannot find the path of this program to run the checks");
    }
    const int timeout = options.timeoutSeconds > 0 ? options.timeoutSeconds
                        : options.level >= 3       ? 600
                                                   : 120;

    std::vector<Check> chosen;
    for (const Check& c : AllChecks())
    {
        if (c.level <= options.level && options.Selects(c.name))
        {
            chosen.push_back(c);
        }
    }
    // The seed first, so that even an interrupted run can be repeated.
    std::fprintf(stderr, "vsthost: validating %s at level %d with --seed %llu\n",
                 options.plugin.c_str(), options.level,
                 static_cast<unsigned long long>(options.seed));
    const bool progress = Platform::StderrIsTerminal();
    ValidationReport report(options.plugin, options.level, options.seed);
    for (size_t i = 0; i < chosen.size(); ++i)
    {
        const Check& check = chosen[i];
        if (progress)
        {
            std::fprintf(stderr, "\r\033[K[%zu/%zu] %s", i + 1, chosen.size(), check.name);
            std::fflush(stderr);
        }
        std::vector<std::string> args = {self,
                                         "validate",
                                         options.plugin,
                                         "--run-check",
                                         check.name,
                                         "--level",
                                         std::to_string(options.level),
                                         "--seed",
                                         std::to_string(options.seed)};
        const auto start = std::chrono::steady_clock::now();
        ChildOutcome child = Platform::RunChild(args, timeout * 1000, options.verbose);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        Verdict verdict = Verdict::Fail;
        std::string reason;
        if (!child.started)
        {
            reason = "could not start a child process: " + Platform::LastErrorText();
        }
        else if (child.timedOut || child.crashed)
        {
            reason = child.timedOut ? "timed out after " + std::to_string(timeout) + " s"
                                    : "crashed: " + child.crash;
            std::string step = LastTagged(child.output, kStepTag, sizeof(kStepTag) - 1);
            if (!step.empty())
            {
                reason += " during " + step;
            }
        }
        else if (!ParseResult(child.output, verdict, reason))
        {
            verdict = Verdict::Fail;
            // 127: the child could not even run this program (execv failed).
            reason = child.exitCode == 127 ? "could not run " + self + " as the check's child"
                                           : "ended with status " + std::to_string(child.exitCode) +
                                                 " without a result";
        }
        report.Add({check.name, verdict, reason, seconds});
        // Nothing else can run on a module that does not even load.
        if (i == 0 && std::string(check.name) == "identity.magic" && verdict == Verdict::Fail)
        {
            for (size_t j = 1; j < chosen.size(); ++j)
            {
                report.Add(
                    {chosen[j].name, Verdict::Fail, "not run: the plug-in does not load", 0.0});
            }
            break;
        }
    }
    if (progress)
    {
        std::fprintf(stderr, "\r\033[K");
    }
    std::string text = options.json ? report.ToJson() : report.ToText();
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
    {
        throw HostError("cannot write the report to standard output");
    }
    return report.Count(Verdict::Fail) == 0 ? 0 : 1;
}
