#include "IEffectLock.h"

#include <windows.h>

struct IEffectLock::Impl
{
    CRITICAL_SECTION section;
};

IEffectLock::IEffectLock() : impl(new Impl)
{
    InitializeCriticalSection(&impl->section);
}

IEffectLock::~IEffectLock()
{
    DeleteCriticalSection(&impl->section);
    delete impl;
}

void IEffectLock::Enter()
{
    EnterCriticalSection(&impl->section);
}

void IEffectLock::Leave()
{
    LeaveCriticalSection(&impl->section);
}

bool IEffectLock::TryEnter()
{
    return TryEnterCriticalSection(&impl->section) != 0;
}
