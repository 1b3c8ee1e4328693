// Writes an IEEE floating-point WAV file through libsndfile: 32-bit float or
// 64-bit double samples, so nothing the plug-in produced is rounded.
#pragma once

#include <cstdint>
#include <string>

struct sf_private_tag;

class AudioFileWriter
{
public:
    AudioFileWriter() = default;
    ~AudioFileWriter();
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    // Creates `path`. `displayName` names the file in error messages. Throws
    // HostError.
    void Open(const std::string& path, const std::string& displayName, int channels, int sampleRate,
              bool doublePrecision);

    // Interleaved frames. Throw HostError on a short write.
    void Write(const float* interleaved, int64_t frames);
    void Write(const double* interleaved, int64_t frames);

    // Finishes the header; throws HostError when the file could not be
    // completed.
    void Close();

private:
    sf_private_tag* file = nullptr;
    std::string name;
};
