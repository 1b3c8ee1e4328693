#include "EditorSession.h"

#include "HostError.h"

std::string EditorSession::Run(const EditorOptions&)
{
    throw HostError("editor: not supported on this platform (the Windows builds open editors)");
}
