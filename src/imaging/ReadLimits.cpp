#include "imaging/ReadLimits.h"

bool TReadLimits::PictureFits(int64_t width, int64_t height) const {
  if (!TBitmap::SizeAllowed(width, height, TPixelFormat::pf24bit)) return false;
  if (height == 0) return true;
  const uint64_t rows = uint64_t(height);
  return uint64_t(width) <= MaxPixels / rows && TBitmap::RowBytes(int(width), TPixelFormat::pf24bit) <= MaxBytes / rows;
}
