#pragma once

#include <memory>
#include <vector>

class IObserverInterface;

// The observable base of every control: a list of observers, made on the
// first registration, and the changed flag that MarkDirty sets. Observers are
// not owned.
class ISubject
{
public:
    ISubject() = default;
    ISubject(const ISubject&) = delete;
    ISubject& operator=(const ISubject&) = delete;
    // Frees the list; the observers themselves live on.
    virtual ~ISubject();

    // Appends observer unless it is already registered. Editor thread, or
    // the effect's constructor.
    void AddObserver(IObserverInterface* observer);
    // If changed: clears it and calls every observer's Update in
    // registration order. Editor thread.
    void NotifyObservers();

    bool Changed() const { return changed; }

protected:
    std::unique_ptr<std::vector<IObserverInterface*>> observers;
    bool changed = false;
};
