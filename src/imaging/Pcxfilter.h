#pragma once
// PCX files (ZSoft Paintbrush).
// Accepts: 1-bit, 4-bit (16-entry header palette, high nibble first) and 8-bit
// (256-entry palette in the last 768 bytes) single-plane images, and three
// 8-bit planes (24-bit); run-length or uncompressed lines. Other depths of one
// plane load as a white picture of the header's size.
// Rejects with EInvalidGraphic("unrecognized PCX"): manufacturer other than 10,
// more than 8 bits per pixel, planes other than 1 or 3, encoding other than 0
// or 1, a window of width or height 0 or less, plane lines shorter than the
// pixels they must supply (one byte a pixel for three planes), data that ends
// before the last row, an 8-bit file too short for header and palette, an
// image beyond the caller's TReadLimits.

#include <cstddef>
#include <memory>
#include <string>

#include "imaging/Bitmap.h"
#include "imaging/ByteSource.h"
#include "imaging/ReadLimits.h"
#include "imaging/ProgressRec.h"

// Reads `size` bytes of PCX data from the stream's position. The resolution is
// the header's, 0 included (a file that states none).
std::unique_ptr<TBitmap> ReadPcxStream(TByteSource& stream, int& xDpi, int& yDpi, TProgressRec& progress, size_t size,
                                       const TReadLimits& limits);

std::unique_ptr<TBitmap> ReadPcx(const std::string& fileName, int& xDpi, int& yDpi, TProgressRec& progress,
                                 const TReadLimits& limits);
