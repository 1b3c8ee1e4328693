#include "ImageDecoders.h"
#include "ImageTestData.h"
#include "ModuleResources.h"

#include <gtest/gtest.h>

#include <memory>

// The editor's six images as the plug-in module carries them: every one is
// found under its id, has the size the editor's layout cuts its frames from,
// and decodes to the pixels the reference decoder reads from the same bytes.

namespace
{
struct EffectImage
{
    int id;
    int width;
    int height;
    bool opaque;
};

const EffectImage effectImages[] = {
    {100, 40, 80, false},   // footswitch, 2 frames
    {101, 65, 4225, false}, // knob, 65 frames
    {102, 213, 333, true},  // background
    {103, 181, 150, true},  // about panel
    {104, 18, 36, false},   // LED, 2 frames
    {105, 40, 80, false},   // cabinet switch, 2 frames
};
} // namespace

TEST(EffectImages, EveryImageDecodesFromTheModule)
{
    for (const EffectImage& image : effectImages)
    {
        SCOPED_TRACE(image.id);
        std::unique_ptr<RasterBitmap> bitmap(LoadPngResource(TestProgramModule(), image.id));
        ASSERT_TRUE(bitmap);
        ASSERT_EQ(bitmap->PixelWidth(), image.width);
        ASSERT_EQ(bitmap->PixelHeight(), image.height);
        PixelImage pixels = CopyPixels(*bitmap);

        HRSRC found = FindResourceA(TestProgramModule(), MAKEINTRESOURCEA(image.id), "PNG");
        ASSERT_NE(found, nullptr);
        const unsigned char* bytes = static_cast<const unsigned char*>(
            LockResource(LoadResource(TestProgramModule(), found)));
        PixelImage expected;
        ASSERT_TRUE(ReferencePngDecode(
            Bytes(bytes, bytes + SizeofResource(TestProgramModule(), found)), expected));
        EXPECT_EQ(pixels.pixels, expected.pixels);
        if (image.opaque)
        {
            for (RasterPixel p : pixels.pixels)
            {
                ASSERT_EQ(RasterAlpha(p), 255);
            }
        }
    }
}
