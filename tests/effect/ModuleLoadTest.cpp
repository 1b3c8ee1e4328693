// The built plug-in module, loaded the way a host loads it: both entry
// names, from two threads at once, then one block of audio.

#include "VstInterface.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace
{

VstIntPtr VSTCALLBACK SilentHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

class Module
{
public:
    Module()
    {
        std::string path = VK_MODULE_PATH;
#if defined(_WIN32)
        // The build hands over a Unix path; Wine sees the Unix root as Z:.
        if (!path.empty() && path[0] == '/')
        {
            path = "Z:" + path;
        }
        for (char& c : path)
        {
            c = c == '/' ? '\\' : c;
        }
        handle = LoadLibraryA(path.c_str());
#else
        handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
    }
    ~Module()
    {
#if defined(_WIN32)
        if (handle)
        {
            FreeLibrary(static_cast<HMODULE>(handle));
        }
#else
        if (handle)
        {
            dlclose(handle);
        }
#endif
    }
    VstPluginEntryProc Entry(const char* name) const
    {
        if (!handle)
        {
            return nullptr;
        }
#if defined(_WIN32)
        return reinterpret_cast<VstPluginEntryProc>(
            reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name)));
#else
        return reinterpret_cast<VstPluginEntryProc>(dlsym(handle, name));
#endif
    }
    void* handle = nullptr;
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
