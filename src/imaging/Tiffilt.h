#pragma once
// TIFF files, strips only.
// Accepts: both byte orders; any page of the directory chain; compressions
// none, CCITT modified Huffman, T.4 (1-D and 2-D), T.6 (both fill orders),
// LZW and PackBits; horizontal differencing for 8-bit samples; RGB 8-bit
// chunky and planar (planes one after the other, ceil(height / RowsPerStrip)
// strips each), palette 4/8-bit, grey 4/8-bit and 16-bit uncompressed,
// bilevel. A file without strip offsets (tiled) and planar layouts other than
// 8-bit RGB load as a white page.
// Limits: at most the caller's TReadLimits::MaxPages directories are followed,
// each offset once; the chain ends at a loop or at a directory that leaves the
// file. Width and height are at least 1 and the picture stays within the
// caller's TReadLimits; the strip decoders keep a row or two (LZW also its
// table of 4096 strings, CCITT a row's changing elements).
// Damaged strips are clamped, not rejected: a strip starting outside the file
// is empty, one running past its end (or without a byte count) ends there; a
// row cut short by the end of its strip's data is completed with zero samples
// (CCITT rows with white) and the strip's later rows stay white; strips past
// the last row are ignored; compressions not listed above leave the page white.
// Rejects with EInvalidGraphic("unrecognized TIFF"): a byte-order mark other
// than "II"/"MM", a file too short for its header, a zero or too large size,
// tag arrays that do not fit in the file; with EInvalidGraphic("Invalid TIFF
// stream"): BitsPerSample values that differ, arrays of other types than SHORT
// and LONG. An unsupported chunky sample layout raises
// EInvalidGraphicOperation("Scan line index out of range").

#include <memory>

#include "imaging/Bitmap.h"
#include "imaging/ByteSource.h"
#include "imaging/ProgressRec.h"
#include "imaging/ReadLimits.h"

// Page `page` of the stream from its current position: a 1-bit bitmap (set
// bit white) for one sample of one bit, otherwise 24-bit; nullptr when that
// page does not exist or has no entries. pageCount is the length of the chain.
std::unique_ptr<TBitmap> TIFFReadStream(TByteSource& stream, int page, int& pageCount, TProgressRec& progress,
                                        int& xDpi, int& yDpi, const TReadLimits& limits);
