#include "RasterTestGraphics.h"

#include "graphics/IBitmapCache.h"
#include "Raster.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
constexpr RasterPixel kUntouched = 0xFF123456u;
const char* const kKnobName = "img/vornkettle_knob_01.png";

// A strip whose every pixel tells where it came from.
RasterPixel Coded(int32_t x, int32_t y)
{
    return 0xFF000000u | (static_cast<uint32_t>(y) << 7) | static_cast<uint32_t>(x);
}

std::unique_ptr<HeapBitmap> CodedStrip(int32_t w, int32_t h)
{
    auto b = std::make_unique<HeapBitmap>(w, h);
    for (int32_t y = 0; y < h; ++y)
    {
        for (int32_t x = 0; x < w; ++x)
        {
            b->Pixels()[y * w + x] = Coded(x, y);
        }
    }
    return b;
}

std::unique_ptr<HeapBitmap> Solid(int32_t w, int32_t h, RasterPixel value)
{
    auto b = std::make_unique<HeapBitmap>(w, h);
    for (int32_t i = 0; i < w * h; ++i)
    {
        b->Pixels()[i] = value;
    }
    return b;
}

RasterPixel Nothing(int32_t, int32_t)
{
    return 0;
}

IBitmapFrames Record(RasterBitmap* b, int32_t frames = 1)
{
    return {b, b->PixelWidth(), b->PixelHeight(), frames};
}
} // namespace

// One decode per image, however many editors and frame counts ask for it.
TEST(GraphicsRaster, ImagesAreDecodedOnceAndShareTheirPixels)
{
    IBitmapCache cache;
    RasterTestGraphics first(&cache);
    RasterTestGraphics second(&cache);
    const IBitmapFrames strip = first.LoadResourceBitmap(101, kKnobName, 65);
    const IBitmapFrames single = second.LoadResourceBitmap(101, kKnobName, 1);
    const IBitmapFrames none = second.LoadResourceBitmap(101, kKnobName, 0);
    EXPECT_EQ(first.decodes + second.decodes, 1);
    ASSERT_NE(strip.handle, nullptr);
    EXPECT_EQ(single.handle, strip.handle);
    EXPECT_EQ(strip.width, 65);
    EXPECT_EQ(strip.height, 4225);
    EXPECT_EQ(strip.frameCount, 65);
    EXPECT_EQ(single.frameCount, 1);
    // A strip always has at least its one frame.
    EXPECT_EQ(none.frameCount, 1);
    EXPECT_EQ(cache.Count(), 1);

    const IBitmapFrames background = first.LoadResourceBitmap(102, "img/background.png", 1);
    EXPECT_EQ(first.decodes, 2);
    EXPECT_NE(background.handle, strip.handle);
    EXPECT_EQ(cache.Find(102), background.handle);
}

// A broken build (an image missing from the resources, or a name no decoder
// takes) is reported once and leaves a picture-less placeholder that draws
// nothing; the editor goes on.
TEST(GraphicsRaster, AMissingImageIsReportedAndYieldsAnEmptyPlaceholder)
{
    IBitmapCache cache;
    RasterTestGraphics g(&cache);
    g.CreateBackBuffer();
    g.Clear(kUntouched);
    g.SetDrawRegion({0, 0, 213, 326});

    for (const auto& [id, name] : {std::pair<int32_t, const char*>{999, "img/none.png"},
                                   std::pair<int32_t, const char*>{102, "img/background.gif"}})
    {
        testing::internal::CaptureStderr();
        const IBitmapFrames missing = g.LoadResourceBitmap(id, name, 2);
        const IBitmapFrames again = g.LoadResourceBitmap(id, name, 2);
        const std::string report = testing::internal::GetCapturedStderr();
        EXPECT_NE(
            report.find("Assertion failed: imgResourceFound, file IGraphicsRaster.cpp, line "),
            std::string::npos)
            << report;
        EXPECT_EQ(report.find("Assertion failed", 1), std::string::npos) << "reported twice";
        ASSERT_NE(missing.handle, nullptr) << name;
        EXPECT_EQ(again.handle, missing.handle);
        EXPECT_EQ(missing.width, 0);
        EXPECT_EQ(missing.height, 0);
        EXPECT_TRUE(g.DrawBitmapFrame(missing, {0, 0, 213, 326}, 2, nullptr));
    }
    EXPECT_EQ(cache.Count(), 2);
    EXPECT_TRUE(g.Shows({}, Nothing, kUntouched));
}

