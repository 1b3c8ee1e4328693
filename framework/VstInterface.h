// Declarations of the VST 2.4 plug-in binary interface, as seen from both the
// plug-in and the host side. Header-only and free of framework dependencies so
// that plain host code (tools, tests) can include it on its own.
//
// Every record keeps its natural C layout; the layouts a host depends on are
// pinned by static assertions at the end of this file for 64-bit targets
// (Windows x64, Linux x86_64, identical layouts) and 32-bit Windows.
#ifndef VK_VST_INTERFACE_H
#define VK_VST_INTERFACE_H

#include <stddef.h>
#include <stdint.h>

// Every callback and the entry point use the C calling convention. On 32-bit
// Windows a stdcall entry point would be exported as "VSTPluginMain@4" and
// hosts would not find it, so the convention is spelled out; x64 ignores it.
#if defined(_WIN32)
#define VSTCALLBACK __cdecl
#else
#define VSTCALLBACK
#endif

#ifdef __cplusplus
extern "C"
{
#endif

    typedef int32_t VstInt32;
    // Pointer-sized: `long` would be only 4 bytes on Win64.
    typedef intptr_t VstIntPtr;

    typedef struct AEffect AEffect;

    typedef VstIntPtr(VSTCALLBACK* audioMasterCallback)(AEffect* effect, VstInt32 opcode,
                                                        VstInt32 index, VstIntPtr value, void* ptr,
                                                        float opt);
    typedef VstIntPtr(VSTCALLBACK* AEffectDispatcherProc)(AEffect* effect, VstInt32 opcode,
                                                          VstInt32 index, VstIntPtr value,
                                                          void* ptr, float opt);
    typedef void(VSTCALLBACK* AEffectProcessProc)(AEffect* effect, float** inputs, float** outputs,
                                                  VstInt32 sampleFrames);
    typedef void(VSTCALLBACK* AEffectProcessDoubleProc)(AEffect* effect, double** inputs,
                                                        double** outputs, VstInt32 sampleFrames);
    typedef void(VSTCALLBACK* AEffectSetParameterProc)(AEffect* effect, VstInt32 index,
                                                       float value);
    typedef float(VSTCALLBACK* AEffectGetParameterProc)(AEffect* effect, VstInt32 index);

    // Exported as both "VSTPluginMain" and the legacy "main"; returns null on failure.
    typedef AEffect*(VSTCALLBACK* VstPluginEntryProc)(audioMasterCallback host);

    enum VstConstants
    {
        kEffectMagic = 0x56737450, // 'VstP' packed most-significant first
        kVstVersion = 2400
    };

    struct AEffect
    {
        VstInt32 magic;
        AEffectDispatcherProc dispatcher;
        AEffectProcessProc process; // accumulating; deprecated but must stay valid
        AEffectSetParameterProc setParameter;
        AEffectGetParameterProc getParameter;
        VstInt32 numPrograms;
        VstInt32 numParams;
        VstInt32 numInputs;
        VstInt32 numOutputs;
        VstInt32 flags; // followed by 4 padding bytes on 64-bit: zero the record
        VstIntPtr resvd1;
        VstIntPtr resvd2;
        VstInt32 initialDelay;
        VstInt32 realQualities;
        VstInt32 offQualities;
        float ioRatio;
        void* object;
        void* user;
        VstInt32 uniqueID;
        VstInt32 version;
        AEffectProcessProc processReplacing;
        AEffectProcessDoubleProc processDoubleReplacing;
        char future[56];
    };

    enum VstAEffectFlags
    {
        effFlagsHasEditor = 1 << 0,
        effFlagsHasClip = 1 << 1,
        effFlagsHasVu = 1 << 2,
        effFlagsCanMono = 1 << 3,
        effFlagsCanReplacing = 1 << 4,
        effFlagsProgramChunks = 1 << 5,
        effFlagsIsSynth = 1 << 8,
        effFlagsNoSoundInStop = 1 << 9,
        effFlagsExtIsAsync = 1 << 10,
        effFlagsExtHasBuffer = 1 << 11,
        effFlagsCanDoubleReplacing = 1 << 12
    };

    // Host -> plug-in dispatcher opcodes.
    enum AEffectOpcodes
    {
        effOpen = 0,
        effClose,
        effSetProgram,
        effGetProgram,
        effSetProgramName,
        effGetProgramName,
        effGetParamLabel,
        effGetParamDisplay,
        effGetParamName,
        effGetVu,
        effSetSampleRate, // rate in opt
        effSetBlockSize,
        effMainsChanged,
        effEditGetRect, // ptr = address of an ERect*
        effEditOpen,
        effEditClose,
        effEditDraw,
        effEditMouse,
        effEditKey,
        effEditIdle,
        effEditTop,
        effEditSleep,
        effIdentify,
        effGetChunk, // ptr = address of a void*; returns the size
        effSetChunk,
        effProcessEvents,
        effCanBeAutomated,
        effString2Parameter,
        effGetNumProgramCategories,
        effGetProgramNameIndexed,
        effCopyProgram,
        effConnectInput,
        effConnectOutput,
        effGetInputProperties,
        effGetOutputProperties,
        effGetPlugCategory,
        effGetCurrentPosition,
        effGetDestinationBuffer,
        effOfflineNotify,
        effOfflinePrepare,
        effOfflineRun,
        effProcessVarIo,
        effSetSpeakerArrangement, // input arrangement pointer in value
        effSetBlockSizeAndSampleRate,
        effSetBypass,
        effGetEffectName,
        effGetErrorText,
        effGetVendorString,
        effGetProductString,
        effGetVendorVersion,
        effVendorSpecific,
        effCanDo,
        effGetTailSize,
        effIdle,
        effGetIcon,
        effSetViewPosition,
        effGetParameterProperties,
        effKeysRequired,
        effGetVstVersion,
        effEditKeyDown,
        effEditKeyUp,
        effSetEditKnobMode,
        effGetMidiProgramName,
        effGetCurrentMidiProgram,
        effGetMidiProgramCategory,
        effHasMidiProgramsChanged,
        effGetMidiKeyName,
        effBeginSetProgram,
        effEndSetProgram,
        effGetSpeakerArrangement, // value and ptr = addresses of arrangement pointers
        effShellGetNextPlugin,
        effStartProcess,
        effStopProcess,
        effSetTotalSampleToProcess,
        effSetPanLaw,
        effBeginLoadBank,
        effBeginLoadProgram,
        effSetProcessPrecision,
        effGetNumMidiInputChannels,
        effGetNumMidiOutputChannels
    };

    // Plug-in -> host callback opcodes.
    enum AudioMasterOpcodes
    {
        audioMasterAutomate = 0,
        audioMasterVersion,
        audioMasterCurrentId,
        audioMasterIdle,
        audioMasterPinConnected,
        audioMasterWantMidi = 6,
        audioMasterGetTime, // value = mask of kVst...Valid bits; returns VstTimeInfo*
        audioMasterProcessEvents,
        audioMasterSetTime,
        audioMasterTempoAt,
        audioMasterGetNumAutomatableParameters,
        audioMasterGetParameterQuantization,
        audioMasterIOChanged,
        audioMasterNeedIdle,
        audioMasterSizeWindow, // index = width, value = height
        audioMasterGetSampleRate,
        audioMasterGetBlockSize,
        audioMasterGetInputLatency,
        audioMasterGetOutputLatency,
        audioMasterGetPreviousPlug,
        audioMasterGetNextPlug,
        audioMasterWillReplaceOrAccumulate,
        audioMasterGetCurrentProcessLevel,
        audioMasterGetAutomationState,
        audioMasterOfflineStart,
        audioMasterOfflineRead,
        audioMasterOfflineWrite,
        audioMasterOfflineGetCurrentPass,
        audioMasterOfflineGetCurrentMetaPass,
        audioMasterSetOutputSampleRate,
        audioMasterGetOutputSpeakerArrangement,
        audioMasterGetVendorString,
        audioMasterGetProductString,
        audioMasterGetVendorVersion,
        audioMasterVendorSpecific,
        audioMasterSetIcon,
        audioMasterCanDo,
        audioMasterGetLanguage,
        audioMasterOpenWindow,
        audioMasterCloseWindow,
        audioMasterGetDirectory,
        audioMasterUpdateDisplay,
        audioMasterBeginEdit,
        audioMasterEndEdit,
        audioMasterOpenFileSelector,
        audioMasterCloseFileSelector,
        audioMasterEditFile,
        audioMasterGetChunkFile,
        audioMasterGetInputSpeakerArrangement
    };

    // Buffer sizes (including the terminating zero) the receiver may assume.
    enum VstStringConstants
    {
        kVstMaxProgNameLen = 24,
        kVstMaxParamStrLen = 8,
        kVstMaxVendorStrLen = 64,
        kVstMaxProductStrLen = 64,
        kVstMaxEffectNameLen = 32,
        kVstMaxNameLen = 64,
        kVstMaxLabelLen = 64,
        kVstMaxShortLabelLen = 8,
        kVstMaxCategLabelLen = 24,
        kVstMaxFileNameLen = 100
    };

    enum VstPlugCategory
    {
        kPlugCategUnknown = 0,
        kPlugCategEffect,
        kPlugCategSynth,
        kPlugCategAnalysis,
        kPlugCategMastering,
        kPlugCategSpacializer,
        kPlugCategRoomFx,
        kPlugSurroundFx,
        kPlugCategRestoration,
        kPlugCategOfflineProcess,
        kPlugCategShell,
        kPlugCategGenerator,
        kPlugCategMaxCount
    };

    enum VstProcessPrecision
    {
        kVstProcessPrecision32 = 0,
        kVstProcessPrecision64
    };

    enum VstProcessLevels
    {
        kVstProcessLevelUnknown = 0,
        kVstProcessLevelUser,
        kVstProcessLevelRealtime,
        kVstProcessLevelPrefetch,
        kVstProcessLevelOffline
    };

    enum VstAutomationStates
    {
        kVstAutomationUnsupported = 0,
        kVstAutomationOff,
        kVstAutomationRead,
        kVstAutomationWrite,
        kVstAutomationReadWrite
    };

    enum VstHostLanguage
    {
        kVstLangEnglish = 1,
        kVstLangGerman,
        kVstLangFrench,
        kVstLangItalian,
        kVstLangSpanish,
        kVstLangJapanese
    };

    // Editor rectangle: top, left, bottom, right (in this order).
    typedef struct ERect
    {
        int16_t top;
        int16_t left;
        int16_t bottom;
        int16_t right;
    } ERect;

    typedef struct VstTimeInfo
    {
        double samplePos;
        double sampleRate;
        double nanoSeconds;
        double ppqPos;
        double tempo;
        double barStartPos;
        double cycleStartPos;
        double cycleEndPos;
        VstInt32 timeSigNumerator;
        VstInt32 timeSigDenominator;
        VstInt32 smpteOffset;
        VstInt32 smpteFrameRate;
        VstInt32 samplesToNextClock;
        VstInt32 flags;
    } VstTimeInfo;

    enum VstTimeInfoFlags
    {
        kVstTransportChanged = 1 << 0,
        kVstTransportPlaying = 1 << 1,
        kVstTransportCycleActive = 1 << 2,
        kVstTransportRecording = 1 << 3,
        kVstAutomationWriting = 1 << 6,
        kVstAutomationReading = 1 << 7,
        kVstNanosValid = 1 << 8,
        kVstPpqPosValid = 1 << 9,
        kVstTempoValid = 1 << 10,
        kVstBarsValid = 1 << 11,
        kVstCyclePosValid = 1 << 12,
        kVstTimeSigValid = 1 << 13,
        kVstSmpteValid = 1 << 14,
        kVstClockValid = 1 << 15
    };

    enum VstSmpteFrameRate
    {
        kVstSmpte24fps = 0,
        kVstSmpte25fps = 1,
        kVstSmpte2997fps = 2,
        kVstSmpte30fps = 3,
        kVstSmpte2997dfps = 4,
        kVstSmpte30dfps = 5,
        kVstSmpteFilm16mm = 6,
        kVstSmpteFilm35mm = 7,
        kVstSmpte239fps = 10,
        kVstSmpte249fps = 11,
        kVstSmpte599fps = 12,
        kVstSmpte60fps = 13
    };

    enum VstEventTypes
    {
        kVstMidiType = 1,
        kVstSysExType = 6
    };

    enum VstMidiEventFlags
    {
        kVstMidiEventIsRealtime = 1
    };

    // Generic event header; the 16 data bytes depend on the type.
    typedef struct VstEvent
    {
        VstInt32 type;
        VstInt32 byteSize;
        VstInt32 deltaFrames;
        VstInt32 flags;
        char data[16];
    } VstEvent;

    typedef struct VstMidiEvent
    {
        VstInt32 type;
        VstInt32 byteSize;
        VstInt32 deltaFrames;
        VstInt32 flags;
        VstInt32 noteLength;
        VstInt32 noteOffset;
        char midiData[4];
        signed char detune;
        unsigned char noteOffVelocity;
        signed char reserved1;
        signed char reserved2;
    } VstMidiEvent;

    typedef struct VstMidiSysexEvent
    {
        VstInt32 type;
        VstInt32 byteSize;
        VstInt32 deltaFrames;
        VstInt32 flags;
        VstInt32 dumpBytes;
        VstIntPtr resvd1;
        char* sysexDump;
        VstIntPtr resvd2;
    } VstMidiSysexEvent;

    // Variable length: numEvents pointers follow `reserved`, however many are
    // declared here. The two declared slots are the least a sender allocates
    // (a list of one or two events fits the record as declared); senders with
    // more allocate the extra room. A receiver reads the pointers through
    // VstEventList, never as events[i]: indexing the declared array past its
    // two slots is undefined, and compilers may cut a loop over it short.
    typedef struct VstEvents
    {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[2];
    } VstEvents;

    // The numEvents event pointers of a list, taken from where the pointer
    // array starts rather than through its declared bound.
    static inline VstEvent* const* VstEventList(const VstEvents* list)
    {
        return (VstEvent* const*)((const char*)list + offsetof(VstEvents, events));
    }

    enum VstPinPropertiesFlags
    {
        kVstPinIsActive = 1 << 0,
        kVstPinIsStereo = 1 << 1,
        kVstPinUseSpeaker = 1 << 2
    };

    // Hosts allocate all 128 bytes; some hosts only provide the first 80, so a
    // plug-in writes no further than shortLabel.
    typedef struct VstPinProperties
    {
        char label[kVstMaxLabelLen];
        VstInt32 flags;
        VstInt32 arrangementType;
        char shortLabel[kVstMaxShortLabelLen];
        char future[48];
    } VstPinProperties;

    enum VstSpeakerArrangementType
    {
        kSpeakerArrUserDefined = -2,
        kSpeakerArrEmpty = -1,
        kSpeakerArrMono = 0,
        kSpeakerArrStereo,
        kSpeakerArrStereoSurround,
        kSpeakerArrStereoCenter,
        kSpeakerArrStereoSide,
        kSpeakerArrStereoCLfe,
        kSpeakerArr30Cine,
        kSpeakerArr30Music,
        kSpeakerArr31Cine,
        kSpeakerArr31Music,
        kSpeakerArr40Cine,
        kSpeakerArr40Music,
        kSpeakerArr41Cine,
        kSpeakerArr41Music,
        kSpeakerArr50,
        kSpeakerArr51,
        kSpeakerArr60Cine,
        kSpeakerArr60Music,
        kSpeakerArr61Cine,
        kSpeakerArr61Music,
        kSpeakerArr70Cine,
        kSpeakerArr70Music,
        kSpeakerArr71Cine,
        kSpeakerArr71Music,
        kSpeakerArr80Cine,
        kSpeakerArr80Music,
        kSpeakerArr81Cine,
        kSpeakerArr81Music,
        kSpeakerArr102,
        kNumSpeakerArr
    };

    enum VstSpeakerType
    {
        kSpeakerUndefined = 0x7fffffff,
        kSpeakerM = 0,
        kSpeakerL,
        kSpeakerR,
        kSpeakerC,
        kSpeakerLfe,
        kSpeakerLs,
        kSpeakerRs,
        kSpeakerLc,
        kSpeakerRc,
        kSpeakerS,
        kSpeakerCs = kSpeakerS,
        kSpeakerSl,
        kSpeakerSr,
        kSpeakerTm,
        kSpeakerTfl,
        kSpeakerTfc,
        kSpeakerTfr,
        kSpeakerTrl,
        kSpeakerTrc,
        kSpeakerTrr,
        kSpeakerLfe2
    };

    typedef struct VstSpeakerProperties
    {
        float azimuth;
        float elevation;
        float radius;
        float reserved;
        char name[kVstMaxNameLen];
        VstInt32 type;
        char future[28];
    } VstSpeakerProperties;

    // Variable length: only numChannels speakers are meaningful, and a host may
    // allocate more than the eight declared here.
    typedef struct VstSpeakerArrangement
    {
        VstInt32 type;
        VstInt32 numChannels;
        VstSpeakerProperties speakers[8];
    } VstSpeakerArrangement;

    typedef struct MidiKeyName
    {
        VstInt32 thisProgramIndex;
        VstInt32 thisKeyNumber;
        char keyName[kVstMaxNameLen];
        VstInt32 reserved;
        VstInt32 flags;
    } MidiKeyName;

    enum VstParameterFlags
    {
        kVstParameterIsSwitch = 1 << 0,
        kVstParameterUsesIntegerMinMax = 1 << 1,
        kVstParameterUsesFloatStep = 1 << 2,
        kVstParameterUsesIntStep = 1 << 3,
        kVstParameterSupportsDisplayIndex = 1 << 4,
        kVstParameterSupportsDisplayCategory = 1 << 5,
        kVstParameterCanRamp = 1 << 6
    };

    typedef struct VstParameterProperties
    {
        float stepFloat;
        float smallStepFloat;
        float largeStepFloat;
        char label[kVstMaxLabelLen];
        VstInt32 flags;
        VstInt32 minInteger;
        VstInt32 maxInteger;
        VstInt32 stepInteger;
        VstInt32 largeStepInteger;
        char shortLabel[kVstMaxShortLabelLen];
        int16_t displayIndex;
        int16_t category;
        int16_t numParametersInCategory;
        int16_t reserved;
        char categoryLabel[kVstMaxCategLabelLen];
        char future[16];
    } VstParameterProperties;

#ifdef __cplusplus
} // extern "C"
#endif

