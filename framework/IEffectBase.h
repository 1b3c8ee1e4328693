#pragma once

#include "IByteBuffer.h"
#include "IChannelPair.h"
#include "IEffectLock.h"
#include "graphics/IGraphicsCore.h"
#include "IInputChannel.h"
#include "IMidiMessage.h"
#include "IOutputChannel.h"
#include "IParameter.h"
#include "IPresetSlot.h"

#include <cstdint>
#include <memory>
#include <vector>

// Host-neutral core of one plug-in instance: identity, parameters, presets,
// state, channel wiring, the attached editor and the plug-in lock. A host
// binding derives from it and the effect derives from the binding.
class IEffectBase
{
public:
    static constexpr int kNameSize = 128;
    static constexpr int32_t kChunkMagic = 0x70666674;
    static constexpr int32_t kChunkVersion = 0x00010000;
    // Upper bound on channels per direction taken from a configuration string.
    static constexpr int32_t kMaxChannels = 256;
    // Largest block size the scratch blocks are sized for; longer host blocks
    // are processed in pieces.
    static constexpr int32_t kMaxBlockSize = 1 << 20;

    // Host codes returned by IdentifyHost.
    enum HostCode : int32_t
    {
        kHostNotAsked = -1,
        kHostUnknown = 0,
        kHostReaper = 1,
        kHostCubase = 3,
        kHostNuendo = 4,
        kHostCakewalk = 5,
        kHostFruity = 7,
        kHostSamplitude = 8,
        kHostLive = 9,
        kHostMelodyne = 12,
        kHostVstManLib = 13,
        kHostAuLab = 14,
        kHostForte = 15,
        kHostChainer = 16,
        kHostAudition = 17,
        kHostOrion = 18,
        kHostSawStudio = 20,
        kHostLogic = 21,
        kHostDigital = 22,
    };

    IEffectBase(int32_t nParams, const char* channelIOStr, int32_t nPresets, const char* effectName,
                const char* productName, const char* vendorName, int32_t version, int32_t uniqueId,
                int32_t vendorId, int32_t latency, bool doesMidi, bool doesChunks,
                bool isInstrument);
    IEffectBase(const IEffectBase&) = delete;
    IEffectBase& operator=(const IEffectBase&) = delete;

    // --- Virtual operations, in slot order ---

