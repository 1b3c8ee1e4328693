#pragma once

#include "graphics/IGraphicsWindow.h"
#include "platform/IWindowPlatform.h"

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A window system in memory: windows with their positions, styles, texts and
// window data, a window class table, an update area per window, capture and
// cursor. Messages the system itself would send (WM_CREATE, WM_PAINT from
// UpdateWindow) go through IGraphicsWindow's procedures, as the trampolines
// would send them; every other call is recorded in `calls`.
class RecordingWindowPlatform : public IWindowPlatform
{
public:
    struct Window
    {
        std::string className;
        std::string text;
        uint32_t style = 0;
        uint32_t exStyle = 0;
        int32_t x = 0;
        int32_t y = 0;
        int32_t width = 0;
        int32_t height = 0;
        // Offset of the client area inside the window (frame, caption).
        int32_t clientX = 0;
        int32_t clientY = 0;
        Handle parent = nullptr;
        intptr_t id = 0;
        intptr_t userData = 0;
        Procedure procedure = 0;
        bool alive = true;
        bool hasUpdate = false;
        Rect update;
        std::vector<std::string> items;
        intptr_t selected = -2;
        Handle font = nullptr;
    };

    static constexpr Procedure kEditorProc = 0xE100;
    static constexpr Procedure kPopupProc = 0xE200;
    static constexpr Procedure kEditProc = 0xE300;

    // A top-level host window at screen (x, y) with a frame of (cx, cy).
    Handle AddHostWindow(int32_t x, int32_t y, int32_t w, int32_t h, int32_t cx = 0, int32_t cy = 0,
                         uint32_t style = 0, Handle parent = nullptr)
    {
        windows.push_back(std::make_unique<Window>());
        Window& win = *windows.back();
        win.className = "Host";
        win.x = x;
        win.y = y;
        win.width = w;
        win.height = h;
        win.clientX = cx;
        win.clientY = cy;
        win.style = style;
        win.parent = parent;
        return HandleOf(windows.size() - 1);
    }

    Window& Get(Handle h) { return *windows.at(IndexOf(h)); }
    bool Alive(Handle h) { return h != nullptr && Get(h).alive; }
    int Count(const std::string& call) const
    {
        int n = 0;
        for (const std::string& c : calls)
        {
            n += c.rfind(call, 0) == 0 ? 1 : 0;
        }
        return n;
    }

    // Screen position of the window's top-left corner.
    Point ScreenOf(Handle h)
    {
        Window& w = Get(h);
        if (w.parent == nullptr)
        {
            return {w.x, w.y};
        }
        Point p = ScreenOf(w.parent);
        Window& parent = Get(w.parent);
        return {p.x + parent.clientX + w.x, p.y + parent.clientY + w.y};
    }

    // --- IWindowPlatform ---

    Procedure EditorProcedure() override { return kEditorProc; }
    Procedure PopupProcedure() override { return kPopupProc; }
    void* CreationParameter(LParam lParam) override { return reinterpret_cast<void*>(lParam); }

