#include "GuardedBitmap.h"
#include "HeapBitmap.h"
#include "RasterPixelAccess.h"
#include "ScreenBitmap.h"

#include <gtest/gtest.h>

TEST(RasterPixel, ChannelsSitInMemoryOrderBGRA)
{
    const RasterPixel p = RasterRGBA(0x11, 0x22, 0x33, 0x44);
    EXPECT_EQ(p, 0x44112233u);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&p);
    EXPECT_EQ(bytes[0], 0x33); // B
    EXPECT_EQ(bytes[1], 0x22); // G
    EXPECT_EQ(bytes[2], 0x11); // R
    EXPECT_EQ(bytes[3], 0x44); // A
    EXPECT_EQ(RasterRed(p), 0x11);
    EXPECT_EQ(RasterGreen(p), 0x22);
    EXPECT_EQ(RasterBlue(p), 0x33);
    EXPECT_EQ(RasterAlpha(p), 0x44);
    EXPECT_EQ(RasterRGBAClamped(-5, 300, 7, 256), 0xFF00FF07u);
}

TEST(HeapBitmap, AllocatesExactlyAndGrowsWithHeadroom)
{
    HeapBitmap b(10, 10);
    ASSERT_NE(b.Pixels(), nullptr);
    EXPECT_EQ(b.Capacity(), 400);
    EXPECT_EQ(b.RowSpan(), 10);
    EXPECT_FALSE(b.SetSize(10, 10));

    // Smaller fits: the buffer stays and never shrinks.
    RasterPixel* before = b.Pixels();
    EXPECT_TRUE(b.SetSize(5, 4));
    EXPECT_EQ(b.Pixels(), before);
    EXPECT_EQ(b.Capacity(), 400);
    EXPECT_EQ(b.RowSpan(), 5);

    // Growing reallocates to a quarter more than needed.
    EXPECT_TRUE(b.SetSize(20, 10));
    EXPECT_EQ(b.Capacity(), 800 / 4 * 5);
    EXPECT_EQ(b.PixelWidth(), 20);
    EXPECT_EQ(b.PixelHeight(), 10);
    // Within the headroom: no change of capacity.
    EXPECT_TRUE(b.SetSize(25, 10));
    EXPECT_EQ(b.Capacity(), 1000);

    // The whole buffer is writable.
    for (int i = 0; i < 250; ++i)
    {
        b.Pixels()[i] = static_cast<RasterPixel>(i);
    }
    EXPECT_EQ(RasterGetPixel(&b, 24, 9), 249u);
}

TEST(HeapBitmap, EmptyNegativeAndHugeSizesGiveNoPixels)
{
    HeapBitmap empty;
    EXPECT_EQ(empty.Pixels(), nullptr);
    EXPECT_EQ(empty.Capacity(), 0);

    HeapBitmap negative(-3, -4); // the product is positive, the size is not
    EXPECT_EQ(negative.Pixels(), nullptr);
    EXPECT_EQ(negative.PixelWidth(), 0);
    EXPECT_EQ(negative.PixelHeight(), 0);

    // w x h x 4 overflows 32 bits: treated like a failed allocation.
    HeapBitmap huge(100000, 100000);
    EXPECT_EQ(huge.Pixels(), nullptr);
    EXPECT_EQ(huge.PixelWidth(), 0);
    EXPECT_EQ(huge.PixelHeight(), 0);

    HeapBitmap b(4, 4);
    EXPECT_TRUE(b.SetSize(70000, 70000));
    EXPECT_EQ(b.Pixels(), nullptr);
    EXPECT_EQ(b.PixelWidth(), 0);
    EXPECT_EQ(b.Capacity(), 0);
    EXPECT_TRUE(b.SetSize(3, 3));
    EXPECT_NE(b.Pixels(), nullptr);
    EXPECT_EQ(b.Capacity(), 36);

    EXPECT_TRUE(b.SetSize(0, 3)); // frees the buffer
    EXPECT_EQ(b.Pixels(), nullptr);
    EXPECT_EQ(b.Capacity(), 0);
    EXPECT_EQ(b.PixelHeight(), 0);
    EXPECT_TRUE(b.SetSize(-1, 5));
    EXPECT_EQ(b.Pixels(), nullptr);
}

