#include "imaging/Bitmap.h"

#include <cmath>

#include "framework/Exceptions.h"

uint8_t Brightness(const TRGBQuad& colour) {
  const double level = (30.0 * colour.Red + 59.0 * colour.Green + 11.0 * colour.Blue) / 100.0;
  return static_cast<uint8_t>(std::nearbyint(level));
}

TBitmap::TBitmap(int width, int height, TPixelFormat format) { SetSize(width, height, format); }

size_t TBitmap::RowBytes(int width, TPixelFormat format) {
  const uint64_t bits = uint64_t(width) * (format == TPixelFormat::pf24bit ? 24 : 1);
  return static_cast<size_t>((bits + 31) / 32 * 4);
}

bool TBitmap::SizeAllowed(int64_t width, int64_t height, TPixelFormat format) {
  if (width < 0 || height < 0 || width > INT32_MAX || height > INT32_MAX) return false;
  const uint64_t row = RowBytes(static_cast<int>(width), format);
  return height == 0 || row <= MaxBitmapBytes / uint64_t(height);
}

void TBitmap::SetSize(int width, int height, TPixelFormat format) {
  if (!SizeAllowed(width, height, format)) throw EInvalidGraphic("Bitmap image is not valid");
  FFormat = format;
  FStride = RowBytes(width, format);
  decltype(FPixels) white(FStride * size_t(height), 0xFF);
  FPixels.swap(white);
  FWidth = width;
  FHeight = height;
  if (format == TPixelFormat::pf1bit)
    Palette = {TRGBQuad{0, 0, 0, 0}, TRGBQuad{255, 255, 255, 0}};
  else
    Palette.clear();
}

TBitmap TBitmap::Unfilled(int width, int height) {
  if (!SizeAllowed(width, height, TPixelFormat::pf24bit)) throw EInvalidGraphic("Bitmap image is not valid");
  TBitmap bitmap;
  bitmap.FStride = RowBytes(width, TPixelFormat::pf24bit);
  bitmap.FPixels.resize(bitmap.FStride * size_t(height));
  bitmap.FWidth = width;
  bitmap.FHeight = height;
  return bitmap;
}

uint8_t* TBitmap::ScanLine(int y) {
  if (y < 0 || y >= FHeight) throw EInvalidGraphicOperation("Scan line index out of range");
  return FPixels.data() + size_t(y) * FStride;
}

const uint8_t* TBitmap::ScanLine(int y) const { return const_cast<TBitmap*>(this)->ScanLine(y); }
