#include "IByteBuffer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>

#if defined(__linux__)
#include <sys/resource.h>
#include <unistd.h>
#endif

// Address-space limits cannot be combined with the sanitizers' shadow memory.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VK_NO_MEMORY_LIMIT_TEST 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define VK_NO_MEMORY_LIMIT_TEST 1
#endif
#endif

TEST(IByteBuffer, GrowthPolicyCapacities)
{
    // slack = max(n / 2, 4096) rounded down to 4096, within 4096..4 MiB;
    // capacity = ((n + slack + 96) rounded down to 4096) - 96.
    EXPECT_EQ(IByteBuffer::PolicyCapacity(1, 4096, 0), 4000);
    EXPECT_EQ(IByteBuffer::PolicyCapacity(4000, 4096, 0), 8096);
    EXPECT_EQ(IByteBuffer::PolicyCapacity(4001, 4096, 0), 8096);
    EXPECT_EQ(IByteBuffer::PolicyCapacity(10000, 4096, 0), 12192);
    EXPECT_EQ(IByteBuffer::PolicyCapacity(100000, 4096, 0), 147360);
    EXPECT_EQ(IByteBuffer::PolicyCapacity(20000000, 4096, 0), 24190880); // slack capped at 4 MiB
    // Small granularity: capacity = n + max(n / 2, granularity).
    EXPECT_EQ(IByteBuffer::PolicyCapacity(10, 32, 0), 42);
    EXPECT_EQ(IByteBuffer::PolicyCapacity(100, 32, 0), 150);
    // The minimum capacity raises small allocations.
    EXPECT_EQ(IByteBuffer::PolicyCapacity(1, 4096, 50000), 50000);
    // Refused sizes.
    EXPECT_EQ(IByteBuffer::PolicyCapacity(-1, 4096, 0), -1);
    EXPECT_EQ(IByteBuffer::PolicyCapacity(IByteBuffer::kMaxSize + 1, 4096, 0), -1);
    EXPECT_EQ(IByteBuffer::PolicyCapacity(INT_MAX, 4096, 0), -1);
    EXPECT_GT(IByteBuffer::PolicyCapacity(IByteBuffer::kMaxSize, 4096, 0), IByteBuffer::kMaxSize);
}

TEST(IByteBuffer, ResizeGrowsByPolicyAndShrinksOnlyWhenAllowedAndWorthIt)
{
    IByteBuffer buffer;
    EXPECT_EQ(buffer.Resize(0), nullptr);
    EXPECT_EQ(buffer.Capacity(), 0);

    ASSERT_NE(buffer.Resize(8), nullptr);
    EXPECT_EQ(buffer.Size(), 8);
    EXPECT_EQ(buffer.Capacity(), 4000);
    buffer.Resize(4000);
    EXPECT_EQ(buffer.Capacity(), 4000); // fits: no reallocation
    buffer.Resize(4001);
    EXPECT_EQ(buffer.Capacity(), 8096);

    buffer.Resize(100000);
    EXPECT_EQ(buffer.Capacity(), 147360);
    buffer.Resize(10, false);
    EXPECT_EQ(buffer.Size(), 10);
    EXPECT_EQ(buffer.Capacity(), 147360); // shrinking not allowed
    buffer.Resize(100000);
    // Allowed, below half the capacity and more than 4 granules below it.
    buffer.Resize(10, true);
    EXPECT_EQ(buffer.Capacity(), 4000);
    // Within 4 granules of the capacity: only the size changes.
    buffer.Resize(3000);
    buffer.Resize(2, true);
    EXPECT_EQ(buffer.Size(), 2);
    EXPECT_EQ(buffer.Capacity(), 4000);
}

TEST(IByteBuffer, ResizeKeepsContentsAndRefusesBadSizes)
{
    IByteBuffer buffer;
    const char text[] = "state bytes";
    ASSERT_TRUE(buffer.Append(text, sizeof(text)));
    buffer.Resize(50000);
    EXPECT_EQ(std::memcmp(buffer.Data(), text, sizeof(text)), 0);
    buffer.Resize(sizeof(text), true);
    EXPECT_EQ(std::memcmp(buffer.Data(), text, sizeof(text)), 0);

    const int32_t size = buffer.Size();
    const int32_t capacity = buffer.Capacity();
    EXPECT_EQ(buffer.Resize(-1), nullptr);
    EXPECT_EQ(buffer.Resize(INT_MIN), nullptr);
    EXPECT_EQ(buffer.Resize(IByteBuffer::kMaxSize + 1), nullptr);
    EXPECT_EQ(buffer.Resize(INT_MAX), nullptr);
    EXPECT_EQ(buffer.ResizeZeroed(INT_MAX), size);
    EXPECT_EQ(buffer.Size(), size);
    EXPECT_EQ(buffer.Capacity(), capacity);
    EXPECT_EQ(std::memcmp(buffer.Data(), text, sizeof(text)), 0);
}

