#include "HostCallback.h"

#include <algorithm>
#include <cstring>

namespace
{
HostCallback* activeHost = nullptr;

// Copies `text` into a plug-in's buffer of `size` bytes, always terminated.
void CopyOut(void* ptr, const char* text, size_t size)
{
    char* out = static_cast<char*>(ptr);
    size_t n = std::min(std::strlen(text), size - 1);
    std::memcpy(out, text, n);
    out[n] = '\0';
}
} // namespace

HostCallback::HostCallback() : previous(activeHost)
{
    edits.reserve(1024);
    activeHost = this;
}

HostCallback::~HostCallback()
{
    activeHost = previous;
}

VstIntPtr VSTCALLBACK HostCallback::Dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                             VstIntPtr value, void* ptr, float opt)
{
    if (!activeHost)
    {
        return opcode == audioMasterVersion ? kVstVersion : 0;
    }
    return activeHost->Handle(effect, opcode, index, value, ptr, opt);
}

void HostCallback::Record(int32_t opcode, int32_t index, float value)
{
    if (edits.size() >= kMaxEdits)
    {
        ++droppedEdits;
        return;
    }
    edits.push_back(Edit{opcode, index, value, transport.Position()});
}

VstIntPtr HostCallback::Handle(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                               void* ptr, float opt)
{
    if (std::find(opcodesSeen.begin(), opcodesSeen.end(), opcode) == opcodesSeen.end())
    {
        opcodesSeen.push_back(opcode);
    }

    switch (opcode)
    {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterCurrentId:
        return effect ? effect->uniqueID : 0;
    case audioMasterAutomate:
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
        Record(opcode, index, opcode == audioMasterAutomate ? opt : 0.0f);
        return 0;
    case audioMasterGetTime:
        transport.Fill(timeInfo, static_cast<int32_t>(value));
        return reinterpret_cast<VstIntPtr>(&timeInfo);
    case audioMasterGetSampleRate:
        return static_cast<VstIntPtr>(transport.SampleRate());
    case audioMasterGetBlockSize:
        return blockSize;
    case audioMasterGetVendorString:
        if (!ptr)
        {
            return 0;
        }
        CopyOut(ptr, "Quillmark", kVstMaxVendorStrLen);
        return 1;
    case audioMasterGetProductString:
        if (!ptr)
        {
            return 0;
        }
        CopyOut(ptr, "vsthost", kVstMaxProductStrLen);
        return 1;
    case audioMasterGetVendorVersion:
        return kVendorVersion;
    case audioMasterCanDo:
    {
        if (!ptr)
        {
            return 0;
        }
        const char* what = static_cast<const char*>(ptr);
        static const char* const yes[] = {"sendVstTimeInfo", "startStopProcess"};
        for (const char* s : yes)
        {
            if (std::strcmp(what, s) == 0)
            {
                return 1;
            }
        }
        return 0;
    }
    default:
        return 0;
    }
}
