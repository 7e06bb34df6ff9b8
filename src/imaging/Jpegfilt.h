#pragma once
// JPEG files through libjpeg.
// Accepts: baseline, extended and progressive Huffman-coded JPEG with one
// (greyscale, expanded to grey pixels) or three components; data that stops
// early (the rest of the picture is filled as libjpeg fills truncated data).
// Rejects with EInvalidGraphic("Unrecognized JPeg - JPEG error #<code>"):
// everything libjpeg reports as an error, among them empty input, four
// components (CMYK, YCCK), arithmetic coding, and progressive files with more
// than MaxJpegScans scans; also a picture larger than MaxBitmapBytes.

#include <memory>

#include "imaging/Bitmap.h"
#include "imaging/ByteSource.h"
#include "imaging/ProgressRec.h"

inline constexpr int MaxJpegScans = 1000;

// xDpi and yDpi receive the JFIF density (units 0 and 1 as they are, dots per
// centimetre times 2.54, otherwise 0).
std::unique_ptr<TBitmap> ReadJPegStream(TByteSource& stream, int& xDpi, int& yDpi,
                                        TProgressRec& progress);
