#include "EditorSession.h"

#include "AudioFileReader.h"
#include "AudioFileWriter.h"
#include "HostCallback.h"
#include "HostError.h"
#include "JsonWriter.h"
#include "PendingFile.h"
#include "Platform.h"
#include "PluginInstance.h"
#include "Renderer.h"

#include <windows.h>

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace
{
// Time given to the editor after each step: several ticks of a 24 per second
// timer, so that what the step changed is painted before the next one.
constexpr DWORD kSettleMs = 250;
// The editor window's position on the screen.
constexpr int kFrameX = 40;
constexpr int kFrameY = 40;

LRESULT CALLBACK FrameProcedure(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The frame belongs to the session; nothing closes it but the session.
    if (message == WM_CLOSE)
    {
        return 0;
    }
    return DefWindowProcW(w, message, wParam, lParam);
}

void Pump(DWORD ms)
{
    const DWORD start = GetTickCount();
    while (true)
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
        {
            break;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed < 10 ? ms - elapsed : 10,
                                  QS_ALLINPUT);
    }
}

class Session
{
public:
    explicit Session(const EditorOptions& o) : options(o) {}
    ~Session()
    {
        if (open)
        {
            plugin.Dispatch(effEditClose);
        }
        if (frame)
        {
            DestroyWindow(frame);
        }
        if (classAtom)
        {
            UnregisterClassW(L"VsthostEditorFrame", GetModuleHandleW(nullptr));
        }
    }

    std::string Run()
    {
        plugin.Load(options.plugin, &HostCallback::Dispatch);
        plugin.Open();
        plugin.Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        plugin.Dispatch(effSetBlockSize, 0, 512);
        if (!(plugin.Effect()->flags & effFlagsHasEditor))
        {
            throw HostError(options.plugin + " has no editor");
        }
        MakeFrame();
        OpenEditor();
        for (const EditorOptions::Step& s : options.steps)
        {
            RunStep(s);
            Pump(kSettleMs);
            Collect();
        }
        if (open)
        {
            plugin.Dispatch(effEditClose);
            open = false;
            Pump(50);
        }
        Collect();
        std::string report = options.json ? Json() : Text();
        plugin.Close();
        return report;
    }

private:
    struct Event
    {
        std::string kind; // beginEdit, automate, endEdit, size
        int32_t index = 0;
        float value = 0.0f;
        int32_t width = 0;
        int32_t height = 0;
    };

    void MakeFrame()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &FrameProcedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = L"VsthostEditorFrame";
        classAtom = RegisterClassW(&wc);
        if (!classAtom)
        {
            throw HostError("cannot register the editor frame's class: " +
                            Platform::LastErrorText());
        }
        // A frame without borders or caption: its client area is the window,
        // so editor coordinates map to the screen by one offset.
        frame = CreateWindowExW(WS_EX_TOPMOST, L"VsthostEditorFrame", L"vsthost editor",
                                WS_POPUP | WS_VISIBLE, kFrameX, kFrameY, 64, 64, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        if (!frame)
        {
            throw HostError("cannot create the editor frame: " + Platform::LastErrorText());
        }
        SetForegroundWindow(frame);
        Pump(50);
    }

