// Editor: the rectangle before and after opening, opening twice, many opens
// and closes, opening while audio runs on another thread, and a close
// without an open. Only where the host has a window system (Windows builds).
#include "Check.h"
#include "CheckContext.h"
#include "EditorFrame.h"
#include "HostError.h"
#include "SecondThread.h"

#include <atomic>
#include <cstdio>

namespace
{
bool HasEditor(Harness& h)
{
    return (h.Effect()->flags & effFlagsHasEditor) != 0;
}

void Idle(void* plugin)
{
    static_cast<PluginInstance*>(plugin)->Dispatch(effEditIdle);
}

// The editor's size, or false when the plug-in gives none.
bool Rect(Harness& h, int32_t& width, int32_t& height)
{
    ERect* rect = nullptr;
    h.Plugin().Dispatch(effEditGetRect, 0, 0, &rect);
    if (!rect)
    {
        return false;
    }
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    return true;
}

// Opens the editor in `frame`, sized as it says, and lets it run a little.
void Open(Harness& h, EditorFrame& frame, int ms)
{
    int32_t w = 0, hgt = 0;
    Rect(h, w, hgt);
    frame.Resize(w, hgt);
    if (!h.Plugin().Dispatch(effEditOpen, 0, 0, frame.Handle()))
    {
        throw HostError("effEditOpen returned 0");
    }
    if (Rect(h, w, hgt))
    {
        frame.Resize(w, hgt);
    }
    frame.Pump(ms, Idle, &h.Plugin());
}

void Close(Harness& h, EditorFrame& frame)
{
    h.Plugin().Dispatch(effEditClose);
    frame.Pump(10);
}

Outcome EditorRect(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Prepared();
    if (!HasEditor(*h))
    {
        return Pass("no editor");
    }
    EditorFrame frame;
    int32_t w0 = 0, h0 = 0, w1 = 0, h1 = 0;
    context.Step("effEditGetRect before effEditOpen");
    const bool before = Rect(*h, w0, h0);
    context.Step("effEditOpen");
    Open(*h, frame, 200);
    const bool after = Rect(*h, w1, h1);
    Close(*h, frame);
    char text[160];
    std::snprintf(text, sizeof(text), "before opening %d x %d, after %d x %d", static_cast<int>(w0),
                  static_cast<int>(h0), static_cast<int>(w1), static_cast<int>(h1));
    if (!after || w1 <= 0 || h1 <= 0 || w1 > 16384 || h1 > 16384)
    {
        return Fail(std::string("no sensible rectangle after opening: ") + text);
    }
    if (!before || w0 <= 0 || h0 <= 0)
    {
        // Hosts that size their window before opening get nothing.
        return Warn(std::string("no rectangle before opening: ") + text);
    }
    return Pass(text);
}

Outcome OpenTwice(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Prepared();
    if (!HasEditor(*h))
    {
        return Pass("no editor");
    }
    EditorFrame frame;
    context.Step("effEditOpen");
    Open(*h, frame, 100);
    context.Step("effEditOpen again without a close");
    h->Plugin().Dispatch(effEditOpen, 0, 0, frame.Handle());
    frame.Pump(100, Idle, &h->Plugin());
    context.Step("effEditClose");
    Close(*h, frame);
    context.Step("effEditOpen after that");
    Open(*h, frame, 100);
    Close(*h, frame);
    return Pass("opened twice without a close, closed, opened and closed again");
}

Outcome OpenClose(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Prepared();
    if (!HasEditor(*h))
    {
        return Pass("no editor");
    }
    const int times = context.Scale(10, 50, 100);
    EditorFrame frame;
    for (int i = 0; i < times; ++i)
    {
        context.Step("open and close " + std::to_string(i + 1));
        Open(*h, frame, 20);
        Close(*h, frame);
    }
    return Pass("opened and closed " + std::to_string(times) + " times");
}

Outcome WhileProcessing(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Prepared();
    if (!HasEditor(*h))
    {
        return Pass("no editor");
    }
    std::string fault;
    long blocks = 0;
    const Audio input = context.Music(512);
    {
        // The audio thread of a host, running while the user opens the editor.
        SecondThread audio(
            [&](const std::atomic<bool>& stop)
            {
                while (!stop.load() && fault.empty())
                {
                    fault = OutputFault(h->Run(input));
                    ++blocks;
                }
            });
        EditorFrame frame;
        for (int i = 0; i < context.Scale(3, 5, 20); ++i)
        {
            context.Step("open and close " + std::to_string(i + 1) + " while processing");
            Open(*h, frame, 100);
            Close(*h, frame);
        }
        audio.Stop();
        if (fault.empty())
        {
            fault = audio.Failure();
        }
    }
    if (!fault.empty())
    {
        return Fail("while the editor opened and closed: " + fault);
    }
    return Pass("editor opened and closed while " + std::to_string(blocks) +
                " blocks were processed on another thread");
}

Outcome CloseWithoutOpen(CheckContext& context)
{
    std::unique_ptr<Harness> h = context.Prepared();
    if (!HasEditor(*h))
    {
        return Pass("no editor");
    }
    context.Step("effEditClose without effEditOpen");
    h->Plugin().Dispatch(effEditClose);
    EditorFrame frame;
    context.Step("effEditOpen after that");
    Open(*h, frame, 100);
    Close(*h, frame);
    return Pass("effEditClose without an open survived; the editor opens afterwards");
}
} // namespace

std::vector<Check> EditorChecks()
{
    if (!EditorFrame::Available())
    {
        return {};
    }
    return {
        {"editor.rect", EditorRect},
        {"editor.open-twice", OpenTwice},
        {"editor.open-close", OpenClose},
        {"editor.open-while-processing", WhileProcessing},
        {"editor.close-without-open", CloseWithoutOpen},
    };
}
