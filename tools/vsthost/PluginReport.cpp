#include "PluginReport.h"

#include "JsonWriter.h"
#include "Platform.h"
#include "PluginInstance.h"
#include "VstInterface.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace
{
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Format(const char* format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    return text;
}

std::string Quoted(const std::string& s)
{
    return JsonWriter::Quote(s);
}

std::string PinFlagText(int32_t flags)
{
    std::string text;
    const auto add = [&](const char* name)
    { text += text.empty() ? name : std::string(", ") + name; };
    if (flags & kVstPinIsActive)
    {
        add("active");
    }
    if (flags & kVstPinIsStereo)
    {
        add("stereo");
    }
    if (flags & kVstPinUseSpeaker)
    {
        add("use speaker");
    }
    return text.empty() ? "none" : text;
}

std::string CanDoText(int64_t answer)
{
    switch (answer)
    {
    case 1:
        return "1 (yes)";
    case 0:
        return "0 (don't know)";
    case -1:
        return "-1 (no)";
    default:
        return Format("0x%08" PRIx64, static_cast<uint64_t>(answer));
    }
}

void WritePins(JsonWriter& json, const std::vector<PluginReport::Pin>& pins)
{
    json.BeginArray();
    for (size_t i = 0; i < pins.size(); ++i)
    {
        const PluginReport::Pin& p = pins[i];
        json.BeginObject().Key("index").Int(static_cast<int64_t>(i));
        json.Key("supplied").Bool(p.supplied);
        json.Key("label").String(p.label).Key("shortLabel").String(p.shortLabel);
        json.Key("flags").Int(p.flags);
        json.Key("flagNames").BeginArray();
        if (p.flags & kVstPinIsActive)
        {
            json.String("active");
        }
        if (p.flags & kVstPinIsStereo)
        {
            json.String("stereo");
        }
        if (p.flags & kVstPinUseSpeaker)
        {
            json.String("useSpeaker");
        }
        json.EndArray();
        json.Key("arrangementType").Int(p.arrangementType).EndObject();
    }
    json.EndArray();
}

std::string PinsText(const char* title, const std::vector<PluginReport::Pin>& pins)
{
    std::string t = Format("%s (%d)\n", title, static_cast<int>(pins.size()));
    for (size_t i = 0; i < pins.size(); ++i)
    {
        const PluginReport::Pin& p = pins[i];
        if (!p.supplied)
        {
            t += Format("  %3d  (no properties supplied)\n", static_cast<int>(i));
            continue;
        }
        t += Format("  %3d  %s  short %s  flags 0x%x (%s)  arrangement %d\n", static_cast<int>(i),
                    Quoted(p.label).c_str(), Quoted(p.shortLabel).c_str(),
                    static_cast<unsigned>(p.flags), PinFlagText(p.flags).c_str(),
                    static_cast<int>(p.arrangementType));
    }
    return t;
}
} // namespace

const std::vector<std::string>& PluginReport::CanDoStrings()
{
    static const std::vector<std::string> strings = {
        "receiveVstTimeInfo",  "sendVstEvents",       "sendVstMidiEvent",     "receiveVstEvents",
        "receiveVstMidiEvent", "hasCockosExtensions", "hasCockosViewAsConfig"};
    return strings;
}

std::vector<std::string> PluginReport::FlagNames(int32_t flags)
{
    static const struct
    {
        int32_t bit;
        const char* name;
    } known[] = {{effFlagsHasEditor, "HasEditor"},
                 {effFlagsHasClip, "HasClip"},
                 {effFlagsHasVu, "HasVu"},
                 {effFlagsCanMono, "CanMono"},
                 {effFlagsCanReplacing, "CanReplacing"},
                 {effFlagsProgramChunks, "ProgramChunks"},
                 {effFlagsIsSynth, "IsSynth"},
                 {effFlagsNoSoundInStop, "NoSoundInStop"},
                 {effFlagsExtIsAsync, "ExtIsAsync"},
                 {effFlagsExtHasBuffer, "ExtHasBuffer"},
                 {effFlagsCanDoubleReplacing, "CanDoubleReplacing"}};
    std::vector<std::string> names;
    for (int bit = 0; bit < 32; ++bit)
    {
        const uint32_t mask = 1u << bit;
        if (!(static_cast<uint32_t>(flags) & mask))
        {
            continue;
        }
        std::string name = "bit " + std::to_string(bit);
        for (const auto& k : known)
        {
            if (static_cast<uint32_t>(k.bit) == mask)
            {
                name = k.name;
            }
        }
        names.push_back(name);
    }
    return names;
}

