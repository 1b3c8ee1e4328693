// The missing-image fixture module, loaded the way a host loads a plug-in:
// the broken build is reported, not fatal, and every load of the module
// builds its bitmap cache afresh and frees it on unload.
#include "LoadedModule.h"
#include "VstInterface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using CountHook = int (*)();

class FixtureModule : public LoadedModule
{
public:
    FixtureModule() : LoadedModule(VK_FIXTURE_MODULE) {}
};

// Six distinct images (the knob strip serves two knobs); one is missing.
constexpr int kImageIds = 6;

// Creates an instance, capturing what it reports on standard error.
AEffect* CreateInstance(const FixtureModule& m, std::string& report)
{
    auto entry = m.Symbol<VstPluginEntryProc>("VSTPluginMain");
    if (entry == nullptr)
    {
        return nullptr;
    }
    testing::internal::CaptureStderr();
    AEffect* e = entry(&SilentHost);
    report = testing::internal::GetCapturedStderr();
    return e;
}

bool Reported(const std::string& report)
{
    return report.find("Assertion failed: imgResourceFound, file IGraphicsRaster") !=
           std::string::npos;
}
} // namespace

TEST(MissingImageModule, LoadsReportsTheImageAndProcessesAudio)
{
    FixtureModule m;
    ASSERT_NE(m.handle, nullptr) << VK_FIXTURE_MODULE;
    auto decodes = m.Symbol<CountHook>("FixtureImageDecodes");
    auto cached = m.Symbol<CountHook>("FixtureCachedBitmaps");
    ASSERT_NE(decodes, nullptr);
    ASSERT_NE(cached, nullptr);

    std::string report;
    AEffect* e = CreateInstance(m, report);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->magic, kEffectMagic);
    EXPECT_TRUE(Reported(report)) << report;
    EXPECT_EQ(decodes(), kImageIds);
    // The five images and the placeholder of the missing one.
    EXPECT_EQ(cached(), kImageIds);

    // A second instance shares the cache: no decoding, no second report.
    AEffect* other = CreateInstance(m, report);
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(Reported(report)) << report;
    EXPECT_EQ(decodes(), kImageIds);

    e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    e->dispatcher(e, effSetBlockSize, 0, 64, nullptr, 0.0f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
    std::vector<float> left(64), right(64), out0(64, 7.0f), out1(64, 7.0f);
    for (size_t i = 0; i < left.size(); ++i)
    {
        left[i] = 0.01f * static_cast<float>(i);
        right[i] = -0.02f * static_cast<float>(i);
    }
    float* ins[2] = {left.data(), right.data()};
    float* outs[2] = {out0.data(), out1.data()};
    e->processReplacing(e, ins, outs, 64);
    for (size_t i = 0; i < left.size(); ++i)
    {
        ASSERT_EQ(out0[i], 0.5f * left[i]) << i;
        ASSERT_EQ(out1[i], 0.5f * right[i]) << i;
    }
    e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
    other->dispatcher(other, effClose, 0, 0, nullptr, 0.0f);
}

// A module that stayed mapped after its unload would keep its counters and
// its cache; one that leaked its cache would show under LeakSanitizer.
TEST(MissingImageModule, EveryLoadBuildsItsCacheAfresh)
{
    for (int load = 0; load < 50; ++load)
    {
        FixtureModule m;
        ASSERT_NE(m.handle, nullptr) << "load " << load;
        auto decodes = m.Symbol<CountHook>("FixtureImageDecodes");
        auto cached = m.Symbol<CountHook>("FixtureCachedBitmaps");
        ASSERT_NE(decodes, nullptr);
        ASSERT_NE(cached, nullptr);
        ASSERT_EQ(decodes(), 0) << "load " << load << ": the module was not unloaded";
        ASSERT_EQ(cached(), 0) << "load " << load;

        std::string report;
        AEffect* e = CreateInstance(m, report);
        ASSERT_NE(e, nullptr) << "load " << load;
        EXPECT_TRUE(Reported(report)) << "load " << load;
        EXPECT_EQ(decodes(), kImageIds) << "load " << load;
        EXPECT_EQ(cached(), kImageIds) << "load " << load;
        e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
        // The bitmaps outlive the instance: they are the module's.
        EXPECT_EQ(cached(), kImageIds) << "load " << load;
    }
}
