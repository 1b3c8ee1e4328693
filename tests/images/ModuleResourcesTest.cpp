#include "ImageDecoders.h"
#include "ImageTestData.h"
#include "ModuleResources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

// The test program carries its own resources (TestResources.rc): compiled
// into the executable on Windows, embedded and registered natively.

namespace
{
using BitmapPtr = std::unique_ptr<RasterBitmap>;

} // namespace

TEST(ModuleResources, ResourceCallsGiveTheFileBytes)
{
    Bytes file = ReadBytes(TestDataPath("pngsuite/basn6a16.png"));
    HRSRC found = FindResourceA(TestProgramModule(), MAKEINTRESOURCEA(201), "PNG");
    ASSERT_NE(found, nullptr);
    ASSERT_EQ(SizeofResource(TestProgramModule(), found), file.size());
    HGLOBAL loaded = LoadResource(TestProgramModule(), found);
    ASSERT_NE(loaded, nullptr);
    const void* bytes = LockResource(loaded);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::memcmp(bytes, file.data(), file.size()), 0);

    EXPECT_EQ(FindResourceA(TestProgramModule(), MAKEINTRESOURCEA(299), "PNG"), nullptr);
    EXPECT_EQ(FindResourceA(TestProgramModule(), MAKEINTRESOURCEA(201), "JPG"), nullptr);
    // Type names do not depend on case, and "#id" names an integer resource.
    EXPECT_EQ(FindResourceA(TestProgramModule(), MAKEINTRESOURCEA(201), "png"), found);
    EXPECT_EQ(FindResourceA(TestProgramModule(), "#201", "PNG"), found);
}

TEST(ModuleResources, DecodersReadResourcesLikeFiles)
{
    for (int id : {200, 201, 202})
    {
        SCOPED_TRACE(id);
        static const char* const files[] = {"basn2c08.png", "basn6a16.png", "basn3p04.png"};
        Bytes bytes = ReadBytes(TestDataPath(std::string("pngsuite/") + files[id - 200]));
        BitmapPtr fromResource(LoadPngResource(TestProgramModule(), id));
        BitmapPtr fromMemory(DecodePngMemory(bytes.data(), bytes.size()));
        ASSERT_TRUE(fromResource);
        ASSERT_TRUE(fromMemory);
        EXPECT_EQ(CopyPixels(*fromResource).pixels, CopyPixels(*fromMemory).pixels);
    }
    Bytes jpeg = ReadBytes(TestDataPath("jpeg/testorig.jpg"));
    BitmapPtr jpegResource(LoadJpegResource(TestProgramModule(), 210));
    BitmapPtr jpegMemory(DecodeJpegMemory(jpeg.data(), jpeg.size()));
    ASSERT_TRUE(jpegResource);
    ASSERT_TRUE(jpegMemory);
    EXPECT_EQ(CopyPixels(*jpegResource).pixels, CopyPixels(*jpegMemory).pixels);
}

TEST(ModuleResources, MissingShortAndForeignResourcesGiveNull)
{
    EXPECT_EQ(LoadPngResource(TestProgramModule(), 299), nullptr);
    EXPECT_EQ(LoadPngResource(TestProgramModule(), 203), nullptr);  // 7 bytes
    EXPECT_EQ(LoadPngResource(TestProgramModule(), 204), nullptr);  // 8 bytes, no signature
    EXPECT_EQ(LoadPngResource(TestProgramModule(), 210), nullptr);  // a JPG resource
    EXPECT_EQ(LoadJpegResource(TestProgramModule(), 211), nullptr); // 7 bytes
    EXPECT_EQ(LoadJpegResource(TestProgramModule(), 200), nullptr); // a PNG resource
}
