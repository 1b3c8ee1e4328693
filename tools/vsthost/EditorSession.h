// `vsthost editor`: opens a plug-in's editor in a window of the host's own,
// runs the steps of the command line on it through the system's real input
// path, and reports what the plug-in told the host and its final parameter
// values. Only the Windows builds have a window system to do it with.
#pragma once

#include "EditorOptions.h"

#include <string>

class EditorSession
{
public:
    // Runs everything and returns the report (text, or JSON with `json`).
    // Throws HostError with a one-line message on any failure, also where
    // the platform has no editor support.
    static std::string Run(const EditorOptions& options);
};
