#pragma once

#include "IGraphicsCore.h"

// An editor that only remembers what it was told.
class FakeEditor : public IGraphicsCore
{
public:
    FakeEditor(int w, int h, bool* destroyed = nullptr) : w(w), h(h), destroyed(destroyed) {}
    ~FakeEditor() override
    {
        if (destroyed)
        {
            *destroyed = true;
        }
    }
    void PushParameterValue(int, double, bool) override {}
    void CreateBackBuffer() override {}
    int Width() const override { return w; }
    int Height() const override { return h; }
    void* CreateEditorWindow(void* parent) override
    {
        windowOpen = parent != nullptr;
        return windowOpen ? this : nullptr;
    }
    void DestroyEditorWindow() override { windowOpen = false; }

    bool windowOpen = false;

private:
    int w;
    int h;
    bool* destroyed;
};
