// The command line of `vsthost editor`: the plug-in and the steps to run on
// its open editor, in order. Parsed and checked before anything is loaded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class EditorOptions
{
public:
    struct Step
    {
        enum class Kind
        {
            Screenshot, // text: the PNG file
            Click,
            RightClick,
            DoubleClick,
            Press,
            Release,
            Drag,  // x, y, dx, dy
            Wheel, // x, y, notches in dx
            Key,   // text: the key name
            Type,  // text
            SetParam,
            Wait, // milliseconds in x
            Reopen,
            Close,
            Program, // the host selects program `index`
            Render,  // text: IN.wav, text2: OUT.wav
        };
        Kind kind = Kind::Wait;
        int32_t x = 0;
        int32_t y = 0;
        int32_t dx = 0;
        int32_t dy = 0;
        bool shift = false;
        bool ctrl = false;
        // Milliseconds each press of a click or double click is held (0: as
        // fast as the input goes), from --hold before the step.
        int32_t hold = 0;
        std::string text;
        std::string text2;
        int32_t index = 0;
        float value = 0.0f;
    };

    // Parses the arguments after "editor". Throws HostError with a one-line
    // message on any malformed or missing argument.
    static EditorOptions Parse(const std::vector<std::string>& args);

    // The virtual-key code of a key name (Return, Escape, Tab, Space,
    // Backspace, Delete, Up, Down, Left, Right, Home, End, F1..F12, or one
    // letter or digit); -1 for an unknown name.
    static int32_t VirtualKey(const std::string& name);

    std::string plugin;
    std::vector<Step> steps;
    bool json = false;
};
