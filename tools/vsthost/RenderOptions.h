// The command line of `vsthost render`, parsed and checked before anything is
// loaded.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class RenderOptions
{
public:
    enum class Precision
    {
        Float,      // processReplacing
        Double,     // processDoubleReplacing
        Accumulate, // process, adding into zeroed outputs
    };

    struct ParamSetting
    {
        int32_t index;
        float value;
    };

    // Parses the arguments after "render". Throws HostError with a one-line
    // message on any malformed or missing argument.
    static RenderOptions Parse(const std::vector<std::string>& args);

    // Strict number parsing: the whole text must be the number.
    static bool ParseInt(const std::string& text, int64_t& value);
    static bool ParseDouble(const std::string& text, double& value);

    std::string plugin;
    std::string input;    // empty when generating
    std::string generate; // "demo" or empty
    std::string output;
    double rate = 0.0; // 0: the input's rate (44100 when generating)
    int32_t blockSize = 512;
    Precision precision = Precision::Float;
    std::vector<ParamSetting> params;
    int32_t program = -1; // -1: leave the plug-in's current program
    std::string loadChunk;
    std::string saveChunk;
    bool verbose = false;
};
