#pragma once

#include "IGraphicsRecords.h"
#include "IRegion.h"
#include "controls/IMouseKeys.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class IControl;
class IEffectBase;
class IParameter;
class RasterBitmap;

// The platform-neutral heart of the editor: the ordered control list, the
// redraw cycle, mouse and key dispatch, and the delivery of parameter values
// from the host side to the controls. Drawing belongs to IGraphicsRaster, the
// window and its services to IGraphicsWindow; this class knows no pixels.
//
// Threads. Everything here runs on the editor's (the host's window) thread
// and takes no lock, except PushParameterValue and PushControlValue, which
// host threads call with the plug-in lock held. Those two only hand the value
// to the control (IControl::SetValueFromPlugIn, a lock-free hand-over); the
// editor thread takes it over at its next event or timer tick. The control
// list itself changes only while the plug-in lock is held (AddControl,
// AddBackground and ChangeEditorSize are called by the effect's layout, from
// its constructor or a dispatcher call), so host threads never see it change.
//
// The drawing, window and service slots have harmless defaults here (they do
// nothing and report false, null or empty), so that a test double only
// overrides what it observes.
class IGraphicsCore
{
public:
    IGraphicsCore(IEffectBase* plugIn, int32_t width, int32_t height, int32_t frameRate);
    IGraphicsCore(const IGraphicsCore&) = delete;
    IGraphicsCore& operator=(const IGraphicsCore&) = delete;

    // --- Virtual operations, in slot order ---

    // Creates the surface controls paint into; called once when the plug-in
    // attaches the editor, under the plug-in lock. Default: nothing.
    virtual void CreateBackBuffer();
    // Copies region of the back buffer to the screen. Editor thread.
    // Default: nothing, false.
    virtual bool PresentRegion(const IRegion& region);
    // Bitmap draws into the back buffer (editor thread, no lock); blend may
    // be null (method 0, weight 1). Defaults: nothing, false.
    virtual bool BlitBitmap(const IBitmapFrames& bitmap, const IRegion& dest, int32_t srcX,
                            int32_t srcY, const IBlend* blend);
    virtual bool BlitRotated(const IBitmapFrames& bitmap, int32_t cx, int32_t cy, double angle,
                             int32_t yOffset, const IBlend* blend);
    virtual bool BlitRotatedMasked(const IBitmapFrames& base, const IBitmapFrames& mask,
                                   const IBitmapFrames& top, int32_t x, int32_t y,
                                   double angleDegrees, const IBlend* blend);
    // Shape draws into the back buffer (editor thread). Defaults: nothing,
    // false.
    virtual bool BlendPixel(const IColour& colour, float x, float y, const IBlend* blend);
    virtual bool WritePixel(const IColour& colour, int32_t x, int32_t y);
    virtual bool StrokeLine(const IColour& colour, float x1, float y1, float x2, float y2,
                            const IBlend* blend, bool antialias);
    virtual bool StrokeArc(const IColour& colour, float cx, float cy, float r, float startAngle,
                           float endAngle, const IBlend* blend, bool antialias);
    virtual bool StrokeCircle(const IColour& colour, float cx, float cy, float r,
                              const IBlend* blend, bool antialias);
    virtual bool FillRegion(const IColour& colour, const IRegion& region, const IBlend* blend);
    // Text through the system's font engine (editor thread). Default: false.
    virtual bool RenderText(const ITextStyle& style, const char* text, const IRegion& region);
    // One back-buffer pixel (editor thread). Default: all zero.
    virtual IColour ReadPixel(int32_t x, int32_t y);
    // The back buffer's pixel memory, or null without one. Default: null.
    virtual void* BackBufferPixels();
    // New editor size: stores it, ends any capture, destroys every control
    // and tells the plug-in (RefreshEditorRect); the caller adds the controls
    // again. Call with the plug-in lock held. The window layer extends it.
    virtual void ChangeEditorSize(int32_t newWidth, int32_t newHeight);
    // True while the editor window exists. Default: NativeWindow() != null.
    virtual bool HasWindow();
    // Opens the value popup for control, bound to parameter (null: none, and
    // then no popup opens). Editor thread. Default: nothing.
    virtual void ShowValuePrompt(IControl* control, const IParameter* parameter);
    // Directories with a trailing separator, or empty. Default: empty.
    virtual void HostDirectory(std::string& out);
    virtual void ModuleDirectory(std::string& out);
    // File dialog; action 1 saves, anything else opens. Default: empty.
    virtual void AskForFile(std::string& out, int32_t action, const char* directory);
    // Colour dialog; true when the user chose one. Default: false.
    virtual bool AskForColour(IColour& colour, const char* prompt);
    // Opens a page in the system browser. Default: false.
    virtual bool OpenWebPage(const char* address, const char* title, const char* confirmation,
                             const char* failure);
    // Opens the editor window as a child of the host's window; returns it or
    // null. Dispatcher (host window thread), plug-in lock held. Default: null.
    virtual void* CreateEditorWindow(void* parent);
    // Closes the window; the editor object lives on. Default: nothing.
    virtual void DestroyEditorWindow();
    // The window handle, or null while closed. Default: null.
    virtual void* NativeWindow();
    // Destroys every control, last to first.
    virtual ~IGraphicsCore();
    // A bitmap from the module's image resources, through the process-wide
    // cache. Default: an empty record (no handle) that draws nothing.
    virtual IBitmapFrames LoadResourceBitmap(int32_t resourceId, const char* name,
                                             int32_t frameCount);
    // New cached bitmaps made from bitmap. Defaults: an empty record.
    virtual IBitmapFrames ResampleBitmap(const IBitmapFrames& bitmap, int32_t w, int32_t h);
    virtual IBitmapFrames CutBitmap(const IBitmapFrames& bitmap, const IRegion& region);
    // Loads the resource and inserts an opaque bitmap control for it at
    // index 0, so it is drawn first and hit last. Plug-in lock held.
    virtual void AddBackground(int32_t resourceId, const char* name);
    // One-pixel lines; defaults draw through StrokeLine with an opaque blend.
    virtual bool FillColumnSpan(const IColour& colour, int32_t x, int32_t y1, int32_t y2);
    virtual bool FillRowSpan(const IColour& colour, int32_t y, int32_t x1, int32_t x2);
    // Hands a bitmap to the cache / takes it out and frees it. Defaults:
    // nothing.
    virtual void KeepBitmap(const IBitmapFrames& bitmap);
    virtual void DropBitmap(const IBitmapFrames& bitmap);
    // Decodes an image resource of the plug-in module by its file type;
    // the caller owns the result. Default: null.
    virtual RasterBitmap* DecodeResourceImage(int32_t resourceId, const char* name);

