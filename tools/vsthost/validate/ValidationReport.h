// The results of one validation: a table for people, JSON for programs.
#pragma once

#include "Check.h"

#include <cstdint>
#include <string>
#include <vector>

class ValidationReport
{
public:
    struct Result
    {
        std::string name;
        Verdict verdict;
        std::string reason;
        double seconds;
    };

    ValidationReport(std::string plugin, int level, uint64_t seed);

    void Add(Result result) { results.push_back(std::move(result)); }

    int Count(Verdict verdict) const;

    std::string ToText() const;
    std::string ToJson() const;

private:
    std::string plugin;
    int level;
    uint64_t seed;
    std::vector<Result> results;
};