    // Sizes the frame from effEditGetRect; records a change of size.
    void FitFrame()
    {
        ERect* rect = nullptr;
        if (!plugin.Dispatch(effEditGetRect, 0, 0, &rect) || !rect)
        {
            return;
        }
        const int w = rect->right - rect->left;
        const int h = rect->bottom - rect->top;
        if (w <= 0 || h <= 0 || (w == width && h == height))
        {
            return;
        }
        width = w;
        height = h;
        SetWindowPos(frame, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Event e;
        e.kind = "size";
        e.width = w;
        e.height = h;
        events.push_back(e);
    }

    void OpenEditor()
    {
        // Ask the size first, as many hosts do, and again after opening, as
        // others do: an editor must answer both.
        FitFrame();
        if (!plugin.Dispatch(effEditOpen, 0, 0, frame))
        {
            throw HostError("the plug-in did not open its editor (effEditOpen returned 0)");
        }
        open = true;
        FitFrame();
        Focus();
        Pump(kSettleMs);
        Collect();
    }

    // Keys go to the editor, as in a host that hands its editor the focus;
    // a popup the user clicks into takes it over.
    void Focus()
    {
        SetForegroundWindow(frame);
        SetActiveWindow(frame);
        SetFocus(EditorWindow());
    }

    // The editor's window: the frame's first child, else the frame itself.
    HWND EditorWindow() const
    {
        HWND child = GetWindow(frame, GW_CHILD);
        return child ? child : frame;
    }

    POINT ScreenPoint(int32_t x, int32_t y) const
    {
        POINT p{x, y};
        ClientToScreen(EditorWindow(), &p);
        return p;
    }

    void RequireOpen(const char* what) const
    {
        if (!open)
        {
            throw HostError(std::string(what) + ": the editor is closed (use --reopen)");
        }
    }

    static void Send(std::vector<INPUT>& inputs)
    {
        if (inputs.empty())
        {
            return;
        }
        UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        inputs.clear();
        if (sent == 0)
        {
            throw HostError("SendInput failed: " + Platform::LastErrorText());
        }
    }

    // Absolute coordinates land on exactly this pixel: the system maps
    // 0..65535 onto the screen by truncation.
    static INPUT MouseAt(POINT p, DWORD flags, DWORD data = 0)
    {
        const int sw = GetSystemMetrics(SM_CXSCREEN);
        const int sh = GetSystemMetrics(SM_CYSCREEN);
        INPUT in = {};
        in.type = INPUT_MOUSE;
        in.mi.dx = static_cast<LONG>((static_cast<long long>(p.x) * 65536 + sw - 1) / sw);
        in.mi.dy = static_cast<LONG>((static_cast<long long>(p.y) * 65536 + sh - 1) / sh);
        in.mi.mouseData = data;
        in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
        return in;
    }

    static INPUT KeyInput(WORD vk, bool up)
    {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        return in;
    }

    void Modifiers(const EditorOptions::Step& s, bool up)
    {
        std::vector<INPUT> inputs;
        if (s.shift)
        {
            inputs.push_back(KeyInput(VK_SHIFT, up));
        }
        if (s.ctrl)
        {
            inputs.push_back(KeyInput(VK_CONTROL, up));
        }
        Send(inputs);
    }

    // Without a hold, a click's press and release go out together, as fast
    // as input can be; with one, each press is held and each release lasts
    // `hold` ms, as a hand clicks.
    void Button(POINT p, DWORD down, DWORD up, int clicks, DWORD hold = 0)
    {
        std::vector<INPUT> inputs;
        inputs.push_back(MouseAt(p, 0));
        Send(inputs);
        Pump(30);
        for (int i = 0; i < clicks; ++i)
        {
            if (down)
            {
                inputs.push_back(MouseAt(p, down));
                if (hold)
                {
                    Send(inputs);
                    Pump(hold);
                }
            }
            if (up)
            {
                inputs.push_back(MouseAt(p, up));
            }
            Send(inputs);
            Pump(hold ? hold : 20);
        }
    }

    // The host runs an audio file through the instance whose editor is open,
    // in blocks of 512 frames through processReplacing; the input channels
    // are mapped as by `vsthost render`.
    void Render(const std::string& inPath, const std::string& outPath)
    {
        AEffect* effect = plugin.Effect();
        if (!(effect->flags & effFlagsCanReplacing) || !effect->processReplacing)
        {
            throw HostError("--render: the plug-in has no processReplacing");
        }
        AudioFileReader reader;
        reader.Read(inPath);
        plugin.RefreshCounts();
        const int32_t inCount = plugin.Inputs();
        const int32_t outCount = plugin.Outputs();
        if (outCount < 1)
        {
            throw HostError("--render: the plug-in has no audio outputs");
        }
        constexpr int32_t kBlock = 512;
        std::vector<std::vector<float>> in(static_cast<size_t>(std::max(inCount, 1)),
                                           std::vector<float>(kBlock));
        std::vector<std::vector<float>> out(static_cast<size_t>(outCount),
                                            std::vector<float>(kBlock));
        std::vector<float*> inPointers, outPointers;
        for (auto& b : in)
        {
            inPointers.push_back(b.data());
        }
        for (auto& b : out)
        {
            outPointers.push_back(b.data());
        }
        std::vector<float> interleaved(static_cast<size_t>(kBlock) * outCount);
        PendingFile file(outPath);
        AudioFileWriter writer;
        writer.Open(file.TempPath(), outPath, outCount, reader.SampleRate(), false);
        plugin.Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(reader.SampleRate()));
        plugin.Dispatch(effMainsChanged, 0, 1);
        plugin.Dispatch(effStartProcess);
        for (int64_t done = 0; done < reader.Frames();)
        {
            const int32_t n =
                static_cast<int32_t>(std::min<int64_t>(kBlock, reader.Frames() - done));
            Renderer::MapInput(reader.Samples(), reader.Channels(), done, n, in, inCount);
            effect->processReplacing(effect, inPointers.data(), outPointers.data(), n);
            for (int32_t f = 0; f < n; ++f)
            {
                for (int32_t c = 0; c < outCount; ++c)
                {
                    interleaved[static_cast<size_t>(f) * outCount + c] =
                        out[static_cast<size_t>(c)][static_cast<size_t>(f)];
                }
            }
            writer.Write(interleaved.data(), n);
            done += n;
        }
        plugin.Dispatch(effStopProcess);
        plugin.Dispatch(effMainsChanged, 0, 0);
        writer.Close();
        file.Commit();
    }

