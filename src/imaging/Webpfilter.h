#pragma once
// WebP files through libwebp.
// Accepts: lossy (VP8) and lossless (VP8L) pictures, with or without alpha,
// in the simple and the extended file layout (colour profiles and metadata
// stepped over); of an animation, its first frame on the canvas, as an
// animation starts (the canvas outside the frame is transparent). Decoding
// keeps libwebp's defaults: fancy upsampling, no dithering. Pixels that are
// not opaque are composited over the caller's matte colour.
// Limits: the canvas within the caller's TReadLimits (pixels and bytes);
// libwebp's own working copy of a lossless frame and our copy of a frame
// with alpha, 4 bytes a pixel each, to MaxWorkBytes.
// Rejects with EInvalidGraphic("WebP error: <what>"): a file that libwebp's
// demuxer cannot parse (not RIFF/WEBP, chunks that run past the end or do
// not fit together, a file cut short), a frame that libwebp cannot decode,
// a picture beyond the limits.

#include <memory>

#include "imaging/Bitmap.h"
#include "imaging/ByteSource.h"
#include "imaging/ProgressRec.h"
#include "imaging/ReadLimits.h"

// The WebP file that fills the stream from its position on. Progress is
// reported at the start and the end.
std::unique_ptr<TBitmap> ReadWebPStream(TByteSource& stream, TColor matte, TProgressRec& progress,
                                        const TReadLimits& limits);
