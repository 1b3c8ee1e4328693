// Everything `vsthost info` shows about a plug-in: the effect record, the
// identity strings, parameters, programs, pins, can-do answers and the editor
// size, gathered once and written as text or JSON.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class PluginInstance;

class PluginReport
{
public:
    struct Parameter
    {
        std::string name;
        std::string label;
        std::string display;
        float value = 0.0f;
    };

    struct Program
    {
        std::string name;
        // True when effGetProgramNameIndexed answered; false when the name was
        // read by selecting the program.
        bool indexed = false;
    };

    struct Pin
    {
        bool supplied = false;
        std::string label;
        std::string shortLabel;
        int32_t flags = 0;
        int32_t arrangementType = 0;
    };

    struct CanDo
    {
        std::string feature;
        int64_t answer = 0;
    };

    // Reads everything from an opened instance. Selecting programs to read
    // their names restores the program that was current.
    void Collect(const std::string& path, PluginInstance& plugin);

    std::string ToText() const;
    std::string ToJson() const;

    // The features the effect binding answers, asked in this order.
    static const std::vector<std::string>& CanDoStrings();

    // Names of the set effFlags bits ("HasEditor", ...; "bit N" when unknown).
    static std::vector<std::string> FlagNames(int32_t flags);

    static const char* CategoryName(int64_t category);

    // A four-character code as text; bytes that are not printable ASCII
    // become '?'.
    static std::string FourCharacters(int32_t code);

    // Can-do answers other than -1, 0 and 1 are flags packed into 32 bits
    // (0xbeef0000); they are reported as that unsigned 32-bit pattern so the
    // result is the same for 32- and 64-bit plug-ins.
    static int64_t NormaliseCanDo(int64_t answer);

    std::string path;
    std::string entryName;
    uint32_t magic = 0;
    int32_t flags = 0;
    int32_t uniqueId = 0;
    int32_t version = 0;
    int32_t numParams = 0;
    int32_t numPrograms = 0;
    int32_t numInputs = 0;
    int32_t numOutputs = 0;
    int32_t initialDelay = 0;
    std::string effectName;
    std::string vendorString;
    std::string productString;
    int64_t vendorVersion = 0;
    int64_t vstVersion = 0;
    int64_t category = 0;
    int64_t tailSize = 0;
    int64_t currentProgram = 0;
    std::vector<Parameter> parameters;
    std::vector<Program> programs;
    std::vector<Pin> inputs;
    std::vector<Pin> outputs;
    std::vector<CanDo> canDo;
    // False also when the plug-in failed or crashed while asked for it (an
    // editor that needs a display, for example).
    bool hasEditorRect = false;
    int16_t editorTop = 0;
    int16_t editorLeft = 0;
    int16_t editorBottom = 0;
    int16_t editorRight = 0;
    std::vector<std::string> warnings;
};
