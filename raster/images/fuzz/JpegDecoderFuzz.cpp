#include "HeapBitmap.h"
#include "ImageDecoders.h"

#include <cstddef>
#include <cstdint>

namespace
{
// Keeps the pixel reads from being optimised away.
volatile RasterPixel sink;
} // namespace

// Decodes each input twice: into a new bitmap, and into a caller's bitmap
// that the decoder has to resize. Every pixel of a result is read so that a
// short or misplaced row shows up under the sanitizers.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RasterBitmap* bitmap = DecodeJpegMemory(data, size);
    RasterPixel sum = 0;
    if (bitmap)
    {
        const RasterPixel* p = bitmap->Pixels();
        size_t n = static_cast<size_t>(bitmap->PixelWidth()) * bitmap->PixelHeight();
        for (size_t i = 0; i < n; ++i)
            sum += p[i];
        delete bitmap;
    }
    HeapBitmap target(3, 2);
    if (DecodeJpegMemory(data, size, &target) && target.PixelWidth() * target.PixelHeight() > 0)
        sum += target.Pixels()[0];
    sink = sum;
    return 0;
}
