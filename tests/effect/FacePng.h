#pragma once

#include <string>

class RasterBitmap;

// Writes the colour channels of bitmap (top row first) as an 8-bit RGB PNG,
// so a face rendered here can be compared with a screenshot of a host's
// window pixel for pixel. False when the file cannot be written.
bool WriteFacePng(const std::string& path, const RasterBitmap& bitmap);
