// vsthost: a command-line host for VST 2.4 plug-ins.
//
//   vsthost info PLUGIN [--json]
//   vsthost render PLUGIN IN.wav OUT.wav [options]
//   vsthost render PLUGIN --generate demo OUT.wav [options]
//   vsthost editor PLUGIN [steps...] [--json]      (Windows builds)
//   vsthost validate PLUGIN [options]
//
// Every failure ends with one line on standard error and exit status 1
// (2 for a malformed command line).

#include "EditorOptions.h"
#include "EditorSession.h"
#include "HostCallback.h"
#include "HostError.h"
#include "Platform.h"
#include "PluginInstance.h"
#include "PluginReport.h"
#include "RenderOptions.h"
#include "Renderer.h"
#include "Validator.h"

#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

namespace
{
const char* const kUsage =
    "usage: vsthost info PLUGIN [--json]\n"
    "       vsthost render PLUGIN IN.wav OUT.wav [options]\n"
    "       vsthost render PLUGIN --generate demo OUT.wav [options]\n"
    "       vsthost editor PLUGIN [steps...] [--json]\n"
    "       vsthost validate PLUGIN [options]    (or: vsthost validate --list)\n"
    "\n"
    "render options:\n"
    "  --rate HZ                  sample rate (default: the input's, 44100 for --generate)\n"
    "  --block N                  frames per process call (default 512)\n"
    "  --precision P              float (processReplacing, default), double\n"
    "                             (processDoubleReplacing) or accumulate (process)\n"
    "  --param INDEX=VALUE        set a parameter (normalised 0..1) before processing\n"
    "  --program N                select a program before processing\n"
    "  --load-chunk FILE          give the plug-in a program chunk before processing\n"
    "  --save-chunk FILE          save the plug-in's program chunk after processing\n"
    "  --verbose                  report the steps and the plug-in's automation calls\n"
    "\n"
    "A mono input feeds the plug-in's first two inputs; a stereo input feeds left and\n"
    "right to inputs 1 and 2 (their average to a single input); other inputs are\n"
    "silent. The output has the plug-in's output channels, as 32-bit float WAV\n"
    "(64-bit for --precision double). The signal is not resampled.\n"
    "\n"
    "editor steps, run in order on the open editor (Windows builds; X,Y in editor pixels):\n"
    "  --screenshot FILE.png      the editor as the screen shows it\n"
    "  --click X,Y  --right-click X,Y  --double-click X,Y  --press X,Y  --release X,Y\n"
    "  --drag X,Y,DX,DY           press, move in steps, release\n"
    "  --shift  --ctrl            hold the modifier during the next step\n"
    "  --hold MS                  the next click holds each press, and waits after\n"
    "                             each release, MS milliseconds (as a hand clicks)\n"
    "  --wheel X,Y,N              N notches (negative: towards the user)\n"
    "  --key NAME                 Return, Escape, Tab, Space, arrows, F1..F12, a letter or digit\n"
    "  --type TEXT                the characters of TEXT\n"
    "  --set-param I=V            the host sets parameter I to V (0..1)\n"
    "  --program N                the host selects program N\n"
    "  --render IN.wav OUT.wav    the host runs IN through the plug-in (512-frame\n"
    "                             blocks, processReplacing) and writes OUT\n"
    "  --wait MS                  let the editor run\n"
    "  --close  --reopen          effEditClose; effEditOpen again (closed or not)\n"
    "Prints what the plug-in told the host and the final parameters (--json: as info).\n"
    "\n"
    "validate options (each check runs in a child process with a time limit):\n"
    "  --level 1|2|3              quick scan, default, exhaustive (default 2)\n"
    "  --only NAMES  --skip NAMES checks or groups, comma-separated (e.g. audio,state.programs)\n"
    "  --seed N                   every random choice (printed, to repeat a run)\n"
    "  --timeout SECONDS          per check (default 120, 600 at level 3)\n"
    "  --json                     the report as JSON\n"
    "  --verbose                  show what the plug-in prints\n"
    "  --list                     only list the checks' names (no PLUGIN needed)\n"
    "Exit status 0 only when no check failed.\n";

class UsageError : public HostError
{
public:
    using HostError::HostError;
};

// Whatever plug-ins print goes to standard error while one is loaded, so that
// standard output carries only the tool's own report.
struct Diversion
{
    int saved = Platform::DivertStdout();
    ~Diversion() { Platform::RestoreStdout(saved); }
};

int Info(const std::vector<std::string>& args)
{
    std::string path;
    bool json = false;
    for (const std::string& a : args)
    {
        if (a == "--json")
        {
            json = true;
        }
        else if (!a.empty() && a[0] == '-')
        {
            throw UsageError("unknown option " + a);
        }
        else if (path.empty())
        {
            path = a;
        }
        else
        {
            throw UsageError("info takes one plug-in, got also " + a);
        }
    }
    if (path.empty())
    {
        throw UsageError("info needs a PLUGIN");
    }

    PluginReport report;
    {
        Diversion diversion;
        HostCallback host;
        PluginInstance plugin;
        plugin.Load(path, &HostCallback::Dispatch);
        plugin.Open();
        plugin.Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        plugin.Dispatch(effSetBlockSize, 0, 512);
        report.Collect(path, plugin);
        plugin.Close();
    }

    std::string text = json ? report.ToJson() : report.ToText();
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
    {
        throw HostError("cannot write the report to standard output");
    }
    return 0;
}

int Run(const std::vector<std::string>& args)
{
    if (args.size() < 2)
    {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string& command = args[1];
    if (command == "--help" || command == "-h" || command == "help")
    {
        std::fputs(kUsage, stdout);
        return 0;
    }
    std::vector<std::string> rest(args.begin() + 2, args.end());
    if (command == "info")
    {
        return Info(rest);
    }
    if (command == "editor")
    {
        EditorOptions options;
        try
        {
            options = EditorOptions::Parse(rest);
        }
        catch (const HostError& e)
        {
            throw UsageError(e.what());
        }
        std::string report;
        {
            Diversion diversion;
            report = EditorSession::Run(options);
        }
        if (std::fwrite(report.data(), 1, report.size(), stdout) != report.size() ||
            std::fflush(stdout) != 0)
        {
            throw HostError("cannot write the report to standard output");
        }
        return 0;
    }
    if (command == "validate")
    {
        ValidateOptions options;
        try
        {
            options = ValidateOptions::Parse(rest);
        }
        catch (const HostError& e)
        {
            throw UsageError(e.what());
        }
        return Validator(options).Run();
    }
    if (command == "render")
    {
        RenderOptions options;
        try
        {
            options = RenderOptions::Parse(rest);
        }
        catch (const HostError& e)
        {
            throw UsageError(e.what());
        }
        Diversion diversion;
        Renderer(options).Run();
        return 0;
    }
    throw UsageError("unknown command '" + command + "'");
}
} // namespace

int main(int argc, char** argv)
{
    try
    {
        return Run(Platform::Arguments(argc, argv));
    }
    catch (const UsageError& e)
    {
        std::fprintf(stderr, "vsthost: %s (see vsthost --help)\n", e.what());
        return 2;
    }
    catch (const HostError& e)
    {
        std::fprintf(stderr, "vsthost: %s\n", e.what());
        return 1;
    }
    catch (const std::bad_alloc&)
    {
        std::fprintf(stderr, "vsthost: out of memory\n");
        return 1;
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "vsthost: unexpected failure: %s\n", e.what());
        return 1;
    }
    catch (...)
    {
        // Only a plug-in can throw something that is not ours.
        std::fprintf(stderr, "vsthost: the plug-in threw an exception\n");
        return 1;
    }
}
