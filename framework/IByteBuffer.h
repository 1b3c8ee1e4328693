#pragma once

#include <cstdint>

// Growable byte buffer in which plug-in state travels; its growth policy also
// sizes the framework's other lists. Numbers are stored in machine order
// (little-endian on every supported target).
//
// Storage comes from the C allocator so that a failed growth leaves the buffer
// exactly as it was. Sizes are int32; negative sizes and sizes above kMaxSize
// are refused rather than allocated.
class IByteBuffer
{
public:
    static constexpr int32_t kDefaultGranularity = 4096;
    // Largest size a buffer accepts; keeps the capacity arithmetic inside int32.
    static constexpr int32_t kMaxSize = 0x40000000;

    explicit IByteBuffer(int32_t granularity = kDefaultGranularity, int32_t minCapacity = 0);
    ~IByteBuffer();
    IByteBuffer(const IByteBuffer&) = delete;
    IByteBuffer& operator=(const IByteBuffer&) = delete;
    IByteBuffer(IByteBuffer&& other) noexcept;
    IByteBuffer& operator=(IByteBuffer&& other) noexcept;

    // Sets the size to newSize, growing or (with allowShrink) shrinking the
    // storage by the growth policy. Returns the data, or null when the new
    // size is 0 or the resize was refused (negative, too large, out of
    // memory); a refused resize changes nothing.
    uint8_t* Resize(int32_t newSize, bool allowShrink = true);
    // Resize(newSize, true) and zero the bytes past the old size. Returns the
    // old size; the size is unchanged when the resize was refused.
    int32_t ResizeZeroed(int32_t newSize);
    // Appends n bytes. False (and nothing changed) when n is negative, the
    // bytes are null with n > 0, or the buffer cannot grow.
    bool Append(const void* bytes, int32_t n);
    bool AppendInt32(int32_t v) { return Append(&v, 4); }
    bool AppendDouble(double v) { return Append(&v, 8); }
    // Copies n bytes from position into out and returns position + n, or -1
    // (out untouched) when the range does not lie wholly inside the buffer.
    int32_t ReadAt(int32_t position, int32_t n, void* out) const;

    uint8_t* Data() { return data; }
    const uint8_t* Data() const { return data; }
    int32_t Size() const { return size; }
    int32_t Capacity() const { return capacity; }
    int32_t Granularity() const { return granularity; }
    int32_t MinCapacity() const { return minCapacity; }

    // Capacity the growth policy chooses for newSize, or -1 when newSize is
    // refused. Exposed so the lists and the tests share one rule.
    static int32_t PolicyCapacity(int32_t newSize, int32_t granularity, int32_t minCapacity);

private:
    uint8_t* data = nullptr;
    int32_t granularity;
    int32_t capacity = 0;
    int32_t size = 0;
    int32_t minCapacity;
};
