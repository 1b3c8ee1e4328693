#pragma once

#include <cstdint>

// The operating-system calls of the editor window and its services: exactly
// the Win32 user-interface, GDI, dialog and shell functions the window logic
// uses, one member each, named after the function without its A suffix.
// Handles are plain pointers, message parameters plain integers, and the
// constants below carry windows.h's values (checked against windows.h in the
// Windows implementation), so that IGraphicsWindow knows no Windows header
// and runs natively against a recording double.
//
// Threads: every call is made on the thread that owns the editor window.
// The implementation holds no state of its own beyond the two window
// procedures it hands out.
class IWindowPlatform
{
public:
    using Handle = void*;       // HWND, HINSTANCE, HCURSOR, HFONT, HDC, HGDIOBJ
    using Procedure = intptr_t; // WNDPROC, as a number of full pointer width
    using Result = intptr_t;    // LRESULT
    using WParam = uintptr_t;   // WPARAM
    using LParam = intptr_t;    // LPARAM
    using ColourRef = uint32_t; // COLORREF: red | green << 8 | blue << 16

    // --- Messages ---
    static constexpr uint32_t kWmCreate = 0x0001;
    static constexpr uint32_t kWmDestroy = 0x0002;
    static constexpr uint32_t kWmSetFocus = 0x0007;
    static constexpr uint32_t kWmKillFocus = 0x0008;
    static constexpr uint32_t kWmSetText = 0x000C;
    static constexpr uint32_t kWmGetText = 0x000D;
    static constexpr uint32_t kWmPaint = 0x000F;
    static constexpr uint32_t kWmClose = 0x0010;
    static constexpr uint32_t kWmSetFont = 0x0030;
    static constexpr uint32_t kWmKeyDown = 0x0100;
    static constexpr uint32_t kWmCommand = 0x0111;
    static constexpr uint32_t kWmTimer = 0x0113;
    static constexpr uint32_t kWmMouseMove = 0x0200;
    static constexpr uint32_t kWmLButtonDown = 0x0201;
    static constexpr uint32_t kWmLButtonUp = 0x0202;
    static constexpr uint32_t kWmLButtonDblClk = 0x0203;
    static constexpr uint32_t kWmRButtonDown = 0x0204;
    static constexpr uint32_t kWmRButtonUp = 0x0205;
    static constexpr uint32_t kWmMouseWheel = 0x020A;
    static constexpr uint32_t kCbAddString = 0x0143;
    static constexpr uint32_t kCbSetCurSel = 0x014E;
    // WM_COMMAND notification code of a combo box whose selection changed.
    static constexpr uint32_t kCbnSelChange = 1;

    // --- Key-state word of mouse messages, virtual keys ---
    static constexpr uint32_t kMkLButton = 0x0001;
    static constexpr uint32_t kMkRButton = 0x0002;
    static constexpr uint32_t kMkShift = 0x0004;
    static constexpr uint32_t kMkControl = 0x0008;
    static constexpr int32_t kVkReturn = 0x0D;
    static constexpr int32_t kVkMenu = 0x12;
    static constexpr int32_t kVkSpace = 0x20;
    static constexpr int32_t kVkLeft = 0x25;
    static constexpr int32_t kVkUp = 0x26;
    static constexpr int32_t kVkRight = 0x27;
    static constexpr int32_t kVkDown = 0x28;
    static constexpr int32_t kWheelDelta = 120;

    // --- Classes, styles, window data ---
    static constexpr uint32_t kCsDblClks = 0x0008;
    static constexpr uint32_t kWsChild = 0x40000000;
    static constexpr uint32_t kWsVisible = 0x10000000;
    static constexpr uint32_t kWsExMdiChild = 0x00000040;
    static constexpr uint32_t kCbsDropDownList = 0x0003;
    static constexpr uint32_t kEsCenter = 0x0001;
    static constexpr uint32_t kEsMultiline = 0x0004;
    static constexpr int32_t kGwlStyle = -16;
    static constexpr int32_t kGwlExStyle = -20;
    static constexpr int32_t kGwlpUserData = -21;
    static constexpr int32_t kGwlpWndProc = -4;
    static constexpr uint32_t kSwpNoMove = 0x0002;
    static constexpr uint32_t kSwpNoZOrder = 0x0004;
    static constexpr uint32_t kSwpNoActivate = 0x0010;
    static constexpr int32_t kIdcArrow = 32512;

