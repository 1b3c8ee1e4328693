#include "FacePng.h"

#include "RasterBitmap.h"
#include "RasterPixel.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace
{
// Everything that may meet libpng's longjmp lives outside this frame.
bool WriteRows(std::FILE* file, int width, int height, std::vector<png_bytep>& rows)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr)
    {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}
} // namespace

bool WriteFacePng(const std::string& path, const RasterBitmap& bitmap)
{
    const int width = bitmap.PixelWidth();
    const int height = bitmap.PixelHeight();
    const RasterPixel* pixels = bitmap.Pixels();
    if (width <= 0 || height <= 0 || pixels == nullptr)
    {
        return false;
    }
    std::vector<png_byte> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
    {
        png_bytep row = rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(width) * 3;
        rows[static_cast<size_t>(y)] = row;
        const int stored = bitmap.IsBottomUp() ? height - 1 - y : y;
        const RasterPixel* src =
            pixels + static_cast<size_t>(stored) * static_cast<size_t>(bitmap.RowSpan());
        for (int x = 0; x < width; ++x)
        {
            row[3 * x] = static_cast<png_byte>(RasterRed(src[x]));
            row[3 * x + 1] = static_cast<png_byte>(RasterGreen(src[x]));
            row[3 * x + 2] = static_cast<png_byte>(RasterBlue(src[x]));
        }
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
    {
        return false;
    }
    const bool written = WriteRows(file, width, height, rows);
    return std::fclose(file) == 0 && written;
}
