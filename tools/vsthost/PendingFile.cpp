#include "PendingFile.h"

#include "HostError.h"
#include "Platform.h"

#include <cstdio>

PendingFile::PendingFile(const std::string& path)
    : finalPath(path), tempPath(path + ".vsthost-" + std::to_string(Platform::ProcessId()) + ".tmp")
{
    Platform::DeleteOnAbnormalExit(tempPath);
}

PendingFile::~PendingFile()
{
    if (!committed)
    {
        Platform::RemoveFile(tempPath);
    }
    Platform::ForgetOnAbnormalExit(tempPath);
}

void PendingFile::Commit()
{
    if (committed)
    {
        return;
    }
    if (Platform::IsDirectory(finalPath))
    {
        throw HostError("cannot write " + finalPath + ": it is a directory");
    }
    if (!Platform::RenameReplacing(tempPath, finalPath))
    {
        throw HostError("cannot write " + finalPath + ": " + Platform::LastErrorText());
    }
    committed = true;
    Platform::ForgetOnAbnormalExit(tempPath);
}

void PendingFile::WriteAll(const void* data, size_t size)
{
    std::FILE* f = Platform::OpenFile(tempPath, "wb");
    if (!f)
    {
        throw HostError("cannot write " + finalPath + ": " + Platform::LastErrorText());
    }
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    ok = std::fclose(f) == 0 && ok;
    if (!ok)
    {
        throw HostError("cannot write " + finalPath + ": " + Platform::LastErrorText());
    }
}