    // --- GDI ---
    static constexpr uint32_t kSrcCopy = 0x00CC0020;
    static constexpr int32_t kTransparent = 1;
    static constexpr int32_t kFwDontCare = 0;
    static constexpr int32_t kFwBold = 700;
    static constexpr uint32_t kDtLeft = 0x0000;
    static constexpr uint32_t kDtCenter = 0x0001;
    static constexpr uint32_t kDtRight = 0x0002;
    static constexpr uint32_t kDtNoClip = 0x0100;

    // --- Dialogs, message boxes, shell ---
    static constexpr uint32_t kOfnOverwritePrompt = 0x00000002;
    static constexpr uint32_t kOfnPathMustExist = 0x00000800;
    static constexpr uint32_t kOfnFileMustExist = 0x00001000;
    static constexpr uint32_t kCcRgbInit = 0x00000001;
    static constexpr uint32_t kCcFullOpen = 0x00000002;
    static constexpr uint32_t kCcEnableHook = 0x00000010;
    static constexpr uint32_t kCcSolidColor = 0x00000080;
    static constexpr uint32_t kCcAnyColor = 0x00000100;
    static constexpr uint32_t kMbOk = 0x00000000;
    static constexpr uint32_t kMbYesNo = 0x00000004;
    static constexpr int32_t kIdYes = 6;
    static constexpr int32_t kSwShowNormal = 1;

    // RECT and POINT.
    struct Rect
    {
        int32_t left = 0;
        int32_t top = 0;
        int32_t right = 0;
        int32_t bottom = 0;
    };
    struct Point
    {
        int32_t x = 0;
        int32_t y = 0;
    };

    // The fields of WNDCLASSA the editor sets; all others are zero.
    struct WindowClass
    {
        uint32_t style = 0;
        Procedure procedure = 0;
        Handle instance = nullptr;
        Handle cursor = nullptr;
        const char* className = nullptr;
    };

    // Room for a PAINTSTRUCT between BeginPaint and EndPaint.
    struct PaintRecord
    {
        alignas(8) unsigned char storage[96] = {};
    };

    // The fields of OPENFILENAMEA the editor sets; all others are zero.
    struct FileDialog
    {
        Handle owner = nullptr;
        char* file = nullptr;
        uint32_t maxFile = 0;
        const char* initialDirectory = nullptr;
        uint32_t flags = 0;
    };

    // The fields of CHOOSECOLORA the editor sets. The implementation supplies
    // the hook, which titles the dialog with prompt (when given) on
    // WM_INITDIALOG; result holds the chosen colour after a confirmation.
    struct ColourDialog
    {
        Handle owner = nullptr;
        ColourRef result = 0;
        ColourRef* customColours = nullptr;
        uint32_t flags = 0;
        const char* prompt = nullptr;
    };

    virtual ~IWindowPlatform() = default;

    // The editor and popup procedures, ready for WNDCLASSA and GWLP_WNDPROC;
    // they hand every message to IGraphicsWindow's procedures.
    virtual Procedure EditorProcedure() = 0;
    virtual Procedure PopupProcedure() = 0;
    // lpCreateParams of the CREATESTRUCTA that WM_CREATE points to.
    virtual void* CreationParameter(LParam lParam) = 0;

