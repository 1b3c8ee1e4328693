#include "ImageDecodeSupport.h"
#include "ImageDecoders.h"

#include <cstdio>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>
#include <jerror.h>

#include <csetjmp>
#include <cstring>

// libjpeg ends a failed decode through error_exit, which must not return; it
// long-jumps back to the recovery point. The functions that set that point
// hold no object with a destructor, and every local they change after setjmp
// is volatile.

namespace
{
// The error manager and the place to jump back to, in one record so that the
// callbacks can find the jump buffer from cinfo->err.
struct JpegErrorTrap
{
    jpeg_error_mgr manager;
    jmp_buf jump;
};

void JpegErrorExit(j_common_ptr cinfo)
{
    longjmp(reinterpret_cast<JpegErrorTrap*>(cinfo->err)->jump, 1);
}

// Warnings (level -1) report corrupt or truncated data, after which libjpeg
// would carry on and fill the rest of the image with guesses; such an image
// is refused like any other error. Only the harmless notes about unknown
// marker contents pass. Trace messages (level >= 0) are never shown.
void JpegEmitMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
    {
        return;
    }
    int code = cinfo->err->msg_code;
    if (code == JWRN_JFIF_MAJOR || code == JWRN_ADOBE_XFORM || code == JWRN_BOGUS_ICC)
    {
        return;
    }
    JpegErrorExit(cinfo);
}

void JpegOutputMessage(j_common_ptr) {}

void JpegFormatMessage(j_common_ptr, char* buffer)
{
    buffer[0] = '\0';
}

void JpegResetErrors(j_common_ptr cinfo)
{
    cinfo->err->num_warnings = 0;
    cinfo->err->msg_code = 0;
}

// A progressive image may hold any number of scans, each a full pass over
// the coefficients; a hostile file with thousands of tiny scans would take
// minutes. Real encoders write at most a few dozen.
constexpr int kMaxScans = 500;

void JpegCheckProgress(j_common_ptr common)
{
    j_decompress_ptr cinfo = reinterpret_cast<j_decompress_ptr>(common);
    if (cinfo->is_decompressor && cinfo->input_scan_number > kMaxScans)
    {
        ERREXIT(cinfo, JERR_BAD_PROGRESSION);
    }
}

// The largest amount of working memory libjpeg may ask for besides the
// bitmap (a progressive image keeps all its coefficients).
constexpr long kMaxJpegWorkingMemory = 768L * 1024 * 1024;

void MemoryInitSource(j_decompress_ptr) {}

void MemoryTermSource(j_decompress_ptr) {}

// Called only once the data is exhausted: report the premature end (fatal,
// see JpegEmitMessage) the way the library's own sources do, and supply an
// end-of-image marker in case the warning is ever let through.
boolean MemoryFillInput(j_decompress_ptr cinfo)
{
    static const JOCTET endOfImage[2] = {0xFF, JPEG_EOI};
    WARNMS(cinfo, JWRN_JPEG_EOF);
    cinfo->src->next_input_byte = endOfImage;
    cinfo->src->bytes_in_buffer = 2;
    return TRUE;
}

void MemorySkipInput(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
    {
        return;
    }
    jpeg_source_mgr* src = cinfo->src;
    size_t n = static_cast<size_t>(count) < src->bytes_in_buffer ? static_cast<size_t>(count)
                                                                 : src->bytes_in_buffer;
    src->next_input_byte += n;
    src->bytes_in_buffer -= n;
}

void UseMemorySource(j_decompress_ptr cinfo, const unsigned char* data, size_t size)
{
    jpeg_source_mgr* src = static_cast<jpeg_source_mgr*>((*cinfo->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(jpeg_source_mgr)));
    src->init_source = MemoryInitSource;
    src->fill_input_buffer = MemoryFillInput;
    src->skip_input_data = MemorySkipInput;
    src->resync_to_restart = jpeg_resync_to_restart;
    src->term_source = MemoryTermSource;
    src->next_input_byte = data;
    src->bytes_in_buffer = size;
    cinfo->src = src;
}