    bool RegisterClass(const WindowClass& c) override
    {
        calls.push_back("RegisterClass " + std::string(c.className));
        classes[c.className] = c;
        return true;
    }
    bool UnregisterClass(const char* name, Handle) override
    {
        calls.push_back("UnregisterClass " + std::string(name));
        return classes.erase(name) == 1;
    }
    Handle LoadCursor(Handle, int32_t id) override
    {
        calls.push_back("LoadCursor " + std::to_string(id));
        return reinterpret_cast<Handle>(0xC0);
    }
    Handle CreateWindowEx(uint32_t exStyle, const char* className, const char* title,
                          uint32_t style, int32_t x, int32_t y, int32_t width, int32_t height,
                          Handle parent, intptr_t id, Handle, void* parameter) override
    {
        calls.push_back("CreateWindowEx " + std::string(className));
        if (failCreate)
        {
            return nullptr;
        }
        Procedure procedure = kEditProc;
        auto c = classes.find(className);
        if (c != classes.end())
        {
            procedure = c->second.procedure;
        }
        else if (std::strcmp(className, "EDIT") != 0 && std::strcmp(className, "COMBOBOX") != 0)
        {
            return nullptr;
        }
        windows.push_back(std::make_unique<Window>());
        Window& w = *windows.back();
        w.className = className;
        w.text = title != nullptr ? title : "";
        w.style = style;
        w.exStyle = exStyle;
        w.x = x;
        w.y = y;
        w.width = width;
        w.height = height;
        w.parent = parent;
        w.id = id;
        w.procedure = procedure;
        Handle h = HandleOf(windows.size() - 1);
        if (procedure == kEditorProc)
        {
            IGraphicsWindow::EditorProcedure(*this, h, kWmCreate, 0,
                                             reinterpret_cast<LParam>(parameter));
            // The system paints a new window through its update area.
            w.hasUpdate = true;
            w.update = Rect{0, 0, width, height};
        }
        return h;
    }
    bool DestroyWindow(Handle h) override
    {
        calls.push_back("DestroyWindow");
        for (size_t i = 0; i < windows.size(); ++i)
        {
            if (windows[i]->alive && windows[i]->parent == h)
            {
                DestroyWindow(HandleOf(i));
            }
        }
        Get(h).alive = false;
        if (capture == h)
        {
            capture = nullptr;
        }
        return true;
    }
    Result DefWindowProc(Handle h, uint32_t message, WParam, LParam) override
    {
        defaultMessages.push_back(message);
        if (message == kWmPaint)
        {
            // The default paint validates without drawing.
            lastPaintDefault = true;
            Get(h).hasUpdate = false;
        }
        return 0;
    }
    Result CallWindowProc(Procedure p, Handle, uint32_t message, WParam, LParam) override
    {
        forwarded.push_back({p, message});
        return 0;
    }
    intptr_t GetWindowLongPtr(Handle h, int32_t index) override
    {
        Window& w = Get(h);
        switch (index)
        {
        case kGwlStyle:
            return static_cast<intptr_t>(w.style);
        case kGwlExStyle:
            return static_cast<intptr_t>(w.exStyle);
        case kGwlpUserData:
            return w.userData;
        case kGwlpWndProc:
            return w.procedure;
        default:
            return 0;
        }
    }
    intptr_t SetWindowLongPtr(Handle h, int32_t index, intptr_t value) override
    {
        Window& w = Get(h);
        intptr_t old = 0;
        if (index == kGwlpUserData)
        {
            old = w.userData;
            w.userData = value;
        }
        else if (index == kGwlpWndProc)
        {
            old = w.procedure;
            w.procedure = value;
        }
        return old;
    }
    Result SendMessage(Handle h, uint32_t message, WParam wParam, LParam lParam) override
    {
        Window& w = Get(h);
        switch (message)
        {
        case kWmSetText:
            w.text = reinterpret_cast<const char*>(lParam);
            calls.push_back("SetText " + w.text);
            return 1;
        case kWmGetText:
        {
            char* out = reinterpret_cast<char*>(lParam);
            const size_t n = std::min(w.text.size(), static_cast<size_t>(wParam) - 1);
            std::memcpy(out, w.text.data(), n);
            out[n] = '\0';
            return static_cast<Result>(n);
        }
        case kCbAddString:
            w.items.push_back(reinterpret_cast<const char*>(lParam));
            return static_cast<Result>(w.items.size() - 1);
        case kCbSetCurSel:
            w.selected = static_cast<intptr_t>(wParam);
            return 0;
        case kWmSetFont:
            w.font = reinterpret_cast<Handle>(wParam);
            calls.push_back(lParam == 0 ? "SetFont" : "SetFont redraw");
            return 0;
        default:
            return 0;
        }
    }
    bool GetWindowRect(Handle h, Rect& rect) override
    {
        Point p = ScreenOf(h);
        Window& w = Get(h);
        rect = Rect{p.x, p.y, p.x + w.width, p.y + w.height};
        return true;
    }
    Handle GetParent(Handle h) override { return Get(h).parent; }
    bool SetWindowPos(Handle h, Handle, int32_t, int32_t, int32_t width, int32_t height,
                      uint32_t flags) override
    {
        Window& w = Get(h);
        w.width = width;
        w.height = height;
        calls.push_back("SetWindowPos " + w.className + " " + std::to_string(width) + "x" +
                        std::to_string(height) + " flags " + std::to_string(flags));
        return true;
    }
    bool ScreenToClient(Handle h, Point& point) override
    {
        Point origin = ScreenOf(h);
        point.x -= origin.x + Get(h).clientX;
        point.y -= origin.y + Get(h).clientY;
        return true;
    }

