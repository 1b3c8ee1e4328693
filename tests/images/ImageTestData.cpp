#include "ImageTestData.h"

#include <png.h>

#include <cstdio>
#include <cstring>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

HINSTANCE TestProgramModule()
{
#ifdef _WIN32
    return GetModuleHandleA(nullptr);
#else
    return nullptr;
#endif
}

std::string TestDataPath(const std::string& relative)
{
    return "data/" + relative;
}

Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        return {};
    }
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::vector<std::string> ListFiles(const std::string& relativeFolder, const std::string& suffix)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(TestDataPath(relativeFolder), error))
    {
        std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name.size() >= suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

PixelImage CopyPixels(const RasterBitmap& bitmap)
{
    PixelImage image;
    image.width = bitmap.PixelWidth();
    image.height = bitmap.PixelHeight();
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y)
    {
        int stored = bitmap.IsBottomUp() ? image.height - 1 - y : y;
        const RasterPixel* row = bitmap.Pixels() + static_cast<size_t>(stored) * bitmap.RowSpan();
        std::copy(row, row + image.width,
                  image.pixels.begin() + static_cast<size_t>(y) * image.width);
    }
    return image;
}

namespace
{
uint32_t ReadBE32(const unsigned char* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// Walks the chunks after the signature; stops at the first that does not fit.
template <typename Visit> void ForEachChunk(const Bytes& png, Visit visit)
{
    size_t at = 8;
    while (at + 12 <= png.size())
    {
        uint32_t length = ReadBE32(&png[at]);
        if (length > png.size() - at - 12)
        {
            return;
        }
        std::string type(reinterpret_cast<const char*>(&png[at + 4]), 4);
        visit(type, at, static_cast<size_t>(length) + 12);
        at += static_cast<size_t>(length) + 12;
    }
}
} // namespace

Bytes PngWithoutChunks(const Bytes& png, const std::vector<std::string>& types)
{
    if (png.size() < 8)
    {
        return {};
    }
    Bytes kept(png.begin(), png.begin() + 8);
    ForEachChunk(png,
                 [&](const std::string& type, size_t at, size_t size)
                 {
                     if (std::find(types.begin(), types.end(), type) == types.end())
                     {
                         kept.insert(kept.end(), png.begin() + at, png.begin() + at + size);
                     }
                 });
    return kept;
}

namespace
{
Bytes WithoutColourSpaceChunks(const Bytes& png)
{
    return PngWithoutChunks(png, {"gAMA", "sRGB", "iCCP", "cHRM"});
}

bool SimplifiedRead(const Bytes& png, uint32_t format, int& width, int& height,
                    void* (*grow)(void*, size_t), void* context)
{
    Bytes plain = WithoutColourSpaceChunks(png);
    if (plain.empty())
    {
        return false;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, plain.data(), plain.size()))
    {
        return false;
    }
    image.format = format;
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    void* buffer = grow(context, PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, buffer, 0, nullptr))
    {
        png_image_free(&image);
        return false;
    }
    return true;
}

void* GrowNarrow(void* context, size_t bytes)
{
    auto* pixels = static_cast<std::vector<RasterPixel>*>(context);
    pixels->assign(bytes / 4, 0);
    return pixels->data();
}

void* GrowWide(void* context, size_t bytes)
{
    auto* samples = static_cast<std::vector<uint16_t>*>(context);
    samples->assign(bytes / 2, 0);
    return samples->data();
}
} // namespace

bool ReferencePngDecode(const Bytes& png, PixelImage& out)
{
    // BGRA bytes in memory read as one little-endian RasterPixel each.
    return SimplifiedRead(png, PNG_FORMAT_BGRA, out.width, out.height, GrowNarrow, &out.pixels);
}

bool ReferencePngDecode16(const Bytes& png, WideImage& out)
{
    return SimplifiedRead(png, PNG_FORMAT_LINEAR_RGB_ALPHA, out.width, out.height, GrowWide,
                          &out.samples);
}

bool MatchesWidePixel(RasterPixel pixel, const uint16_t* rgba)
{
    uint32_t alpha = rgba[3];
    if (static_cast<uint32_t>(RasterAlpha(pixel)) != alpha >> 8)
    {
        return false;
    }
    if (alpha == 0)
    {
        return true; // premultiplied colour is gone
    }
    const int channels[3] = {RasterRed(pixel), RasterGreen(pixel), RasterBlue(pixel)};
    for (int c = 0; c < 3; ++c)
    {
        // Our byte b stands for stored samples 256 b .. 256 b + 255, which
        // premultiply to this range (plus rounding).
        double low = channels[c] * 256.0 * alpha / 65535.0 - 1.0;
        double high = (channels[c] * 256.0 + 255.0) * alpha / 65535.0 + 1.0;
        if (rgba[c] < low || rgba[c] > high)
        {
            return false;
        }
    }
    return true;
}

