// The Win32 window layer and the two window-procedure trampolines: the only
// part of the editor that includes windows.h.
#include "graphics/IGraphicsWindow.h"
#include "platform/IWindowPlatform.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <wininet.h>

// windows.h maps these names to their A or W functions; here they name the
// members of our layer, which call the A functions explicitly.
#undef RegisterClass
#undef UnregisterClass
#undef LoadCursor
#undef CreateWindowEx
#undef DefWindowProc
#undef CallWindowProc
#undef GetWindowLongPtr
#undef SetWindowLongPtr
#undef SendMessage
#undef CreateFont
#undef DrawText
#undef GetModuleFileName
#undef GetOpenFileName
#undef GetSaveFileName
#undef ChooseColor
#undef MessageBox
#undef ShellExecute

namespace
{
using OS = IWindowPlatform;

static_assert(OS::kWmCreate == WM_CREATE && OS::kWmDestroy == WM_DESTROY, "messages");
static_assert(OS::kWmSetFocus == WM_SETFOCUS && OS::kWmKillFocus == WM_KILLFOCUS, "messages");
static_assert(OS::kWmSetText == WM_SETTEXT && OS::kWmGetText == WM_GETTEXT, "messages");
static_assert(OS::kWmPaint == WM_PAINT && OS::kWmClose == WM_CLOSE, "messages");
static_assert(OS::kWmSetFont == WM_SETFONT && OS::kWmKeyDown == WM_KEYDOWN, "messages");
static_assert(OS::kWmCommand == WM_COMMAND && OS::kWmTimer == WM_TIMER, "messages");
static_assert(OS::kWmMouseMove == WM_MOUSEMOVE && OS::kWmLButtonDown == WM_LBUTTONDOWN, "messages");
static_assert(OS::kWmLButtonUp == WM_LBUTTONUP && OS::kWmLButtonDblClk == WM_LBUTTONDBLCLK,
              "messages");
static_assert(OS::kWmRButtonDown == WM_RBUTTONDOWN && OS::kWmRButtonUp == WM_RBUTTONUP, "messages");
static_assert(OS::kWmMouseWheel == WM_MOUSEWHEEL, "messages");
static_assert(OS::kCbAddString == CB_ADDSTRING && OS::kCbSetCurSel == CB_SETCURSEL, "messages");
static_assert(OS::kCbnSelChange == CBN_SELCHANGE, "notification");
static_assert(OS::kMkLButton == MK_LBUTTON && OS::kMkRButton == MK_RBUTTON, "key state");
static_assert(OS::kMkShift == MK_SHIFT && OS::kMkControl == MK_CONTROL, "key state");
static_assert(OS::kVkReturn == VK_RETURN && OS::kVkMenu == VK_MENU && OS::kVkSpace == VK_SPACE,
              "virtual keys");
static_assert(OS::kVkLeft == VK_LEFT && OS::kVkUp == VK_UP && OS::kVkRight == VK_RIGHT &&
                  OS::kVkDown == VK_DOWN,
              "virtual keys");
static_assert(OS::kWheelDelta == WHEEL_DELTA, "wheel");
static_assert(OS::kCsDblClks == CS_DBLCLKS, "class style");
static_assert(OS::kWsChild == WS_CHILD && OS::kWsVisible == WS_VISIBLE, "styles");
static_assert(OS::kWsExMdiChild == WS_EX_MDICHILD, "styles");
static_assert(OS::kCbsDropDownList == CBS_DROPDOWNLIST, "styles");
static_assert(OS::kEsCenter == ES_CENTER && OS::kEsMultiline == ES_MULTILINE, "styles");
static_assert((OS::kWsChild | OS::kWsVisible | OS::kCbsDropDownList) == 0x50000003, "list popup");
static_assert((OS::kWsChild | OS::kWsVisible | OS::kEsCenter | OS::kEsMultiline) == 0x50000005,
              "text popup");
static_assert(OS::kGwlStyle == GWL_STYLE && OS::kGwlExStyle == GWL_EXSTYLE, "window data");
static_assert(OS::kGwlpUserData == GWLP_USERDATA && OS::kGwlpWndProc == GWLP_WNDPROC,
              "window data");
static_assert(OS::kSwpNoMove == SWP_NOMOVE && OS::kSwpNoZOrder == SWP_NOZORDER &&
                  OS::kSwpNoActivate == SWP_NOACTIVATE,
              "window positions");
static_assert(OS::kSrcCopy == SRCCOPY && OS::kTransparent == TRANSPARENT, "GDI");
static_assert(OS::kFwDontCare == FW_DONTCARE && OS::kFwBold == FW_BOLD, "GDI");
static_assert(OS::kDtLeft == DT_LEFT && OS::kDtCenter == DT_CENTER && OS::kDtRight == DT_RIGHT &&
                  OS::kDtNoClip == DT_NOCLIP,
              "GDI");
static_assert(OS::kOfnOverwritePrompt == OFN_OVERWRITEPROMPT &&
                  OS::kOfnPathMustExist == OFN_PATHMUSTEXIST &&
                  OS::kOfnFileMustExist == OFN_FILEMUSTEXIST,
              "file dialog");
static_assert((OS::kOfnOverwritePrompt | OS::kOfnPathMustExist) == 0x802, "save dialog");
static_assert((OS::kOfnPathMustExist | OS::kOfnFileMustExist) == 0x1800, "open dialog");
static_assert(OS::kCcRgbInit == CC_RGBINIT && OS::kCcFullOpen == CC_FULLOPEN &&
                  OS::kCcEnableHook == CC_ENABLEHOOK && OS::kCcSolidColor == CC_SOLIDCOLOR &&
                  OS::kCcAnyColor == CC_ANYCOLOR,
              "colour dialog");
static_assert(OS::kMbOk == MB_OK && OS::kMbYesNo == MB_YESNO && OS::kIdYes == IDYES,
              "message boxes");
static_assert(OS::kSwShowNormal == SW_SHOWNORMAL, "shell");
static_assert(sizeof(OS::Rect) == sizeof(RECT) && sizeof(OS::Point) == sizeof(POINT), "RECT");
static_assert(sizeof(PAINTSTRUCT) <= sizeof(OS::PaintRecord::storage) &&
                  alignof(PAINTSTRUCT) <= alignof(OS::PaintRecord),
              "PAINTSTRUCT fits");
static_assert(sizeof(OS::Procedure) == sizeof(WNDPROC) && sizeof(OS::Result) == sizeof(LRESULT) &&
                  sizeof(OS::WParam) == sizeof(WPARAM) && sizeof(OS::LParam) == sizeof(LPARAM),
              "message parameters at full pointer width");
static_assert(sizeof(OS::ColourRef) == sizeof(COLORREF), "COLORREF");

HWND W(OS::Handle h)
{
    return static_cast<HWND>(h);
}

HDC Dc(OS::Handle h)
{
    return static_cast<HDC>(h);
}

RECT ToRect(const OS::Rect& r)
{
    return RECT{r.left, r.top, r.right, r.bottom};
}

OS::Rect FromRect(const RECT& r)
{
    return OS::Rect{r.left, r.top, r.right, r.bottom};
}

class Win32WindowPlatform;
Win32WindowPlatform& Platform();

LRESULT CALLBACK EditorTrampoline(HWND w, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PopupTrampoline(HWND w, UINT message, WPARAM wParam, LPARAM lParam);

UINT_PTR CALLBACK ColourHook(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG && lParam != 0)
    {
        const auto* record = reinterpret_cast<const CHOOSECOLORA*>(lParam);
        const auto* prompt = reinterpret_cast<const char*>(record->lCustData);
        if (prompt != nullptr)
        {
            SetWindowTextA(dialog, prompt);
        }
    }
    return 0;
}

class Win32WindowPlatform final : public IWindowPlatform
{
public:
    Procedure EditorProcedure() override { return reinterpret_cast<Procedure>(&EditorTrampoline); }
    Procedure PopupProcedure() override { return reinterpret_cast<Procedure>(&PopupTrampoline); }
    void* CreationParameter(LParam lParam) override
    {
        return lParam != 0 ? reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams : nullptr;
    }

