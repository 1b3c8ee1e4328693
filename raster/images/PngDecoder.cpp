#include "ImageDecodeSupport.h"
#include "ImageDecoders.h"

#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>

// libpng reports failures by a long jump to the read structure's jump buffer.
// The functions that set the recovery point hold no object with a destructor,
// and every local they change after setjmp is volatile.

namespace
{
// The bytes of an in-memory image still to be read.
struct MemorySource
{
    const unsigned char* data;
    size_t remaining;
};

// A read past the end of the data is an error like the file source's short
// read. (Answering it with zero bytes instead would let a chunk header that
// claims two gigabytes be "read" as zeros for seconds before libpng noticed.)
void ReadFromMemory(png_structp png, png_bytep out, size_t length)
{
    MemorySource* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (length > source->remaining)
    {
        png_error(png, "read past the end of the data");
    }
    std::memcpy(out, source->data, length);
    source->data += length;
    source->remaining -= length;
}

constexpr png_alloc_size_t kMaxPngChunkBytes = 8 * 1024 * 1024;

// libpng's own buffers (rows of one image line, the inflate window, chunk
// data) stay far below this; the pixels go straight into the bitmap. A
// larger request can only come from a hostile header, and is refused
// instead of reserving gigabytes.
constexpr png_alloc_size_t kMaxPngAllocation = 64 * 1024 * 1024;

png_voidp PngAllocate(png_structp, png_alloc_size_t size)
{
    return size <= kMaxPngAllocation ? std::malloc(size) : nullptr;
}

void PngRelease(png_structp, png_voidp block)
{
    std::free(block);
}

// The decoders show and log nothing: an error only ends the decode.
void PngErrorExit(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void PngIgnoreWarning(png_structp, png_const_charp) {}

// Asks libpng for four bytes per pixel in memory order B, G, R, A, whatever
// the colour type and bit depth: palette and low-depth grey expand to 8 bits,
// a tRNS chunk becomes an alpha channel, 16-bit samples keep their high byte,
// grey becomes RGB, and images without alpha get an opaque filler.
void RequestRasterPixels(png_structp png, png_infop info, int colourType, int bitDepth)
{
    bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (colourType == PNG_COLOR_TYPE_PALETTE)
    {
        png_set_expand(png);
    }
    if ((colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) &&
        bitDepth < 8)
    {
        png_set_expand(png);
    }
    if (hasTrns)
    {
        png_set_tRNS_to_alpha(png);
    }
    if (bitDepth == 16)
    {
        png_set_strip_16(png);
    }
    if (bitDepth < 8)
    {
        png_set_packing(png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
    {
        png_set_gray_to_rgb(png);
    }
    png_set_bgr(png);
    if ((colourType & PNG_COLOR_MASK_ALPHA) == 0 && !hasTrns)
    {
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

// Decodes from a file (when `file` is set) or from memory into a prepared
// bitmap; see the public decoders for the contract.
RasterBitmap* DecodePng(FILE* file, MemorySource* memory, RasterBitmap* target)
{
    png_structp png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, PngErrorExit,
                                               PngIgnoreWarning, nullptr, PngAllocate, PngRelease);
    if (!png)
    {
        return nullptr;
    }
    png_infop info = png_create_info_struct(png);
    if (!info)
    {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }

    RasterBitmap* volatile created = nullptr;
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png)))
    {
        png_destroy_read_struct(&png, &info, nullptr);
        std::free(rows);
        delete created;
        return nullptr;
    }

    // Refuse absurd sizes in the header check itself, before any row buffer.
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    // Ancillary chunks (text, profiles) are read whole; a header claiming
    // gigabytes must not become a gigabyte allocation.
    png_set_chunk_malloc_max(png, kMaxPngChunkBytes);
    if (file)
    {
        png_init_io(png, file);
    }
    else
    {
        png_set_read_fn(png, memory, ReadFromMemory);
    }

    png_read_info(png, info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
    if (!ImageSizeAcceptable(width, height))
    {
        png_error(png, "image size");
    }
    RequestRasterPixels(png, info, colourType, bitDepth);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4)
    {
        png_error(png, "pixel layout");
    }

    bool isNew = false;
    RasterBitmap* bitmap =
        PrepareDecodeTarget(target, static_cast<int>(width), static_cast<int>(height), isNew);
    if (!bitmap)
    {
        png_error(png, "target bitmap");
    }
    if (isNew)
    {
        created = bitmap;
    }

    rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (!rows)
    {
        png_error(png, "row table");
    }
    for (png_uint_32 y = 0; y < height; ++y)
    {
        rows[y] = DecodeRow(bitmap, static_cast<int>(y));
    }
    png_read_image(png, rows);

    png_destroy_read_struct(&png, &info, nullptr);
    std::free(rows);
    return bitmap;
}
} // namespace

RasterBitmap* DecodePngMemory(const unsigned char* data, size_t size, RasterBitmap* target)
{
    if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0)
    {
        return nullptr;
    }
    MemorySource source = {data, size};
    return DecodePng(nullptr, &source, target);
}

RasterBitmap* LoadPngResource(HINSTANCE module, int resourceId, RasterBitmap* target)
{
    const unsigned char* bytes = nullptr;
    size_t size = 0;
    if (!FindResourceBytes(module, resourceId, "PNG", bytes, size))
    {
        return nullptr;
    }
    return DecodePngMemory(bytes, size, target);
}

RasterBitmap* LoadPngFile(const char* path, bool checkExtension, RasterBitmap* target)
{
    static const char* const extensions[] = {".png"};
    if (checkExtension && !PathHasExtension(path, extensions, 1))
    {
        return nullptr;
    }
    FILE* file = OpenImageFile(path);
    if (!file)
    {
        return nullptr;
    }
    RasterBitmap* bitmap = DecodePng(file, nullptr, target);
    std::fclose(file);
    return bitmap;
}
