#include "IGraphicsWindow.h"

#include "IParameter.h"
#include "ModuleImageDecoder.h"
#include "ScreenBitmap.h"
#include "controls/IControl.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
using OS = IWindowPlatform;

// Shared by every editor of the loaded module; only the editors' own thread
// touches them.
int32_t windowClassUsers = 0;
double creationFrameRate = 24.0;

int32_t LowWordSigned(intptr_t v)
{
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uintptr_t>(v) & 0xFFFF));
}

int32_t HighWordSigned(intptr_t v)
{
    return static_cast<int16_t>(static_cast<uint16_t>((static_cast<uintptr_t>(v) >> 16) & 0xFFFF));
}

bool IsEmbedded(IWindowPlatform& os, void* w)
{
    const auto style = static_cast<uint32_t>(os.GetWindowLongPtr(w, OS::kGwlStyle));
    const auto exStyle = static_cast<uint32_t>(os.GetWindowLongPtr(w, OS::kGwlExStyle));
    return (style & OS::kWsChild) != 0 && (exStyle & OS::kWsExMdiChild) == 0;
}

void GrowBy(IWindowPlatform& os, void* w, const OS::Rect& r, int32_t dw, int32_t dh)
{
    os.SetWindowPos(w, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh,
                    OS::kSwpNoMove | OS::kSwpNoZOrder | OS::kSwpNoActivate);
}
} // namespace

IGraphicsWindow::IGraphicsWindow(IEffectBase* plugIn, int32_t w, int32_t h, int32_t frameRate,
                                 IWindowPlatform* platform, IBitmapCache* cache)
    : IGraphicsRaster(plugIn, w, h, frameRate, cache), os(platform)
{
}

IGraphicsWindow::~IGraphicsWindow()
{
    DestroyEditorWindow();
    if (os != nullptr && textFont != nullptr)
    {
        void* dc = backBuffer ? static_cast<void*>(backBuffer->DeviceContext()) : nullptr;
        if (dc != nullptr && textFontPrevious != nullptr)
        {
            os->SelectObject(dc, textFontPrevious);
        }
        os->DeleteObject(textFont);
    }
}

void* IGraphicsWindow::BackBufferContext()
{
    return backBuffer ? static_cast<void*>(backBuffer->DeviceContext()) : nullptr;
}

int32_t IGraphicsWindow::WindowClassUsers()
{
    return windowClassUsers;
}

uint32_t IGraphicsWindow::TimerPeriod(double framesPerSecond)
{
    if (!(framesPerSecond > 0.0))
    {
        framesPerSecond = 24.0;
    }
    return static_cast<uint32_t>(std::trunc(1000.0 / framesPerSecond));
}

int32_t IGraphicsWindow::KeyCodeFor(uint32_t vk)
{
    switch (vk)
    {
    case OS::kVkSpace:
        return 0;
    case OS::kVkUp:
        return 1;
    case OS::kVkDown:
        return 2;
    case OS::kVkLeft:
        return 3;
    case OS::kVkRight:
        return 4;
    default:
        break;
    }
    if (vk >= 0x30 && vk <= 0x39)
    {
        return 5 + static_cast<int32_t>(vk - 0x30);
    }
    if (vk >= 0x41 && vk <= 0x5A)
    {
        return 15 + static_cast<int32_t>(vk - 0x41);
    }
    return -1;
}

std::string IGraphicsWindow::DirectoryOf(const char* path)
{
    if (path == nullptr)
    {
        return {};
    }
    const char* slash = std::strrchr(path, '\\');
    if (slash == nullptr || slash[1] == '\0')
    {
        return {};
    }
    return std::string(path, static_cast<size_t>(slash - path) + 1);
}

// --- Opening and closing ---

