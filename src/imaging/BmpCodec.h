#pragma once
// Windows bitmap files (.bmp).
// Reads: the 12-byte core header and 40-byte and larger headers (108, 124, ...);
// depths 1, 4, 8, 16, 24 and 32; no compression, RLE8, RLE4 and bit fields
// (masks after a 40-byte header or inside a larger one; 5-5-5 for plain 16-bit);
// bottom-up and top-down rows. The pixel data is taken to follow the colour
// table directly, whatever the data-offset field says. A file cut short in the
// pixel area loads with the missing rows white.
// Rejects with EInvalidGraphic("Bitmap image is not valid"): a signature other
// than "BM", planes other than 1, an unknown depth or compression, a size whose
// pixel buffer exceeds MaxBitmapBytes. A header, mask set or colour table cut
// short raises EReadError("Stream read error").
// Result: a 1-bit bitmap carrying the file's two-colour table for depth 1, a
// 24-bit bitmap (palette looked up, masks applied) for every other depth.

#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/Bitmap.h"
#include "imaging/ByteSource.h"

// An empty stream gives an empty bitmap.
std::unique_ptr<TBitmap> ReadBitmapStream(TByteSource& stream);

// The file image of a bitmap: a 24-bit bitmap at offset 54 (with its colour
// table in front when it carries one), a 1-bit bitmap with a black and white
// table at offset 62; rows bottom-up.
std::vector<uint8_t> WriteBitmapStream(const TBitmap& bitmap);