const char* PluginReport::CategoryName(int64_t category)
{
    static const char* const names[] = {"unknown",     "effect",         "synth",  "analysis",
                                        "mastering",   "spacializer",    "roomFx", "surroundFx",
                                        "restoration", "offlineProcess", "shell",  "generator"};
    if (category >= 0 && category < static_cast<int64_t>(sizeof(names) / sizeof(names[0])))
    {
        return names[category];
    }
    return "invalid";
}

std::string PluginReport::FourCharacters(int32_t code)
{
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        unsigned char c = static_cast<unsigned char>((static_cast<uint32_t>(code) >> shift) & 0xFF);
        s += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    }
    return s;
}

int64_t PluginReport::NormaliseCanDo(int64_t answer)
{
    if (answer >= -1 && answer <= 1)
    {
        return answer;
    }
    return static_cast<int64_t>(static_cast<uint32_t>(answer));
}

void PluginReport::Collect(const std::string& pluginPath, PluginInstance& plugin)
{
    AEffect* e = plugin.Effect();
    path = pluginPath;
    entryName = plugin.EntryName();
    magic = static_cast<uint32_t>(e->magic);
    flags = e->flags;
    uniqueId = e->uniqueID;
    version = e->version;
    numParams = e->numParams;
    numPrograms = e->numPrograms;
    numInputs = e->numInputs;
    numOutputs = e->numOutputs;
    initialDelay = e->initialDelay;
    warnings = plugin.Warnings();

    effectName = plugin.QueryText(effGetEffectName);
    vendorString = plugin.QueryText(effGetVendorString);
    productString = plugin.QueryText(effGetProductString);
    vendorVersion = plugin.Dispatch(effGetVendorVersion);
    vstVersion = plugin.Dispatch(effGetVstVersion);
    category = plugin.Dispatch(effGetPlugCategory);
    tailSize = plugin.Dispatch(effGetTailSize);

    parameters.clear();
    for (int32_t i = 0; i < plugin.Params(); ++i)
    {
        Parameter p;
        p.name = plugin.QueryText(effGetParamName, i);
        p.label = plugin.QueryText(effGetParamLabel, i);
        p.display = plugin.QueryText(effGetParamDisplay, i);
        p.value = e->getParameter ? e->getParameter(e, i) : 0.0f;
        parameters.push_back(p);
    }

    // Program names come last: the fallback selects programs, which changes
    // the parameter values shown above on many plug-ins.
    currentProgram = plugin.Dispatch(effGetProgram);
    programs.clear();
    bool selected = false;
    for (int32_t i = 0; i < plugin.Programs(); ++i)
    {
        Program p;
        VstIntPtr ok = 0;
        p.name = plugin.QueryText(effGetProgramNameIndexed, i, &ok);
        p.indexed = ok != 0;
        if (!p.indexed)
        {
            plugin.Dispatch(effSetProgram, 0, i);
            p.name = plugin.QueryText(effGetProgramName);
            selected = true;
        }
        programs.push_back(p);
    }
    if (selected)
    {
        plugin.Dispatch(effSetProgram, 0, static_cast<VstIntPtr>(currentProgram));
    }

    const auto readPins = [&](int32_t opcode, int32_t count, std::vector<Pin>& pins)
    {
        pins.clear();
        for (int32_t i = 0; i < count; ++i)
        {
            VstPinProperties props;
            std::memset(&props, 0, sizeof(props));
            Pin pin;
            pin.supplied = plugin.Dispatch(opcode, i, 0, &props) != 0;
            props.label[sizeof(props.label) - 1] = '\0';
            props.shortLabel[sizeof(props.shortLabel) - 1] = '\0';
            pin.label = props.label;
            pin.shortLabel = props.shortLabel;
            pin.flags = props.flags;
            pin.arrangementType = props.arrangementType;
            pins.push_back(pin);
        }
    };
    readPins(effGetInputProperties, plugin.Inputs(), inputs);
    readPins(effGetOutputProperties, plugin.Outputs(), outputs);

    canDo.clear();
    for (const std::string& feature : CanDoStrings())
    {
        std::string text = feature; // the plug-in gets a private, writable copy
        VstIntPtr answer = plugin.Dispatch(effCanDo, 0, 0, &text[0]);
        canDo.push_back(CanDo{feature, NormaliseCanDo(answer)});
    }

    hasEditorRect = false;
    if (flags & effFlagsHasEditor)
    {
        // Some editors need a display just to report their size and crash
        // without one; the question is asked in a child process where there is
        // one to lose.
        ERect copy{};
        bool ok = Platform::RunIsolated(
            [&](void* result)
            {
                ERect* rect = nullptr;
                plugin.Dispatch(effEditGetRect, 0, 0, &rect);
                if (!rect)
                {
                    return false;
                }
                std::memcpy(result, rect, sizeof(ERect));
                return true;
            },
            &copy, sizeof(copy));
        hasEditorRect = ok;
        if (ok)
        {
            editorTop = copy.top;
            editorLeft = copy.left;
            editorBottom = copy.bottom;
            editorRight = copy.right;
        }
    }
}