void* IGraphicsWindow::CreateEditorWindow(void* parent)
{
    parentWindow = parent;
    if (os == nullptr)
    {
        return nullptr;
    }
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = width;
    int32_t h = height;
    if (window != nullptr)
    {
        // A host that opens again without closing keeps the editor where it
        // was. The place is taken relative to the parent's client area, the
        // coordinates a child window lives in, so a parent with a frame or a
        // caption does not shift it.
        OS::Rect old;
        if (os->GetWindowRect(window, old))
        {
            OS::Point topLeft{old.left, old.top};
            if (parent != nullptr && os->ScreenToClient(parent, topLeft))
            {
                x = topLeft.x;
                y = topLeft.y;
            }
            w = old.right - old.left;
            h = old.bottom - old.top;
        }
        DestroyEditorWindow();
    }

    if (windowClassUsers++ == 0)
    {
        OS::WindowClass windowClass;
        windowClass.style = OS::kCsDblClks;
        windowClass.procedure = os->EditorProcedure();
        windowClass.instance = moduleHandle;
        windowClass.cursor = os->LoadCursor(nullptr, OS::kIdcArrow);
        windowClass.className = kWindowClassName;
        os->RegisterClass(windowClass);
    }
    creationFrameRate = frameRate;
    window = os->CreateWindowEx(0, kWindowClassName, "IEffect", OS::kWsChild | OS::kWsVisible, x, y,
                                w, h, parent, 0, moduleHandle, this);
    if (window == nullptr)
    {
        ReleaseClassUse();
        return nullptr;
    }
    MarkAllDirty();
    return window;
}

void IGraphicsWindow::ReleaseClassUse()
{
    if (windowClassUsers > 0 && --windowClassUsers == 0)
    {
        os->UnregisterClass(kWindowClassName, moduleHandle);
    }
}

void IGraphicsWindow::DestroyEditorWindow()
{
    if (window == nullptr || os == nullptr)
    {
        return;
    }
    // The popup goes with its parent; its fields and font must go too, or
    // the next opening could never show a popup again.
    void* closing = window;
    os->DestroyWindow(closing);
    window = nullptr;
    ForgetPrompt();
    ReleaseClassUse();
}

void* IGraphicsWindow::NativeWindow()
{
    return window;
}

bool IGraphicsWindow::HasWindow()
{
    return window != nullptr;
}

// --- Window procedures ---

