#pragma once

#include "ModuleResources.h"
#include "RasterBitmap.h"

#include <cstdint>
#include <string>
#include <vector>

// Test images nobody here made (libpng's and libjpeg-turbo's sample sets),
// copied into the test's build folder at configure time so that the native
// and the Wine runs read the same files from a relative path.

using Bytes = std::vector<unsigned char>;

// The test program's own module, whose resources the decoders read.
HINSTANCE TestProgramModule();

std::string TestDataPath(const std::string& relative);

// Whole file, or empty when it cannot be read.
Bytes ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, const Bytes& bytes);

// File names of a data folder with the given suffix, sorted.
std::vector<std::string> ListFiles(const std::string& relativeFolder, const std::string& suffix);

// Pixels of a decoded image, top row first, as RasterPixel values.
struct PixelImage
{
    int width = 0;
    int height = 0;
    std::vector<RasterPixel> pixels;
};

// Copies a bitmap into a PixelImage honouring row span and orientation.
PixelImage CopyPixels(const RasterBitmap& bitmap);

// Reference PNG decode through libpng's simplified reading interface, which
// shares none of our decoder's transform set-up. Chunks that would make it
// convert colours (gAMA, sRGB, iCCP, cHRM) are removed first, because our
// decoder keeps sample values as stored. False when it refuses the file.
//
// 8-bit form (images of up to 8 bits per sample): B, G, R, A bytes, which
// must equal ours exactly.
bool ReferencePngDecode(const Bytes& png, PixelImage& out);

// 16-bit form (images with 16-bit samples): the simplified interface only
// keeps 16-bit samples untouched in its linear format, whose colour is
// premultiplied by alpha; samples are R, G, B, A. (Its 8-bit output of
// interlaced 16-bit images is not consistent with the same image stored
// non-interlaced, so it cannot serve as the reference there.)
struct WideImage
{
    int width = 0;
    int height = 0;
    std::vector<uint16_t> samples;
};
bool ReferencePngDecode16(const Bytes& png, WideImage& out);

// Checks a decoded 8-bit pixel against a premultiplied 16-bit reference
// sample set: alpha is the high byte of the reference alpha, and each colour
// channel is the high byte of the colour that premultiplies to the reference
// (exact for opaque pixels, within premultiplication rounding otherwise).
bool MatchesWidePixel(RasterPixel pixel, const uint16_t* rgba);

// Reference JPEG decode with plain libjpeg calls straight into B, G, R, A
// (libjpeg-turbo's extended colour space), a different output path from ours.
bool ReferenceJpegDecode(const Bytes& jpeg, PixelImage& out);

// Encodes a JPEG from interleaved samples (1 component grey, 3 RGB, 4 CMYK).
Bytes EncodeJpeg(int width, int height, int components, const Bytes& samples);

// Encodes an 8- or 16-bit PNG of any colour type from raw, packed rows.
Bytes EncodePng(int width, int height, int bitDepth, int colourType, const Bytes& rows);

// Offset just past the last IDAT chunk (0 when there is none): a PNG cut
// anywhere before it lacks image data.
size_t PngEndOfImageData(const Bytes& png);

// The file with every chunk of the given types removed (the signature and the
// other chunks byte for byte as they were).
Bytes PngWithoutChunks(const Bytes& png, const std::vector<std::string>& types);

// True when offset lies inside IHDR, PLTE or IDAT (or the signature): a
// flipped bit there must be caught by the chunk checksum.
bool PngOffsetInCriticalChunk(const Bytes& png, size_t offset);
