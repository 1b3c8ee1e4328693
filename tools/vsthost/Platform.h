// The few operating-system services vsthost needs, behind one thin layer.
// Every path is UTF-8; the Windows implementation converts to UTF-16 so that
// names outside the ANSI code page work.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// How a child process of RunChild ended.
struct ChildOutcome
{
    bool started = false;
    bool timedOut = false;
    // Ended by a signal (POSIX) or an unhandled exception (Windows).
    bool crashed = false;
    // The signal or exception, e.g. "signal 11 (Segmentation fault)".
    std::string crash;
    int exitCode = 0;
    // Everything the child wrote on standard output.
    std::string output;
};

class Platform
{
public:
    // The program's arguments as UTF-8 (Windows reads the wide command line).
    static std::vector<std::string> Arguments(int argc, char** argv);

    // fopen with a UTF-8 path; null on failure.
    static std::FILE* OpenFile(const std::string& path, const char* mode);

    // Replaces `to` with `from` in one step where the system allows it.
    static bool RenameReplacing(const std::string& from, const std::string& to);

    static bool RemoveFile(const std::string& path);

    static bool IsDirectory(const std::string& path);

    // True when standard error is an interactive terminal.
    static bool StderrIsTerminal();

    // A number that differs between concurrently running processes.
    static unsigned long ProcessId();

    // Runs `probe` in a child process where the system has one (fork), so that
    // a plug-in crashing inside it cannot take the tool down; elsewhere it
    // runs in place. `probe` fills `size` bytes at `result` and returns
    // whether it succeeded. Returns false when it failed or crashed.
    static bool RunIsolated(const std::function<bool(void* result)>& probe, void* result,
                            size_t size);

    // Sends standard output to standard error until RestoreStdout, so that
    // whatever a plug-in prints cannot mix with the tool's own output.
    // Returns a handle for RestoreStdout, or -1 when nothing was changed.
    static int DivertStdout();
    static void RestoreStdout(int saved);
    // Writes `text` unbuffered to a handle DivertStdout returned.
    static void WriteToHandle(int handle, const std::string& text);

    // Deletes `path` should the process be interrupted or die from a fatal
    // signal before ForgetOnAbnormalExit, so that not even a temporary file
    // is left. A few files at a time; more are silently not covered. Windows
    // cannot delete a file that is still open, so there this does nothing;
    // the temporary name still never replaces the output.
    static void DeleteOnAbnormalExit(const std::string& path);
    static void ForgetOnAbnormalExit(const std::string& path);

    // The path of the running program, for running it again as a child.
    static std::string ExecutablePath();

    // Runs the program `args[0]` with `args` and waits at most `timeoutMs`,
    // killing it (and on POSIX its process group) when it takes longer.
    // Standard output is captured; standard error goes to the tool's own
    // standard error when `keepStderr`, else nowhere.
    static ChildOutcome RunChild(const std::vector<std::string>& args, int timeoutMs,
                                 bool keepStderr);

    // From now on a crash ends this process at once, its exit status the
    // crash's own code (Windows; elsewhere the signal already does). Wine
    // would otherwise start its debugger, which on a display waits for
    // someone to close its window.
    static void EndAtOnceOnCrash();

    // Memory the process holds now, in bytes: resident set (POSIX) or private
    // bytes (Windows); 0 when unknown.
    static size_t MemoryInUse();

    // Text of the last system error of the calling thread.
    static std::string LastErrorText();

#ifdef _WIN32
    static std::wstring Widen(const std::string& utf8);
    static std::string Narrow(const std::wstring& wide);
#endif
};
