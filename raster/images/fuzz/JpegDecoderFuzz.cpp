#include "HeapBitmap.h"
#include "ImageDecoders.h"

#include <cstddef>
#include <cstdint>

namespace
{
// Keeps the pixel reads from being optimised away.
volatile RasterPixel sink;

// Reads every pixel, so a short or misplaced row shows up under the
// sanitizers, and releases a bitmap the decoder created.
void Consume(RasterBitmap* bitmap, bool owned)
{
    if (!bitmap)
        return;
    RasterPixel sum = 0;
    for (int y = 0; y < bitmap->PixelHeight(); ++y)
    {
        const RasterPixel* row = bitmap->Pixels() + static_cast<size_t>(y) * bitmap->RowSpan();
        for (int x = 0; x < bitmap->PixelWidth(); ++x)
            sum += row[x];
    }
    sink = sum;
    if (owned)
        delete bitmap;
}
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
