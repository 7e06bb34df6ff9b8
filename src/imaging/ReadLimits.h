#pragma once
// The limits an image reader works within, given with every call: the holder
// passes the program's defaults, fuzz targets and tests smaller ones. Readers
// check every size a file claims against them before they allocate anything
// for it.

#include <cstdint>

#include "imaging/Bitmap.h"

struct TReadLimits {
  // The picture: width × height, and its pixel buffer at 24 bits per pixel
  // (what even a 1-bit result becomes on display), rows padded.
  uint64_t MaxPixels = MaxBitmapBytes / 3;
  uint64_t MaxBytes = MaxBitmapBytes;
  // A decoder's own working memory beyond the picture (libjpeg's).
  uint64_t MaxWorkBytes = uint64_t{256} << 20;
  // TIFF directories followed along the chain.
  int MaxPages = 10000;
  // JPEG scans, and the coefficient blocks they pass over together.
  int MaxScans = 1000;
  uint64_t MaxBlockVisits = uint64_t{1} << 24;

  // True when a picture of that size stays within MaxPixels and MaxBytes.
  bool PictureFits(int64_t width, int64_t height) const;
};