    void RunStep(const EditorOptions::Step& s)
    {
        using Kind = EditorOptions::Step::Kind;
        switch (s.kind)
        {
        case Kind::Wait:
            Pump(static_cast<DWORD>(s.x));
            return;
        case Kind::SetParam:
            if (s.index >= plugin.Params())
            {
                throw HostError("--set-param: the plug-in has " + std::to_string(plugin.Params()) +
                                " parameters, no index " + std::to_string(s.index));
            }
            plugin.Effect()->setParameter(plugin.Effect(), s.index, s.value);
            return;
        case Kind::Program:
            if (s.index >= plugin.Programs())
            {
                throw HostError("--program: the plug-in has " + std::to_string(plugin.Programs()) +
                                " programs, no program " + std::to_string(s.index));
            }
            plugin.Dispatch(effSetProgram, 0, s.index);
            return;
        case Kind::Render:
            Render(s.text, s.text2);
            return;
        case Kind::Close:
            RequireOpen("--close");
            plugin.Dispatch(effEditClose);
            open = false;
            return;
        case Kind::Reopen:
            // Open again, closed or not: hosts do both.
            if (!plugin.Dispatch(effEditOpen, 0, 0, frame))
            {
                throw HostError("--reopen: effEditOpen returned 0");
            }
            open = true;
            FitFrame();
            Focus();
            return;
        case Kind::Screenshot:
            RequireOpen("--screenshot");
            Screenshot(s.text);
            return;
        default:
            break;
        }
        RequireOpen("input");
        SetForegroundWindow(frame);
        Modifiers(s, false);
        const POINT p = ScreenPoint(s.x, s.y);
        switch (s.kind)
        {
        case Kind::Click:
            Button(p, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1, s.hold);
            break;
        case Kind::RightClick:
            Button(p, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 1, s.hold);
            break;
        case Kind::DoubleClick:
            Button(p, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2, s.hold);
            break;
        case Kind::Press:
            Button(p, MOUSEEVENTF_LEFTDOWN, 0, 1);
            break;
        case Kind::Release:
            Button(p, 0, MOUSEEVENTF_LEFTUP, 1);
            break;
        case Kind::Drag:
        {
            Button(p, MOUSEEVENTF_LEFTDOWN, 0, 1);
            const int steps = 8;
            for (int i = 1; i <= steps; ++i)
            {
                std::vector<INPUT> inputs;
                inputs.push_back(
                    MouseAt(ScreenPoint(s.x + s.dx * i / steps, s.y + s.dy * i / steps), 0));
                Send(inputs);
                Pump(20);
            }
            Button(ScreenPoint(s.x + s.dx, s.y + s.dy), 0, MOUSEEVENTF_LEFTUP, 1);
            break;
        }
        case Kind::Wheel:
        {
            Button(p, 0, 0, 0);
            std::vector<INPUT> inputs{
                MouseAt(p, MOUSEEVENTF_WHEEL, static_cast<DWORD>(s.dx * WHEEL_DELTA))};
            Send(inputs);
            break;
        }
        case Kind::Key:
        {
            const WORD vk = static_cast<WORD>(EditorOptions::VirtualKey(s.text));
            std::vector<INPUT> inputs{KeyInput(vk, false), KeyInput(vk, true)};
            Send(inputs);
            break;
        }
        case Kind::Type:
            for (unsigned char c : s.text)
            {
                INPUT down = {};
                down.type = INPUT_KEYBOARD;
                down.ki.wScan = c;
                down.ki.dwFlags = KEYEVENTF_UNICODE;
                INPUT up = down;
                up.ki.dwFlags |= KEYEVENTF_KEYUP;
                std::vector<INPUT> inputs{down, up};
                Send(inputs);
                Pump(10);
            }
            break;
        default:
            break;
        }
        Pump(20);
        Modifiers(s, true);
    }