    bool RegisterClass(const WindowClass& c) override
    {
        WNDCLASSA wc = {};
        wc.style = c.style;
        wc.lpfnWndProc = reinterpret_cast<WNDPROC>(c.procedure);
        wc.hInstance = static_cast<HINSTANCE>(c.instance);
        wc.hCursor = static_cast<HCURSOR>(c.cursor);
        wc.lpszClassName = c.className;
        return RegisterClassA(&wc) != 0;
    }
    bool UnregisterClass(const char* name, Handle instance) override
    {
        return UnregisterClassA(name, static_cast<HINSTANCE>(instance)) != 0;
    }
    Handle LoadCursor(Handle instance, int32_t id) override
    {
        return LoadCursorA(static_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(id));
    }
    Handle CreateWindowEx(uint32_t exStyle, const char* className, const char* title,
                          uint32_t style, int32_t x, int32_t y, int32_t width, int32_t height,
                          Handle parent, intptr_t menuOrId, Handle instance,
                          void* parameter) override
    {
        return CreateWindowExA(exStyle, className, title, style, x, y, width, height, W(parent),
                               reinterpret_cast<HMENU>(menuOrId), static_cast<HINSTANCE>(instance),
                               parameter);
    }
    bool DestroyWindow(Handle w) override { return ::DestroyWindow(W(w)) != 0; }
    Result DefWindowProc(Handle w, uint32_t m, WParam wp, LParam lp) override
    {
        return DefWindowProcA(W(w), m, wp, lp);
    }
    Result CallWindowProc(Procedure p, Handle w, uint32_t m, WParam wp, LParam lp) override
    {
        return CallWindowProcA(reinterpret_cast<WNDPROC>(p), W(w), m, wp, lp);
    }
    intptr_t GetWindowLongPtr(Handle w, int32_t index) override
    {
        return GetWindowLongPtrA(W(w), index);
    }
    intptr_t SetWindowLongPtr(Handle w, int32_t index, intptr_t value) override
    {
        return SetWindowLongPtrA(W(w), index, value);
    }
    Result SendMessage(Handle w, uint32_t m, WParam wp, LParam lp) override
    {
        return SendMessageA(W(w), m, wp, lp);
    }
    bool GetWindowRect(Handle w, Rect& rect) override
    {
        RECT r = {};
        const bool ok = ::GetWindowRect(W(w), &r) != 0;
        rect = FromRect(r);
        return ok;
    }
    Handle GetParent(Handle w) override { return ::GetParent(W(w)); }
    bool SetWindowPos(Handle w, Handle after, int32_t x, int32_t y, int32_t width, int32_t height,
                      uint32_t flags) override
    {
        return ::SetWindowPos(W(w), W(after), x, y, width, height, flags) != 0;
    }
    bool ScreenToClient(Handle w, Point& point) override
    {
        POINT p{point.x, point.y};
        const bool ok = ::ScreenToClient(W(w), &p) != 0;
        point = Point{p.x, p.y};
        return ok;
    }

