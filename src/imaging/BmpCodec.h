#pragma once
// Windows bitmap files (.bmp).
// Reads: the 12-byte core header and 40-byte and larger headers (52, 56, 64,
// 108, 124, ...); depths 1, 4, 8, 16, 24 and 32; no compression, RLE8 (depth
// 8), RLE4 (depth 4) and bit fields (depths 16 and 32: masks after a 40-byte
// header, inside a header of 52 bytes or more), applied as the platform's
// bitmap applies them; 5-5-5 for a plain 16-bit file, 8-8-8 with the top byte
// ignored for a plain 32-bit one; bottom-up and top-down rows. The pixel data
// is taken to follow the colour table directly, whatever the data-offset field
// says. A file cut short in the pixel area loads with the missing rows white;
// so do the pixels a run-length file skips. Run-length pixels past the end of
// a row or of the picture are dropped.
// Limits: the picture within the caller's TReadLimits (pixels, and bytes at
// 24 bits per pixel, what even a 1-bit result becomes on display); colour
// tables are read whole, at most 2^depth entries kept.
// Rejects with EInvalidGraphic("Bitmap image is not valid"): a signature other
// than "BM", a header size other than 12 or at least 40, planes other than 1,
// an unknown depth or compression or a pair of them that does not go together,
// bit fields without masks (header of 41 to 51 bytes), a run-length file
// stored top-down, a negative width, a size beyond the limit. A header, mask
// set or colour table cut short raises EReadError("Stream read error").
// Result: for depth 1 a 1-bit bitmap carrying the file's two table colours;
// for every other depth a 24-bit bitmap (palette looked up, indices beyond
// the table black); a run-length file's result keeps its colour table in
// Palette. A width or height of 0 gives an empty bitmap.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/Bitmap.h"
#include "imaging/ByteSource.h"
#include "imaging/ReadLimits.h"

// An empty stream gives an empty bitmap.
std::unique_ptr<TBitmap> ReadBitmapStream(TByteSource& stream, const TReadLimits& limits);

// The file image of a bitmap, rows bottom-up: a 24-bit bitmap at offset 54,
// or, when it carries a Palette, with that table in front of the pixels and
// its count as colours used; a 1-bit bitmap with a black (index 0) and white
// (index 1) table at offset 62.
std::vector<uint8_t> WriteBitmapStream(const TBitmap& bitmap);
// The same file image written to fileName through WriteWholeFileAtomic.
void WriteBitmapFile(const std::string& fileName, const TBitmap& bitmap);
