#include "HeapBitmap.h"
#include "ImageDecoders.h"
#include "ImageTestData.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <memory>

namespace
{
using BitmapPtr = std::unique_ptr<RasterBitmap>;

BitmapPtr DecodePng(const Bytes& bytes, RasterBitmap* target = nullptr)
{
    RasterBitmap* result = DecodePngMemory(bytes.data(), bytes.size(), target);
    if (result == target)
    {
        return BitmapPtr();
    }
    return BitmapPtr(result);
}

// Overwrites bytes of the header chunk (width at file offset 16, height at 20,
// bit depth 24, colour type 25) and recomputes its CRC at 29, so that only
// the changed values can be what a decoder objects to.
Bytes WithIhdrBytes(Bytes png, size_t offset, const Bytes& values)
{
    std::copy(values.begin(), values.end(), png.begin() + static_cast<std::ptrdiff_t>(offset));
    uint32_t crc = static_cast<uint32_t>(crc32(0, png.data() + 12, 17));
    for (int i = 0; i < 4; ++i)
    {
        png[29 + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
    }
    return png;
}

// Inserts `extra` before every `before` byte, as a text-mode transfer would.
Bytes WithByteAddedBefore(const Bytes& png, unsigned char before, unsigned char extra)
{
    Bytes out;
    for (unsigned char b : png)
    {
        if (b == before)
        {
            out.push_back(extra);
        }
        out.push_back(b);
    }
    return out;
}

// Every valid image of a sample folder decodes to the reference decoder's
// pixels: byte for byte for images of up to 8 bits per sample, and matching
// the untouched 16-bit samples (high byte kept) for 16-bit images.
void ExpectFolderMatchesReference(const std::string& folder, size_t atLeast)
{
    std::vector<std::string> names = ListFiles(folder, ".png");
    ASSERT_GE(names.size(), atLeast) << folder;
    for (const std::string& name : names)
    {
        SCOPED_TRACE(folder + "/" + name);
        Bytes bytes = ReadBytes(TestDataPath(folder + "/" + name));
        ASSERT_GT(bytes.size(), 24u);
        BitmapPtr decoded = DecodePng(bytes);
        ASSERT_TRUE(decoded);
        PixelImage actual = CopyPixels(*decoded);
        if (bytes[24] == 16) // IHDR bit depth
        {
            WideImage expected;
            ASSERT_TRUE(ReferencePngDecode16(bytes, expected));
            ASSERT_EQ(actual.width, expected.width);
            ASSERT_EQ(actual.height, expected.height);
            for (size_t i = 0; i < actual.pixels.size(); ++i)
            {
                ASSERT_TRUE(MatchesWidePixel(actual.pixels[i], &expected.samples[i * 4]))
                    << "pixel " << i << " " << std::hex << actual.pixels[i];
            }
        }
        else
        {
            PixelImage expected;
            ASSERT_TRUE(ReferencePngDecode(bytes, expected));
            ASSERT_EQ(actual.width, expected.width);
            ASSERT_EQ(actual.height, expected.height);
            EXPECT_EQ(actual.pixels, expected.pixels);
        }
    }
}
} // namespace

TEST(PngDecoder, PngSuiteMatchesReference)
{
    ExpectFolderMatchesReference("pngsuite", 50);
    ExpectFolderMatchesReference("pngsuite/interlaced", 9);
}

TEST(PngDecoder, LibpngTestImagesMatchReference)
{
    ExpectFolderMatchesReference("testpngs", 100);
}

// Known damaged files: whatever the reference decoder refuses we refuse too,
// and what it accepts (damage in ancillary chunks only) must match it.
TEST(PngDecoder, DamagedFilesAgreeWithReference)
{
    std::vector<std::string> names = ListFiles("testpngs/crashers", ".png");
    ASSERT_GT(names.size(), 10u);
    for (const std::string& name : names)
    {
        SCOPED_TRACE(name);
        Bytes bytes = ReadBytes(TestDataPath("testpngs/crashers/" + name));
        PixelImage expected;
        bool referenceAccepts = ReferencePngDecode(bytes, expected);
        BitmapPtr decoded = DecodePng(bytes);
        if (!referenceAccepts)
        {
            EXPECT_FALSE(decoded);
            continue;
        }
        ASSERT_TRUE(decoded);
        PixelImage actual = CopyPixels(*decoded);
        EXPECT_EQ(actual.pixels, expected.pixels);
    }
}

TEST(PngDecoder, RgbGetsOpaqueAlphaWithColoursInPlace)
{
    const int w = 213, h = 333;
    Bytes rows(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
    {
        for (int x = 0; x < w; ++x)
        {
            unsigned char* p = &rows[(static_cast<size_t>(y) * w + x) * 3];
            p[0] = static_cast<unsigned char>(x);
            p[1] = static_cast<unsigned char>(y);
            p[2] = static_cast<unsigned char>(x ^ y);
        }
    }
    BitmapPtr decoded = DecodePng(EncodePng(w, h, 8, PNG_COLOR_TYPE_RGB, rows));
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->PixelWidth(), w);
    ASSERT_EQ(decoded->PixelHeight(), h);
    PixelImage image = CopyPixels(*decoded);
    for (int y = 0; y < h; ++y)
    {
        for (int x = 0; x < w; ++x)
        {
            ASSERT_EQ(image.pixels[static_cast<size_t>(y) * w + x],
                      RasterRGBA(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF, 255))
                << x << "," << y;
        }
    }
}

// Alpha is kept as stored and the colour is not premultiplied; 16-bit samples
// keep their high byte.
TEST(PngDecoder, AlphaIsKeptAndSixteenBitKeepsHighByte)
{
    const int w = 40, h = 80;
    Bytes rows8(static_cast<size_t>(w) * h * 4);
    Bytes rows16(rows8.size() * 2);
    for (size_t i = 0; i < rows8.size(); i += 4)
    {
        unsigned char channels[4] = {255, static_cast<unsigned char>(i / 4 % 251), 7, 128};
        if (i / 4 % 3 == 0)
        {
            channels[3] = static_cast<unsigned char>(i / 4 % 256);
        }
        for (int c = 0; c < 4; ++c)
        {
            rows8[i + c] = channels[c];
            rows16[(i + c) * 2] = channels[c];
            rows16[(i + c) * 2 + 1] = static_cast<unsigned char>(0xFF - c * 40);
        }
    }
    BitmapPtr eight = DecodePng(EncodePng(w, h, 8, PNG_COLOR_TYPE_RGB_ALPHA, rows8));
    BitmapPtr sixteen = DecodePng(EncodePng(w, h, 16, PNG_COLOR_TYPE_RGB_ALPHA, rows16));
    ASSERT_TRUE(eight);
    ASSERT_TRUE(sixteen);
    EXPECT_EQ(eight->Pixels()[1], RasterRGBA(255, 1, 7, 128));
    PixelImage a = CopyPixels(*eight);
    PixelImage b = CopyPixels(*sixteen);
    for (size_t i = 0; i < a.pixels.size(); ++i)
    {
        const unsigned char* p = &rows8[i * 4];
        ASSERT_EQ(a.pixels[i], RasterRGBA(p[0], p[1], p[2], p[3])) << i;
    }
    EXPECT_EQ(a.pixels, b.pixels);
}

// A given bitmap is resized and returned; rows land in its own layout, here
// bottom-up with a row span wider than the image.
class BottomUpBitmap : public RasterBitmap
{
public:
    RasterPixel* Pixels() const override { return const_cast<RasterPixel*>(store.data()); }
    int32_t PixelWidth() const override { return width; }
    int32_t PixelHeight() const override { return height; }
    int32_t RowSpan() const override { return width + 5; }
    bool IsBottomUp() const override { return true; }
    bool SetSize(int32_t w, int32_t h) override
    {
        if (maxPixels >= 0 && static_cast<int64_t>(w + 5) * h > maxPixels)
        {
            return false;
        }
        width = w;
        height = h;
        store.assign(static_cast<size_t>(w + 5) * h, 0xDEADBEEF);
        return true;
    }
    int64_t maxPixels = -1;

private:
    std::vector<RasterPixel> store;
    int32_t width = 0;
    int32_t height = 0;
};

TEST(PngDecoder, DecodesIntoGivenBitmapHonouringItsLayout)
{
    Bytes bytes = ReadBytes(TestDataPath("pngsuite/basn6a08.png"));
    BitmapPtr plain = DecodePng(bytes);
    ASSERT_TRUE(plain);

    BottomUpBitmap target;
    EXPECT_EQ(DecodePngMemory(bytes.data(), bytes.size(), &target), &target);
    EXPECT_EQ(CopyPixels(target).pixels, CopyPixels(*plain).pixels);
    // The padding beyond each row stays untouched.
    EXPECT_EQ(target.Pixels()[target.PixelWidth()], 0xDEADBEEFu);

    BottomUpBitmap tooSmall;
    tooSmall.maxPixels = 100;
    EXPECT_EQ(DecodePngMemory(bytes.data(), bytes.size(), &tooSmall), nullptr);

    HeapBitmap heap(500, 500);
    EXPECT_EQ(DecodePngMemory(bytes.data(), bytes.size(), &heap), &heap);
    EXPECT_EQ(CopyPixels(heap).pixels, CopyPixels(*plain).pixels);
}

TEST(PngDecoder, RefusesShortInputsAndBadSignatures)
{
    Bytes bytes = ReadBytes(TestDataPath("pngsuite/basn0g08.png"));
    EXPECT_EQ(DecodePngMemory(bytes.data(), 7), nullptr);
    EXPECT_EQ(DecodePngMemory(nullptr, 100), nullptr);
    Bytes wrong = bytes;
    wrong[1] = 'Q';
    EXPECT_FALSE(DecodePng(wrong));
    Bytes justSignature(bytes.begin(), bytes.begin() + 8);
    EXPECT_FALSE(DecodePng(justSignature));
}

// The suite's deliberately corrupt files (the x* set: bad signatures, text-mode
// damage, bad header checksum, impossible colour types and bit depths, no
// image data, bad data checksum), rebuilt from its valid images as its
// documentation describes them, since the source package leaves them out.
TEST(PngDecoder, PngSuiteCorruptionsAreRefused)
{
    const Bytes g01 = ReadBytes(TestDataPath("pngsuite/basn0g01.png"));
    const Bytes g04 = ReadBytes(TestDataPath("pngsuite/basn0g04.png"));
    const Bytes g08 = ReadBytes(TestDataPath("pngsuite/basn0g08.png"));
    const Bytes c08 = ReadBytes(TestDataPath("pngsuite/basn2c08.png"));
    for (const Bytes* valid : {&g01, &g04, &g08, &c08})
    {
        ASSERT_TRUE(DecodePng(*valid));
    }

    auto withByte = [](Bytes b, size_t at, unsigned char value)
    {
        b.at(at) = value;
        return b;
    };
    auto withIdatCrcFlipped = [](Bytes b)
    {
        size_t end = PngEndOfImageData(b);
        b.at(end - 1) ^= 0x01;
        return b;
    };
    const struct
    {
        const char* name;
        Bytes bytes;
    } corrupt[] = {
        {"xs1n0g01 signature byte 1 high bit reset", withByte(g01, 0, 0x09)},
        {"xs2n0g01 signature byte 2 is 'Q'", withByte(g01, 1, 'Q')},
        {"xs4n0g01 signature byte 4 lower case", withByte(g01, 3, 'g')},
        {"xs7n0g01 signature byte 7 a space", withByte(g01, 6, ' ')},
        {"xcrn0g04 carriage returns added", WithByteAddedBefore(g04, '\n', '\r')},
        {"xlfn0g04 line feeds added", WithByteAddedBefore(g04, '\r', '\n')},
        {"xhdn0g08 header checksum wrong",
         withByte(g08, 32, static_cast<unsigned char>(g08[32] ^ 0x80))},
        {"xc1n0g08 colour type 1", WithIhdrBytes(g08, 25, {1})},
        {"xc9n2c08 colour type 9", WithIhdrBytes(c08, 25, {9})},
        {"xd0n2c08 bit depth 0", WithIhdrBytes(c08, 24, {0})},
        {"xd3n2c08 bit depth 3", WithIhdrBytes(c08, 24, {3})},
        {"xd9n2c08 bit depth 99", WithIhdrBytes(c08, 24, {99})},
        {"xdtn0g01 no image data", PngWithoutChunks(g01, {"IDAT"})},
        {"xcsn0g01 image data checksum wrong", withIdatCrcFlipped(g01)},
    };
    for (const auto& c : corrupt)
    {
        SCOPED_TRACE(c.name);
        ASSERT_NE(c.bytes.size(), 0u);
        EXPECT_FALSE(DecodePng(c.bytes));
        PixelImage reference;
        EXPECT_FALSE(ReferencePngDecode(c.bytes, reference));
        HeapBitmap target(4, 4);
        EXPECT_EQ(DecodePngMemory(c.bytes.data(), c.bytes.size(), &target), nullptr);
    }
}

// Header sizes beyond the limit are refused before any pixel memory exists.
TEST(PngDecoder, RefusesOversizedImages)
{
    Bytes rows(2 * 2 * 4, 0x55);
    Bytes bytes = EncodePng(2, 2, 8, PNG_COLOR_TYPE_RGB_ALPHA, rows);
    ASSERT_TRUE(DecodePng(bytes));
    auto patch = [](const Bytes& b, uint32_t w, uint32_t h)
    {
        Bytes sizes(8);
        for (int i = 0; i < 4; ++i)
        {
            sizes[i] = static_cast<unsigned char>(w >> (24 - 8 * i));
            sizes[4 + i] = static_cast<unsigned char>(h >> (24 - 8 * i));
        }
        return WithIhdrBytes(b, 16, sizes);
    };
    EXPECT_FALSE(DecodePng(patch(bytes, kMaxImageSide + 1, 1)));
    EXPECT_FALSE(DecodePng(patch(bytes, 1, kMaxImageSide + 1)));
    EXPECT_FALSE(DecodePng(patch(bytes, 0x7FFFFFFF, 0x7FFFFFFF)));
    // Within the limit but without the data: refused once the rows run out.
    EXPECT_FALSE(DecodePng(patch(bytes, 3000, 3000)));
}

// Cutting a file anywhere before the end of its image data is refused;
// flipping any bit of the signature, IHDR, PLTE or IDAT is caught; no damage
// at all crashes or leaks (sanitizer build).
TEST(PngDecoder, TruncatedAndBitFlippedFilesAreRefused)
{
    for (const char* name : {"basn0g01.png", "basn2c16.png", "basn3p04.png", "basn6a08.png",
                             "ibasn4a16.png", "ftbwn3p08.png"})
    {
        SCOPED_TRACE(name);
        Bytes bytes = ReadBytes(TestDataPath(std::string("pngsuite/") + name));
        size_t imageEnd = PngEndOfImageData(bytes);
        ASSERT_GT(imageEnd, 0u);
        for (size_t cut = 0; cut < imageEnd; ++cut)
        {
            ASSERT_EQ(DecodePngMemory(bytes.data(), cut), nullptr) << "cut at " << cut;
        }

        Bytes flipped = bytes;
        for (size_t at = 0; at < bytes.size(); ++at)
        {
            int bit = static_cast<int>(at % 8);
            flipped[at] = static_cast<unsigned char>(bytes[at] ^ (1 << bit));
            BitmapPtr decoded = DecodePng(flipped);
            if (PngOffsetInCriticalChunk(bytes, at))
            {
                ASSERT_FALSE(decoded) << "flip at " << at << " bit " << bit;
            }
            flipped[at] = bytes[at];
        }
    }
}
