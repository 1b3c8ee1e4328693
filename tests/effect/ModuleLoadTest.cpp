// The built plug-in module, loaded the way a host loads it: both entry
// names, from two threads at once, then one block of audio.

#include "LoadedModule.h"
#include "VstInterface.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace
{

class Module : public LoadedModule
{
public:
    Module() : LoadedModule(VK_MODULE_PATH) {}
};

TEST(PluginModule, BothEntryNamesMakeTheSameEffect)
{
    Module m;
    ASSERT_NE(m.handle, nullptr) << VK_MODULE_PATH;
    VstPluginEntryProc entries[2] = {m.Entry("VSTPluginMain"), m.Entry("main")};
    ASSERT_NE(entries[0], nullptr);
    ASSERT_NE(entries[1], nullptr);

    std::vector<AEffect*> made(8, nullptr);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < made.size(); ++i)
    {
        threads.emplace_back([&, i] { made[i] = entries[i % 2](&SilentHost); });
    }
    for (std::thread& t : threads)
    {
        t.join();
    }
    for (size_t i = 0; i < made.size(); ++i)
    {
        AEffect* e = made[i];
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->magic, kEffectMagic);
        EXPECT_EQ(e->uniqueID, made[0]->uniqueID);
        EXPECT_EQ(e->flags, made[0]->flags);
        EXPECT_EQ(e->numPrograms, 16);
        EXPECT_EQ(e->numParams, 4);
        for (size_t j = 0; j < i; ++j)
        {
            EXPECT_NE(e, made[j]);
        }
        char name[64] = {};
        e->dispatcher(e, effGetEffectName, 0, 0, name, 0.0f);
        EXPECT_STREQ(name, "Vorn-Kettle[Ge]");
    }

    AEffect* e = made[1];
    e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    e->dispatcher(e, effSetBlockSize, 0, 256, nullptr, 0.0f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
    std::vector<float> in(256, 0.0f);
    std::vector<float> out0(256, 7.0f);
    std::vector<float> out1(256, 7.0f);
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {out0.data(), out1.data()};
    e->processReplacing(e, ins, outs, 256);
    for (size_t i = 0; i < out0.size(); ++i)
    {
        ASSERT_NE(out0[i], 7.0f) << i; // every sample written
        ASSERT_EQ(out0[i], out1[i]) << i;
    }
    e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
    for (AEffect* x : made)
    {
        x->dispatcher(x, effClose, 0, 0, nullptr, 0.0f);
    }
}

} // namespace
