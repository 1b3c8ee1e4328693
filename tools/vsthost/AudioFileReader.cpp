#include "AudioFileReader.h"

#include "HostError.h"
#include "Platform.h"

#ifdef _WIN32
#include <wchar.h>
#endif
#include <sndfile.h>

void AudioFileReader::Read(const std::string& path)
{
    SF_INFO info{};
#ifdef _WIN32
    SNDFILE* file = sf_wchar_open(Platform::Widen(path).c_str(), SFM_READ, &info);
#else
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
#endif
    if (!file)
    {
        throw HostError("cannot read " + path + ": " + sf_strerror(nullptr));
    }
    if (info.channels < 1 || info.channels > 2 || info.samplerate < 1 || info.frames < 0)
    {
        sf_close(file);
        throw HostError("cannot read " + path + ": " + std::to_string(info.channels) +
                        " channels; only mono and stereo input is supported");
    }
    channels = info.channels;
    sampleRate = info.samplerate;
    samples.assign(static_cast<size_t>(info.frames) * static_cast<size_t>(channels), 0.0);
    sf_count_t got = info.frames > 0 ? sf_readf_double(file, samples.data(), info.frames) : 0;
    int error = sf_error(file);
    std::string why = sf_strerror(file);
    sf_close(file);
    if (error != SF_ERR_NO_ERROR || got != info.frames)
    {
        throw HostError("cannot read " + path + ": " +
                        (error != SF_ERR_NO_ERROR ? why : std::string("the file is truncated")));
    }
    frames = info.frames;
}