    uintptr_t SetTimer(Handle, uintptr_t id, uint32_t ms) override
    {
        timers.push_back({id, ms});
        return id;
    }
    bool GetUpdateRect(Handle h, Rect* rect, bool erase) override
    {
        eraseAsked = eraseAsked || erase;
        Window& w = Get(h);
        if (rect != nullptr)
        {
            *rect = w.hasUpdate ? w.update : Rect{};
        }
        return w.hasUpdate;
    }
    Handle BeginPaint(Handle h, PaintRecord&) override
    {
        Get(h).hasUpdate = false;
        calls.push_back("BeginPaint");
        return kScreenDc;
    }
    bool EndPaint(Handle, const PaintRecord&) override
    {
        calls.push_back("EndPaint");
        return true;
    }
    bool InvalidateRect(Handle h, const Rect* rect, bool erase) override
    {
        eraseAsked = eraseAsked || erase;
        Window& w = Get(h);
        Rect r = rect != nullptr ? *rect : Rect{0, 0, w.width, w.height};
        invalidated.push_back(r);
        if (!w.hasUpdate)
        {
            w.update = r;
        }
        else
        {
            w.update = Rect{std::min(w.update.left, r.left), std::min(w.update.top, r.top),
                            std::max(w.update.right, r.right), std::max(w.update.bottom, r.bottom)};
        }
        w.hasUpdate = true;
        return true;
    }
    bool UpdateWindow(Handle h) override
    {
        if (Get(h).hasUpdate)
        {
            IGraphicsWindow::EditorProcedure(*this, h, kWmPaint, 0, 0);
        }
        return true;
    }
    bool BitBlt(Handle d, int32_t x, int32_t y, int32_t w, int32_t h, Handle s, int32_t sx,
                int32_t sy, uint32_t operation) override
    {
        blits.push_back({d, s, Rect{x, y, x + w, y + h}, Point{sx, sy}, operation});
        return true;
    }

    Handle SetCapture(Handle h) override
    {
        Handle old = capture;
        capture = h;
        calls.push_back("SetCapture");
        return old;
    }
    bool ReleaseCapture() override
    {
        capture = nullptr;
        calls.push_back("ReleaseCapture");
        return true;
    }
    Handle GetCapture() override { return capture; }
    int16_t GetKeyState(int32_t key) override
    {
        return key == kVkMenu && altDown ? static_cast<int16_t>(-128) : 0;
    }
    bool GetCursorPos(Point& point) override
    {
        point = cursor;
        return true;
    }

    Handle CreateFont(int32_t height, int32_t width, int32_t escapement, int32_t orientation,
                      int32_t weight, bool italic, const char* face) override
    {
        fonts.push_back({height, width, escapement, orientation, weight, italic, face});
        liveFonts.push_back(reinterpret_cast<Handle>(0xF000 + fonts.size()));
        return liveFonts.back();
    }
    bool DeleteObject(Handle object) override
    {
        for (size_t i = 0; i < liveFonts.size(); ++i)
        {
            if (liveFonts[i] == object)
            {
                liveFonts.erase(liveFonts.begin() + static_cast<long>(i));
                return true;
            }
        }
        return false;
    }
    Handle SelectObject(Handle, Handle object) override
    {
        calls.push_back("SelectObject");
        selectedFont = object;
        return reinterpret_cast<Handle>(0x5E1);
    }
    int32_t SetBkMode(Handle, int32_t mode) override
    {
        bkMode = mode;
        return 2;
    }
    ColourRef SetTextColor(Handle, ColourRef colour) override
    {
        textColours.push_back(colour);
        return 0;
    }
    int32_t DrawText(Handle dc, const char* text, Rect& rect, uint32_t format) override
    {
        texts.push_back({dc, text, rect, format});
        return 14;
    }

