#pragma once

// A scripted VST 2 host for the binding's tests: records every callback and
// answers from its fields.

#include "VstInterface.h"

#include <cstring>
#include <string>
#include <vector>

struct HostCall
{
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
};

struct FakeHost
{
    std::vector<HostCall> calls;
    std::string product;
    VstIntPtr vendorVersion = 0;
    bool giveTime = false;
    VstTimeInfo time = {};
    VstIntPtr eventsAnswer = 1;
    std::vector<VstMidiEvent> midiReceived;
    std::vector<VstInt32> eventTypesReceived;

    static FakeHost*& Current()
    {
        static FakeHost* current = nullptr;
        return current;
    }
    FakeHost() { Current() = this; }
    ~FakeHost() { Current() = nullptr; }

    int Count(VstInt32 opcode) const
    {
        int n = 0;
        for (const HostCall& c : calls)
        {
            n += c.opcode == opcode ? 1 : 0;
        }
        return n;
    }

    static VstIntPtr VSTCALLBACK Callback(AEffect*, VstInt32 opcode, VstInt32 index,
                                          VstIntPtr value, void* ptr, float opt)
    {
        FakeHost* host = Current();
        if (!host)
        {
            return 0;
        }
        host->calls.push_back({opcode, index, value, opt});
        switch (opcode)
        {
        case audioMasterGetProductString:
            std::strncpy(static_cast<char*>(ptr), host->product.c_str(), 63);
            return host->product.empty() ? 0 : 1;
        case audioMasterGetVendorVersion:
            return host->vendorVersion;
        case audioMasterGetTime:
            return host->giveTime ? reinterpret_cast<VstIntPtr>(&host->time) : 0;
        case audioMasterProcessEvents:
        {
            const VstEvents* list = static_cast<const VstEvents*>(ptr);
            for (VstInt32 i = 0; i < list->numEvents; ++i)
            {
                host->eventTypesReceived.push_back(list->events[i]->type);
                if (list->events[i]->type == kVstMidiType)
                {
                    host->midiReceived.push_back(
                        *reinterpret_cast<const VstMidiEvent*>(list->events[i]));
                }
            }
            return host->eventsAnswer;
        }
        default:
            return 0;
        }
    }
};