intptr_t IGraphicsWindow::EditorProcedure(IWindowPlatform& os, void* w, uint32_t message,
                                          uintptr_t wParam, intptr_t lParam)
{
    if (message == OS::kWmCreate)
    {
        auto* self = static_cast<IGraphicsWindow*>(os.CreationParameter(lParam));
        os.SetWindowLongPtr(w, OS::kGwlpUserData, reinterpret_cast<intptr_t>(self));
        os.SetTimer(w, kTimerId, TimerPeriod(creationFrameRate));
        return 0;
    }
    auto* self = reinterpret_cast<IGraphicsWindow*>(os.GetWindowLongPtr(w, OS::kGwlpUserData));
    // Nothing is handled before the window is ours: messages sent while
    // CreateWindowEx still runs, or after the object let the window go.
    if (self == nullptr || self->window != w || self->os == nullptr)
    {
        return os.DefWindowProc(w, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

IMouseKeys IGraphicsWindow::DecodeKeys(uintptr_t wParam)
{
    IMouseKeys keys;
    keys.left = (wParam & OS::kMkLButton) != 0;
    keys.right = (wParam & OS::kMkRButton) != 0;
    keys.shift = (wParam & OS::kMkShift) != 0;
    keys.control = (wParam & OS::kMkControl) != 0;
    keys.alt = os->GetKeyState(OS::kVkMenu) < 0;
    return keys;
}

intptr_t IGraphicsWindow::HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    if (promptWindow != nullptr && promptState == kPromptFocused)
    {
        // While the user types, the editor neither paints nor follows the
        // mouse; only a right press cancels the popup.
        if (message == OS::kWmRButtonDown)
        {
            promptState = kPromptCancel;
            return 0;
        }
        return os->DefWindowProc(window, message, wParam, lParam);
    }

    const int32_t x = LowWordSigned(lParam);
    const int32_t y = HighWordSigned(lParam);
    switch (message)
    {
    case OS::kWmPaint:
        Paint();
        return 0;
    case OS::kWmClose:
        DestroyEditorWindow();
        return 0;
    case OS::kWmKeyDown:
    {
        const int32_t code = KeyCodeFor(static_cast<uint32_t>(wParam));
        if (code >= 0)
        {
            OS::Point p;
            os->GetCursorPos(p);
            os->ScreenToClient(window, p);
            KeyPressed(p.x, p.y, code);
        }
        return 0;
    }
    case OS::kWmTimer:
        if (wParam == kTimerId)
        {
            TimerTick();
        }
        return 0;
    case OS::kWmMouseMove:
        if ((wParam & (OS::kMkLButton | OS::kMkRButton)) != 0 && os->GetCapture() == window)
        {
            MouseDragged(x, y, DecodeKeys(wParam));
        }
        return 0;
    case OS::kWmRButtonDown:
        if (promptWindow != nullptr)
        {
            promptState = kPromptCancel;
            return 0;
        }
        os->SetCapture(window);
        MousePressed(x, y, DecodeKeys(wParam));
        return 0;
    case OS::kWmLButtonDown:
        os->SetCapture(window);
        MousePressed(x, y, DecodeKeys(wParam));
        return 0;
    case OS::kWmLButtonUp:
    case OS::kWmRButtonUp:
        os->ReleaseCapture();
        MouseReleased(x, y, DecodeKeys(wParam));
        return 0;
    case OS::kWmLButtonDblClk:
        if (MouseDoubleClicked(x, y, DecodeKeys(wParam)))
        {
            os->SetCapture(window);
        }
        return 0;
    case OS::kWmMouseWheel:
    {
        // The wheel reports a screen position; the window rectangle brings
        // it into the editor. The key state is the low word of wParam, the
        // delta its signed high word.
        OS::Rect r;
        os->GetWindowRect(window, r);
        const int32_t delta = HighWordSigned(static_cast<intptr_t>(wParam));
        WheelTurned(x - r.left, y - r.top, DecodeKeys(wParam & 0xFFFF), delta / OS::kWheelDelta);
        return 0;
    }
    default:
        return os->DefWindowProc(window, message, wParam, lParam);
    }
}

void IGraphicsWindow::Paint()
{
    OS::Rect r;
    if (!os->GetUpdateRect(window, &r, false))
    {
        return;
    }
    if (NControls() == 0)
    {
        // Nothing to present; the update area is settled all the same, or
        // the system would ask for this paint again and again.
        OS::PaintRecord paint;
        os->BeginPaint(window, paint);
        os->EndPaint(window, paint);
        return;
    }
    RedrawRegion(IRegion(r.left, r.top, r.right, r.bottom));
}

bool IGraphicsWindow::PresentRegion(const IRegion& region)
{
    if (os == nullptr || window == nullptr)
    {
        return true;
    }
    OS::PaintRecord paint;
    void* screen = os->BeginPaint(window, paint);
    void* source = BackBufferContext();
    if (screen != nullptr && source != nullptr)
    {
        os->BitBlt(screen, region.left, region.top, region.Width(), region.Height(), source,
                   region.left, region.top, OS::kSrcCopy);
    }
    os->EndPaint(window, paint);
    return true;
}

void IGraphicsWindow::TimerTick()
{
    if (promptWindow != nullptr && promptState != kPromptIdle)
    {
        switch (promptState)
        {
        case kPromptRefresh:
        {
            char text[kTextBufferSize] = {};
            promptParameter->FormatDisplay(promptParameter->Value(), false, text,
                                           static_cast<int>(sizeof(text)));
            os->SendMessage(promptWindow, OS::kWmSetText, 0, reinterpret_cast<intptr_t>(text));
            promptState = kPromptIdle;
            break;
        }
        case kPromptCommit:
            CommitPrompt();
            ClosePrompt();
            break;
        case kPromptCancel:
            ClosePrompt();
            break;
        default:
            promptState = kPromptIdle;
            break;
        }
        return;
    }
    IRegion region;
    if (CollectDirtyRegion(region))
    {
        const OS::Rect r{region.left, region.top, region.right, region.bottom};
        os->InvalidateRect(window, &r, false);
        os->UpdateWindow(window);
        // UpdateWindow may have closed the window (a host that closes from
        // a paint); the popup went with it then.
        if (promptWindow != nullptr)
        {
            promptState = kPromptRefresh;
        }
    }
}

void IGraphicsWindow::CommitPrompt()
{
    char text[kTextBufferSize] = {};
    os->SendMessage(promptWindow, OS::kWmGetText, kTextBufferSize,
                    reinterpret_cast<intptr_t>(text));
    text[kTextBufferSize - 1] = '\0';
    // A display text's value (0 when none matches) or the leading number,
    // negated for parameters shown negated.
    const double value = promptParameter->ValueFromText(text);
    promptControl->SetValueFromPrompt(promptParameter->ToNormalized(value));
}

void IGraphicsWindow::ClosePrompt()
{
    os->SetWindowLongPtr(promptWindow, OS::kGwlpWndProc, promptOldProc);
    os->DestroyWindow(promptWindow);
    ForgetPrompt();
}

void IGraphicsWindow::ForgetPrompt()
{
    promptWindow = nullptr;
    promptParameter = nullptr;
    promptControl = nullptr;
    promptOldProc = 0;
    promptState = kPromptIdle;
    if (promptFont != nullptr)
    {
        os->DeleteObject(promptFont);
        promptFont = nullptr;
    }
}

// --- Value popup ---

void IGraphicsWindow::ShowValuePrompt(IControl* control, const IParameter* parameter)
{
    if (control == nullptr || parameter == nullptr || promptWindow != nullptr || os == nullptr ||
        window == nullptr)
    {
        return;
    }
    const IRegion& rect = control->Rect();
    const auto cx = static_cast<int32_t>(static_cast<float>(rect.left + rect.right) * 0.5f);
    const auto cy = static_cast<int32_t>(static_cast<float>(rect.top + rect.bottom) * 0.5f);
    char current[kTextBufferSize] = {};
    parameter->FormatDisplay(parameter->Value(), false, current, static_cast<int>(sizeof(current)));

    void* popup = nullptr;
    const int32_t n = parameter->DisplayTextCount();
    if (n > 0)
    {
        int32_t listWidth = 24;
        int32_t selected = -1;
        for (int32_t i = 0; i < n; ++i)
        {
            const char* t = parameter->DisplayTextFor(i);
            listWidth = std::max(listWidth, 8 * static_cast<int32_t>(std::strlen(t)) + 24);
            if (std::strcmp(t, current) == 0)
            {
                selected = i;
            }
        }
        popup = os->CreateWindowEx(0, "COMBOBOX", "",
                                   OS::kWsChild | OS::kWsVisible | OS::kCbsDropDownList,
                                   cx - listWidth / 2, cy, listWidth, 36 * (n + 1), window,
                                   kPromptControlId, moduleHandle, nullptr);
        if (popup == nullptr)
        {
            return;
        }
        for (int32_t i = 0; i < n; ++i)
        {
            os->SendMessage(popup, OS::kCbAddString, 0,
                            reinterpret_cast<intptr_t>(parameter->DisplayTextFor(i)));
        }
        os->SendMessage(popup, OS::kCbSetCurSel,
                        static_cast<uintptr_t>(static_cast<intptr_t>(selected)), 0);
    }
    else
    {
        const int32_t w = std::max(rect.Width(), 36);
        const int32_t h = std::max(rect.Height(), 16);
        popup = os->CreateWindowEx(
            0, "EDIT", current, OS::kWsChild | OS::kWsVisible | OS::kEsCenter | OS::kEsMultiline,
            cx - w / 2, cy - h / 2, w, h, window, kPromptControlId, moduleHandle, nullptr);
        if (popup == nullptr)
        {
            return;
        }
    }
    promptWindow = popup;
    // The owner first, so that the popup procedure finds it from its very
    // first message.
    os->SetWindowLongPtr(popup, OS::kGwlpUserData, reinterpret_cast<intptr_t>(this));
    promptOldProc = os->SetWindowLongPtr(popup, OS::kGwlpWndProc, os->PopupProcedure());
    promptFont = os->CreateFont(14, 0, 0, 0, OS::kFwDontCare, false, "Arial");
    os->SendMessage(popup, OS::kWmSetFont, reinterpret_cast<uintptr_t>(promptFont), 0);
    promptControl = control;
    promptParameter = parameter;
}

intptr_t IGraphicsWindow::PopupProcedure(IWindowPlatform& os, void* w, uint32_t message,
                                         uintptr_t wParam, intptr_t lParam)
{
    auto* self = reinterpret_cast<IGraphicsWindow*>(os.GetWindowLongPtr(w, OS::kGwlpUserData));
    if (self == nullptr || self->promptWindow != w || self->promptOldProc == 0)
    {
        return os.DefWindowProc(w, message, wParam, lParam);
    }
    return self->HandlePopupMessage(message, wParam, lParam);
}

intptr_t IGraphicsWindow::HandlePopupMessage(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    switch (message)
    {
    case OS::kWmSetFocus:
        promptState = kPromptFocused;
        break;
    case OS::kWmKillFocus:
        promptState = kPromptIdle;
        break;
    case OS::kWmKeyDown:
        if (wParam == static_cast<uintptr_t>(OS::kVkReturn))
        {
            promptState = kPromptCommit;
            return 0;
        }
        break;
    case OS::kWmCommand:
        if (((wParam >> 16) & 0xFFFF) == OS::kCbnSelChange)
        {
            promptState = kPromptCommit;
            return 0;
        }
        break;
    default:
        break;
    }
    return os->CallWindowProc(promptOldProc, promptWindow, message, wParam, lParam);
}

// --- Resizing ---

void IGraphicsWindow::ChangeEditorSize(int32_t newWidth, int32_t newHeight)
{
    const int32_t dw = newWidth - width;
    const int32_t dh = newHeight - height;
    IGraphicsCore::ChangeEditorSize(newWidth, newHeight);
    if (backBuffer)
    {
        backBuffer->SetSize(newWidth, newHeight);
    }
    if (!HasWindow() || os == nullptr)
    {
        return;
    }
    OS::Rect own;
    os->GetWindowRect(window, own);
    void* parent = nullptr;
    void* grandparent = nullptr;
    OS::Rect parentRect;
    OS::Rect grandparentRect;
    if (IsEmbedded(*os, window))
    {
        parent = os->GetParent(window);
        if (parent != nullptr)
        {
            os->GetWindowRect(parent, parentRect);
            if (IsEmbedded(*os, parent))
            {
                grandparent = os->GetParent(parent);
                if (grandparent != nullptr)
                {
                    os->GetWindowRect(grandparent, grandparentRect);
                }
            }
        }
    }
    GrowBy(*os, window, own, dw, dh);
    if (parent != nullptr)
    {
        GrowBy(*os, parent, parentRect, dw, dh);
    }
    if (grandparent != nullptr)
    {
        GrowBy(*os, grandparent, grandparentRect, dw, dh);
    }
    const OS::Rect old{0, 0, own.right - own.left, own.bottom - own.top};
    os->InvalidateRect(window, &old, false);
}

// --- Services ---

RasterBitmap* IGraphicsWindow::DecodeResourceImage(int32_t resourceId, const char* name)
{
    return DecodeModuleImage(moduleHandle, resourceId, name);
}

bool IGraphicsWindow::RenderText(const ITextStyle& style, const char* text, const IRegion& region)
{
    if (text == nullptr)
    {
        return true;
    }
    void* dc = BackBufferContext();
    if (os == nullptr || dc == nullptr)
    {
        return false;
    }
    bool fontJustMade = false;
    if (!textFontMade)
    {
        char face[sizeof(style.face)] = {};
        std::memcpy(face, style.face, sizeof(face) - 1);
        textFont = os->CreateFont(style.size, 0, style.orientation * 10, style.orientation * 10,
                                  style.style == 1 ? OS::kFwBold : OS::kFwDontCare,
                                  style.style == 2, face);
        textFontPrevious = os->SelectObject(dc, textFont);
        os->SetBkMode(dc, OS::kTransparent);
        textFontMade = true;
        fontJustMade = true;
    }
    if (fontJustMade || style.colour != textColour)
    {
        const auto ref =
            static_cast<OS::ColourRef>((style.colour.r & 0xFF) | ((style.colour.g & 0xFF) << 8) |
                                       ((style.colour.b & 0xFF) << 16));
        os->SetTextColor(dc, ref);
        textColour = style.colour;
    }
    uint32_t format = OS::kDtNoClip;
    if (style.alignment == 1)
    {
        format |= OS::kDtCenter;
    }
    else if (style.alignment == 2)
    {
        format |= OS::kDtRight;
    }
    OS::Rect r{region.left, region.top, region.right, region.bottom};
    return os->DrawText(dc, text, r, format) != 0;
}

void IGraphicsWindow::ModuleFileDirectory(void* module, std::string& out)
{
    out.clear();
    if (os == nullptr)
    {
        return;
    }
    char path[kPathBufferSize] = {};
    const uint32_t n = os->GetModuleFileName(module, path, kPathBufferSize);
    // A name that fills the buffer was cut short; its folder cannot be told.
    if (n == 0 || n >= kPathBufferSize)
    {
        return;
    }
    path[n] = '\0';
    out = DirectoryOf(path);
}

void IGraphicsWindow::HostDirectory(std::string& out)
{
    ModuleFileDirectory(nullptr, out);
}

void IGraphicsWindow::ModuleDirectory(std::string& out)
{
    ModuleFileDirectory(moduleHandle, out);
}

void IGraphicsWindow::AskForFile(std::string& out, int32_t action, const char* directory)
{
    out.clear();
    if (!HasWindow() || os == nullptr)
    {
        return;
    }
    char file[kPathBufferSize] = {};
    OS::FileDialog dialog;
    dialog.owner = window;
    dialog.file = file;
    dialog.maxFile = kPathBufferSize - 1;
    dialog.initialDirectory = directory != nullptr && directory[0] != '\0' ? directory : nullptr;
    bool confirmed = false;
    if (action == 1)
    {
        dialog.flags = OS::kOfnOverwritePrompt | OS::kOfnPathMustExist;
        confirmed = os->GetSaveFileName(dialog);
    }
    else
    {
        dialog.flags = OS::kOfnPathMustExist | OS::kOfnFileMustExist;
        confirmed = os->GetOpenFileName(dialog);
    }
    if (confirmed)
    {
        file[kPathBufferSize - 1] = '\0';
        out = file;
    }
}

bool IGraphicsWindow::AskForColour(IColour& colour, const char* prompt)
{
    if (!HasWindow() || os == nullptr)
    {
        return false;
    }
    if (!customColours)
    {
        customColours = std::make_unique<uint32_t[]>(16);
    }
    OS::ColourDialog dialog;
    dialog.owner = window;
    dialog.result = static_cast<OS::ColourRef>((colour.r & 0xFF) | ((colour.g & 0xFF) << 8) |
                                               ((colour.b & 0xFF) << 16));
    dialog.customColours = customColours.get();
    dialog.flags =
        OS::kCcRgbInit | OS::kCcFullOpen | OS::kCcEnableHook | OS::kCcSolidColor | OS::kCcAnyColor;
    dialog.prompt = prompt;
    if (!os->ChooseColor(dialog))
    {
        return false;
    }
    colour.r = static_cast<int32_t>(dialog.result & 0xFF);
    colour.g = static_cast<int32_t>((dialog.result >> 8) & 0xFF);
    colour.b = static_cast<int32_t>((dialog.result >> 16) & 0xFF);
    return true;
}

bool IGraphicsWindow::OpenWebPage(const char* address, const char* title, const char* confirmation,
                                  const char* failure)
{
    if (!HasWindow() || os == nullptr || address == nullptr)
    {
        return false;
    }
    if (confirmation != nullptr &&
        os->MessageBox(window, confirmation, title, OS::kMbYesNo) != OS::kIdYes)
    {
        return false;
    }
    if (os->InternetGetConnectedState() &&
        os->ShellExecute(window, "open", address, OS::kSwShowNormal) > 32)
    {
        return true;
    }
    if (failure != nullptr)
    {
        os->MessageBox(window, failure, title, OS::kMbOk);
    }
    return false;
}