// The decoder follows the text after the last dot, in any case; the name
// never finds the image, the id does.
TEST(ModuleImageDecoder, ChoosesTheDecoderByTheNamesFileType)
{
    struct Case
    {
        int32_t id;
        const char* name;
        int32_t width; // 0: no bitmap
    };
    const Case cases[] = {
        {102, "img/background.png", 213},
        {102, "BACKGROUND.PNG", 213},
        {102, "x.pNg", 213},
        {101, "img.v2/knob.png", 65},
        {102, "img/background.gif", 0},
        {102, "img/background.png.bak", 0},
        {102, "png", 0},
        // The first character is never the start of an extension.
        {102, ".png", 0},
        {102, "a.", 0},
        // The JPEG decoder looks for a JPEG resource of that id.
        {102, "img/background.jpg", 0},
        {999, "img/missing.png", 0},
#ifdef VK_TEST_JPEG_RESOURCE
        {210, "photo.jpg", 227},
        {210, "photo.JPEG", 227},
        {210, "photo.png", 0},
#endif
    };
    for (const Case& c : cases)
    {
        std::unique_ptr<RasterBitmap> b(DecodeModuleImage(GetModuleInstance(), c.id, c.name));
        if (c.width == 0)
        {
            EXPECT_EQ(b, nullptr) << c.name;
        }
        else
        {
            ASSERT_NE(b, nullptr) << c.name;
            EXPECT_EQ(b->PixelWidth(), c.width) << c.name;
        }
    }
    EXPECT_EQ(DecodeModuleImage(GetModuleInstance(), 102, nullptr), nullptr);
}

// Bitmaps made from others belong to the cache until dropped, and a drop
// frees exactly once.
TEST(GraphicsRaster, MadeBitmapsAreKeptUntilDroppedOnce)
{
    IBitmapCache cache;
    RasterTestGraphics g(&cache);
    const IBitmapFrames strip = g.LoadResourceBitmap(101, kKnobName, 65);
    ASSERT_EQ(strip.height, 4225);

    auto green = Solid(4, 4, 0xFF00FF00u);
    const IBitmapFrames resampled = g.ResampleBitmap(Record(green.get(), 2), 8, 6);
    ASSERT_NE(resampled.handle, nullptr);
    EXPECT_EQ(resampled.width, 8);
    EXPECT_EQ(resampled.height, 6);
    EXPECT_EQ(resampled.frameCount, 2);
    for (int32_t i = 0; i < 8 * 6; ++i)
    {
        ASSERT_EQ(resampled.handle->Pixels()[i], 0xFF00FF00u) << i;
    }

    auto coded = CodedStrip(65, 4225);
    const IBitmapFrames cut = g.CutBitmap(Record(coded.get(), 65), {0, 2080, 65, 2145});
    ASSERT_NE(cut.handle, nullptr);
    EXPECT_EQ(cut.width, 65);
    EXPECT_EQ(cut.height, 65);
    EXPECT_EQ(cut.frameCount, 65);
    EXPECT_EQ(cut.handle->Pixels()[0], Coded(0, 2080));
    EXPECT_EQ(cut.handle->Pixels()[64 * 65 + 64], Coded(64, 2144));
    EXPECT_EQ(cache.Count(), 3);
    EXPECT_EQ(cache.Find(-1), resampled.handle);

    g.DropBitmap(resampled);
    EXPECT_EQ(cache.Count(), 2);
    EXPECT_EQ(cache.Find(-1), cut.handle);
    // Already gone: nothing happens (the sanitizers see any second free).
    g.DropBitmap(resampled);
    EXPECT_EQ(cache.Count(), 2);
    // Not the cache's: it must survive the drop.
    g.DropBitmap(Record(green.get()));
    EXPECT_EQ(green->Pixels()[0], 0xFF00FF00u);
    // Keeping what the cache already owns would free it twice later.
    g.KeepBitmap(strip);
    EXPECT_EQ(cache.Count(), 2);
    // A kept bitmap is the cache's to free (LeakSanitizer would see it stay).
    g.KeepBitmap(Record(Solid(3, 3, 0).release()));
    EXPECT_EQ(cache.Count(), 3);
}

