#include "Platform.h"

#include <windows.h>
#include <shellapi.h>

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
