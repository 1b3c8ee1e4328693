#include "Platform.h"

#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <cstdio>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <io.h>

std::wstring Platform::Widen(const std::string& utf8)
{
    if (utf8.empty())
    {
        return std::wstring();
    }
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (n <= 0)
    {
        return std::wstring();
    }
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
    return wide;
}

std::string Platform::Narrow(const std::wstring& wide)
{
    if (wide.empty())
    {
        return std::string();
    }
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, nullptr);
    if (n <= 0)
    {
        return std::string();
    }
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], n,
                        nullptr, nullptr);
    return utf8;
}

std::vector<std::string> Platform::Arguments(int argc, char** argv)
{
    int n = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &n);
    if (!wide)
    {
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> args;
    for (int i = 0; i < n; ++i)
    {
        args.push_back(Narrow(wide[i]));
    }
    LocalFree(wide);
    return args;
}

std::FILE* Platform::OpenFile(const std::string& path, const char* mode)
{
    return _wfopen(Widen(path).c_str(), Widen(mode).c_str());
}

bool Platform::RenameReplacing(const std::string& from, const std::string& to)
{
    return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool Platform::RemoveFile(const std::string& path)
{
    return DeleteFileW(Widen(path).c_str()) != 0;
}

bool Platform::IsDirectory(const std::string& path)
{
    DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Platform::StderrIsTerminal()
{
    return _isatty(_fileno(stderr)) != 0;
}

unsigned long Platform::ProcessId()
{
    return static_cast<unsigned long>(GetCurrentProcessId());
}

std::string Platform::LastErrorText()
{
    DWORD code = GetLastError();
    if (code == 0)
    {
        return std::strerror(errno);
    }
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::string result =
        n && text ? Narrow(std::wstring(text, n)) : "error " + std::to_string(code);
    if (text)
    {
        LocalFree(text);
    }
    // Some messages name their subject as an insert that was not filled in.
    for (size_t at; (at = result.find("%1")) != std::string::npos;)
    {
        result.replace(at, 2, "the file");
    }
    while (!result.empty() &&
           (result.back() == '\n' || result.back() == '\r' || result.back() == '.'))
    {
        result.pop_back();
    }
    return result;
}

bool Platform::RunIsolated(const std::function<bool(void* result)>& probe, void* result,
                           size_t size)
{
    (void)size;
    return probe(result);
}

void Platform::DeleteOnAbnormalExit(const std::string&) {}

void Platform::ForgetOnAbnormalExit(const std::string&) {}

int Platform::DivertStdout()
{
    std::fflush(stdout);
    int saved = _dup(_fileno(stdout));
    if (saved >= 0 && _dup2(_fileno(stderr), _fileno(stdout)) != 0)
    {
        _close(saved);
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
    _dup2(saved, _fileno(stdout));
    _close(saved);
}

std::string Platform::ExecutablePath()
{
    std::wstring path(32768, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (n == 0 || n >= path.size())
    {
        return std::string();
    }
    path.resize(n);
    return Narrow(path);
}

namespace
{
// One argument quoted the way CommandLineToArgvW reads it back.
std::wstring QuoteArgument(const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos)
    {
        return arg;
    }
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg)
    {
        if (c == L'\\')
        {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(backslashes * 2, L'\\');
    out.push_back(L'"');
    return out;
}
} // namespace

namespace
{
LONG WINAPI EndWithExceptionCode(EXCEPTION_POINTERS* e)
{
    TerminateProcess(GetCurrentProcess(), e && e->ExceptionRecord
                                              ? e->ExceptionRecord->ExceptionCode
                                              : static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    return EXCEPTION_EXECUTE_HANDLER;
}
} // namespace

void Platform::EndAtOnceOnCrash()
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(&EndWithExceptionCode);
}

ChildOutcome Platform::RunChild(const std::vector<std::string>& args, int timeoutMs,
                                bool keepStderr)
{
    ChildOutcome outcome;
    if (args.empty())
    {
        return outcome;
    }
    std::wstring commandLine;
    for (const std::string& a : args)
    {
        commandLine += (commandLine.empty() ? L"" : L" ") + QuoteArgument(Widen(a));
    }
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 1 << 16))
    {
        return outcome;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE null = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                              OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = keepStderr ? GetStdHandle(STD_ERROR_HANDLE) : null;
    PROCESS_INFORMATION process{};
    std::fflush(nullptr);
    // The error mode is inherited: a crashing plug-in must not wait for
    // someone to close a dialog.
    UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    BOOL created = CreateProcessW(Widen(args[0]).c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                                  CREATE_SUSPENDED, nullptr, nullptr, &startup, &process);
    SetErrorMode(previousMode);
    CloseHandle(writeEnd);
    if (null != INVALID_HANDLE_VALUE)
    {
        CloseHandle(null);
    }
    if (!created)
    {
        CloseHandle(readEnd);
        return outcome;
    }
    // A job takes whatever the plug-in starts down with the child; where
    // jobs are not to be had, the child alone is ended.
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job)
    {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits,
                                     sizeof(limits)) ||
            !AssignProcessToJobObject(job, process.hProcess))
        {
            CloseHandle(job);
            job = nullptr;
        }
    }
    ResumeThread(process.hThread);
    outcome.started = true;
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    char buffer[4096];
    for (;;)
    {
        // The pipe is drained while waiting so that a talkative child never
        // blocks on a full pipe.
        DWORD available = 0;
        while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0)
        {
            DWORD got = 0;
            if (!ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) || got == 0)
            {
                break;
            }
            outcome.output.append(buffer, got);
        }
        if (WaitForSingleObject(process.hProcess, 20) == WAIT_OBJECT_0)
        {
            break;
        }
        if (GetTickCount64() > deadline)
        {
            outcome.timedOut = true;
            if (job)
            {
                TerminateJobObject(job, 1);
            }
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, 5000);
            break;
        }
    }
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got > 0)
    {
        outcome.output.append(buffer, got);
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    CloseHandle(readEnd);
    if (job)
    {
        CloseHandle(job);
    }
    outcome.exitCode = static_cast<int>(code);
    if (!outcome.timedOut && code >= 0xC0000000u)
    {
        char text[64];
        std::snprintf(text, sizeof(text), "exception 0x%08lX", static_cast<unsigned long>(code));
        outcome.crashed = true;
        outcome.crash = text;
    }
    return outcome;
}

size_t Platform::MemoryInUse()
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(),
                              reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof(counters)))
    {
        return 0;
    }
    return static_cast<size_t>(counters.PrivateUsage);
}

void Platform::WriteToHandle(int handle, const std::string& text)
{
    if (handle >= 0 && !text.empty())
    {
        _write(handle, text.data(), static_cast<unsigned>(text.size()));
    }
}