    // Destroys the editor first, then parameters, presets and channels.
    virtual ~IEffectBase();
    // Sample rate or block size changed, or processing was suspended; the
    // effect recomputes what depends on them. Base: takes the lock only.
    virtual void HandleReset();
    // A parameter's value changed; the effect derives its internal state.
    // Base: takes the lock only.
    virtual void HandleParameterChange(int32_t paramIndex);
    // Processes one block of nFrames doubles. Base: copies each input to the
    // output of the same index and clears outputs without an input.
    virtual void ProcessBlock(double** inputs, double** outputs, int32_t nFrames);
    // The editor window has just opened. Base: nothing.
    virtual void HandleEditorOpened();
    // The editor window is about to close. Base: nothing.
    virtual void HandleEditorClosing();
    // Processing is switched on or off. Base: takes the lock only.
    virtual void HandleActivate(bool active);
    // A MIDI message from the host. Base: passes it on to SendMidiMessage.
    virtual void HandleMidiMessage(IMidiMessage message);
    // Name of a MIDI note for the host, written into text (textSize bytes).
    // Base: empty text, false.
    virtual bool GetMidiNoteName(int32_t noteNumber, char* text, int textSize);
    // Appends the effect's state to buffer. Base: SerializeParamValues.
    virtual bool WriteState(IByteBuffer& buffer);
    // Reads the effect's state from startPos; returns the position after it
    // or -1 on failure. Base: UnserializeParams.
    virtual int32_t ReadState(const IByteBuffer& buffer, int32_t startPos);
    // The user starts editing a parameter. Base: nothing (the binding tells
    // its host).
    virtual void BeginParameterGesture(int32_t paramIndex);
    // Tells the host of an edit made in the editor. Base: nothing.
    virtual void AutomateParameter(int32_t paramIndex, double normalizedValue);
    // The user ends editing a parameter. Base: nothing.
    virtual void EndParameterGesture(int32_t paramIndex);
    // Host's transport position in samples. Base: 0.
    virtual int32_t QuerySamplePosition();
    // Host's tempo in beats per minute. Base: 0.0.
    virtual double QueryTempo();
    // Host's time signature; 0/0 when unknown. Base: 0/0.
    virtual void QueryTimeSignature(int32_t* numerator, int32_t* denominator);
    // Host code (see IdentifyHost). Base: hostCode; a binding asks its host
    // first.
    virtual int32_t QueryHostIdentity();
    // The editor's size changed; the binding updates what its host sees.
    // Base: nothing.
    virtual void RefreshEditorRect();
    // Set-up for particular hosts, made once when the host opens the plug-in.
    // Base: nothing.
    virtual void ApplyHostQuirks();
    // Hands the editor to the plug-in, which owns it from then on; pushes
    // every parameter to it and creates its back buffer. Null is ignored.
    virtual void AttachEditor(IGraphicsCore* editor);
    // New maximum block size: resizes and clears the channel scratch blocks.
    virtual void ApplyBlockSize(int32_t nFrames);
    // New latency in samples. Base: stores it.
    virtual void SetLatencySamples(int32_t samples);
    // Sends one MIDI message to the host. Base: false.
    virtual bool SendMidiMessage(IMidiMessage message);
    // Sends count messages in order; true when all were sent. Base: false
    // unless count is 0.
    virtual bool SendMidiMessages(const IMidiMessage* messages, int32_t count);

    // --- Host identification ---

    // Host code for a product string (case-insensitive substring table);
    // 0 for null or an unknown host.
    static int32_t IdentifyHost(const char* productString);
    void SetHost(const char* productString, int32_t version);

    // --- Parameter flow ---

    // A user edit from the editor: store, tell the host the value as
    // received, then HandleParameterChange. Out-of-range indexes are ignored.
    void SetParameterFromGUI(int32_t paramIndex, double normalizedValue);
    // A value set by the host: editor first, then store, then
    // HandleParameterChange. Out-of-range indexes are ignored.
    void SetParameterFromHost(int32_t paramIndex, double normalizedValue);
    // Normalised value for the host; 0.0 for an index outside the list.
    double GetParameterForHost(int32_t paramIndex);
    void NotifyAllParameters();
    void PushParamsToEditor();

    // Packed version, or major * 10000 + minor * 100 + revision when decimal.
    int32_t VersionNumber(bool decimal) const;

    // --- State and presets ---

    bool SerializeParamValues(IByteBuffer& buffer);
    int32_t UnserializeParams(const IByteBuffer& buffer, int32_t startPos);
    // Defines the next free preset: name, then one value per parameter, an
    // int for integer-valued kinds and a double for the others.
    void DefinePreset(const char* name, ...);
    void FillPresetsFromCurrent(const char* name, int32_t count);
    void EnsureOnePreset();
    // Empty string for an index outside the list.
    const char* PresetName(int32_t index) const;
    void NextUserPresetName(char* out, int outSize) const;
    bool LoadPreset(int32_t index);
    void StoreCurrentPreset(const char* name);

    // Chunk header: magic, then the framework state version. Returns false
    // when the buffer could not grow.
    static bool WriteChunkHeader(IByteBuffer& buffer);
    // Returns the position where the state starts: 8 after a full header, 0
    // for data without header, -1 for a header cut short. version gets the
    // header's version or 0. Never reads outside the buffer.
    static int32_t ReadChunkHeader(const IByteBuffer& buffer, int32_t* version);

    // --- Channel wiring ---