    uintptr_t SetTimer(Handle w, uintptr_t id, uint32_t ms) override
    {
        return ::SetTimer(W(w), id, ms, nullptr);
    }
    bool GetUpdateRect(Handle w, Rect* rect, bool erase) override
    {
        RECT r = {};
        const bool any = ::GetUpdateRect(W(w), rect != nullptr ? &r : nullptr, erase) != 0;
        if (rect != nullptr)
        {
            *rect = FromRect(r);
        }
        return any;
    }
    Handle BeginPaint(Handle w, PaintRecord& paint) override
    {
        return ::BeginPaint(W(w), reinterpret_cast<PAINTSTRUCT*>(paint.storage));
    }
    bool EndPaint(Handle w, const PaintRecord& paint) override
    {
        return ::EndPaint(W(w), reinterpret_cast<const PAINTSTRUCT*>(paint.storage)) != 0;
    }
    bool InvalidateRect(Handle w, const Rect* rect, bool erase) override
    {
        RECT r = rect != nullptr ? ToRect(*rect) : RECT{};
        return ::InvalidateRect(W(w), rect != nullptr ? &r : nullptr, erase) != 0;
    }
    bool UpdateWindow(Handle w) override { return ::UpdateWindow(W(w)) != 0; }
    bool BitBlt(Handle d, int32_t x, int32_t y, int32_t width, int32_t height, Handle s, int32_t sx,
                int32_t sy, uint32_t operation) override
    {
        return ::BitBlt(Dc(d), x, y, width, height, Dc(s), sx, sy, operation) != 0;
    }

