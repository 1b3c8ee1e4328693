#pragma once

#include "ModuleResources.h"
#include "RasterBitmap.h"

// PNG and JPEG decoders. Each returns the bitmap holding the image, or null.
// With a target bitmap the image is decoded into it (it is resized to the
// image size) and the same object is returned; without one a new HeapBitmap
// is created and the caller owns it. Pixels are non-premultiplied
// RasterPixel values; images without alpha get A = 255.
//
// Resources are found by numeric id under type "PNG" or "JPG" in the given
// module. File paths are UTF-8; with checkExtension the path must end in
// .png (PNG) or .jpg, .jpeg, .jfif (JPEG), in any case.

RasterBitmap* LoadPngResource(HINSTANCE module, int resourceId, RasterBitmap* target = nullptr);
RasterBitmap* LoadJpegResource(HINSTANCE module, int resourceId, RasterBitmap* target = nullptr);
RasterBitmap* LoadPngFile(const char* path, bool checkExtension, RasterBitmap* target = nullptr);
RasterBitmap* LoadJpegFile(const char* path, bool checkExtension, RasterBitmap* target = nullptr);

// PNG and JPEG from bytes in memory (what the resource decoders run on once
// the resource is found).
RasterBitmap* DecodePngMemory(const unsigned char* data, size_t size,
                              RasterBitmap* target = nullptr);
RasterBitmap* DecodeJpegMemory(const unsigned char* data, size_t size,
                               RasterBitmap* target = nullptr);

// Largest image side the decoders accept; anything larger is refused before
// any pixel memory is allocated.
constexpr int kMaxImageSide = 16384;
