#include "CheckContext.h"

#include <algorithm>

namespace
{
uint64_t Hash(const std::string& text)
{
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : text)
    {
        h = (h ^ c) * 1099511628211ull;
    }
    return h;
}
} // namespace

CheckContext::CheckContext(const std::string& p, int l, uint64_t s, const std::string& checkName)
    : path(p), level(l), seed(s), random(s ^ Hash(checkName))
{
}

std::unique_ptr<Harness> CheckContext::Load()
{
    return std::make_unique<Harness>(path, host);
}

std::unique_ptr<Harness> CheckContext::Prepared(double rate, int32_t maxBlock)
{
    std::unique_ptr<Harness> h = Load();
    h->Prepare(rate, maxBlock);
    return h;
}

int CheckContext::Scale(int quick, int normal, int exhaustive) const
{
    return level <= 1 ? quick : level == 2 ? normal : exhaustive;
}

Audio CheckContext::Music(int64_t frames, double rate)
{
    return MakeSignal(SignalKind::Music, 2, frames, rate, seed);
}

Audio CheckContext::RenderFresh(const Audio& input, const RunOptions& options, double rate,
                                int32_t maxBlock)
{
    std::unique_ptr<Harness> h = Prepared(rate, maxBlock);
    return h->Run(input, options);
}
