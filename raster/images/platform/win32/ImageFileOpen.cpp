#include "ImageDecodeSupport.h"

#include <windows.h>

#include <cstdio>

// Paths arrive as UTF-8. The wide open reaches every file name; the narrow
// open remains for a path that is not valid UTF-8 (it is then taken in the
// system code page) or a name the wide open cannot reach.
FILE* OpenImageFile(const char* path)
{
    if (!path)
    {
        return nullptr;
    }
    wchar_t wide[2048];
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide, 2048);
    if (n > 0)
    {
        if (FILE* file = _wfopen(wide, L"rb"))
        {
            return file;
        }
    }
    return std::fopen(path, "rb");
}