// ---------------------------------------------------------------------------
// Layout checks. VST_LAYOUT_64 / VST_LAYOUT_32 pick the expected value for the
// pointer width being compiled; 64-bit Windows and Linux share one layout.

#ifdef __cplusplus
#define VST_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define VST_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

#define VST_LAYOUT(v64, v32) (sizeof(void*) == 8 ? (size_t)(v64) : (size_t)(v32))
#define VST_CHECK_OFFSET(rec, field, v64, v32)                                                     \
    VST_STATIC_ASSERT(offsetof(rec, field) == VST_LAYOUT(v64, v32), #rec "." #field " offset")
#define VST_CHECK_SIZE(rec, v64, v32)                                                              \
    VST_STATIC_ASSERT(sizeof(rec) == VST_LAYOUT(v64, v32), "sizeof(" #rec ")")

VST_STATIC_ASSERT(sizeof(void*) == 8 || sizeof(void*) == 4, "only 32- and 64-bit targets");
VST_STATIC_ASSERT(sizeof(VstInt32) == 4, "VstInt32 is 32 bits");
VST_STATIC_ASSERT(sizeof(VstIntPtr) == sizeof(void*), "VstIntPtr is pointer-sized");
VST_STATIC_ASSERT(sizeof(float) == 4 && sizeof(double) == 8, "IEEE float and double");

VST_CHECK_OFFSET(AEffect, magic, 0, 0);
VST_CHECK_OFFSET(AEffect, dispatcher, 8, 4);
VST_CHECK_OFFSET(AEffect, process, 16, 8);
VST_CHECK_OFFSET(AEffect, setParameter, 24, 12);
VST_CHECK_OFFSET(AEffect, getParameter, 32, 16);
VST_CHECK_OFFSET(AEffect, numPrograms, 40, 20);
VST_CHECK_OFFSET(AEffect, numParams, 44, 24);
VST_CHECK_OFFSET(AEffect, numInputs, 48, 28);
VST_CHECK_OFFSET(AEffect, numOutputs, 52, 32);
VST_CHECK_OFFSET(AEffect, flags, 56, 36);
VST_CHECK_OFFSET(AEffect, resvd1, 64, 40);
VST_CHECK_OFFSET(AEffect, resvd2, 72, 44);
VST_CHECK_OFFSET(AEffect, initialDelay, 80, 48);
VST_CHECK_OFFSET(AEffect, realQualities, 84, 52);
VST_CHECK_OFFSET(AEffect, offQualities, 88, 56);
VST_CHECK_OFFSET(AEffect, ioRatio, 92, 60);
VST_CHECK_OFFSET(AEffect, object, 96, 64);
VST_CHECK_OFFSET(AEffect, user, 104, 68);
VST_CHECK_OFFSET(AEffect, uniqueID, 112, 72);
VST_CHECK_OFFSET(AEffect, version, 116, 76);
VST_CHECK_OFFSET(AEffect, processReplacing, 120, 80);
VST_CHECK_OFFSET(AEffect, processDoubleReplacing, 128, 84);
VST_CHECK_OFFSET(AEffect, future, 136, 88);
VST_CHECK_SIZE(AEffect, 192, 144);

VST_CHECK_OFFSET(ERect, top, 0, 0);
VST_CHECK_OFFSET(ERect, left, 2, 2);
VST_CHECK_OFFSET(ERect, bottom, 4, 4);
VST_CHECK_OFFSET(ERect, right, 6, 6);
VST_CHECK_SIZE(ERect, 8, 8);

VST_CHECK_OFFSET(VstTimeInfo, samplePos, 0, 0);
VST_CHECK_OFFSET(VstTimeInfo, sampleRate, 8, 8);
VST_CHECK_OFFSET(VstTimeInfo, nanoSeconds, 16, 16);
VST_CHECK_OFFSET(VstTimeInfo, ppqPos, 24, 24);
VST_CHECK_OFFSET(VstTimeInfo, tempo, 32, 32);
VST_CHECK_OFFSET(VstTimeInfo, barStartPos, 40, 40);
VST_CHECK_OFFSET(VstTimeInfo, cycleStartPos, 48, 48);
VST_CHECK_OFFSET(VstTimeInfo, cycleEndPos, 56, 56);
VST_CHECK_OFFSET(VstTimeInfo, timeSigNumerator, 64, 64);
VST_CHECK_OFFSET(VstTimeInfo, timeSigDenominator, 68, 68);
VST_CHECK_OFFSET(VstTimeInfo, smpteOffset, 72, 72);
VST_CHECK_OFFSET(VstTimeInfo, smpteFrameRate, 76, 76);
VST_CHECK_OFFSET(VstTimeInfo, samplesToNextClock, 80, 80);
VST_CHECK_OFFSET(VstTimeInfo, flags, 84, 84);
VST_CHECK_SIZE(VstTimeInfo, 88, 88);

VST_CHECK_OFFSET(VstEvent, type, 0, 0);
VST_CHECK_OFFSET(VstEvent, byteSize, 4, 4);
VST_CHECK_OFFSET(VstEvent, deltaFrames, 8, 8);
VST_CHECK_OFFSET(VstEvent, flags, 12, 12);
VST_CHECK_OFFSET(VstEvent, data, 16, 16);
VST_CHECK_SIZE(VstEvent, 32, 32);

VST_CHECK_OFFSET(VstMidiEvent, type, 0, 0);
VST_CHECK_OFFSET(VstMidiEvent, byteSize, 4, 4);
VST_CHECK_OFFSET(VstMidiEvent, deltaFrames, 8, 8);
VST_CHECK_OFFSET(VstMidiEvent, flags, 12, 12);
VST_CHECK_OFFSET(VstMidiEvent, noteLength, 16, 16);
VST_CHECK_OFFSET(VstMidiEvent, noteOffset, 20, 20);
VST_CHECK_OFFSET(VstMidiEvent, midiData, 24, 24);
VST_CHECK_OFFSET(VstMidiEvent, detune, 28, 28);
VST_CHECK_OFFSET(VstMidiEvent, noteOffVelocity, 29, 29);
VST_CHECK_OFFSET(VstMidiEvent, reserved1, 30, 30);
VST_CHECK_OFFSET(VstMidiEvent, reserved2, 31, 31);
VST_CHECK_SIZE(VstMidiEvent, 32, 32);

VST_CHECK_OFFSET(VstMidiSysexEvent, type, 0, 0);
VST_CHECK_OFFSET(VstMidiSysexEvent, byteSize, 4, 4);
VST_CHECK_OFFSET(VstMidiSysexEvent, deltaFrames, 8, 8);
VST_CHECK_OFFSET(VstMidiSysexEvent, flags, 12, 12);
VST_CHECK_OFFSET(VstMidiSysexEvent, dumpBytes, 16, 16);
VST_CHECK_OFFSET(VstMidiSysexEvent, resvd1, 24, 20);
VST_CHECK_OFFSET(VstMidiSysexEvent, sysexDump, 32, 24);
VST_CHECK_OFFSET(VstMidiSysexEvent, resvd2, 40, 28);
VST_CHECK_SIZE(VstMidiSysexEvent, 48, 32);

VST_CHECK_OFFSET(VstEvents, numEvents, 0, 0);
VST_CHECK_OFFSET(VstEvents, reserved, 8, 4);
VST_CHECK_OFFSET(VstEvents, events, 16, 8);
VST_CHECK_SIZE(VstEvents, 32, 16);

VST_CHECK_OFFSET(VstPinProperties, label, 0, 0);
VST_CHECK_OFFSET(VstPinProperties, flags, 64, 64);
VST_CHECK_OFFSET(VstPinProperties, arrangementType, 68, 68);
VST_CHECK_OFFSET(VstPinProperties, shortLabel, 72, 72);
VST_CHECK_OFFSET(VstPinProperties, future, 80, 80);
VST_CHECK_SIZE(VstPinProperties, 128, 128);

VST_CHECK_OFFSET(VstSpeakerProperties, azimuth, 0, 0);
VST_CHECK_OFFSET(VstSpeakerProperties, elevation, 4, 4);
VST_CHECK_OFFSET(VstSpeakerProperties, radius, 8, 8);
VST_CHECK_OFFSET(VstSpeakerProperties, reserved, 12, 12);
VST_CHECK_OFFSET(VstSpeakerProperties, name, 16, 16);
VST_CHECK_OFFSET(VstSpeakerProperties, type, 80, 80);
VST_CHECK_OFFSET(VstSpeakerProperties, future, 84, 84);
VST_CHECK_SIZE(VstSpeakerProperties, 112, 112);

VST_CHECK_OFFSET(VstSpeakerArrangement, type, 0, 0);
VST_CHECK_OFFSET(VstSpeakerArrangement, numChannels, 4, 4);
VST_CHECK_OFFSET(VstSpeakerArrangement, speakers, 8, 8);
VST_CHECK_SIZE(VstSpeakerArrangement, 904, 904);

VST_CHECK_OFFSET(MidiKeyName, thisProgramIndex, 0, 0);
VST_CHECK_OFFSET(MidiKeyName, thisKeyNumber, 4, 4);
VST_CHECK_OFFSET(MidiKeyName, keyName, 8, 8);
VST_CHECK_OFFSET(MidiKeyName, reserved, 72, 72);
VST_CHECK_OFFSET(MidiKeyName, flags, 76, 76);
VST_CHECK_SIZE(MidiKeyName, 80, 80);

VST_CHECK_OFFSET(VstParameterProperties, stepFloat, 0, 0);
VST_CHECK_OFFSET(VstParameterProperties, smallStepFloat, 4, 4);
VST_CHECK_OFFSET(VstParameterProperties, largeStepFloat, 8, 8);
VST_CHECK_OFFSET(VstParameterProperties, label, 12, 12);
VST_CHECK_OFFSET(VstParameterProperties, flags, 76, 76);
VST_CHECK_OFFSET(VstParameterProperties, minInteger, 80, 80);
VST_CHECK_OFFSET(VstParameterProperties, maxInteger, 84, 84);
VST_CHECK_OFFSET(VstParameterProperties, stepInteger, 88, 88);
VST_CHECK_OFFSET(VstParameterProperties, largeStepInteger, 92, 92);
VST_CHECK_OFFSET(VstParameterProperties, shortLabel, 96, 96);
VST_CHECK_OFFSET(VstParameterProperties, displayIndex, 104, 104);
VST_CHECK_OFFSET(VstParameterProperties, category, 106, 106);
VST_CHECK_OFFSET(VstParameterProperties, numParametersInCategory, 108, 108);
VST_CHECK_OFFSET(VstParameterProperties, reserved, 110, 110);
VST_CHECK_OFFSET(VstParameterProperties, categoryLabel, 112, 112);
VST_CHECK_OFFSET(VstParameterProperties, future, 136, 136);
VST_CHECK_SIZE(VstParameterProperties, 152, 152);

#endif // VK_VST_INTERFACE_H
