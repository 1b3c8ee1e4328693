#pragma once

#include "ModuleResources.h"
#include "RasterBitmap.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Pieces shared by the PNG and JPEG decoders.

// True when an image of this size may be decoded: both sides 1..kMaxImageSide,
// so width x height x 4 bytes stays well inside a 32-bit size.
bool ImageSizeAcceptable(uint32_t width, uint32_t height);

// The bitmap to decode into: target resized to the image, or a new
// HeapBitmap. Null when the size cannot be reached (a new bitmap is then
// already released). `created` tells whether the result is a new bitmap the
// decoder must release should decoding fail later.
RasterBitmap* PrepareDecodeTarget(RasterBitmap* target, int width, int height, bool& created);

// Address of image row y (0 = top) of a prepared bitmap, honouring bottom-up
// storage and the row span.
unsigned char* DecodeRow(RasterBitmap* bitmap, int y);

// True when the text from the last '.', '/' or '\' of the path to its end
// equals one of the extensions (each starting with '.'), ignoring case.
bool PathHasExtension(const char* path, const char* const* extensions, int count);

// Opens a UTF-8 path for binary reading, or returns null.
FILE* OpenImageFile(const char* path);

// The bytes of a module's resource of the given type and integer id, used in
// place; false when the module has no such resource.
bool FindResourceBytes(HINSTANCE module, int resourceId, const char* type,
                       const unsigned char*& bytes, size_t& size);
