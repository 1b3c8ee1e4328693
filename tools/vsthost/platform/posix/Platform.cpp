#include "Platform.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <vector>

namespace
{
// Paths to delete from a signal handler: fixed storage, no allocation there.
constexpr int kMaxDoomed = 8;
constexpr size_t kMaxDoomedPath = 4096;
char doomedPaths[kMaxDoomed][kMaxDoomedPath];
volatile sig_atomic_t doomedUsed[kMaxDoomed];
const int kFatalSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV,
                             SIGBUS, SIGFPE,  SIGILL, SIGABRT, SIGPIPE};

void DeleteDoomedAndDie(int sig)
{
    for (int i = 0; i < kMaxDoomed; ++i)
    {
        if (doomedUsed[i])
        {
            ::unlink(doomedPaths[i]);
        }
    }
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

void InstallHandlers()
{
    static bool installed = false;
    if (installed)
    {
        return;
    }
    installed = true;
    for (int sig : kFatalSignals)
    {
        struct sigaction action;
        std::memset(&action, 0, sizeof(action));
        action.sa_handler = DeleteDoomedAndDie;
        sigemptyset(&action.sa_mask);
        struct sigaction previous;
        // Leave signals the caller chose to ignore (nohup) ignored.
        if (::sigaction(sig, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
        {
            continue;
        }
        ::sigaction(sig, &action, nullptr);
    }
}
} // namespace

void Platform::DeleteOnAbnormalExit(const std::string& path)
{
    if (path.size() >= kMaxDoomedPath)
    {
        return;
    }
    InstallHandlers();
    for (int i = 0; i < kMaxDoomed; ++i)
    {
        if (!doomedUsed[i])
        {
            std::memcpy(doomedPaths[i], path.c_str(), path.size() + 1);
            doomedUsed[i] = 1;
            return;
        }
    }
}

void Platform::ForgetOnAbnormalExit(const std::string& path)
{
    for (int i = 0; i < kMaxDoomed; ++i)
    {
        if (doomedUsed[i] && path == doomedPaths[i])
        {
            doomedUsed[i] = 0;
        }
    }
}

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
    {
        return false;
    }
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
        // The parent's pending files are not the child's to delete.
        for (int i = 0; i < kMaxDoomed; ++i)
        {
            doomedUsed[i] = 0;
        }
        // Whatever the plug-in or a sanitizer says on the way down stays out
        // of the tool's output.
        int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0)
        {
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
            ::close(null);
        }
        ::close(fds[0]);
        std::vector<unsigned char> buffer(size + 1, 0);
        buffer[0] = probe(buffer.data() + 1) ? 1 : 0;
        size_t written = 0;
        while (written < buffer.size())
        {
            ssize_t n = ::write(fds[1], buffer.data() + written, buffer.size() - written);
            if (n <= 0)
            {
                break;
            }
            written += static_cast<size_t>(n);
        }
        // No destructors or atexit handlers of the parent's objects here.
        ::_exit(written == buffer.size() ? 0 : 1);
    }
    ::close(fds[1]);
    std::vector<unsigned char> buffer(size + 1, 0);
    size_t got = 0;
    // A probe that hangs is given up after a while, like one that crashes.
    const int timeoutMs = 10000;
    while (got < buffer.size())
    {
        pollfd p{fds[0], POLLIN, 0};
        int ready = ::poll(&p, 1, timeoutMs);
        if (ready < 0 && errno == EINTR)
        {
            continue;
        }
        if (ready <= 0)
        {
            ::kill(child, SIGKILL);
            break;
        }
        ssize_t n = ::read(fds[0], buffer.data() + got, buffer.size() - got);
        if (n < 0 && errno == EINTR)
        {
            continue;
        }
        if (n <= 0)
        {
            break;
        }
        got += static_cast<size_t>(n);
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR)
    {
    }
    if (got != buffer.size() || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || buffer[0] != 1)
    {
        return false;
    }
    std::memcpy(result, buffer.data() + 1, size);
    return true;
}

