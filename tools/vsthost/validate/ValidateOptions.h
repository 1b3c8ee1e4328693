// The command line of `vsthost validate`.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ValidateOptions
{
    std::string plugin;
    int level = 2;
    // Check names or group names ("audio" is every audio.* check).
    std::vector<std::string> only;
    std::vector<std::string> skip;
    uint64_t seed = 0;
    bool seedGiven = false;
    bool json = false;
    // Per check; 0 = the level's default.
    int timeoutSeconds = 0;
    // The children's standard error (the plug-ins' own messages) is shown.
    bool verbose = false;
    // Only print the names of the checks (no plug-in needed).
    bool list = false;
    // Hidden: run this one check here and print its result line.
    std::string runCheck;

    // Throws HostError with a one-line reason for a malformed command line.
    static ValidateOptions Parse(const std::vector<std::string>& args);

    // Whether --only and --skip let the check run.
    bool Selects(const std::string& check) const;
};