    // Window classes and windows.
    virtual bool RegisterClass(const WindowClass& windowClass) = 0;
    virtual bool UnregisterClass(const char* className, Handle instance) = 0;
    virtual Handle LoadCursor(Handle instance, int32_t id) = 0;
    virtual Handle CreateWindowEx(uint32_t exStyle, const char* className, const char* title,
                                  uint32_t style, int32_t x, int32_t y, int32_t width,
                                  int32_t height, Handle parent, intptr_t menuOrId, Handle instance,
                                  void* parameter) = 0;
    virtual bool DestroyWindow(Handle window) = 0;
    virtual Result DefWindowProc(Handle window, uint32_t message, WParam wParam, LParam lParam) = 0;
    virtual Result CallWindowProc(Procedure procedure, Handle window, uint32_t message,
                                  WParam wParam, LParam lParam) = 0;
    virtual intptr_t GetWindowLongPtr(Handle window, int32_t index) = 0;
    virtual intptr_t SetWindowLongPtr(Handle window, int32_t index, intptr_t value) = 0;
    virtual Result SendMessage(Handle window, uint32_t message, WParam wParam, LParam lParam) = 0;
    virtual bool GetWindowRect(Handle window, Rect& rect) = 0;
    virtual Handle GetParent(Handle window) = 0;
    virtual bool SetWindowPos(Handle window, Handle insertAfter, int32_t x, int32_t y,
                              int32_t width, int32_t height, uint32_t flags) = 0;
    virtual bool ScreenToClient(Handle window, Point& point) = 0;

    // Timer and painting.
    virtual uintptr_t SetTimer(Handle window, uintptr_t id, uint32_t milliseconds) = 0;
    virtual bool GetUpdateRect(Handle window, Rect* rect, bool erase) = 0;
    virtual Handle BeginPaint(Handle window, PaintRecord& paint) = 0;
    virtual bool EndPaint(Handle window, const PaintRecord& paint) = 0;
    virtual bool InvalidateRect(Handle window, const Rect* rect, bool erase) = 0;
    virtual bool UpdateWindow(Handle window) = 0;
    virtual bool BitBlt(Handle destination, int32_t x, int32_t y, int32_t width, int32_t height,
                        Handle source, int32_t sourceX, int32_t sourceY, uint32_t operation) = 0;

    // Mouse and keyboard.
    virtual Handle SetCapture(Handle window) = 0;
    virtual bool ReleaseCapture() = 0;
    virtual Handle GetCapture() = 0;
    virtual int16_t GetKeyState(int32_t virtualKey) = 0;
    virtual bool GetCursorPos(Point& point) = 0;

    // Fonts and text; CreateFont takes every attribute not listed at its
    // default.
    virtual Handle CreateFont(int32_t height, int32_t width, int32_t escapement,
                              int32_t orientation, int32_t weight, bool italic,
                              const char* face) = 0;
    virtual bool DeleteObject(Handle object) = 0;
    virtual Handle SelectObject(Handle deviceContext, Handle object) = 0;
    virtual int32_t SetBkMode(Handle deviceContext, int32_t mode) = 0;
    virtual ColourRef SetTextColor(Handle deviceContext, ColourRef colour) = 0;
    virtual int32_t DrawText(Handle deviceContext, const char* text, Rect& rect,
                             uint32_t format) = 0;

    // Files, dialogs, message boxes, the shell. A null module is the host's
    // executable.
    virtual uint32_t GetModuleFileName(Handle module, char* buffer, uint32_t size) = 0;
    virtual bool GetOpenFileName(FileDialog& dialog) = 0;
    virtual bool GetSaveFileName(FileDialog& dialog) = 0;
    virtual bool ChooseColor(ColourDialog& dialog) = 0;
    virtual int32_t MessageBox(Handle owner, const char* text, const char* caption,
                               uint32_t type) = 0;
    virtual bool InternetGetConnectedState() = 0;
    virtual intptr_t ShellExecute(Handle owner, const char* verb, const char* file,
                                  int32_t show) = 0;
};

// The system's window layer: the Win32 one in the Windows builds, null where
// the editor has no window layer (its window then never opens).
IWindowPlatform* SystemWindowPlatform();
