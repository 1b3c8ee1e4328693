#pragma once

#include "FuzzReader.h"
#include "GuardedBuffer.h"
#include "VstInterface.h"

#include <cstdint>
#include <string>
#include <vector>

// Plays a VST 2 host from a fuzz input: creates instances through the
// module's entry points, then makes whatever calls the input asks for, with
// the arguments and buffers real hosts give, and checks after each call what
// a host relies on (see Play). A broken promise aborts the process.
class HostPlayer
{
public:
    HostPlayer(VstPluginEntryProc pluginMain, VstPluginEntryProc legacyMain);

    // One host session per input: up to a few instances one after the other,
    // each closed by the input or at its end.
    void Play(const uint8_t* data, size_t size);

    // Largest output magnitude seen from in-range input (for tuning the
    // bound).
    double PeakSeen() const { return peakSeen; }

private:
    enum class Audio
    {
        Accumulate,
        Replace,
        Double,
    };

    static VstIntPtr VSTCALLBACK HostCallback(AEffect* e, VstInt32 opcode, VstInt32 index,
                                              VstIntPtr value, void* ptr, float opt);
    VstIntPtr Answer(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float opt);

    bool Create();
    void Step();
    void Dispatch();
    void DispatchKnown(VstInt32 opcode);
    void SetParameter();
    void GetParameter();
    void Process(Audio mode);
    void FillInput(GuardedBuffer& buffer, size_t frames, bool isDouble);
    void SendEvents();
    void SetArrangements();
    void ChangeHostState();

    // Every call into the plug-in goes through Enter and Leave: the host's
    // MXCSR goes in, and the same control bits and an unchanged effect record
    // must come out.
    void Enter();
    void Leave(const char* call);
    VstIntPtr Call(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    void CheckText(const GuardedBuffer& text, uint8_t fill, const char* call) const;
    float FuzzedFloat();
    double FuzzedRate();
    VstInt32 FuzzedIndex(VstInt32 count);

    VstPluginEntryProc entries[2];
    FuzzReader* in = nullptr;
    AEffect* effect = nullptr;
    unsigned char record[sizeof(AEffect)] = {};
    int32_t connectedIn = 0;
    int32_t connectedOut = 0;
    // Set once finite input beyond full scale has gone through the filters:
    // their history may ring at that level for a while, so output bounds are
    // no longer checked for this instance.
    bool tainted = false;
    bool creating = false;
    unsigned hostCsr = 0x1f80;
    std::string product;
    VstIntPtr vendorVersion = 0;
    bool giveTime = false;
    VstTimeInfo time = {};
    std::vector<uint8_t> lastChunk;
    double peakSeen = 0.0;
};
