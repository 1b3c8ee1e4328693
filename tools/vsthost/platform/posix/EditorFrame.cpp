#include "EditorFrame.h"

#include "HostError.h"

bool EditorFrame::Available()
{
    return false;
}

EditorFrame::EditorFrame()
{
    throw HostError("editors are not supported on this platform");
}

EditorFrame::~EditorFrame() = default;

void EditorFrame::Resize(int32_t, int32_t) {}

void EditorFrame::Pump(int, void (*)(void*), void*) {}