    uint32_t GetModuleFileName(Handle module, char* buffer, uint32_t size) override
    {
        const std::string& name = module == nullptr ? hostFile : moduleFile;
        if (name.empty())
        {
            return 0;
        }
        const size_t n = std::min(name.size(), static_cast<size_t>(size) - 1);
        std::memcpy(buffer, name.data(), n);
        buffer[n] = '\0';
        return name.size() >= size ? size : static_cast<uint32_t>(n);
    }
    bool GetOpenFileName(FileDialog& d) override { return FileDialogAnswer("open", d); }
    bool GetSaveFileName(FileDialog& d) override { return FileDialogAnswer("save", d); }
    bool ChooseColor(ColourDialog& d) override
    {
        colourDialogs.push_back(d);
        if (!colourAnswer)
        {
            return false;
        }
        d.result = chosenColour;
        d.customColours[0] = 0x123456;
        return true;
    }
    int32_t MessageBox(Handle, const char* text, const char* caption, uint32_t type) override
    {
        calls.push_back(std::string("MessageBox ") + text + " / " + (caption ? caption : "") + " " +
                        std::to_string(type));
        return messageBoxAnswer;
    }
    bool InternetGetConnectedState() override
    {
        calls.push_back("InternetGetConnectedState");
        return online;
    }
    intptr_t ShellExecute(Handle, const char* verb, const char* file, int32_t show) override
    {
        calls.push_back(std::string("ShellExecute ") + verb + " " + file + " " +
                        std::to_string(show));
        return shellResult;
    }

    // --- What the tests read and script ---

    struct Timer
    {
        uintptr_t id;
        uint32_t ms;
    };
    struct Blit
    {
        Handle destination;
        Handle source;
        Rect rect;
        Point from;
        uint32_t operation;
    };
    struct Font
    {
        int32_t height, width, escapement, orientation, weight;
        bool italic;
        std::string face;
    };
    struct Text
    {
        Handle dc;
        std::string text;
        Rect rect;
        uint32_t format;
    };
    struct Forward
    {
        Procedure procedure;
        uint32_t message;
    };

    static inline Handle const kScreenDc = reinterpret_cast<Handle>(0xD0);

    std::vector<std::string> calls;
    std::map<std::string, WindowClass> classes;
    std::vector<Timer> timers;
    std::vector<Rect> invalidated;
    std::vector<Blit> blits;
    std::vector<uint32_t> defaultMessages;
    std::vector<Forward> forwarded;
    std::vector<Font> fonts;
    std::vector<Handle> liveFonts;
    std::vector<ColourRef> textColours;
    std::vector<Text> texts;
    std::vector<ColourDialog> colourDialogs;
    std::vector<FileDialog> fileDialogs;
    std::vector<std::string> fileDialogKinds;
    Handle capture = nullptr;
    Handle selectedFont = nullptr;
    Point cursor;
    bool altDown = false;
    bool failCreate = false;
    bool eraseAsked = false;
    bool lastPaintDefault = false;
    int32_t bkMode = 0;
    std::string hostFile;
    std::string moduleFile;
    std::string chosenFile;
    bool colourAnswer = false;
    ColourRef chosenColour = 0;
    int32_t messageBoxAnswer = 7;
    bool online = true;
    intptr_t shellResult = 42;

private:
    bool FileDialogAnswer(const char* kind, FileDialog& d)
    {
        fileDialogKinds.push_back(kind);
        fileDialogs.push_back(d);
        if (chosenFile.empty())
        {
            return false;
        }
        std::strncpy(d.file, chosenFile.c_str(), d.maxFile);
        return true;
    }
    static Handle HandleOf(size_t index) { return reinterpret_cast<Handle>(0x1000 + index * 16); }
    static size_t IndexOf(Handle h) { return (reinterpret_cast<uintptr_t>(h) - 0x1000) / 16; }

    std::vector<std::unique_ptr<Window>> windows;
};
