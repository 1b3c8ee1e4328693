#include "EditorOptions.h"

#include "HostError.h"
#include "RenderOptions.h"

#include <cctype>

namespace
{
// "X,Y[,A,B]": exactly `count` integers separated by commas.
std::vector<int32_t> Numbers(const std::string& option, const std::string& text, size_t count)
{
    std::vector<int32_t> out;
    size_t start = 0;
    while (true)
    {
        size_t comma = text.find(',', start);
        std::string part =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        int64_t v = 0;
        if (!RenderOptions::ParseInt(part, v) || v < -32768 || v > 32767)
        {
            throw HostError(option + " takes " + std::to_string(count) +
                            " integers separated by commas, got '" + text + "'");
        }
        out.push_back(static_cast<int32_t>(v));
        if (comma == std::string::npos)
        {
            break;
        }
        start = comma + 1;
    }
    if (out.size() != count)
    {
        throw HostError(option + " takes " + std::to_string(count) +
                        " integers separated by commas, got '" + text + "'");
    }
    return out;
}
} // namespace

int32_t EditorOptions::VirtualKey(const std::string& name)
{
    struct Named
    {
        const char* name;
        int32_t vk;
    };
    static const Named named[] = {
        {"Return", 0x0D},    {"Enter", 0x0D},  {"Escape", 0x1B}, {"Tab", 0x09},  {"Space", 0x20},
        {"Backspace", 0x08}, {"Delete", 0x2E}, {"Up", 0x26},     {"Down", 0x28}, {"Left", 0x25},
        {"Right", 0x27},     {"Home", 0x24},   {"End", 0x23},
    };
    for (const Named& n : named)
    {
        if (name == n.name)
        {
            return n.vk;
        }
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
    {
        return std::toupper(static_cast<unsigned char>(name[0]));
    }
    if (name.size() >= 2 && name[0] == 'F')
    {
        int64_t n = 0;
        if (RenderOptions::ParseInt(name.substr(1), n) && n >= 1 && n <= 12)
        {
            return 0x70 + static_cast<int32_t>(n) - 1;
        }
    }
    return -1;
}

EditorOptions EditorOptions::Parse(const std::vector<std::string>& args)
{
    EditorOptions o;
    bool shift = false;
    bool ctrl = false;
    int32_t hold = 0;
    for (size_t i = 0; i < args.size(); ++i)
    {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string&
        {
            if (i + 1 >= args.size())
            {
                throw HostError(a + " needs a value");
            }
            return args[++i];
        };
        Step s;
        if (a == "--json")
        {
            o.json = true;
            continue;
        }
        if (a == "--shift")
        {
            shift = true;
            continue;
        }
        if (a == "--ctrl")
        {
            ctrl = true;
            continue;
        }
        if (a == "--hold")
        {
            int64_t ms = 0;
            const std::string& v = value();
            if (!RenderOptions::ParseInt(v, ms) || ms < 0 || ms > 2000)
            {
                throw HostError("--hold takes milliseconds 0..2000, got '" + v + "'");
            }
            hold = static_cast<int32_t>(ms);
            continue;
        }
        if (a == "--screenshot")
        {
            s.kind = Step::Kind::Screenshot;
            s.text = value();
        }
        else if (a == "--click" || a == "--right-click" || a == "--double-click" ||
                 a == "--press" || a == "--release")
        {
            s.kind = a == "--click"          ? Step::Kind::Click
                     : a == "--right-click"  ? Step::Kind::RightClick
                     : a == "--double-click" ? Step::Kind::DoubleClick
                     : a == "--press"        ? Step::Kind::Press
                                             : Step::Kind::Release;
            std::vector<int32_t> n = Numbers(a, value(), 2);
            s.x = n[0];
            s.y = n[1];
        }
        else if (a == "--drag")
        {
            s.kind = Step::Kind::Drag;
            std::vector<int32_t> n = Numbers(a, value(), 4);
            s.x = n[0];
            s.y = n[1];
            s.dx = n[2];
            s.dy = n[3];
        }
        else if (a == "--wheel")
        {
            s.kind = Step::Kind::Wheel;
            std::vector<int32_t> n = Numbers(a, value(), 3);
            s.x = n[0];
            s.y = n[1];
            s.dx = n[2];
        }
        else if (a == "--key")
        {
            s.kind = Step::Kind::Key;
            s.text = value();
            if (VirtualKey(s.text) < 0)
            {
                throw HostError("unknown key name '" + s.text + "'");
            }
        }
        else if (a == "--type")
        {
            s.kind = Step::Kind::Type;
            s.text = value();
        }
        else if (a == "--set-param")
        {
            s.kind = Step::Kind::SetParam;
            const std::string& v = value();
            size_t eq = v.find('=');
            int64_t index = 0;
            double x = 0.0;
            if (eq == std::string::npos || !RenderOptions::ParseInt(v.substr(0, eq), index) ||
                !RenderOptions::ParseDouble(v.substr(eq + 1), x) || index < 0 || index > 16383 ||
                x < 0.0 || x > 1.0)
            {
                throw HostError("--set-param takes INDEX=VALUE with VALUE in 0..1, got '" + v +
                                "'");
            }
            s.index = static_cast<int32_t>(index);
            s.value = static_cast<float>(x);
        }
        else if (a == "--wait")
        {
            s.kind = Step::Kind::Wait;
            int64_t ms = 0;
            const std::string& v = value();
            if (!RenderOptions::ParseInt(v, ms) || ms < 0 || ms > 600000)
            {
                throw HostError("--wait takes milliseconds 0..600000, got '" + v + "'");
            }
            s.x = static_cast<int32_t>(ms);
        }
        else if (a == "--program")
        {
            s.kind = Step::Kind::Program;
            int64_t n = 0;
            const std::string& v = value();
            if (!RenderOptions::ParseInt(v, n) || n < 0 || n > 16383)
            {
                throw HostError("--program takes a program number 0..16383, got '" + v + "'");
            }
            s.index = static_cast<int32_t>(n);
        }
        else if (a == "--render")
        {
            s.kind = Step::Kind::Render;
            s.text = value();
            s.text2 = value();
        }
        else if (a == "--reopen")
        {
            s.kind = Step::Kind::Reopen;
        }
        else if (a == "--close")
        {
            s.kind = Step::Kind::Close;
        }
        else if (!a.empty() && a[0] == '-')
        {
            throw HostError("unknown option " + a);
        }
        else if (o.plugin.empty())
        {
            o.plugin = a;
            continue;
        }
        else
        {
            throw HostError("editor takes one plug-in, got also " + a);
        }
        s.shift = shift;
        s.ctrl = ctrl;
        s.hold = hold;
        shift = false;
        ctrl = false;
        hold = 0;
        o.steps.push_back(s);
    }
    if (o.plugin.empty())
    {
        throw HostError("editor needs a PLUGIN");
    }
    if (shift || ctrl || hold)
    {
        throw HostError("--shift, --ctrl and --hold apply to the step that follows them");
    }
    return o;
}