    // True when some configuration matches; a negative count matches any.
    bool LegalIO(int32_t nIn, int32_t nOut) const;
    void ConnectInputChannels(int32_t first, int32_t count, bool connected);
    void ConnectOutputChannels(int32_t first, int32_t count, bool connected);
    void ApplyStereoInputLimit();
    void BindInputsFromFloat(float** hostInputs, int32_t nFrames);
    void BindInputsFromDouble(double** hostInputs);
    void BindOutputsToFloat(float** hostOutputs);
    void BindOutputsToDouble(double** hostOutputs);
    // Run one bound host block of any length; blocks longer than blockSize
    // run in pieces here, so bindings never cut them themselves.
    void RunBlockAccumulating(int32_t nFrames);
    void RunBlockReplacing(int32_t nFrames);
    void RunBlockDouble(int32_t nFrames);

    // --- Accessors ---

    int32_t NParams() const { return static_cast<int32_t>(parameters.size()); }
    // Null for an index outside the list.
    IParameter* GetParam(int32_t index);
    const IParameter* GetParam(int32_t index) const;
    int32_t NPresets() const { return static_cast<int32_t>(presets.size()); }
    // Null for an index outside the list.
    const IPresetSlot* GetPreset(int32_t index) const;
    int32_t CurrentPreset() const { return currentPreset; }
    int32_t NChannelConfigs() const { return static_cast<int32_t>(channelConfigs.size()); }
    IChannelPair ChannelConfig(int32_t index) const;
    int32_t NInputs() const { return static_cast<int32_t>(inputChannels.size()); }
    int32_t NOutputs() const { return static_cast<int32_t>(outputChannels.size()); }
    bool InputConnected(int32_t index) const;
    bool OutputConnected(int32_t index) const;
    // Pointer entries handed to ProcessBlock; null for an index outside.
    double* InputPointer(int32_t index) const;
    double* OutputPointer(int32_t index) const;
    // Start of a channel's scratch block (null while empty or out of range).
    const double* InputScratch(int32_t index) const;
    const double* OutputScratch(int32_t index) const;

    const char* EffectName() const { return effectName; }
    const char* ProductName() const { return productName; }
    const char* VendorName() const { return vendorName; }
    int32_t UniqueId() const { return uniqueId; }
    int32_t VendorId() const { return vendorId; }
    int32_t HostCode() const { return hostCode; }
    int32_t HostVersion() const { return hostVersion; }
    bool DoesChunks() const { return doesChunks; }
    bool IsInstrument() const { return isInstrument; }
    double SampleRate() const { return sampleRate; }
    void SetSampleRate(double rate) { sampleRate = rate; }
    int32_t BlockSize() const { return blockSize; }
    int32_t Latency() const { return latency; }
    IGraphicsCore* Editor() const { return editor; }
    IEffectLock& Lock() { return lock; }

protected:
    enum class RunMode
    {
        Accumulate,
        Replace,
        Double,
    };
    void ParseChannelConfigs(const char* channelIOStr);
    void RunBlock(int32_t nFrames, RunMode mode);
    IPresetSlot* FirstFreePreset();

    std::vector<IChannelPair> channelConfigs;
    char effectName[kNameSize] = {};
    char productName[kNameSize] = {};
    char vendorName[kNameSize] = {};
    int32_t uniqueId;
    int32_t vendorId;
    int32_t version;
    int32_t hostCode = kHostNotAsked;
    int32_t hostVersion = 0;
    bool doesChunks;
    bool isInstrument;
    double sampleRate = 44100.0;
    int32_t blockSize = 0;
    int32_t latency;
    std::vector<std::unique_ptr<IParameter>> parameters;
    IGraphicsCore* editor = nullptr;
    std::vector<std::unique_ptr<IPresetSlot>> presets;
    int32_t currentPreset = 0;
    std::vector<double*> inputPointers;
    std::vector<double*> outputPointers;
    std::vector<IInputChannel> inputChannels;
    std::vector<IOutputChannel> outputChannels;
    IEffectLock lock;
};
