#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A buffer a host hands to the plug-in: size bytes the plug-in may use,
// followed by canary bytes it must never touch. (AddressSanitizer sees only
// the end of the whole allocation; the canary also catches a write past the
// part the host meant, as with a text buffer of a fixed size.)
class GuardedBuffer
{
public:
    static constexpr size_t kCanarySize = 32;
    static constexpr uint8_t kCanaryByte = 0xa5;

    explicit GuardedBuffer(size_t size, uint8_t fill = 0)
        : bytes(size + kCanarySize, kCanaryByte), size(size)
    {
        for (size_t i = 0; i < size; ++i)
        {
            bytes[i] = fill;
        }
    }

    uint8_t* Data() { return bytes.data(); }
    const uint8_t* Data() const { return bytes.data(); }
    size_t Size() const { return size; }
    template <typename T> T* As() { return reinterpret_cast<T*>(bytes.data()); }
    template <typename T> const T* As() const { return reinterpret_cast<const T*>(bytes.data()); }

    bool CanaryIntact() const
    {
        for (size_t i = size; i < bytes.size(); ++i)
        {
            if (bytes[i] != kCanaryByte)
            {
                return false;
            }
        }
        return true;
    }

private:
    std::vector<uint8_t> bytes;
    size_t size;
};
