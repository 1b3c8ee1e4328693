#pragma once

#include "IEffectBase.h"
#include "VstInterface.h"

#include <cstdint>

// Every function a host calls directly. On 32-bit Windows a host only
// guarantees a 4-byte aligned stack, while our SSE2 code spills doubles with
// 16-byte alignment, so those entries realign the stack first.
#if defined(_WIN32) && defined(__i386__) && defined(__GNUC__)
#define VK_HOST_ENTRY __attribute__((force_align_arg_pointer))
#else
#define VK_HOST_ENTRY
#endif

// Binds one plug-in instance to a VST 2.4 host: fills the effect record the
// host holds, answers the dispatcher, runs the three audio callbacks and
// talks back to the host through its callback. No exception leaves any
// function the host calls; a failure answers 0.
class IEffectVST : public IEffectBase
{
public:
    // Text limits of the host's buffers, terminator included. Hosts often
    // give more, but only these are promised.
    static constexpr int kParamTextSize = kVstMaxParamStrLen;
    static constexpr int kProgramNameSize = kVstMaxProgNameLen;
    static constexpr int kEffectNameSize = kVstMaxEffectNameLen;
    static constexpr int kVendorTextSize = kVstMaxVendorStrLen;
    static constexpr int kProductTextSize = kVstMaxProductStrLen;
    // Largest state chunk accepted from the host. Our state is a few bytes
    // per parameter, so anything near this is garbage.
    static constexpr int32_t kMaxChunkSize = 1 << 20;
    static constexpr VstIntPtr kIdentifyAnswer = 0x4e764566; // 'NvEf'
    static constexpr VstIntPtr kVendorSpecificAnswer = 0xbeef;
    // On 32-bit targets the same bit pattern, as hosts compare it.
    static constexpr VstIntPtr kCockosAnswer = static_cast<VstIntPtr>(0xbeef0000u);

    IEffectVST(audioMasterCallback hostCallback, int32_t nParams, const char* channelIOStr,
               int32_t nPresets, const char* effectName, const char* productName,
               const char* vendorName, int32_t version, int32_t uniqueId, int32_t vendorId,
               int32_t latency, bool doesMidi, bool doesChunks, bool isInstrument);
    // Clears the record's back pointer; the base releases everything else.
    ~IEffectVST() override;

    // The record handed to the host; it finds this instance through its
    // object field.
    AEffect* GetAEffect() { return &effect; }
    // The instance behind a record, or null.
    static IEffectVST* FromAEffect(AEffect* e);

    // Sends audioMasterBeginEdit.
    void BeginParameterGesture(int32_t paramIndex) override;
    // Sends audioMasterAutomate with the value as a float.
    void AutomateParameter(int32_t paramIndex, double normalizedValue) override;
    // Sends audioMasterEndEdit.
    void EndParameterGesture(int32_t paramIndex) override;
    // Host's sample position, or 0 when it gives none.
    int32_t QuerySamplePosition() override;
    // Host's tempo, or 0.0 when it gives none.
    double QueryTempo() override;
    // Host's time signature, 0/0 when it gives none.
    void QueryTimeSignature(int32_t* numerator, int32_t* denominator) override;
    // Asks the host's product string and version once, then answers the
    // stored host code.
    int32_t QueryHostIdentity() override;
    // Copies the editor's size into the rectangle the host reads.
    void RefreshEditorRect() override;
    // Runs once per instance: limits some hosts to stereo inputs, then
    // republishes the channel counts.
    void ApplyHostQuirks() override;
    // Also announces the editor to the host (flag and rectangle).
    void AttachEditor(IGraphicsCore* editor) override;
    // Also updates the latency the host reads from the record.
    void SetLatencySamples(int32_t samples) override;
    // Sends one MIDI event through audioMasterProcessEvents; true when the
    // host answers 1.
    bool SendMidiMessage(IMidiMessage message) override;
    // Sends every message in order; true when all were accepted.
    bool SendMidiMessages(const IMidiMessage* messages, int32_t count) override;

    bool DoesMidi() const { return doesMidi; }
    bool HostQuirksDone() const { return hostQuirksDone; }
    const ERect& EditRect() const { return editRect; }

    // The host entries stored in the effect record.
    VK_HOST_ENTRY static VstIntPtr VSTCALLBACK DispatcherEntry(AEffect* e, VstInt32 opcode,
                                                               VstInt32 index, VstIntPtr value,
                                                               void* ptr, float opt);
    VK_HOST_ENTRY static void VSTCALLBACK ProcessEntry(AEffect* e, float** inputs, float** outputs,
                                                       VstInt32 sampleFrames);
    VK_HOST_ENTRY static void VSTCALLBACK ProcessReplacingEntry(AEffect* e, float** inputs,
                                                                float** outputs,
                                                                VstInt32 sampleFrames);
    VK_HOST_ENTRY static void VSTCALLBACK ProcessDoubleReplacingEntry(AEffect* e, double** inputs,
                                                                      double** outputs,
                                                                      VstInt32 sampleFrames);
    VK_HOST_ENTRY static void VSTCALLBACK SetParameterEntry(AEffect* e, VstInt32 index,
                                                            float value);
    VK_HOST_ENTRY static float VSTCALLBACK GetParameterEntry(AEffect* e, VstInt32 index);

protected:
    // One dispatcher call, with the plug-in lock held.
    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    VstIntPtr CallHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    const VstTimeInfo* QueryTime(VstInt32 validMask);

    VstIntPtr GetChunk(void** data, bool isBank);
    VstIntPtr SetChunk(const void* data, VstIntPtr size, bool isBank);
    VstIntPtr ProcessEvents(const VstEvents* events);
    VstIntPtr CanDo(const char* text) const;
    VstIntPtr GetPinProperties(VstPinProperties* pin, int32_t index, bool isInput) const;
    void SetBlockSizeFromHost(VstIntPtr frames);
    void SetSpeakerArrangement(const VstSpeakerArrangement* in, const VstSpeakerArrangement* out);

    enum class FloatMode
    {
        Accumulate,
        Replace,
    };
    void ProcessFloat(float** inputs, float** outputs, int32_t nFrames, FloatMode mode);
    void ProcessDouble(double** inputs, double** outputs, int32_t nFrames);
    // Number of host buffers a block consumes: one per connected channel.
    int32_t ConnectedInputs() const;
    int32_t ConnectedOutputs() const;
    // True when the host passed every buffer the connected channels use.
    template <typename T> static bool HostBuffersPresent(T** buffers, int32_t count);
    // Writes silence into whatever output buffers the host passed.
    template <typename T> void SilenceHostOutputs(T** outputs, int32_t nFrames) const;

    ERect editRect = {};
    audioMasterCallback hostCallback;
    VstSpeakerArrangement inputArrangement;
    VstSpeakerArrangement outputArrangement;
    bool hostQuirksDone = false;
    bool doesMidi;
    IByteBuffer programChunk;
    IByteBuffer bankChunk;
    AEffect effect;
};
