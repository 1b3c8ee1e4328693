#pragma once

#include <cstdint>

class RasterBitmap;

// Decodes image resource resourceId of module (a module instance handle) with
// the decoder that name's file type calls for: ".png" the PNG decoder, ".jpg"
// or ".jpeg" the JPEG decoder, in any case. The name only chooses the
// decoder; the image is found by its id. Returns a new bitmap the caller
// owns, or null for any other or missing extension, a null name, or a
// resource that is missing or cannot be decoded.
RasterBitmap* DecodeModuleImage(void* module, int32_t resourceId, const char* name);
