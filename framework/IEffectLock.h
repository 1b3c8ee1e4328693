#pragma once

// The per-instance plug-in lock: a re-entrant critical section. Each platform
// supplies its own thin implementation (platform/<platform>/IEffectLock.cpp).
// Also usable with std::lock_guard / std::unique_lock.
class IEffectLock
{
public:
    IEffectLock();
    ~IEffectLock();
    IEffectLock(const IEffectLock&) = delete;
    IEffectLock& operator=(const IEffectLock&) = delete;

    void Enter();
    void Leave();
    bool TryEnter();

    void lock() { Enter(); }
    void unlock() { Leave(); }
    bool try_lock() { return TryEnter(); }

private:
    struct Impl;
    Impl* impl;
};