    Handle SetCapture(Handle w) override { return ::SetCapture(W(w)); }
    bool ReleaseCapture() override { return ::ReleaseCapture() != 0; }
    Handle GetCapture() override { return ::GetCapture(); }
    int16_t GetKeyState(int32_t key) override { return ::GetKeyState(key); }
    bool GetCursorPos(Point& point) override
    {
        POINT p = {};
        const bool ok = ::GetCursorPos(&p) != 0;
        point = Point{p.x, p.y};
        return ok;
    }

    Handle CreateFont(int32_t height, int32_t width, int32_t escapement, int32_t orientation,
                      int32_t weight, bool italic, const char* face) override
    {
        return CreateFontA(height, width, escapement, orientation, weight, italic ? TRUE : FALSE,
                           FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
    }
    bool DeleteObject(Handle object) override
    {
        return ::DeleteObject(static_cast<HGDIOBJ>(object)) != 0;
    }
    Handle SelectObject(Handle dc, Handle object) override
    {
        return ::SelectObject(Dc(dc), static_cast<HGDIOBJ>(object));
    }
    int32_t SetBkMode(Handle dc, int32_t mode) override { return ::SetBkMode(Dc(dc), mode); }
    ColourRef SetTextColor(Handle dc, ColourRef colour) override
    {
        return ::SetTextColor(Dc(dc), colour);
    }
    int32_t DrawText(Handle dc, const char* text, Rect& rect, uint32_t format) override
    {
        RECT r = ToRect(rect);
        const int32_t drawn = DrawTextA(Dc(dc), text, -1, &r, format);
        rect = FromRect(r);
        return drawn;
    }

    uint32_t GetModuleFileName(Handle module, char* buffer, uint32_t size) override
    {
        return GetModuleFileNameA(static_cast<HMODULE>(module), buffer, size);
    }
    bool GetOpenFileName(FileDialog& dialog) override
    {
        OPENFILENAMEA record = FileRecord(dialog);
        return GetOpenFileNameA(&record) != 0;
    }
    bool GetSaveFileName(FileDialog& dialog) override
    {
        OPENFILENAMEA record = FileRecord(dialog);
        return GetSaveFileNameA(&record) != 0;
    }
    bool ChooseColor(ColourDialog& dialog) override
    {
        CHOOSECOLORA record = {};
        record.lStructSize = sizeof(record);
        record.hwndOwner = W(dialog.owner);
        record.rgbResult = dialog.result;
        record.lpCustColors = reinterpret_cast<COLORREF*>(dialog.customColours);
        record.Flags = dialog.flags;
        record.lCustData = reinterpret_cast<LPARAM>(dialog.prompt);
        record.lpfnHook = &ColourHook;
        if (ChooseColorA(&record) == 0)
        {
            return false;
        }
        dialog.result = record.rgbResult;
        return true;
    }
    int32_t MessageBox(Handle owner, const char* text, const char* caption, uint32_t type) override
    {
        return MessageBoxA(W(owner), text, caption, type);
    }
    bool InternetGetConnectedState() override
    {
        DWORD flags = 0;
        return ::InternetGetConnectedState(&flags, 0) != 0;
    }
    intptr_t ShellExecute(Handle owner, const char* verb, const char* file, int32_t show) override
    {
        return reinterpret_cast<intptr_t>(
            ShellExecuteA(W(owner), verb, file, nullptr, nullptr, show));
    }

private:
    static OPENFILENAMEA FileRecord(const FileDialog& dialog)
    {
        OPENFILENAMEA record = {};
        record.lStructSize = sizeof(record);
        record.hwndOwner = W(dialog.owner);
        record.lpstrFile = dialog.file;
        record.nMaxFile = dialog.maxFile;
        record.lpstrInitialDir = dialog.initialDirectory;
        record.Flags = dialog.flags;
        return record;
    }
};

Win32WindowPlatform& Platform()
{
    static Win32WindowPlatform platform;
    return platform;
}

// Nothing may leave a window procedure but its result: the system cannot
// carry an exception back through the host's message loop.
LRESULT CALLBACK EditorTrampoline(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    try
    {
        return IGraphicsWindow::EditorProcedure(Platform(), w, message, wParam, lParam);
    }
    catch (...)
    {
        return 0;
    }
}

LRESULT CALLBACK PopupTrampoline(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    try
    {
        return IGraphicsWindow::PopupProcedure(Platform(), w, message, wParam, lParam);
    }
    catch (...)
    {
        return 0;
    }
}
} // namespace

IWindowPlatform* SystemWindowPlatform()
{
    return &Platform();
}
