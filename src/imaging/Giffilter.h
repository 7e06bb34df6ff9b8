#pragma once
// GIF files (GIF87a and GIF89a).
// Accepts: any number of images, of which one is decoded and the others are
// stepped over; global and local colour tables; interlacing; graphic control
// extensions (transparency, delay) of the requested image. The image comes at
// its own size, wherever it lies on the logical screen.
// Limits: LZW with 4096 table entries and codes of up to 12 bits.
// Rejects with EInvalidGraphic("unrecognized GIF"): a signature other than
// "GIF", a header, colour table or image descriptor cut short, a data
// sub-block cut short, LZW codes beyond the next free table entry (which
// includes entries that would refer to themselves), minimum code sizes above
// 11, an image of width or height 0 or beyond the caller's TReadLimits, an image
// of more than 65536 pixels that the rest of the file could not encode at the
// best LZW ratio (2731 pixels a byte). Data that otherwise ends before the
// last pixel is no error: the pixels not reached stay white.

#include <cstdint>
#include <memory>
#include <string>

#include "imaging/Bitmap.h"
#include "imaging/ByteSource.h"
#include "imaging/ReadLimits.h"
#include "imaging/ProgressRec.h"

struct TGlobGifInfo {
  uint16_t Width = 0;
  uint16_t Height = 0;
  bool HasBackground = false;  // set only when the file has a global table
  TRGBQuad BackgroundColor;    // the global table's entry at the background index
  uint8_t Aspect = 0;
};

struct TGifInfo {
  uint16_t Left = 0, Top = 0, Width = 0, Height = 0;
  uint16_t Delay = 0;
  bool Transparent = false;
  TRGBQuad TransparentColor;
  bool Interlaced = false;
};

// Image `index` of the stream, or nullptr when the stream has no such image.
// imageCount receives the number of image descriptors met before the trailer.
std::unique_ptr<TBitmap> ReadGifStream(TByteSource& stream, int index, int& imageCount, TProgressRec& progress,
                                       TGlobGifInfo& globalInfo, TGifInfo& imageInfo, const TReadLimits& limits);

std::unique_ptr<TBitmap> ReadGif(const std::string& fileName, int index, int& imageCount, TProgressRec& progress,
                                 TGlobGifInfo& globalInfo, TGifInfo& imageInfo, const TReadLimits& limits);
