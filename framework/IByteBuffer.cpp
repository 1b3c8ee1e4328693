#include "IByteBuffer.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

IByteBuffer::IByteBuffer(int32_t granularity_, int32_t minCapacity_)
    : granularity(granularity_ > 0 ? granularity_ : 1),
      minCapacity(std::clamp(minCapacity_, 0, kMaxSize))
{
}

IByteBuffer::~IByteBuffer()
{
    std::free(data);
}

IByteBuffer::IByteBuffer(IByteBuffer&& other) noexcept
    : data(std::exchange(other.data, nullptr)), granularity(other.granularity),
      capacity(std::exchange(other.capacity, 0)), size(std::exchange(other.size, 0)),
      minCapacity(other.minCapacity)
{
}

IByteBuffer& IByteBuffer::operator=(IByteBuffer&& other) noexcept
{
    if (this != &other)
    {
        std::free(data);
        data = std::exchange(other.data, nullptr);
        granularity = other.granularity;
        capacity = std::exchange(other.capacity, 0);
        size = std::exchange(other.size, 0);
        minCapacity = other.minCapacity;
    }
    return *this;
}

int32_t IByteBuffer::PolicyCapacity(int32_t newSize, int32_t gran, int32_t minCap)
{
    if (newSize < 0 || newSize > kMaxSize || gran <= 0)
    {
        return -1;
    }
    // 64-bit arithmetic: with sizes up to kMaxSize nothing here can overflow,
    // and the result is checked against the int32 range before use.
    const int64_t n = newSize;
    int64_t slack = std::max<int64_t>(n / 2, gran);
    int64_t cap;
    if (gran < 4096)
    {
        cap = n + slack;
    }
    else
    {
        slack = std::clamp<int64_t>(slack / 4096 * 4096, 4096, 4194304);
        // Keeps each block plus a typical allocator header inside whole pages.
        cap = (n + slack + 96) / 4096 * 4096 - 96;
    }
    cap = std::max<int64_t>(cap, minCap);
    if (cap > std::numeric_limits<int32_t>::max())
    {
        return -1;
    }
    return static_cast<int32_t>(cap);
}

uint8_t* IByteBuffer::Resize(int32_t newSize, bool allowShrink)
{
    if (newSize < 0 || newSize > kMaxSize)
    {
        return nullptr;
    }
    if (newSize != size)
    {
        const bool grow = newSize > capacity;
        const bool shrink = allowShrink && newSize < size && newSize < capacity / 2 &&
                            newSize < capacity - 4 * static_cast<int64_t>(granularity);
        if (grow || shrink)
        {
            const int32_t newCapacity = PolicyCapacity(newSize, granularity, minCapacity);
            if (newCapacity < 0)
            {
                return nullptr;
            }
            if (newCapacity != capacity)
            {
                void* p = std::realloc(data, static_cast<size_t>(newCapacity));
                if (p == nullptr && newCapacity > 0)
                {
                    p = std::malloc(static_cast<size_t>(newCapacity));
                    if (p == nullptr)
                    {
                        return nullptr; // keep the old storage, size and contents
                    }
                    if (data != nullptr)
                    {
                        std::memcpy(p, data, static_cast<size_t>(std::min(size, newSize)));
                    }
                    std::free(data);
                }
                data = static_cast<uint8_t*>(p);
                capacity = newCapacity;
            }
        }
        size = newSize;
    }
    return size > 0 ? data : nullptr;
}

int32_t IByteBuffer::ResizeZeroed(int32_t newSize)
{
    const int32_t oldSize = size;
    Resize(newSize, true);
    if (size > oldSize && size == newSize)
    {
        std::memset(data + oldSize, 0, static_cast<size_t>(size - oldSize));
    }
    return oldSize;
}

bool IByteBuffer::Append(const void* bytes, int32_t n)
{
    if (n < 0 || (bytes == nullptr && n > 0) || n > kMaxSize - size)
    {
        return false;
    }
    if (n == 0)
    {
        return true;
    }
    // The source may lie inside this buffer, which the resize can move.
    const auto* src = static_cast<const uint8_t*>(bytes);
    const bool inside = data != nullptr && src >= data && src < data + size;
    const std::ptrdiff_t offset = inside ? src - data : 0;
    const int32_t oldSize = size;
    Resize(oldSize + n, true);
    if (size != oldSize + n)
    {
        return false;
    }
    std::memmove(data + oldSize, inside ? data + offset : src, static_cast<size_t>(n));
    return true;
}

int32_t IByteBuffer::ReadAt(int32_t position, int32_t n, void* out) const
{
    if (position < 0 || n < 0 || static_cast<int64_t>(position) + n > size ||
        (out == nullptr && n > 0))
    {
        return -1;
    }
    if (n > 0)
    {
        std::memcpy(out, data + position, static_cast<size_t>(n));
    }
    return position + n;
}
