#include "ImageDecoders.h"
#include "ImageLoaderEntry.h"
#include "ImageTestData.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace
{
using BitmapPtr = std::unique_ptr<RasterBitmap>;

// A scratch folder of the test's own, with copies of sample images under
// names that exercise the extension check and UTF-8 paths.
class ImageFileTest : public testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(std::filesystem::u8path(Scratch("dir.jpg")));
        png = ReadBytes(TestDataPath("pngsuite/basn2c08.png"));
        jpeg = ReadBytes(TestDataPath("jpeg/testorig.jpg"));
        ASSERT_FALSE(png.empty());
        ASSERT_FALSE(jpeg.empty());
    }

    static std::string Scratch(const std::string& name) { return "scratch-files/" + name; }

    // Writes through a UTF-8 path, as the decoders receive it.
    static void Put(const std::string& name, const Bytes& bytes)
    {
        FILE* file = nullptr;
#ifdef _WIN32
        file = _wfopen(std::filesystem::u8path(Scratch(name)).wstring().c_str(), L"wb");
#else
        file = std::fopen(Scratch(name).c_str(), "wb");
#endif
        ASSERT_NE(file, nullptr) << name;
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
        std::fclose(file);
    }

    static BitmapPtr Jpeg(const std::string& name, bool check)
    {
        return BitmapPtr(LoadJpegFile(Scratch(name).c_str(), check));
    }

    Bytes png;
    Bytes jpeg;
};
} // namespace

TEST_F(ImageFileTest, FilesDecodeLikeTheSameBytesInMemory)
{
    Put("picture.png", png);
    Put("picture.jpg", jpeg);
    BitmapPtr fromFile(LoadPngFile(Scratch("picture.png").c_str(), true));
    BitmapPtr fromMemory(DecodePngMemory(png.data(), png.size()));
    ASSERT_TRUE(fromFile);
    ASSERT_TRUE(fromMemory);
    EXPECT_EQ(CopyPixels(*fromFile).pixels, CopyPixels(*fromMemory).pixels);

    BitmapPtr jpegFile = Jpeg("picture.jpg", true);
    BitmapPtr jpegMemory(DecodeJpegMemory(jpeg.data(), jpeg.size()));
    ASSERT_TRUE(jpegFile);
    ASSERT_TRUE(jpegMemory);
    EXPECT_EQ(CopyPixels(*jpegFile).pixels, CopyPixels(*jpegMemory).pixels);
}

TEST_F(ImageFileTest, ExtensionCheck)
{
    Put("upper.JFIF", jpeg);
    Put("plain.JPEG", jpeg);
    Put("backup.jpg.bak", jpeg);
    Put("dir.jpg/noextension", jpeg);
    Put("wrong.png", jpeg);
    EXPECT_TRUE(Jpeg("upper.JFIF", true));
    EXPECT_TRUE(Jpeg("plain.JPEG", true));
    EXPECT_FALSE(Jpeg("backup.jpg.bak", true));
    EXPECT_FALSE(Jpeg("dir.jpg/noextension", true));
    EXPECT_FALSE(Jpeg("wrong.png", true));
    // Without the check the name does not matter.
    EXPECT_TRUE(Jpeg("backup.jpg.bak", false));
    EXPECT_TRUE(Jpeg("dir.jpg/noextension", false));

    Put("image.PnG", png);
    Put("image.png.old", png);
    EXPECT_TRUE(BitmapPtr(LoadPngFile(Scratch("image.PnG").c_str(), true)));
    EXPECT_FALSE(BitmapPtr(LoadPngFile(Scratch("image.png.old").c_str(), true)));
    EXPECT_TRUE(BitmapPtr(LoadPngFile(Scratch("image.png.old").c_str(), false)));
}

TEST_F(ImageFileTest, Utf8PathsAndMissingFiles)
{
    const std::string name = "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC.png"; // "Grüße €.png"
    Put(name, png);
    BitmapPtr decoded(LoadPngFile(Scratch(name).c_str(), true));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->PixelWidth(), 32);

    EXPECT_FALSE(BitmapPtr(LoadPngFile(Scratch("absent.png").c_str(), true)));
    EXPECT_FALSE(BitmapPtr(LoadJpegFile(Scratch("absent.jpg").c_str(), true)));
    EXPECT_FALSE(BitmapPtr(LoadPngFile(nullptr, false)));
    // The PNG decoder refuses a JPEG and the JPEG decoder a PNG.
    Put("swapped.png", jpeg);
    Put("swapped.jpg", png);
    EXPECT_FALSE(BitmapPtr(LoadPngFile(Scratch("swapped.png").c_str(), true)));
    EXPECT_FALSE(Jpeg("swapped.jpg", true));
}

// A damaged file closes like a good one: decoding it many times does not
// run out of file handles.
TEST_F(ImageFileTest, DamagedFilesAreClosed)
{
    Bytes cut(jpeg.begin(), jpeg.begin() + static_cast<long>(jpeg.size() / 2));
    Put("cut.jpg", cut);
    Bytes cutPng(png.begin(), png.begin() + static_cast<long>(png.size() / 2));
    Put("cut.png", cutPng);
    for (int i = 0; i < 2000; ++i)
    {
        ASSERT_FALSE(Jpeg("cut.jpg", true)) << i;
        ASSERT_FALSE(BitmapPtr(LoadPngFile(Scratch("cut.png").c_str(), true))) << i;
    }
    std::filesystem::remove(std::filesystem::u8path(Scratch("cut.png")));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(Scratch("cut.png"))));
}

TEST(ImageLoaders, ListsPngThenJpegWithTheirDecoders)
{
    ImageLoaderEntry* first = ImageLoaders();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(first->next, nullptr);
    EXPECT_EQ(first->next->next, nullptr);
    EXPECT_STREQ(first->description(), "PNG files (*.PNG)");
    EXPECT_STREQ(first->next->description(), "JPEG files (*.JPG;*.JPEG;*.JFIF)");
    EXPECT_EQ(first->loadFile, &LoadPngFile);
    EXPECT_EQ(first->next->loadFile, &LoadJpegFile);
}
