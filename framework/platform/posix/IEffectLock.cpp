#include "IEffectLock.h"

#include <mutex>

struct IEffectLock::Impl
{
    std::recursive_mutex mutex;
};

IEffectLock::IEffectLock() : impl(new Impl) {}

IEffectLock::~IEffectLock()
{
    delete impl;
}

void IEffectLock::Enter()
{
    impl->mutex.lock();
}

void IEffectLock::Leave()
{
    impl->mutex.unlock();
}

bool IEffectLock::TryEnter()
{
    return impl->mutex.try_lock();
}
