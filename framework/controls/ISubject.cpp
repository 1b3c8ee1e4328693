#include "ISubject.h"

#include "IObserverInterface.h"

#include <algorithm>
#include <new>

namespace
{
// The list grows 32 bytes at a time: a control has one or two observers, and
// the step keeps a handful of them in one allocation.
constexpr size_t kGrowthEntries = 32 / sizeof(IObserverInterface*);
} // namespace

ISubject::~ISubject() = default;

void ISubject::AddObserver(IObserverInterface* observer)
{
    if (observer == nullptr)
    {
        return;
    }
    try
    {
        if (!observers)
        {
            observers = std::make_unique<std::vector<IObserverInterface*>>();
        }
        if (std::find(observers->begin(), observers->end(), observer) != observers->end())
        {
            return;
        }
        if (observers->size() == observers->capacity())
        {
            observers->reserve(observers->capacity() + kGrowthEntries);
        }
        observers->push_back(observer);
    }
    catch (const std::bad_alloc&)
    {
        // Out of memory: the observer stays unregistered and never hears of a
        // change; the control itself works on.
    }
}

void ISubject::NotifyObservers()
{
    if (!observers || !changed)
    {
        return;
    }
    changed = false;
    // By index: an observer may register another one while it is updated.
    for (size_t i = 0; i < observers->size(); ++i)
    {
        (*observers)[i]->Update();
    }
}
