#include "ValidateOptions.h"

#include "Check.h"
#include "HostError.h"

#include <cerrno>
#include <cstdlib>

namespace
{
bool Matches(const std::string& pattern, const std::string& check)
{
    return pattern == check || check.compare(0, pattern.size() + 1, pattern + ".") == 0;
}

void AddNames(const std::string& list, std::vector<std::string>& to)
{
    const std::vector<Check> all = AllChecks();
    size_t start = 0;
    while (start <= list.size())
    {
        size_t end = list.find(',', start);
        std::string name = list.substr(start, end == std::string::npos ? end : end - start);
        bool known = false;
        for (const Check& c : all)
        {
            known = known || Matches(name, c.name);
        }
        if (!known)
        {
            throw HostError("no check or group named '" + name + "'");
        }
        to.push_back(name);
        if (end == std::string::npos)
        {
            break;
        }
        start = end + 1;
    }
}

long long Number(const std::string& option, const std::string& text, long long low, long long high)
{
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || v < low || v > high)
    {
        throw HostError(option + " needs a number from " + std::to_string(low) + " to " +
                        std::to_string(high) + ", got '" + text + "'");
    }
    return v;
}
} // namespace

ValidateOptions ValidateOptions::Parse(const std::vector<std::string>& args)
{
    ValidateOptions o;
    for (size_t i = 0; i < args.size(); ++i)
    {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string&
        {
            if (i + 1 >= args.size())
            {
                throw HostError(a + " needs a value");
            }
            return args[++i];
        };
        if (a == "--json")
        {
            o.json = true;
        }
        else if (a == "--verbose")
        {
            o.verbose = true;
        }
        else if (a == "--list")
        {
            o.list = true;
        }
        else if (a == "--level")
        {
            o.level = static_cast<int>(Number(a, value(), 1, 3));
        }
        else if (a == "--only")
        {
            AddNames(value(), o.only);
        }
        else if (a == "--skip")
        {
            AddNames(value(), o.skip);
        }
        else if (a == "--seed")
        {
            const std::string& text = value();
            char* end = nullptr;
            errno = 0;
            o.seed = std::strtoull(text.c_str(), &end, 10);
            if (text.empty() || text[0] == '-' || *end != '\0' || errno != 0)
            {
                throw HostError("--seed needs a non-negative number, got '" + text + "'");
            }
            o.seedGiven = true;
        }
        else if (a == "--timeout")
        {
            o.timeoutSeconds = static_cast<int>(Number(a, value(), 1, 86400));
        }
        else if (a == "--run-check")
        {
            o.runCheck = value();
        }
        else if (!a.empty() && a[0] == '-')
        {
            throw HostError("unknown option " + a);
        }
        else if (o.plugin.empty())
        {
            o.plugin = a;
        }
        else
        {
            throw HostError("validate takes one plug-in, got also " + a);
        }
    }
    if (o.plugin.empty() && !o.list)
    {
        throw HostError("validate needs a PLUGIN");
    }
    return o;
}

bool ValidateOptions::Selects(const std::string& check) const
{
    bool chosen = only.empty();
    for (const std::string& p : only)
    {
        chosen = chosen || Matches(p, check);
    }
    for (const std::string& p : skip)
    {
        chosen = chosen && !Matches(p, check);
    }
    return chosen;
}
