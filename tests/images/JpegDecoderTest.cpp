#include "HeapBitmap.h"
#include "ImageDecoders.h"
#include "ImageTestData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace
{
using BitmapPtr = std::unique_ptr<RasterBitmap>;

BitmapPtr DecodeJpeg(const Bytes& bytes)
{
    return BitmapPtr(DecodeJpegMemory(bytes.data(), bytes.size()));
}

// The binary PPM shipped with libjpeg-turbo's samples: the picture that
// testorig.jpg was compressed from.
bool ReadPpm(const std::string& path, PixelImage& out)
{
    Bytes bytes = ReadBytes(path);
    int w = 0, h = 0, maxValue = 0, consumed = 0;
    std::string text(bytes.begin(), bytes.begin() + std::min<size_t>(bytes.size(), 64));
    if (std::sscanf(text.c_str(), "P6 %d %d %d%n", &w, &h, &maxValue, &consumed) != 3 ||
        maxValue != 255)
    {
        return false;
    }
    size_t at = static_cast<size_t>(consumed) + 1;
    if (bytes.size() < at + static_cast<size_t>(w) * h * 3)
    {
        return false;
    }
    out.width = w;
    out.height = h;
    out.pixels.resize(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < out.pixels.size(); ++i, at += 3)
    {
        out.pixels[i] = RasterRGBA(bytes[at], bytes[at + 1], bytes[at + 2], 255);
    }
    return true;
}
} // namespace

// The colour samples decode to the pixels plain libjpeg gives when asked for
// B, G, R, A output directly.
TEST(JpegDecoder, SamplesMatchReferenceDecoder)
{
    for (const char* name : {"testorig.jpg", "testimgint.jpg", "testimgari.jpg"})
    {
        SCOPED_TRACE(name);
        Bytes bytes = ReadBytes(TestDataPath(std::string("jpeg/") + name));
        ASSERT_FALSE(bytes.empty());
        PixelImage expected;
        ASSERT_TRUE(ReferenceJpegDecode(bytes, expected));
        BitmapPtr decoded = DecodeJpeg(bytes);
        ASSERT_TRUE(decoded);
        PixelImage actual = CopyPixels(*decoded);
        ASSERT_EQ(actual.width, expected.width);
        ASSERT_EQ(actual.height, expected.height);
        EXPECT_EQ(actual.pixels, expected.pixels);
    }
}

// Independent of libjpeg's decoding: the result resembles the original
// picture, so channel order and row order are right (a swapped R and B or an
// upside-down image would be far off).
TEST(JpegDecoder, ResemblesTheUncompressedOriginal)
{
    PixelImage original;
    ASSERT_TRUE(ReadPpm(TestDataPath("jpeg/testorig.ppm"), original));
    BitmapPtr decoded = DecodeJpeg(ReadBytes(TestDataPath("jpeg/testorig.jpg")));
    ASSERT_TRUE(decoded);
    PixelImage actual = CopyPixels(*decoded);
    ASSERT_EQ(actual.width, original.width);
    ASSERT_EQ(actual.height, original.height);
    double total = 0;
    for (size_t i = 0; i < actual.pixels.size(); ++i)
    {
        EXPECT_EQ(RasterAlpha(actual.pixels[i]), 255);
        total += std::abs(RasterRed(actual.pixels[i]) - RasterRed(original.pixels[i])) +
                 std::abs(RasterGreen(actual.pixels[i]) - RasterGreen(original.pixels[i])) +
                 std::abs(RasterBlue(actual.pixels[i]) - RasterBlue(original.pixels[i]));
    }
    EXPECT_LT(total / (3.0 * actual.pixels.size()), 4.0);
}