// Converts one decoded scanline into pixels: RGB and grey become opaque
// pixels; any other layout (CMYK, YCCK) cannot be shown and becomes
// transparent black.
void StoreScanline(const JSAMPLE* in, int components, int width, unsigned char* outRow)
{
    RasterPixel* out = reinterpret_cast<RasterPixel*>(outRow);
    if (components == 3)
    {
        for (int x = 0; x < width; ++x, in += 3)
        {
            out[x] = RasterRGBA(in[0], in[1], in[2], 255);
        }
    }
    else if (components == 1)
    {
        for (int x = 0; x < width; ++x)
        {
            out[x] = 0xFF000000u | (static_cast<RasterPixel>(in[x]) * 0x010101u);
        }
    }
    else
    {
        std::memset(out, 0, static_cast<size_t>(width) * sizeof(RasterPixel));
    }
}

RasterBitmap* DecodeJpeg(FILE* file, const unsigned char* data, size_t size, RasterBitmap* target)
{
    jpeg_decompress_struct cinfo;
    JpegErrorTrap trap;
    jpeg_progress_mgr progress;
    std::memset(&cinfo, 0, sizeof cinfo);
    std::memset(&trap, 0, sizeof trap);
    std::memset(&progress, 0, sizeof progress);
    jpeg_std_error(&trap.manager);
    trap.manager.error_exit = JpegErrorExit;
    trap.manager.emit_message = JpegEmitMessage;
    trap.manager.output_message = JpegOutputMessage;
    trap.manager.format_message = JpegFormatMessage;
    trap.manager.reset_error_mgr = JpegResetErrors;
    cinfo.err = &trap.manager;

    RasterBitmap* volatile created = nullptr;
    if (setjmp(trap.jump))
    {
        jpeg_destroy_decompress(&cinfo);
        delete created;
        return nullptr;
    }

    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kMaxJpegWorkingMemory;
    progress.progress_monitor = JpegCheckProgress;
    cinfo.progress = &progress;
    if (file)
    {
        jpeg_stdio_src(&cinfo, file);
    }
    else
    {
        UseMemorySource(&cinfo, data, size);
    }

    jpeg_read_header(&cinfo, TRUE);
    if (!ImageSizeAcceptable(cinfo.image_width, cinfo.image_height))
    {
        ERREXIT(&cinfo, JERR_IMAGE_TOO_BIG);
    }
    jpeg_start_decompress(&cinfo);

    int width = static_cast<int>(cinfo.output_width);
    int height = static_cast<int>(cinfo.output_height);
    int components = cinfo.output_components;
    JSAMPARRAY line = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                 JPOOL_IMAGE, cinfo.output_width * components, 1);

    bool isNew = false;
    RasterBitmap* bitmap = PrepareDecodeTarget(target, width, height, isNew);
    if (!bitmap)
    {
        jpeg_destroy_decompress(&cinfo);
        return nullptr;
    }
    if (isNew)
    {
        created = bitmap;
    }

    while (cinfo.output_scanline < cinfo.output_height)
    {
        int y = static_cast<int>(cinfo.output_scanline);
        if (jpeg_read_scanlines(&cinfo, line, 1) != 1)
        {
            ERREXIT(&cinfo, JERR_INPUT_EMPTY);
        }
        StoreScanline(line[0], components, width, DecodeRow(bitmap, y));
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return bitmap;
}
} // namespace

RasterBitmap* DecodeJpegMemory(const unsigned char* data, size_t size, RasterBitmap* target)
{
    if (!data || size <= 7)
    {
        return nullptr;
    }
    return DecodeJpeg(nullptr, data, size, target);
}

RasterBitmap* LoadJpegResource(HINSTANCE module, int resourceId, RasterBitmap* target)
{
    const unsigned char* bytes = nullptr;
    size_t size = 0;
    if (!FindResourceBytes(module, resourceId, "JPG", bytes, size))
    {
        return nullptr;
    }
    return DecodeJpegMemory(bytes, size, target);
}

RasterBitmap* LoadJpegFile(const char* path, bool checkExtension, RasterBitmap* target)
{
    static const char* const extensions[] = {".jpg", ".jpeg", ".jfif"};
    if (checkExtension && !PathHasExtension(path, extensions, 3))
    {
        return nullptr;
    }
    FILE* file = OpenImageFile(path);
    if (!file)
    {
        return nullptr;
    }
    RasterBitmap* bitmap = DecodeJpeg(file, nullptr, 0, target);
    std::fclose(file);
    return bitmap;
}
