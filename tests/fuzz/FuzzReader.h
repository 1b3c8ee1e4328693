#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Hands out the fuzz input piece by piece. Once the input is used up every
// read answers zero, so a short input still plays a complete, if dull, host.
class FuzzReader
{
public:
    FuzzReader(const uint8_t* data, size_t size) : data(data), size(size) {}

    bool Empty() const { return at >= size; }

    uint8_t Byte() { return at < size ? data[at++] : 0; }

    uint32_t U32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
        {
            v = (v << 8) | Byte();
        }
        return v;
    }

    uint64_t U64() { return (static_cast<uint64_t>(U32()) << 32) | U32(); }

    bool Bool() { return (Byte() & 1) != 0; }

    // A value in lo..hi, both included.
    int32_t Int(int32_t lo, int32_t hi)
    {
        const uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(hi) - lo) + 1;
        const uint64_t raw = span <= 256 ? Byte() : span <= 65536 ? (U32() & 0xffff) : U32();
        return static_cast<int32_t>(lo + static_cast<int64_t>(raw % span));
    }

    // 0..1 in steps of 1/65535.
    double Unit() { return static_cast<double>(U32() & 0xffff) / 65535.0; }

    template <typename T, size_t N> T Pick(const T (&choices)[N]) { return choices[Byte() % N]; }

    // Copies n bytes of input (zeros past its end).
    void Bytes(void* out, size_t n)
    {
        if (n == 0)
        {
            return;
        }
        const size_t available = at < size ? size - at : 0;
        const size_t k = n < available ? n : available;
        if (k > 0)
        {
            std::memcpy(out, data + at, k);
        }
        std::memset(static_cast<uint8_t*>(out) + k, 0, n - k);
        at += k;
    }

private:
    const uint8_t* data;
    size_t size;
    size_t at = 0;
};
