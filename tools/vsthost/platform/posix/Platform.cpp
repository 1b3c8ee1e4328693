#include "Platform.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

std::vector<std::string> Platform::Arguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

std::FILE* Platform::OpenFile(const std::string& path, const char* mode)
{
    return std::fopen(path.c_str(), mode);
}

bool Platform::RenameReplacing(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool Platform::RemoveFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

bool Platform::IsDirectory(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Platform::StderrIsTerminal()
{
    return ::isatty(STDERR_FILENO) != 0;
}

unsigned long Platform::ProcessId()
{
    return static_cast<unsigned long>(::getpid());
}

std::string Platform::LastErrorText()
{
    return std::strerror(errno);
}

bool Platform::RunIsolated(const std::function<bool(void* result)>& probe, void* result,
                           size_t size)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return false;
    std::fflush(nullptr);
    pid_t child = ::fork();
    if (child < 0)
    {
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    if (child == 0)
    {
        ::close(fds[0]);
        std::vector<unsigned char> buffer(size + 1, 0);
        buffer[0] = probe(buffer.data() + 1) ? 1 : 0;
        size_t written = 0;
        while (written < buffer.size())
        {
            ssize_t n = ::write(fds[1], buffer.data() + written, buffer.size() - written);
            if (n <= 0)
                break;
            written += static_cast<size_t>(n);
        }
        // No destructors or atexit handlers of the parent's objects here.
        ::_exit(written == buffer.size() ? 0 : 1);
    }
    ::close(fds[1]);
    std::vector<unsigned char> buffer(size + 1, 0);
    size_t got = 0;
    while (got < buffer.size())
    {
        ssize_t n = ::read(fds[0], buffer.data() + got, buffer.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR)
    {
    }
    if (got != buffer.size() || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || buffer[0] != 1)
        return false;
    std::memcpy(result, buffer.data() + 1, size);
    return true;
}
