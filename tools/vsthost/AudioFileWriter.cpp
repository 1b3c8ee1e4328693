#include "AudioFileWriter.h"

#include "HostError.h"
#include "Platform.h"

#ifdef _WIN32
#include <wchar.h>
#endif
#include <sndfile.h>

AudioFileWriter::~AudioFileWriter()
{
    if (file)
    {
        sf_close(file);
    }
}

void AudioFileWriter::Open(const std::string& path, const std::string& displayName, int channels,
                           int sampleRate, bool doublePrecision)
{
    name = displayName;
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = sampleRate;
    info.format = SF_FORMAT_WAV | (doublePrecision ? SF_FORMAT_DOUBLE : SF_FORMAT_FLOAT);
    if (!sf_format_check(&info))
    {
        throw HostError("cannot write " + name + ": unsupported format (" +
                        std::to_string(channels) + " channels at " + std::to_string(sampleRate) +
                        " Hz)");
    }
#ifdef _WIN32
    file = sf_wchar_open(Platform::Widen(path).c_str(), SFM_WRITE, &info);
#else
    file = sf_open(path.c_str(), SFM_WRITE, &info);
#endif
    if (!file)
    {
        throw HostError("cannot write " + name + ": " + sf_strerror(nullptr));
    }
    // The peak chunk carries a time stamp; without it equal renders give
    // byte-identical files.
    sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
}

void AudioFileWriter::Write(const float* interleaved, int64_t frames)
{
    if (sf_writef_float(file, interleaved, frames) != frames)
    {
        throw HostError("cannot write " + name + ": " + sf_strerror(file));
    }
}

void AudioFileWriter::Write(const double* interleaved, int64_t frames)
{
    if (sf_writef_double(file, interleaved, frames) != frames)
    {
        throw HostError("cannot write " + name + ": " + sf_strerror(file));
    }
}

void AudioFileWriter::Close()
{
    if (!file)
    {
        return;
    }
    sf_write_sync(file);
    int error = sf_error(file);
    std::string why = sf_strerror(file);
    int closed = sf_close(file);
    file = nullptr;
    if (error != SF_ERR_NO_ERROR || closed != 0)
    {
        throw HostError("cannot write " + name + ": " + why);
    }
}
