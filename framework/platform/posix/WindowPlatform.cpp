#include "platform/IWindowPlatform.h"

// No window layer here: the editor works headless (controls, bitmaps, back
// buffer) and its window never opens, so the module claims no editor.
IWindowPlatform* SystemWindowPlatform()
{
    return nullptr;
}
