#pragma once
// JPEG files through libjpeg (libjpeg-turbo).
// Accepts: baseline, extended and progressive JPEG, Huffman or arithmetic
// coded, with one component (greyscale, expanded to grey pixels) or three
// (YCbCr or RGB); restart markers; data that stops early (libjpeg fills the
// rest of the picture as it does for truncated data; corrupt-data warnings
// are ignored).
// Limits, from the caller's TReadLimits: up to MaxScans scans, which together
// pass over at most MaxBlockVisits coefficient blocks (the usual ten scans of
// an 8000 by 6000 colour photograph pass over 6 million); libjpeg's own
// working memory (the whole-image coefficient buffer of multi-scan files) to
// MaxWorkBytes (by default 256 MiB, which holds progressive colour photographs
// of 44 megapixels); the picture to MaxPixels and MaxBytes, checked before
// decompression starts.
// Rejects with EInvalidGraphic("Unrecognized JPeg - JPEG error #<libjpeg's
// message code>"): everything libjpeg reports as an error, among them empty
// input, four components (CMYK, YCCK), 12-bit and lossless files, pictures
// and scans beyond the limits (a picture too large is error JERR_IMAGE_TOO_BIG).

#include <cstddef>
#include <cstdint>
#include <memory>

#include "imaging/Bitmap.h"
#include "imaging/ByteSource.h"
#include "imaging/ProgressRec.h"
#include "imaging/ReadLimits.h"

// xDpi and yDpi receive the JFIF density (units 0 and 1 as they are, dots per
// centimetre times 2.54, otherwise 0). Progress is reported per output row.
std::unique_ptr<TBitmap> ReadJPegStream(TByteSource& stream, int& xDpi, int& yDpi, TProgressRec& progress,
                                        const TReadLimits& limits);

namespace JpegDetail {
// The same reader taking its input in blocks of blockSize bytes (1 to 4096)
// instead of 4096, so that tests can make every refill and skip cross a block
// boundary.
std::unique_ptr<TBitmap> ReadJPegStream(TByteSource& stream, int& xDpi, int& yDpi, TProgressRec& progress,
                                        const TReadLimits& limits, size_t blockSize);
}  // namespace JpegDetail
