#pragma once

// Something that wants to hear when a control's value changed. The graphics
// core calls Update on the editor thread, once per redraw check at most.
class IObserverInterface
{
public:
    // Editor thread, no lock. Pure.
    virtual void Update() = 0;
    virtual ~IObserverInterface() = default;
};