std::string PluginReport::ToText() const
{
    std::string t;
    t += Format("Plug-in          %s (entry %s)\n", path.c_str(), entryName.c_str());
    t += Format("Magic            0x%08" PRIx32 " (%s)\n", magic,
                FourCharacters(static_cast<int32_t>(magic)).c_str());
    std::string names;
    for (const std::string& n : FlagNames(flags))
    {
        names += (names.empty() ? "" : ", ") + n;
    }
    t += Format("Flags            0x%08" PRIx32 " (%s)\n", static_cast<uint32_t>(flags),
                names.empty() ? "none" : names.c_str());
    t += Format("Unique ID        %" PRId32 " (0x%08" PRIx32 ", '%s')\n", uniqueId,
                static_cast<uint32_t>(uniqueId), FourCharacters(uniqueId).c_str());
    t += Format("Version          %" PRId32 "\n", version);
    t += Format("Parameters       %" PRId32 "\n", numParams);
    t += Format("Programs         %" PRId32 "\n", numPrograms);
    t += Format("Inputs           %" PRId32 "\n", numInputs);
    t += Format("Outputs          %" PRId32 "\n", numOutputs);
    t += Format("Initial delay    %" PRId32 "\n", initialDelay);
    t += Format("Effect name      %s\n", Quoted(effectName).c_str());
    t += Format("Vendor           %s\n", Quoted(vendorString).c_str());
    t += Format("Product          %s\n", Quoted(productString).c_str());
    t += Format("Vendor version   %" PRId64 "\n", vendorVersion);
    t += Format("VST version      %" PRId64 "\n", vstVersion);
    t += Format("Category         %" PRId64 " (%s)\n", category, CategoryName(category));
    t += Format("Tail size        %" PRId64 "\n", tailSize);
    if (hasEditorRect)
    {
        t += Format("Editor           %d x %d (top %d, left %d, bottom %d, right %d)\n",
                    editorRight - editorLeft, editorBottom - editorTop, editorTop, editorLeft,
                    editorBottom, editorRight);
    }
    else if (flags & effFlagsHasEditor)
    {
        t += "Editor           yes, but no rectangle was supplied\n";
    }
    else
    {
        t += "Editor           none\n";
    }
    for (const std::string& w : warnings)
    {
        t += "Warning          " + w + "\n";
    }

    t += Format("\nParameters (%d)\n", static_cast<int>(parameters.size()));
    for (size_t i = 0; i < parameters.size(); ++i)
    {
        const Parameter& p = parameters[i];
        t += Format("  %3d  %-24s label %-10s display %-14s value %.9g\n", static_cast<int>(i),
                    Quoted(p.name).c_str(), Quoted(p.label).c_str(), Quoted(p.display).c_str(),
                    static_cast<double>(p.value));
    }

    t += Format("\nPrograms (%d, current %" PRId64 ")\n", static_cast<int>(programs.size()),
                currentProgram);
    for (size_t i = 0; i < programs.size(); ++i)
    {
        t += Format("  %3d  %s%s\n", static_cast<int>(i), Quoted(programs[i].name).c_str(),
                    programs[i].indexed ? "" : "  (by selecting)");
    }

    t += "\n" + PinsText("Inputs", inputs);
    t += "\n" + PinsText("Outputs", outputs);

    t += "\nCan do\n";
    for (const CanDo& c : canDo)
    {
        t += Format("  %-22s %s\n", c.feature.c_str(), CanDoText(c.answer).c_str());
    }
    return t;
}