TEST(IByteBuffer, ResizeZeroedClearsOnlyTheNewBytes)
{
    IByteBuffer buffer;
    buffer.Resize(5000);
    std::memset(buffer.Data(), 0xAB, 5000);
    buffer.Resize(4, true); // capacity stays, stale bytes remain behind the size
    EXPECT_EQ(buffer.ResizeZeroed(64), 4);
    ASSERT_EQ(buffer.Size(), 64);
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(buffer.Data()[i], 0xAB);
    }
    for (int i = 4; i < 64; ++i)
    {
        ASSERT_EQ(buffer.Data()[i], 0) << i;
    }
    EXPECT_EQ(buffer.ResizeZeroed(0), 64);
    EXPECT_EQ(buffer.Size(), 0);
}

TEST(IByteBuffer, AppendRejectsBadArgumentsAndCopesWithItsOwnBytes)
{
    IByteBuffer buffer;
    EXPECT_TRUE(buffer.Append(nullptr, 0));
    EXPECT_FALSE(buffer.Append(nullptr, 4));
    int32_t v = 7;
    EXPECT_FALSE(buffer.Append(&v, -4));
    EXPECT_EQ(buffer.Size(), 0);

    // Appending a buffer's own contents while it reallocates.
    buffer.Resize(3990);
    std::memset(buffer.Data(), 0x5A, 3990);
    ASSERT_TRUE(buffer.Append(buffer.Data(), 3990));
    ASSERT_EQ(buffer.Size(), 7980);
    EXPECT_EQ(buffer.Data()[7979], 0x5A);

    EXPECT_FALSE(buffer.Append(&v, INT_MAX)); // size + n would overflow
    EXPECT_EQ(buffer.Size(), 7980);
}

TEST(IByteBuffer, ReadAtStaysInsideTheData)
{
    IByteBuffer buffer;
    const double values[2] = {1.5, -2.25};
    buffer.Append(values, sizeof(values));
    double out = 99.0;
    EXPECT_EQ(buffer.ReadAt(8, 8, &out), 16);
    EXPECT_EQ(out, -2.25);
    EXPECT_EQ(buffer.ReadAt(16, 0, &out), 16);

    out = 99.0;
    EXPECT_EQ(buffer.ReadAt(9, 8, &out), -1);
    EXPECT_EQ(buffer.ReadAt(-1, 8, &out), -1);
    EXPECT_EQ(buffer.ReadAt(0, -8, &out), -1);
    EXPECT_EQ(buffer.ReadAt(INT_MAX, 8, &out), -1);
    EXPECT_EQ(buffer.ReadAt(8, INT_MAX, &out), -1);
    EXPECT_EQ(buffer.ReadAt(17, 0, &out), -1);
    EXPECT_EQ(buffer.ReadAt(0, 8, nullptr), -1);
    EXPECT_EQ(out, 99.0);
}

#if defined(__linux__) && !defined(VK_NO_MEMORY_LIMIT_TEST)
namespace
{
// Runs in a child process: caps the address space, then asks for more.
[[noreturn]] void GrowBeyondTheAddressSpaceLimit()
{
    IByteBuffer buffer;
    buffer.Append("abc", 3);
    long pages = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r"))
    {
        if (std::fscanf(f, "%ld", &pages) != 1)
        {
            pages = 0;
        }
        std::fclose(f);
    }
    const rlim_t limit =
        static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (64u << 20);
    const rlimit rl{limit, limit};
    if (pages <= 0 || setrlimit(RLIMIT_AS, &rl) != 0)
    {
        _exit(2);
    }
    const bool refused = buffer.Resize(512 << 20) == nullptr;
    const bool intact = buffer.Size() == 3 && buffer.Capacity() == 4000;
    const bool same = std::memcmp(buffer.Data(), "abc", 3) == 0;
    _exit(refused && intact && same ? 0 : 1);
}
} // namespace

TEST(IByteBufferDeathTest, FailedGrowthKeepsStorageSizeAndContents)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(GrowBeyondTheAddressSpaceLimit(), testing::ExitedWithCode(0), "");
}
#endif