// Bitmap draws touch only their part of the repainted region, with the
// picture kept where it was placed.
TEST(GraphicsRaster, BitmapDrawsAreClippedToTheRepaintedRegion)
{
    struct Case
    {
        IRegion dest;
        int32_t srcY;
        IRegion drawRegion;
        IRegion changed; // all zero: nothing
        int32_t fromX, fromY;
    };
    const Case cases[] = {
        {{10, 20, 75, 85}, 2080, {40, 50, 200, 200}, {40, 50, 75, 85}, 30, 2110},
        {{300, 300, 365, 365}, 0, {0, 0, 213, 326}, {}, 0, 0},
        {{10, 20, 75, 85}, 0, {100, 100, 200, 200}, {}, 0, 0},
        // Touching on the right: a zero-width blit.
        {{0, 0, 50, 50}, 0, {50, 0, 80, 50}, {}, 0, 0},
        {{-20, -10, 45, 55}, 65, {0, 0, 213, 326}, {0, 0, 45, 55}, 20, 75},
        {{180, 300, 245, 365}, 4160, {0, 0, 213, 326}, {180, 300, 213, 326}, 0, 4160},
        // Nothing is repainted.
        {{10, 20, 75, 85}, 0, {}, {}, 0, 0},
    };
    IBitmapCache cache;
    RasterTestGraphics g(&cache);
    g.CreateBackBuffer();
    auto strip = CodedStrip(65, 4225);
    const IBitmapFrames knob = Record(strip.get(), 65);
    const IBlend opaque{IBlend::kOpaque, 1.0f};
    for (const Case& c : cases)
    {
        g.Clear(kUntouched);
        g.SetDrawRegion(c.drawRegion);
        EXPECT_TRUE(g.BlitBitmap(knob, c.dest, 0, c.srcY, &opaque));
        const auto source = [&](int32_t x, int32_t y)
        { return Coded(x - c.changed.left + c.fromX, y - c.changed.top + c.fromY); };
        EXPECT_TRUE(g.Shows(c.changed, source, kUntouched))
            << "dest " << c.dest.left << "," << c.dest.top;
    }
}

// Spans are clamped onto the back buffer and never blend; single writes
// outside it are dropped.
TEST(GraphicsRaster, SpansAndPixelWritesStayOnTheBackBuffer)
{
    enum Kind
    {
        kRow,
        kColumn,
        kPixel
    };
    struct Case
    {
        Kind kind;
        int32_t a, b, c; // row: y, x1, x2; column: x, y1, y2; pixel: x, y
        IRegion filled;  // all zero: nothing
    };
    const Case cases[] = {
        {kRow, -5, -10, 10000, {0, 0, 213, 1}},
        {kRow, 10, 200, 5000, {200, 10, 213, 11}},
        {kRow, 400, 5, 2, {}},
        {kRow, 7, 3, 3, {3, 7, 4, 8}},
        {kColumn, 3, 10, 5, {}},
        {kColumn, -7, -100, 2, {0, 0, 1, 3}},
        {kColumn, 1000, 320, 9999, {212, 320, 213, 326}},
        {kColumn, 3, 400, 500, {3, 325, 4, 326}},
        {kPixel, -1, 0, 0, {}},
        {kPixel, 213, 0, 0, {}},
        {kPixel, 0, 326, 0, {}},
        {kPixel, 212, 325, 0, {212, 325, 213, 326}},
    };
    IBitmapCache cache;
    RasterTestGraphics g(&cache);
    g.CreateBackBuffer();
    // A translucent colour shows any blending.
    const IColour colour{0x40, 0x11, 0x22, 0x33};
    for (const Case& c : cases)
    {
        g.Clear(kUntouched);
        if (c.kind == kRow)
        {
            EXPECT_TRUE(g.FillRowSpan(colour, c.a, c.b, c.c));
        }
        else if (c.kind == kColumn)
        {
            EXPECT_TRUE(g.FillColumnSpan(colour, c.a, c.b, c.c));
        }
        else
        {
            EXPECT_TRUE(g.WritePixel(colour, c.a, c.b));
        }
        EXPECT_TRUE(g.Shows(
            c.filled, [](int32_t, int32_t) { return 0x40112233u; }, kUntouched))
            << "case " << c.kind << " " << c.a << "," << c.b << "," << c.c;
    }
    EXPECT_EQ(g.ReadPixel(212, 325), (IColour{0x40, 0x11, 0x22, 0x33}));
    EXPECT_EQ(g.ReadPixel(213, 0), (IColour{0, 0, 0, 0}));
}

