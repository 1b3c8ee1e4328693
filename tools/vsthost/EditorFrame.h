// A plain top-level window of the host's own for a plug-in's editor to open
// into, and the message loop that keeps it alive. Only the Windows builds
// have one; elsewhere Available() is false and nothing is created.
#pragma once

#include <cstdint>

class EditorFrame
{
public:
    static bool Available();

    // Creates the window (hidden from nothing: shown at a fixed position).
    // Throws HostError when the system refuses.
    EditorFrame();
    ~EditorFrame();
    EditorFrame(const EditorFrame&) = delete;
    EditorFrame& operator=(const EditorFrame&) = delete;

    // The native window handle the editor gets with effEditOpen.
    void* Handle() const { return handle; }

    void Resize(int32_t width, int32_t height);

    // Runs the window system's messages for `ms` milliseconds, calling
    // `idle` (effEditIdle, as hosts do) about every 20 ms when given.
    void Pump(int ms, void (*idle)(void* context) = nullptr, void* context = nullptr);

private:
    void* handle = nullptr;
};