TEST(ScreenBitmap, KeepsItsStoreWhenShrinkingAndReplacesItWhenGrowing)
{
    ScreenBitmap b(213, 333);
#ifdef _WIN32
    ASSERT_NE(b.DeviceContext(), nullptr);
#else
    EXPECT_EQ(b.DeviceContext(), nullptr);
#endif
    ASSERT_NE(b.Pixels(), nullptr);
    EXPECT_EQ(b.RowSpan(), 213);
    EXPECT_FALSE(b.SetSize(213, 333));

    RasterPixel* first = b.Pixels();
    first[213 * 333 - 1] = 0x12345678u; // the last pixel is in the store
    EXPECT_TRUE(b.SetSize(100, 100));
    EXPECT_EQ(b.Pixels(), first);
    EXPECT_EQ(b.RowSpan(), 213);
    EXPECT_EQ(b.AllocatedHeight(), 333);
    EXPECT_EQ(b.PixelWidth(), 100);

    EXPECT_TRUE(b.SetSize(300, 100));
    EXPECT_EQ(b.RowSpan(), 300);
    EXPECT_EQ(b.AllocatedWidth(), 300);
    EXPECT_EQ(b.AllocatedHeight(), 100);
    ASSERT_NE(b.Pixels(), nullptr);
    b.Pixels()[300 * 100 - 1] = 1;

    EXPECT_FALSE(b.SetSize(0, 0));
    EXPECT_EQ(b.Pixels(), nullptr);
    EXPECT_TRUE(b.SetSize(8, 8));
    ASSERT_NE(b.Pixels(), nullptr);
    EXPECT_EQ(b.RowSpan(), 8);

    // An overflowing size leaves 0 x 0 instead of failing halfway.
    b.SetSize(100000, 100000);
    EXPECT_EQ(b.Pixels(), nullptr);
    EXPECT_EQ(b.PixelWidth(), 0);
    EXPECT_EQ(b.PixelHeight(), 0);
}

#ifdef _WIN32
#include <windows.h>

TEST(ScreenBitmap, SectionIsSelectedIntoTheDeviceContext)
{
    ScreenBitmap b(16, 8);
    ASSERT_NE(b.DeviceContext(), nullptr);
    HGDIOBJ selected = GetCurrentObject(b.DeviceContext(), OBJ_BITMAP);
    ASSERT_NE(selected, nullptr);
    DIBSECTION info = {};
    ASSERT_EQ(GetObject(selected, sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.dsBm.bmWidth, 16);
    EXPECT_EQ(info.dsBm.bmHeight, 8);
    EXPECT_EQ(info.dsBm.bmBitsPixel, 32);
    EXPECT_EQ(info.dsBm.bmBits, b.Pixels());

    // GDI sees what the library writes, rows top-down: pixel (3, 2) set
    // through memory is (3, 2) for GDI too, not (3, 5).
    b.Pixels()[2 * b.RowSpan() + 3] = RasterRGBA(0x10, 0x20, 0x30, 0);
    GdiFlush();
    EXPECT_EQ(GetPixel(b.DeviceContext(), 3, 2), RGB(0x10, 0x20, 0x30));

    ASSERT_TRUE(b.SetSize(8, 4)); // shrinking keeps the section
    EXPECT_EQ(GetCurrentObject(b.DeviceContext(), OBJ_BITMAP), selected);
    ASSERT_TRUE(b.SetSize(32, 4)); // growing selects a new one
    EXPECT_NE(GetCurrentObject(b.DeviceContext(), OBJ_BITMAP), selected);
}
#endif

TEST(RasterGetPixel, AnswersZeroOutsideAndHonoursBottomUpRows)
{
    GuardedBitmap b(5, 3);
    b.At(4, 0) = 7;
    EXPECT_EQ(RasterGetPixel(&b, 4, 0), 7u);
    EXPECT_EQ(RasterGetPixel(&b, -1, 0), 0u);
    EXPECT_EQ(RasterGetPixel(&b, 5, 0), 0u);
    EXPECT_EQ(RasterGetPixel(&b, 0, 3), 0u);
    EXPECT_EQ(RasterGetPixel(&b, 0, -1), 0u);
    EXPECT_EQ(RasterGetPixel(nullptr, 0, 0), 0u);
    HeapBitmap none;
    EXPECT_EQ(RasterGetPixel(&none, 0, 0), 0u);

    GuardedBitmap up(5, 3, true);
    up.At(1, 0) = 9; // stored in the last row
    EXPECT_EQ(up.Pixels()[2 * up.RowSpan() + 1], 9u);
    EXPECT_EQ(RasterGetPixel(&up, 1, 0), 9u);
    RasterPutPixel(&up, 2, 2, 0xFF00FF00u, 1.0f, 0);
    EXPECT_EQ(up.Pixels()[2], 0xFF00FF00u);
    EXPECT_TRUE(up.GuardsIntact());
}
