// One plug-in instance under test and the audio it is given: loading, the
// calls that prepare it, and running a signal through any of the three
// process callbacks in blocks the check chooses.
#pragma once

#include "Audio.h"
#include "HostCallback.h"
#include "PluginInstance.h"

#include <functional>
#include <string>
#include <vector>

enum class Callback
{
    Accumulate, // process: adds to what the outputs hold
    Replace,    // processReplacing
    Double      // processDoubleReplacing
};

struct RunOptions
{
    Callback callback = Callback::Replace;
    int32_t block = 512;
    // When set, gives the size of every block instead of `block`.
    std::function<int32_t()> nextBlock;
    // Outputs share the inputs' buffers (as many channels as both have).
    bool inPlace = false;
    // What the output buffers hold before each call (process adds to it).
    double prefill = 0.0;
    // Called before each block with its first frame.
    std::function<void(int64_t frame)> beforeBlock;
    // When set, receives the seconds each call took.
    std::vector<double>* blockSeconds = nullptr;
    // Off where several instances play the same blocks: the caller moves the
    // host's position on once for all of them, as a host does.
    bool advanceTransport = true;
};

class Harness
{
public:
    // Loads the module and calls its entry point; throws HostError.
    Harness(const std::string& path, HostCallback& host);
    ~Harness();
    Harness(const Harness&) = delete;
    Harness& operator=(const Harness&) = delete;

    PluginInstance& Plugin() { return plugin; }
    AEffect* Effect() const { return plugin.Effect(); }
    int32_t Inputs() const { return plugin.Inputs(); }
    int32_t Outputs() const { return plugin.Outputs(); }
    bool HasDouble() const;

    // effOpen, sample rate, block size, then resume (effMainsChanged 1 and
    // effStartProcess) as a playing host does.
    void Prepare(double rate = 44100.0, int32_t maxBlock = 512);
    void SetRate(double rate);
    void SetBlockSize(int32_t frames);
    void Resume();
    void Suspend();
    // Suspends when resumed, then effClose and unload.
    void Close();

    Audio Run(const Audio& input, const RunOptions& options = RunOptions());

    // effGetChunk: the bytes (copied), empty when none.
    std::vector<unsigned char> GetChunk(bool program);
    // effSetChunk with a copy of `bytes`; the plug-in's answer.
    VstIntPtr SetChunk(bool program, const std::vector<unsigned char>& bytes);

    std::vector<float> Parameters();

    double Rate() const { return rate; }

private:
    template <typename T> void Call(Callback callback, T** in, T** out, int32_t frames);

    HostCallback& host;
    PluginInstance plugin;
    double rate = 44100.0;
    bool resumed = false;
    std::vector<std::vector<float>> floatIn, floatOut;
    std::vector<std::vector<double>> doubleIn, doubleOut;
};
