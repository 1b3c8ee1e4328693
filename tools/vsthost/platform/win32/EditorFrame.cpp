#include "EditorFrame.h"

#include "HostError.h"
#include "Platform.h"

#include <windows.h>

namespace
{
const wchar_t kClass[] = L"VsthostValidateFrame";

LRESULT CALLBACK Procedure(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Only the owner destroys the frame.
    if (message == WM_CLOSE)
    {
        return 0;
    }
    return DefWindowProcW(w, message, wParam, lParam);
}
} // namespace

bool EditorFrame::Available()
{
    return true;
}

EditorFrame::EditorFrame()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &Procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kClass;
    // A second frame of the process finds the class registered already.
    if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    {
        throw HostError("cannot register the editor frame's class: " + Platform::LastErrorText());
    }
    handle = CreateWindowExW(0, kClass, L"vsthost validate", WS_POPUP | WS_VISIBLE, 40, 40, 64, 64,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!handle)
    {
        throw HostError("cannot create the editor frame: " + Platform::LastErrorText());
    }
    Pump(20);
}

EditorFrame::~EditorFrame()
{
    if (handle)
    {
        DestroyWindow(static_cast<HWND>(handle));
        Pump(10);
    }
}

void EditorFrame::Resize(int32_t width, int32_t height)
{
    if (width > 0 && height > 0)
    {
        SetWindowPos(static_cast<HWND>(handle), nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void EditorFrame::Pump(int ms, void (*idle)(void*), void* context)
{
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms > 0 ? ms : 0);
    do
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (idle)
        {
            idle(context);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= end)
        {
            break;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                  static_cast<DWORD>(end - now < 20 ? end - now : 20), QS_ALLINPUT);
    } while (true);
}
