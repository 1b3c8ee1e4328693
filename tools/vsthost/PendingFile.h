// An output written under a temporary name next to its final place and
// renamed into it only when complete, so that no half-written file is ever
// left under the final name. Unless committed, the temporary file is removed
// when the object goes away, whatever the reason.
#pragma once

#include <string>

class PendingFile
{
public:
    explicit PendingFile(const std::string& finalPath);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    const std::string& TempPath() const { return tempPath; }
    const std::string& FinalPath() const { return finalPath; }

    // Moves the temporary file to the final name. Throws HostError on failure
    // (the temporary file is then removed).
    void Commit();

    // Writes `size` bytes to the temporary file in one go. Throws HostError.
    void WriteAll(const void* data, size_t size);

private:
    std::string finalPath;
    std::string tempPath;
    bool committed = false;
};
