// effect_face_render OUT.png [X,Y | I=V | pN ...]: the pedal's face, as a host
// shows it right after opening the editor, rendered without a window into the
// editor's back buffer and written as a PNG. Before that, in order, each X,Y
// clicks there (press, redraw check, release, redraw check), each I=V sets
// parameter I to V and each pN selects program N as a host does (then a
// redraw check).
#include "FacePng.h"
#include "PlugExample.h"
#include "ScreenBitmap.h"
#include "graphics/IGraphicsRaster.h"

#include <cstdio>
#include <cstdlib>

extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback hostCallback);

namespace
{
VstIntPtr VSTCALLBACK SilentHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

void Check(IGraphicsRaster& face)
{
    IRegion dirty;
    if (face.CollectDirtyRegion(dirty))
    {
        face.RedrawRegion(dirty);
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: effect_face_render OUT.png [X,Y | I=V | pN ...]\n");
        return 2;
    }
    AEffect* e = VSTPluginMain(&SilentHost);
    if (e == nullptr)
    {
        std::fprintf(stderr, "effect_face_render: no instance\n");
        return 1;
    }
    e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
    auto* face = dynamic_cast<IGraphicsRaster*>(IEffectVST::FromAEffect(e)->Editor());
    bool written = false;
    if (face != nullptr && face->BackBuffer() != nullptr)
    {
        face->RedrawRegion(IRegion(0, 0, face->Width(), face->Height()));
        IMouseKeys left;
        left.left = true;
        for (int i = 2; i < argc; ++i)
        {
            char* end = nullptr;
            if (argv[i][0] == 'p')
            {
                e->dispatcher(e, effSetProgram, 0, std::strtol(argv[i] + 1, nullptr, 10), nullptr,
                              0.0f);
                Check(*face);
                continue;
            }
            const long x = std::strtol(argv[i], &end, 10);
            if (*end == '=')
            {
                e->setParameter(e, static_cast<VstInt32>(x), std::strtof(end + 1, nullptr));
                Check(*face);
                continue;
            }
            const long y = *end == ',' ? std::strtol(end + 1, nullptr, 10) : 0;
            face->MousePressed(static_cast<int32_t>(x), static_cast<int32_t>(y), left);
            Check(*face);
            face->MouseReleased(static_cast<int32_t>(x), static_cast<int32_t>(y), left);
            Check(*face);
        }
        Check(*face);
        written = WriteFacePng(argv[1], *face->BackBuffer());
    }
    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
    if (!written)
    {
        std::fprintf(stderr, "effect_face_render: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
