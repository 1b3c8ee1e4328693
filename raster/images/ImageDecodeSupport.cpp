#include "ImageDecodeSupport.h"

#include "HeapBitmap.h"
#include "ImageDecoders.h"

#include <new>

namespace
{
// Extensions compare in ASCII, whatever the process locale.
char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
} // namespace

bool ImageSizeAcceptable(uint32_t width, uint32_t height)
{
    return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide;
}

RasterBitmap* PrepareDecodeTarget(RasterBitmap* target, int width, int height, bool& created)
{
    created = false;
    RasterBitmap* bitmap = target;
    if (bitmap)
    {
        bitmap->SetSize(width, height);
    }
    else
    {
        bitmap = new (std::nothrow) HeapBitmap(width, height);
        if (!bitmap)
        {
            return nullptr;
        }
        created = true;
    }
    if (bitmap->PixelWidth() != width || bitmap->PixelHeight() != height || !bitmap->Pixels() ||
        bitmap->RowSpan() < width)
    {
        if (created)
        {
            delete bitmap;
        }
        created = false;
        return nullptr;
    }
    return bitmap;
}

unsigned char* DecodeRow(RasterBitmap* bitmap, int y)
{
    int stored = bitmap->IsBottomUp() ? bitmap->PixelHeight() - 1 - y : y;
    return reinterpret_cast<unsigned char*>(bitmap->Pixels() +
                                            static_cast<size_t>(stored) * bitmap->RowSpan());
}

bool PathHasExtension(const char* path, const char* const* extensions, int count)
{
    if (!path)
    {
        return false;
    }
    const char* tail = nullptr;
    for (const char* p = path; *p; ++p)
    {
        if (*p == '.' || *p == '/' || *p == '\\')
        {
            tail = p;
        }
    }
    if (!tail)
    {
        return false;
    }
    for (int i = 0; i < count; ++i)
    {
        const char* a = tail;
        const char* b = extensions[i];
        while (*a && *b && AsciiLower(*a) == AsciiLower(*b))
        {
            ++a;
            ++b;
        }
        if (*a == '\0' && *b == '\0')
        {
            return true;
        }
    }
    return false;
}

bool FindResourceBytes(HINSTANCE module, int resourceId, const char* type,
                       const unsigned char*& bytes, size_t& size)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resourceId), type);
    if (!found)
    {
        return false;
    }
    size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    bytes = static_cast<const unsigned char*>(loaded ? LockResource(loaded) : nullptr);
    return bytes != nullptr;
}
