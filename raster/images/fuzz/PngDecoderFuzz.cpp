#include "FuzzConsume.h"
#include "HeapBitmap.h"
#include "ImageDecoders.h"

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace
{
using fuzzimages::Consume;

// Nearly every mutation breaks a chunk checksum, and libpng stops there.
// Rewriting the checksums lets mutated headers and image data reach the
// decoder's later stages.
std::vector<uint8_t> WithRepairedChecksums(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> copy(data, data + size);
    size_t at = 8;
    while (at + 12 <= copy.size())
    {
        uint32_t length = (uint32_t(copy[at]) << 24) | (uint32_t(copy[at + 1]) << 16) |
                          (uint32_t(copy[at + 2]) << 8) | copy[at + 3];
        if (length > copy.size() - at - 12)
        {
            break;
        }
        uLong crc = crc32(0, &copy[at + 4], static_cast<uInt>(length + 4));
        size_t end = at + 8 + length;
        for (int i = 0; i < 4; ++i)
        {
            copy[end + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        }
        at = end + 4;
    }
    return copy;
}
} // namespace

// Decodes each input as it is into a new bitmap, and with repaired checksums
// into a caller's bitmap that the decoder has to resize.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Consume(DecodePngMemory(data, size), true);
    std::vector<uint8_t> repaired = WithRepairedChecksums(data, size);
    HeapBitmap target(3, 2);
    Consume(DecodePngMemory(repaired.data(), repaired.size(), &target), false);
    return 0;
}