    // --- Control list (plug-in lock held while it changes) ---

    // Appends control, takes ownership, returns its index. Null gives -1.
    int32_t AddControl(IControl* control);
    int32_t NControls() const { return static_cast<int32_t>(controls.size()); }
    // Null for an index outside the list.
    IControl* GetControl(int32_t index) const;

    // --- Values from the host side (any thread, plug-in lock held) ---

    void PushParameterValue(int32_t paramIndex, double value, bool isNormalized);
    void PushControlValue(int32_t controlIndex, double value);

    // --- Editor thread ---

    void HideParameterControls(int32_t paramIndex, bool hide);
    void MarkAllDirty();
    bool CollectDirtyRegion(IRegion& region);
    bool RedrawRegion(const IRegion& region);
    int32_t FindControlAt(int32_t x, int32_t y);
    void MousePressed(int32_t x, int32_t y, const IMouseKeys& keys);
    void MouseReleased(int32_t x, int32_t y, const IMouseKeys& keys);
    void MouseDragged(int32_t x, int32_t y, const IMouseKeys& keys);
    bool MouseDoubleClicked(int32_t x, int32_t y, const IMouseKeys& keys);
    void WheelTurned(int32_t x, int32_t y, const IMouseKeys& keys, int32_t notches);
    // Key codes: 0 space, 1..4 arrows up, down, left, right, 5..14 digits,
    // 15..40 letters A..Z.
    void KeyPressed(int32_t x, int32_t y, int32_t key);
    // Draws frame (1-based) of a strip into rect.
    bool DrawBitmapFrame(const IBitmapFrames& bitmap, const IRegion& rect, int32_t frame,
                         const IBlend* blend);

    // --- Accessors ---

    IEffectBase* PlugIn() const { return plugIn; }
    int32_t Width() const { return width; }
    int32_t Height() const { return height; }
    int32_t FrameRate() const { return frameRate; }
    int32_t CaptureIndex() const { return captureIndex; }
    const IRegion& DrawRegion() const { return drawRegion; }

protected:
    // Every control takes over what host threads delivered to it; run at the
    // start of each editor-thread entry point.
    void TakeDeliveredValues();
    // Control index gets every event until the release; (x, y) is where.
    void StartCapture(int32_t index, int32_t x, int32_t y);
    // No control captured; the last pointer position forgotten.
    void EndCapture();

    std::vector<std::unique_ptr<IControl>> controls;
    IEffectBase* plugIn;
    IRegion drawRegion;
    int32_t width;
    int32_t height;
    int32_t frameRate;
    int32_t captureIndex = -1;
    int32_t lastMouseX = 0;
    int32_t lastMouseY = 0;
};