    // The editor's client area as the screen shows it.
    void Screenshot(const std::string& path)
    {
        HWND editor = EditorWindow();
        RECT client = {};
        GetClientRect(editor, &client);
        const int w = client.right;
        const int h = client.bottom;
        if (w <= 0 || h <= 0)
        {
            throw HostError("--screenshot: the editor window is empty");
        }
        POINT origin = ScreenPoint(0, 0);
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bool copied = false;
        if (memory && section && bits)
        {
            HGDIOBJ old = SelectObject(memory, section);
            copied = BitBlt(memory, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY) != 0;
            GdiFlush();
            SelectObject(memory, old);
        }
        std::vector<unsigned char> pixels;
        if (copied)
        {
            const unsigned char* src = static_cast<const unsigned char*>(bits);
            pixels.assign(src, src + static_cast<size_t>(w) * h * 4);
        }
        if (section)
        {
            DeleteObject(section);
        }
        if (memory)
        {
            DeleteDC(memory);
        }
        ReleaseDC(nullptr, screen);
        if (!copied)
        {
            throw HostError("--screenshot: cannot read the screen: " + Platform::LastErrorText());
        }
        for (size_t i = 3; i < pixels.size(); i += 4)
        {
            pixels[i] = 255;
        }

        png_image image = {};
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(w);
        image.height = static_cast<png_uint_32>(h);
        image.format = PNG_FORMAT_BGRA;
        png_alloc_size_t size = 0;
        if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr))
        {
            throw HostError("--screenshot: cannot encode the PNG: " + std::string(image.message));
        }
        std::vector<unsigned char> encoded(size);
        if (!png_image_write_to_memory(&image, encoded.data(), &size, 0, pixels.data(), 0, nullptr))
        {
            throw HostError("--screenshot: cannot encode the PNG: " + std::string(image.message));
        }
        PendingFile out(path);
        out.WriteAll(encoded.data(), size);
        out.Commit();
    }

    // Takes the edits the plug-in reported since the last call.
    void Collect()
    {
        const std::vector<HostCallback::Edit>& edits = host.Edits();
        for (; taken < edits.size(); ++taken)
        {
            const HostCallback::Edit& edit = edits[taken];
            Event e;
            e.kind = edit.opcode == audioMasterBeginEdit ? "beginEdit"
                     : edit.opcode == audioMasterEndEdit ? "endEdit"
                                                         : "automate";
            e.index = edit.index;
            e.value = edit.value;
            events.push_back(e);
        }
        FitFrame();
    }

    struct Parameter
    {
        std::string name;
        std::string label;
        std::string display;
        float value;
    };

    std::vector<Parameter> Parameters() const
    {
        std::vector<Parameter> out;
        AEffect* e = plugin.Effect();
        for (int32_t i = 0; i < plugin.Params(); ++i)
        {
            out.push_back(Parameter{plugin.QueryText(effGetParamName, i),
                                    plugin.QueryText(effGetParamLabel, i),
                                    plugin.QueryText(effGetParamDisplay, i),
                                    e->getParameter ? e->getParameter(e, i) : 0.0f});
        }
        return out;
    }

    std::string Text() const
    {
        std::string t = "Events (" + std::to_string(events.size()) + ")\n";
        char line[256];
        for (const Event& e : events)
        {
            if (e.kind == "size")
            {
                std::snprintf(line, sizeof(line), "  size %d x %d\n", e.width, e.height);
            }
            else if (e.kind == "automate")
            {
                std::snprintf(line, sizeof(line), "  automate parameter %d value %.6g\n", e.index,
                              static_cast<double>(e.value));
            }
            else
            {
                std::snprintf(line, sizeof(line), "  %s parameter %d\n",
                              e.kind == "beginEdit" ? "begin edit" : "end edit", e.index);
            }
            t += line;
        }
        std::vector<Parameter> params = Parameters();
        t += "Parameters (" + std::to_string(params.size()) + ")\n";
        for (size_t i = 0; i < params.size(); ++i)
        {
            std::snprintf(line, sizeof(line), "  %zu %s = %s %s (%.6g)\n", i,
                          params[i].name.c_str(), params[i].display.c_str(),
                          params[i].label.c_str(), static_cast<double>(params[i].value));
            t += line;
        }
        return t;
    }

    std::string Json() const
    {
        JsonWriter json;
        json.BeginObject();
        json.Key("events").BeginArray();
        for (const Event& e : events)
        {
            json.BeginObject().Key("event").String(e.kind);
            if (e.kind == "size")
            {
                json.Key("width").Int(e.width).Key("height").Int(e.height);
            }
            else
            {
                json.Key("index").Int(e.index);
            }
            if (e.kind == "automate")
            {
                json.Key("value").Float(e.value);
            }
            json.EndObject();
        }
        json.EndArray();
        json.Key("parameters").BeginArray();
        std::vector<Parameter> params = Parameters();
        for (size_t i = 0; i < params.size(); ++i)
        {
            const Parameter& p = params[i];
            json.BeginObject().Key("index").Int(static_cast<int64_t>(i));
            json.Key("name").String(p.name).Key("label").String(p.label);
            json.Key("display").String(p.display).Key("value").Float(p.value).EndObject();
        }
        json.EndArray();
        json.EndObject();
        return json.Text() + "\n";
    }

    const EditorOptions& options;
    HostCallback host;
    PluginInstance plugin;
    ATOM classAtom = 0;
    HWND frame = nullptr;
    bool open = false;
    int width = 0;
    int height = 0;
    size_t taken = 0;
    std::vector<Event> events;
};
} // namespace

std::string EditorSession::Run(const EditorOptions& options)
{
    Session session(options);
    return session.Run();
}
