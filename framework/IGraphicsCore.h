#pragma once

// The editor as the plug-in base and the VST 2 binding see it. The full
// graphics core (controls, drawing, window) derives from this interface.
class IGraphicsCore
{
public:
    // The plug-in base owns an attached editor and destroys it through here.
    virtual ~IGraphicsCore() = default;
    // Delivers a parameter value from the host side to every control bound
    // to paramIndex; a real value (isNormalized false) is normalised first.
    // Called with the plug-in lock held.
    virtual void PushParameterValue(int paramIndex, double value, bool isNormalized) = 0;
    // Creates the back buffer the controls paint into; called once on attach.
    virtual void CreateBackBuffer() = 0;
    // Editor size in pixels, reported to the host as the editor rectangle.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Opens the editor window as a child of the host's window; returns the
    // window handle or null on failure.
    virtual void* CreateEditorWindow(void* parent) = 0;
    // Closes the window; the editor object itself lives on.
    virtual void DestroyEditorWindow() = 0;
};