namespace
{
struct TestJpegError
{
    jpeg_error_mgr manager;
    jmp_buf jump;
};

void TestJpegErrorExit(j_common_ptr cinfo)
{
    longjmp(reinterpret_cast<TestJpegError*>(cinfo->err)->jump, 1);
}

void TestJpegSilence(j_common_ptr) {}

// Separate from ReferenceJpegDecode's body so that the vector lives outside
// the function that calls setjmp.
bool DecodeInto(const Bytes& jpeg, int& width, int& height, unsigned char* (*grow)(void*, size_t),
                void* context)
{
    jpeg_decompress_struct cinfo;
    TestJpegError error;
    cinfo.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = TestJpegErrorExit;
    error.manager.output_message = TestJpegSilence;
    if (setjmp(error.jump))
    {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&cinfo);
    width = static_cast<int>(cinfo.output_width);
    height = static_cast<int>(cinfo.output_height);
    unsigned char* pixels = grow(context, static_cast<size_t>(width) * height * 4);
    while (cinfo.output_scanline < cinfo.output_height)
    {
        JSAMPROW row = pixels + static_cast<size_t>(cinfo.output_scanline) * width * 4;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

unsigned char* GrowPixels(void* context, size_t bytes)
{
    auto* pixels = static_cast<std::vector<RasterPixel>*>(context);
    pixels->assign(bytes / 4, 0);
    return reinterpret_cast<unsigned char*>(pixels->data());
}

struct EncodedJpeg
{
    unsigned char* data = nullptr;
    unsigned long size = 0;
};

bool EncodeInto(int width, int height, int components, const Bytes& samples, EncodedJpeg& out)
{
    jpeg_compress_struct cinfo;
    TestJpegError error;
    cinfo.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = TestJpegErrorExit;
    if (setjmp(error.jump))
    {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &out.data, &out.size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height)
    {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data()) +
                       static_cast<size_t>(cinfo.next_scanline) * width * components;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}
} // namespace

bool ReferenceJpegDecode(const Bytes& jpeg, PixelImage& out)
{
    return DecodeInto(jpeg, out.width, out.height, GrowPixels, &out.pixels);
}

Bytes EncodeJpeg(int width, int height, int components, const Bytes& samples)
{
    EncodedJpeg encoded;
    Bytes result;
    if (EncodeInto(width, height, components, samples, encoded))
    {
        result.assign(encoded.data, encoded.data + encoded.size);
    }
    std::free(encoded.data);
    return result;
}

namespace
{
void AppendToBytes(png_structp png, png_bytep data, size_t length)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

bool WritePng(Bytes* out, int width, int height, int bitDepth, int colourType, const Bytes* rows)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
    {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, AppendToBytes, FlushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
                 bitDepth, colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    size_t rowBytes = rows->size() / static_cast<size_t>(height);
    for (int y = 0; y < height; ++y)
    {
        png_write_row(png, rows->data() + static_cast<size_t>(y) * rowBytes);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}
} // namespace

Bytes EncodePng(int width, int height, int bitDepth, int colourType, const Bytes& rows)
{
    Bytes out;
    if (!WritePng(&out, width, height, bitDepth, colourType, &rows))
    {
        out.clear();
    }
    return out;
}

size_t PngEndOfImageData(const Bytes& png)
{
    size_t end = 0;
    ForEachChunk(png,
                 [&](const std::string& type, size_t at, size_t size)
                 {
                     if (type == "IDAT")
                     {
                         end = at + size;
                     }
                 });
    return end;
}

bool PngOffsetInCriticalChunk(const Bytes& png, size_t offset)
{
    if (offset < 8)
    {
        return true;
    }
    bool inside = false;
    ForEachChunk(png,
                 [&](const std::string& type, size_t at, size_t size)
                 {
                     if ((type == "IHDR" || type == "PLTE" || type == "IDAT") && offset >= at &&
                         offset < at + size)
                     {
                         inside = true;
                     }
                 });
    return inside;
}
