#pragma once
// PNG files through libspng.
// Accepts: every colour type and bit depth of PNG: greyscale of 1, 2, 4, 8
// and 16 bits, RGB of 8 and 16, palette of 1 to 8, greyscale and RGB with
// alpha of 8 and 16; transparency (tRNS) of palette, greyscale and RGB
// pictures; Adam7 interlacing; an APNG's default image (the animation's
// chunks are stepped over). 16-bit samples keep their high byte, and gamma,
// colour profiles and significant bits are not applied, as browsers show
// PNG files by default. Pixels that are not opaque are composited over the
// caller's matte colour. An ancillary chunk whose checksum fails is dropped.
// Limits: the picture within the caller's TReadLimits (pixels and bytes);
// libspng's chunks, and its cache of the ancillary ones, to MaxWorkBytes;
// rows are decoded one at a time, but an interlaced picture with
// transparency needs a working copy of 4 bytes a pixel, also held to
// MaxWorkBytes.
// Rejects with EInvalidGraphic("PNG error: <libspng's message>"): everything
// libspng reports as an error, among them a wrong signature or header, a
// critical chunk whose checksum fails, broken compressed data, and data that
// ends before the last row (no part of a picture is shown); with
// EInvalidGraphic("PNG error: picture too large"): a picture beyond the
// limits; with EInvalidGraphic("PNG error: more rows than the data can
// hold"): a picture whose samples the file could not hold at deflate's best
// ratio (1032 to 1), refused before the picture is made.

#include <memory>

#include "imaging/Bitmap.h"
#include "imaging/ByteSource.h"
#include "imaging/ProgressRec.h"
#include "imaging/ReadLimits.h"

// The PNG file that fills the stream from its position on. Progress is
// reported per row of the finished picture.
std::unique_ptr<TBitmap> ReadPngStream(TByteSource& stream, TColor matte, TProgressRec& progress,
                                       const TReadLimits& limits);