TEST(JpegDecoder, GreyIsOpaqueGreyAndCmykIsTransparentBlack)
{
    const int w = 24, h = 16;
    BitmapPtr grey = DecodeJpeg(EncodeJpeg(w, h, 1, Bytes(w * h, 0x80)));
    ASSERT_TRUE(grey);
    PixelImage greyPixels = CopyPixels(*grey);
    for (RasterPixel p : greyPixels.pixels)
    {
        ASSERT_EQ(p, 0xFF808080u);
    }

    BitmapPtr cmyk = DecodeJpeg(EncodeJpeg(w, h, 4, Bytes(w * h * 4, 0x40)));
    ASSERT_TRUE(cmyk);
    ASSERT_EQ(cmyk->PixelWidth(), w);
    PixelImage cmykPixels = CopyPixels(*cmyk);
    for (RasterPixel p : cmykPixels.pixels)
    {
        ASSERT_EQ(p, 0u);
    }
}

// 12-bit samples are beyond this libjpeg build: refused cleanly.
TEST(JpegDecoder, RefusesTwelveBitAndShortInput)
{
    EXPECT_FALSE(DecodeJpeg(ReadBytes(TestDataPath("jpeg/testorig12.jpg"))));
    Bytes bytes = ReadBytes(TestDataPath("jpeg/testorig.jpg"));
    EXPECT_EQ(DecodeJpegMemory(bytes.data(), 7), nullptr);
    EXPECT_EQ(DecodeJpegMemory(nullptr, 100), nullptr);
}

TEST(JpegDecoder, DecodesIntoGivenBitmapOrRefusesOneThatCannotGrow)
{
    Bytes bytes = ReadBytes(TestDataPath("jpeg/testorig.jpg"));
    HeapBitmap target(1, 1);
    ASSERT_EQ(DecodeJpegMemory(bytes.data(), bytes.size(), &target), &target);
    PixelImage expected;
    ASSERT_TRUE(ReferenceJpegDecode(bytes, expected));
    EXPECT_EQ(CopyPixels(target).pixels, expected.pixels);

    // A bitmap stuck at its size cannot take the image.
    class FixedBitmap : public HeapBitmap
    {
    public:
        FixedBitmap() : HeapBitmap(4, 4) {}
        bool SetSize(int32_t, int32_t) override { return false; }
    } fixed;
    EXPECT_EQ(DecodeJpegMemory(bytes.data(), bytes.size(), &fixed), nullptr);
}

// Every cut of a file is refused, whether the cut falls in the headers or in
// the compressed data; bit flips never crash (sanitizer build). A flip may
// still decode: arithmetic-coded data, for one, has no invalid codes, and a
// flip in the frame header can change the image size.
TEST(JpegDecoder, TruncatedAndBitFlippedFilesAreSafe)
{
    for (const char* name : {"testorig.jpg", "testimgint.jpg", "testimgari.jpg"})
    {
        SCOPED_TRACE(name);
        Bytes bytes = ReadBytes(TestDataPath(std::string("jpeg/") + name));
        ASSERT_FALSE(bytes.empty());
        for (size_t cut = 0; cut < bytes.size(); cut += (cut < 1024 ? 1 : 97))
        {
            ASSERT_EQ(DecodeJpegMemory(bytes.data(), cut), nullptr) << "cut at " << cut;
        }
        ASSERT_EQ(DecodeJpegMemory(bytes.data(), bytes.size() - 1), nullptr);

        Bytes flipped = bytes;
        int refused = 0;
        for (size_t at = 0; at < bytes.size(); at += (at < 1024 ? 1 : 61))
        {
            flipped[at] = static_cast<unsigned char>(bytes[at] ^ (1 << (at % 8)));
            BitmapPtr decoded = DecodeJpeg(flipped);
            if (decoded)
            {
                EXPECT_LE(decoded->PixelWidth(), kMaxImageSide);
                EXPECT_LE(decoded->PixelHeight(), kMaxImageSide);
            }
            else
            {
                ++refused;
            }
            flipped[at] = bytes[at];
        }
        EXPECT_GT(refused, 0);
    }
}
