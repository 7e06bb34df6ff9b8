#pragma once
// TIFF files, strips only.
// Accepts: both byte orders; any page of the directory chain; compressions
// none, CCITT modified Huffman, T.4 (1-D and 2-D), T.6, LZW (with horizontal
// differencing) and PackBits; RGB 8-bit chunky and planar, palette 4/8-bit,
// grey 4/8-bit and 16-bit uncompressed, bilevel. A file without strip
// offsets (tiled) loads as a white page.
// Rejects with EInvalidGraphic("unrecognized TIFF"): a byte-order mark other
// than "II"/"MM", directory chains that loop or leave the file, strips outside
// the file, a missing page, an image larger than MaxBitmapBytes; with
// EInvalidGraphic("Invalid TIFF stream"): BitsPerSample values that differ.
// An unsupported chunky sample layout raises EInvalidGraphicOperation
// ("Scan line index out of range").

#include <memory>

#include "imaging/Bitmap.h"
#include "imaging/ByteSource.h"
#include "imaging/ProgressRec.h"

// Page `page` of the stream: a 1-bit bitmap (set bit white) for one sample of
// one bit, otherwise 24-bit; nullptr when that page has no entries.
std::unique_ptr<TBitmap> TIFFReadStream(TByteSource& stream, int page, int& pageCount,
                                        TProgressRec& progress, int& xDpi, int& yDpi);
