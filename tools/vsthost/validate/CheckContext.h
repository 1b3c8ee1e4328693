// What a check gets to work with in its child process: the plug-in's path, the
// level, a random generator seeded from --seed and the check's name, the host
// callback, and fresh instances on demand.
#pragma once

#include "Audio.h"
#include "Harness.h"
#include "HostCallback.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>

class CheckContext
{
public:
    CheckContext(const std::string& path, int level, uint64_t seed, const std::string& checkName);

    const std::string& Path() const { return path; }
    int Level() const { return level; }
    std::mt19937_64& Random() { return random; }
    uint64_t Seed() const { return seed; }
    HostCallback& Host() { return host; }

    // A loaded instance, not yet opened.
    std::unique_ptr<Harness> Load();
    // A loaded instance prepared for processing at `rate` and `maxBlock`.
    std::unique_ptr<Harness> Prepared(double rate = 44100.0, int32_t maxBlock = 512);

    // The value for the current level: quick, default, exhaustive.
    int Scale(int quick, int normal, int exhaustive) const;

    // Names what the check does now, so that a crash or hang can be located.
    void Step(const std::string& what)
    {
        if (stepSink)
        {
            stepSink(what);
        }
    }
    void SetStepSink(std::function<void(const std::string&)> sink) { stepSink = std::move(sink); }

    // A fresh instance prepared at `rate` and `maxBlock` runs `input` and is
    // closed.
    Audio RenderFresh(const Audio& input, const RunOptions& options = RunOptions(),
                      double rate = 44100.0, int32_t maxBlock = 512);

    // The music signal for the plug-in's inputs.
    Audio Music(int64_t frames, double rate = 44100.0);

private:
    std::string path;
    int level;
    uint64_t seed;
    std::mt19937_64 random;
    HostCallback host;
    std::function<void(const std::string&)> stepSink;
};
