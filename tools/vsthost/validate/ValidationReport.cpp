#include "ValidationReport.h"

#include "JsonWriter.h"

#include <algorithm>
#include <cstdio>

ValidationReport::ValidationReport(std::string p, int l, uint64_t s)
    : plugin(std::move(p)), level(l), seed(s)
{
}

int ValidationReport::Count(Verdict verdict) const
{
    return static_cast<int>(std::count_if(results.begin(), results.end(),
                                          [&](const Result& r) { return r.verdict == verdict; }));
}

std::string ValidationReport::ToText() const
{
    size_t width = 5;
    for (const Result& r : results)
    {
        width = std::max(width, r.name.size());
    }
    std::string out = "vsthost validate " + plugin + "\nlevel " + std::to_string(level) +
                      ", seed " + std::to_string(seed) + "\n\n";
    char line[512];
    std::snprintf(line, sizeof(line), "%-*s  %-6s %8s  %s\n", static_cast<int>(width), "check",
                  "result", "time", "reason");
    out += line;
    for (const Result& r : results)
    {
        std::snprintf(line, sizeof(line), "%-*s  %-6s %7.2fs  ", static_cast<int>(width),
                      r.name.c_str(), VerdictName(r.verdict), r.seconds);
        out += line + r.reason + "\n";
    }
    out += "\n" + std::to_string(results.size()) +
           " checks: " + std::to_string(Count(Verdict::Pass)) + " passed, " +
           std::to_string(Count(Verdict::Warn)) + " warned, " +
           std::to_string(Count(Verdict::Fail)) + " failed\n";
    return out;
}

std::string ValidationReport::ToJson() const
{
    JsonWriter j;
    j.BeginObject();
    j.Key("plugin").String(plugin);
    j.Key("level").Int(level);
    j.Key("seed").String(std::to_string(seed));
    j.Key("checks").BeginArray();
    for (const Result& r : results)
    {
        j.BeginObject();
        j.Key("name").String(r.name);
        j.Key("result").String(VerdictName(r.verdict));
        j.Key("reason").String(r.reason);
        j.Key("seconds").Number(r.seconds);
        j.EndObject();
    }
    j.EndArray();
    j.Key("passed").Int(Count(Verdict::Pass));
    j.Key("warned").Int(Count(Verdict::Warn));
    j.Key("failed").Int(Count(Verdict::Fail));
    j.EndObject();
    return j.Text();
}