// Each blend method draws like the raster mode it stands for; unknown
// methods draw like the normal one, and so does a missing blend.
TEST(GraphicsRaster, BlendMethodsMapOntoRasterModes)
{
    struct Case
    {
        bool given;
        int32_t method;
        float weight;
        int32_t mode;
    };
    const Case cases[] = {
        {false, 0, 1.0f, BlendCopy | UseSourceAlpha},
        {true, 0, 0.5f, BlendCopy | UseSourceAlpha},
        {true, 1, 1.0f, BlendCopy},
        {true, 1, 0.3f, BlendCopy},
        {true, 2, 0.75f, BlendAdd | UseSourceAlpha},
        {true, 3, 1.0f, BlendDodge | UseSourceAlpha},
        {true, 7, 1.0f, BlendCopy | UseSourceAlpha},
        {true, -2, 0.5f, BlendCopy | UseSourceAlpha},
    };
    const RasterPixel below = 0xFF646464u;
    const RasterPixel source = 0x80C8280Au; // alpha 128 shows whether alpha is used
    auto src = Solid(4, 4, source);
    IBitmapCache cache;
    RasterTestGraphics g(&cache);
    g.CreateBackBuffer();
    g.SetDrawRegion({0, 0, 213, 326});
    for (const Case& c : cases)
    {
        const IBlend blend{c.method, c.weight};
        const IBlend* given = c.given ? &blend : nullptr;
        HeapBitmap expected(4, 4);
        for (int32_t i = 0; i < 16; ++i)
        {
            expected.Pixels()[i] = below;
        }
        RasterBlit(&expected, src.get(), 0, 0, nullptr, c.weight, c.mode);
        HeapBitmap expectedFill(4, 4);
        for (int32_t i = 0; i < 16; ++i)
        {
            expectedFill.Pixels()[i] = below;
        }
        RasterFillRect(&expectedFill, 0, 0, 4, 4, source, c.weight, c.mode);

        g.Clear(below);
        g.BlitBitmap(Record(src.get()), {0, 0, 4, 4}, 0, 0, given);
        g.FillRegion(IColour::FromPacked(source), {10, 0, 14, 4}, given);
        for (int32_t y = 0; y < 4; ++y)
        {
            for (int32_t x = 0; x < 4; ++x)
            {
                ASSERT_EQ(g.At(x, y), expected.Pixels()[y * 4 + x]) << "method " << c.method;
                ASSERT_EQ(g.At(10 + x, y), expectedFill.Pixels()[y * 4 + x])
                    << "fill, method " << c.method;
            }
        }
    }
}

// The rotated draws at angle 0: the mask decides what of the base shows,
// inside the repainted region; the plain rotated draw is centred on its
// point and ignores that region.
TEST(GraphicsRaster, RotatedDrawsPlaceTheirPicture)
{
    IBitmapCache cache;
    RasterTestGraphics g(&cache);
    g.CreateBackBuffer();
    auto base = Solid(20, 10, 0xFFFF0000u);
    auto mask = Solid(20, 10, 0);
    for (int32_t y = 0; y < 10; ++y)
    {
        for (int32_t x = 0; x < 10; ++x)
        {
            mask->Pixels()[y * 20 + x] = 0xFF000000u; // left half opaque black
        }
    }
    auto top = Solid(20, 10, 0x00FFFFFFu); // fully transparent
    struct Case
    {
        IRegion drawRegion;
        int32_t firstRed; // first red column; red up to column 14
    };
    for (const Case& c : {Case{{0, 0, 213, 326}, 5}, Case{{10, 0, 213, 326}, 10}})
    {
        g.Clear(kUntouched);
        g.SetDrawRegion(c.drawRegion);
        EXPECT_TRUE(g.BlitRotatedMasked(Record(base.get()), Record(mask.get()), Record(top.get()),
                                        5, 7, 0.0, nullptr));
        EXPECT_TRUE(g.Shows(
            {c.firstRed, 7, 15, 17}, [](int32_t, int32_t) { return 0xFFFF0000u; }, kUntouched));
    }
    // No base: the scratch bitmap's last composition is not drawn again.
    g.Clear(kUntouched);
    g.BlitRotatedMasked({}, Record(mask.get()), Record(top.get()), 5, 7, 0.0, nullptr);
    EXPECT_TRUE(g.Shows({}, Nothing, kUntouched));

    g.Clear(kUntouched);
    g.SetDrawRegion({});
    auto coded = CodedStrip(10, 6);
    EXPECT_TRUE(g.BlitRotated(Record(coded.get()), 50, 60, 0.0, 0, nullptr));
    EXPECT_TRUE(g.Shows(
        {45, 57, 55, 63}, [](int32_t x, int32_t y) { return Coded(x - 45, y - 57); }, kUntouched));
}