std::string PluginReport::ToJson() const
{
    JsonWriter json;
    json.BeginObject();
    json.Key("path").String(path);
    json.Key("entry").String(entryName);
    json.Key("magic").Int(magic);
    json.Key("flags").Int(static_cast<uint32_t>(flags));
    json.Key("flagNames").BeginArray();
    for (const std::string& n : FlagNames(flags))
    {
        json.String(n);
    }
    json.EndArray();
    json.Key("uniqueId").Int(uniqueId);
    json.Key("uniqueIdText").String(FourCharacters(uniqueId));
    json.Key("version").Int(version);
    json.Key("numParams").Int(numParams);
    json.Key("numPrograms").Int(numPrograms);
    json.Key("numInputs").Int(numInputs);
    json.Key("numOutputs").Int(numOutputs);
    json.Key("initialDelay").Int(initialDelay);
    json.Key("effectName").String(effectName);
    json.Key("vendorString").String(vendorString);
    json.Key("productString").String(productString);
    json.Key("vendorVersion").Int(vendorVersion);
    json.Key("vstVersion").Int(vstVersion);
    json.Key("category").Int(category);
    json.Key("categoryName").String(CategoryName(category));
    json.Key("tailSize").Int(tailSize);
    json.Key("currentProgram").Int(currentProgram);

    json.Key("parameters").BeginArray();
    for (size_t i = 0; i < parameters.size(); ++i)
    {
        const Parameter& p = parameters[i];
        json.BeginObject().Key("index").Int(static_cast<int64_t>(i));
        json.Key("name").String(p.name).Key("label").String(p.label);
        json.Key("display").String(p.display).Key("value").Float(p.value).EndObject();
    }
    json.EndArray();

    json.Key("programs").BeginArray();
    for (size_t i = 0; i < programs.size(); ++i)
    {
        json.BeginObject()
            .Key("index")
            .Int(static_cast<int64_t>(i))
            .Key("name")
            .String(programs[i].name)
            .Key("indexed")
            .Bool(programs[i].indexed)
            .EndObject();
    }
    json.EndArray();

    json.Key("inputs");
    WritePins(json, inputs);
    json.Key("outputs");
    WritePins(json, outputs);

    json.Key("canDo").BeginObject();
    for (const CanDo& c : canDo)
    {
        json.Key(c.feature).Int(c.answer);
    }
    json.EndObject();

    json.Key("editor");
    if (hasEditorRect)
    {
        json.BeginObject()
            .Key("width")
            .Int(editorRight - editorLeft)
            .Key("height")
            .Int(editorBottom - editorTop)
            .Key("top")
            .Int(editorTop)
            .Key("left")
            .Int(editorLeft)
            .Key("bottom")
            .Int(editorBottom)
            .Key("right")
            .Int(editorRight)
            .EndObject();
    }
    else
    {
        json.Null();
    }

    json.Key("warnings").BeginArray();
    for (const std::string& w : warnings)
    {
        json.String(w);
    }
    json.EndArray();
    json.EndObject();
    return json.Text();
}