int Platform::DivertStdout()
{
    std::fflush(stdout);
    int saved = ::dup(STDOUT_FILENO);
    if (saved >= 0 && ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
    {
        ::close(saved);
        return -1;
    }
    return saved;
}

void Platform::RestoreStdout(int saved)
{
    if (saved < 0)
    {
        return;
    }
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
}

std::string Platform::ExecutablePath()
{
    char buffer[4096];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (n <= 0)
    {
        return std::string();
    }
    return std::string(buffer, static_cast<size_t>(n));
}

void Platform::EndAtOnceOnCrash() {}

ChildOutcome Platform::RunChild(const std::vector<std::string>& args, int timeoutMs,
                                bool keepStderr)
{
    ChildOutcome outcome;
    if (args.empty())
    {
        return outcome;
    }
    std::vector<char*> argv;
    for (const std::string& a : args)
    {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    int fds[2];
    if (::pipe(fds) != 0)
    {
        return outcome;
    }
    std::fflush(nullptr);
    pid_t child = ::fork();
    if (child < 0)
    {
        ::close(fds[0]);
        ::close(fds[1]);
        return outcome;
    }
    if (child == 0)
    {
        // A group of its own, so that whatever the plug-in starts dies with it.
        ::setpgid(0, 0);
#ifdef __linux__
        // Out of the terminal's group, an interrupt reaches only the parent;
        // a hanging check must not outlive it.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
        ::dup2(fds[1], STDOUT_FILENO);
        if (!keepStderr)
        {
            int null = ::open("/dev/null", O_WRONLY);
            if (null >= 0)
            {
                ::dup2(null, STDERR_FILENO);
                ::close(null);
            }
        }
        ::close(fds[0]);
        ::close(fds[1]);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::setpgid(child, child);
    ::close(fds[1]);
    outcome.started = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    bool exited = false;
    bool open = true;
    char buffer[4096];
    while (!exited)
    {
        pollfd p{fds[0], POLLIN, 0};
        int ready = open ? ::poll(&p, 1, 20) : (::usleep(20000), 0);
        if (ready > 0)
        {
            ssize_t n = ::read(fds[0], buffer, sizeof(buffer));
            if (n > 0)
            {
                outcome.output.append(buffer, static_cast<size_t>(n));
            }
            else if (n == 0 || errno != EINTR)
            {
                open = false;
            }
        }
        pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child)
        {
            exited = true;
        }
        else if (std::chrono::steady_clock::now() > deadline)
        {
            outcome.timedOut = true;
            ::kill(-child, SIGKILL);
            ::kill(child, SIGKILL);
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR)
            {
            }
            exited = true;
        }
    }
    // What the child wrote just before it ended; a grandchild still holding
    // the pipe must not keep the tool waiting.
    for (;;)
    {
        pollfd p{fds[0], POLLIN, 0};
        if (!open || ::poll(&p, 1, 0) <= 0)
        {
            break;
        }
        ssize_t n = ::read(fds[0], buffer, sizeof(buffer));
        if (n <= 0)
        {
            break;
        }
        outcome.output.append(buffer, static_cast<size_t>(n));
    }
    ::close(fds[0]);
    ::kill(-child, SIGKILL);
    if (WIFSIGNALED(status) && !outcome.timedOut)
    {
        outcome.crashed = true;
        int sig = WTERMSIG(status);
        const char* name = ::strsignal(sig);
        outcome.crash = "signal " + std::to_string(sig) + " (" + (name ? name : "?") + ")";
    }
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

size_t Platform::MemoryInUse()
{
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f)
    {
        return 0;
    }
    unsigned long size = 0;
    unsigned long resident = 0;
    int n = std::fscanf(f, "%lu %lu", &size, &resident);
    std::fclose(f);
    return n == 2 ? static_cast<size_t>(resident) * static_cast<size_t>(::sysconf(_SC_PAGESIZE))
                  : 0;
}

void Platform::WriteToHandle(int handle, const std::string& text)
{
    size_t done = 0;
    while (handle >= 0 && done < text.size())
    {
        ssize_t n = ::write(handle, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
        {
            continue;
        }
        if (n <= 0)
        {
            return;
        }
        done += static_cast<size_t>(n);
    }
}
