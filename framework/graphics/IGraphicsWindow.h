#pragma once

#include "IGraphicsRaster.h"
#include "platform/IWindowPlatform.h"

#include <cstdint>
#include <memory>
#include <string>

class IBitmapCache;
class IControl;
class IParameter;

// The concrete editor: a child window inside the host's window, redrawn from
// a timer, fed with mouse and key messages, presenting the back buffer, with
// the small value popup, resizing that grows the host's windows, and the
// operating-system services (image resources, text, directories, dialogs,
// web pages).
//
// Every operating-system call goes through an IWindowPlatform, so the whole
// message logic runs natively against a recording double. Without a platform
// (systems with no window layer) the window never opens and every service
// reports failure; controls, bitmaps and the back buffer still work.
//
// Threads. Everything runs on the thread that owns the editor window (the
// host's user-interface thread): messages, the timer and the popup. The
// adapter opens and closes the window with the plug-in lock held; nothing
// here takes that lock except applying a committed popup value, through the
// control and IEffectBase::SetParameterFromGUI. windowClassUsers and
// creationFrameRate are process-wide and touched only on that thread.
class IGraphicsWindow : public IGraphicsRaster
{
public:
    // Popup states.
    enum PromptState : int32_t
    {
        kPromptIdle = 0,
        kPromptFocused = 1,
        kPromptRefresh = 2,
        kPromptCancel = 3,
        kPromptCommit = 4,
    };
    static constexpr uintptr_t kTimerId = 2;
    static constexpr intptr_t kPromptControlId = 99;
    static constexpr uint32_t kTextBufferSize = 32;
    static constexpr uint32_t kPathBufferSize = 256;
    static constexpr const char* kWindowClassName = "IEffectWndClass";

    // platform: the window layer (the system's by default; tests pass a
    // double); cache: as for IGraphicsRaster.
    IGraphicsWindow(IEffectBase* plugIn, int32_t width, int32_t height, int32_t frameRate,
                    IWindowPlatform* platform = SystemWindowPlatform(),
                    IBitmapCache* cache = nullptr);

    // Closes the window if it is open and frees the colour dialog's custom
    // colours; then the drawing layer's destructor.
    ~IGraphicsWindow() override;

    // Copies region from the back buffer to the window between BeginPaint
    // and EndPaint. Editor thread, in WM_PAINT. True.
    bool PresentRegion(const IRegion& region) override;
    // New size: the core's steps, the back buffer, then the editor window
    // and its embedded parent and grandparent grow by the difference.
    // Plug-in lock held (the effect's layout).
    void ChangeEditorSize(int32_t newWidth, int32_t newHeight) override;
    // True while the editor window exists.
    bool HasWindow() override;
    // Opens the text or list popup for control over the editor. Editor
    // thread; ignored without control, parameter or window, and while a
    // popup is open.
    void ShowValuePrompt(IControl* control, const IParameter* parameter) override;
    // Text drawn with the system's font engine into the back buffer; the
    // first call's font serves every later call. Editor thread.
    bool RenderText(const ITextStyle& style, const char* text, const IRegion& region) override;
    // Folder of the host's executable / of the plug-in module, with the
    // trailing backslash; empty on any failure. Editor thread.
    void HostDirectory(std::string& out) override;
    void ModuleDirectory(std::string& out) override;
    // Modal dialogs and the browser; failure (empty, false) without a
    // window. Editor thread, blocking it while shown.
    void AskForFile(std::string& out, int32_t action, const char* directory) override;
    bool AskForColour(IColour& colour, const char* prompt) override;
    bool OpenWebPage(const char* address, const char* title, const char* confirmation,
                     const char* failure) override;
    // Opens the window as a child of parent (again, in the old place, when
    // it is open); null on failure or without a window layer. Dispatcher,
    // plug-in lock held.
    void* CreateEditorWindow(void* parent) override;
    // Closes the window, its timer and its popup. Dispatcher, plug-in lock
    // held; nothing when closed.
    void DestroyEditorWindow() override;
    void* NativeWindow() override;
    // PNG for a name ending in .png, JPEG for .jpg or .jpeg (any case), read
    // from the module's resource resourceId; null otherwise. Any thread that
    // builds the editor.
    RasterBitmap* DecodeResourceImage(int32_t resourceId, const char* name) override;

    // The two window procedures, for the platform's trampolines: os is the
    // layer the message came through.
    static intptr_t EditorProcedure(IWindowPlatform& os, void* window, uint32_t message,
                                    uintptr_t wParam, intptr_t lParam);
    static intptr_t PopupProcedure(IWindowPlatform& os, void* window, uint32_t message,
                                   uintptr_t wParam, intptr_t lParam);

    // Key code for a virtual key, -1 for keys the editor ignores.
    static int32_t KeyCodeFor(uint32_t virtualKey);
    // trunc(1000 / frame rate) milliseconds.
    static uint32_t TimerPeriod(double framesPerSecond);
    // The directory part of a path, up to and including its last backslash;
    // empty without one or when it is the last character.
    static std::string DirectoryOf(const char* path);
    // Editor windows alive in this process.
    static int32_t WindowClassUsers();

    void SetModuleHandle(void* module) { moduleHandle = module; }
    void* ModuleHandle() const { return moduleHandle; }
    void* PromptWindow() const { return promptWindow; }
    int32_t PromptState() const { return promptState; }
    void* ParentWindow() const { return parentWindow; }

protected:
    // The device context text and presentation draw from. Editor thread.
    // Default: the back buffer's, null without one.
    virtual void* BackBufferContext();

private:
    intptr_t HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
    intptr_t HandlePopupMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
    void TimerTick();
    void CommitPrompt();
    void ClosePrompt();
    // Clears the popup's fields and releases its font; its window is gone.
    void ForgetPrompt();
    void Paint();
    IMouseKeys DecodeKeys(uintptr_t wParam);
    void ReleaseClassUse();
    void ModuleFileDirectory(void* module, std::string& out);

    IWindowPlatform* os;
    bool textFontMade = false;
    IColour textColour{255, 0, 0, 0};
    void* moduleHandle = nullptr;
    void* window = nullptr;
    void* promptWindow = nullptr;
    IControl* promptControl = nullptr;
    const IParameter* promptParameter = nullptr;
    intptr_t promptOldProc = 0;
    int32_t promptState = kPromptIdle;
    std::unique_ptr<uint32_t[]> customColours;
    void* parentWindow = nullptr;
    // Released with the popup; the text font is put back out of the back
    // buffer's device context and released with this object.
    void* promptFont = nullptr;
    void* textFont = nullptr;
    void* textFontPrevious = nullptr;
};
