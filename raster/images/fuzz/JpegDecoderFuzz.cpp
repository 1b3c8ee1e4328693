#include "FuzzConsume.h"
#include "HeapBitmap.h"
#include "ImageDecoders.h"

#include <cstddef>
#include <cstdint>

namespace
{
using fuzzimages::Consume;
} // namespace

// Decodes each input into a new bitmap and into a caller's bitmap that the
// decoder has to resize.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Consume(DecodeJpegMemory(data, size), true);
    HeapBitmap target(3, 2);
    Consume(DecodeJpegMemory(data, size, &target), false);
    return 0;
}
