// `vsthost render`: runs an audio file (or the demo signal) through a plug-in
// block by block, the way a host does, and writes the plug-in's outputs.
//
// Input channels reach the plug-in's inputs as follows: a mono file feeds the
// first two inputs (the same signal on both); a stereo file feeds left to the
// first input and right to the second, or their average when the plug-in has
// a single input; any further inputs get silence. A plug-in without inputs
// (an instrument) only takes the length from the input. There is no
// resampling: --rate only changes the rate the plug-in is told and the rate
// written to the output file.
#pragma once

#include "RenderOptions.h"

#include <cstdint>
#include <string>
#include <vector>

class Renderer
{
public:
    explicit Renderer(const RenderOptions& options);

    // Does the whole job; throws HostError on any failure, in which case no
    // output file is left behind.
    void Run();

    // Copies frames [start, start + n) of the interleaved source (1 or 2
    // channels) to the plug-in's `inputs` channel buffers following the
    // mapping above. Exposed for testing.
    template <typename T>
    static void MapInput(const std::vector<double>& source, int sourceChannels, int64_t start,
                         int32_t n, std::vector<std::vector<T>>& inputs, int32_t pluginInputs);

private:
    void Log(const std::string& line) const;

    RenderOptions options;
};
