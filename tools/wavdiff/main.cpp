// wavdiff A B [--max-abs X]
//
// Reads two audio files of the same shape and prints the largest absolute
// difference between corresponding samples, where it occurs, and the peak of
// each file. Exits 0 when the difference is within --max-abs (default 0, i.e.
// bit-identical after conversion to double), 1 when it is not, and 2 when the
// files cannot be read or differ in shape.
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{

struct Audio
{
    int channels = 0;
    int rate = 0;
    std::vector<double> samples; // interleaved
};

bool Load(const char* path, Audio& out)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    if (!file)
    {
        std::fprintf(stderr, "wavdiff: cannot read %s: %s\n", path, sf_strerror(nullptr));
        return false;
    }
    out.channels = info.channels;
    out.rate = info.samplerate;
    out.samples.resize(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
    const sf_count_t got = sf_readf_double(file, out.samples.data(), info.frames);
    sf_close(file);
    if (got != info.frames)
    {
        std::fprintf(stderr, "wavdiff: short read in %s\n", path);
        return false;
    }
    return true;
}

double Peak(const std::vector<double>& s)
{
    double peak = 0.0;
    for (double v : s)
    {
        peak = std::fmax(peak, std::fabs(v));
    }
    return peak;
}

} // namespace

int main(int argc, char** argv)
{
    const char* paths[2] = {nullptr, nullptr};
    int nPaths = 0;
    double maxAbs = 0.0;
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--max-abs") == 0 && i + 1 < argc)
        {
            char* end = nullptr;
            maxAbs = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(maxAbs >= 0.0))
            {
                std::fprintf(stderr, "wavdiff: --max-abs needs a non-negative number\n");
                return 2;
            }
        }
        else if (nPaths < 2 && argv[i][0] != '-')
        {
            paths[nPaths++] = argv[i];
        }
        else
        {
            std::fprintf(stderr, "wavdiff: usage: wavdiff A.wav B.wav [--max-abs X]\n");
            return 2;
        }
    }
    if (nPaths != 2)
    {
        std::fprintf(stderr, "wavdiff: usage: wavdiff A.wav B.wav [--max-abs X]\n");
        return 2;
    }
    Audio a, b;
    if (!Load(paths[0], a) || !Load(paths[1], b))
    {
        return 2;
    }
    if (a.channels != b.channels || a.rate != b.rate || a.samples.size() != b.samples.size())
    {
        std::fprintf(
            stderr, "wavdiff: shapes differ (%d ch %d Hz %zu samples vs %d ch %d Hz %zu samples)\n",
            a.channels, a.rate, a.samples.size(), b.channels, b.rate, b.samples.size());
        return 2;
    }
    double worst = 0.0;
    size_t where = 0, differing = 0;
    for (size_t i = 0; i < a.samples.size(); ++i)
    {
        const double d = std::fabs(a.samples[i] - b.samples[i]);
        // Both NaN counts as equal; one NaN is an infinite difference.
        const bool nanA = std::isnan(a.samples[i]), nanB = std::isnan(b.samples[i]);
        const double diff = (nanA || nanB) ? (nanA && nanB ? 0.0 : INFINITY) : d;
        if (diff != 0.0)
        {
            ++differing;
        }
        if (diff > worst)
        {
            worst = diff;
            where = i;
        }
    }
    const size_t ch = static_cast<size_t>(a.channels);
    std::printf(
        "frames %zu, channels %d, peak %.9g / %.9g, samples differing %zu, max abs diff %.9g "
        "(frame %zu, channel %zu)\n",
        a.samples.size() / ch, a.channels, Peak(a.samples), Peak(b.samples), differing, worst,
        where / ch, where % ch);
    return worst <= maxAbs ? 0 : 1;
}
