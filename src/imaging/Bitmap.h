#pragma once
// The in-memory picture: a device-independent bitmap of 24 bits per pixel
// (bytes blue, green, red) or 1 bit per pixel (most significant bit first,
// set bit = palette index 1), rows padded to 4 bytes, row 0 at the top.
// A new or resized bitmap is white. Sizes are bounded: a pixel buffer larger
// than MaxBitmapBytes is refused with EInvalidGraphic, so no header field of
// a file can make us allocate without limit.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

enum class TPixelFormat { pf1bit, pf24bit };

struct TRGBQuad {
  uint8_t Blue = 0, Green = 0, Red = 0, Reserved = 0;
  bool operator==(const TRGBQuad&) const = default;
};

// A colour as the framework passes it around: 0x00BBGGRR.
using TColor = uint32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor ColorOf(const TRGBQuad& q) {
  return TColor(q.Red) | TColor(q.Green) << 8 | TColor(q.Blue) << 16;
}

// Brightness of a colour as the two-colour reduction and the 1-bit readers
// compare it: R((30r + 59g + 11b) / 100).
uint8_t Brightness(const TRGBQuad& colour);

inline constexpr uint64_t MaxBitmapBytes = uint64_t{1} << 30;  // 1 GiB

// Pixel memory that is not cleared when it is made: SetSize paints it white
// itself, and a reader that writes every pixel skips that (TBitmap::Unfilled).
template <class T>
struct TRawAllocator : std::allocator<T> {
  using value_type = T;
  template <class U>
  struct rebind {
    using other = TRawAllocator<U>;
  };
  TRawAllocator() = default;
  template <class U>
  TRawAllocator(const TRawAllocator<U>&) noexcept {}
  template <class U>
  void construct(U* at) noexcept {
    ::new (static_cast<void*>(at)) U;
  }
  template <class U, class... Args>
  void construct(U* at, Args&&... args) {
    ::new (static_cast<void*>(at)) U(static_cast<Args&&>(args)...);
  }
};

class TBitmap {
public:
  TBitmap() = default;
  TBitmap(int width, int height, TPixelFormat format = TPixelFormat::pf24bit);
  // A 24-bit bitmap whose pixels are whatever the memory held, for a reader
  // that writes every one of them.
  static TBitmap Unfilled(int width, int height);

  // True when a bitmap of this size and format stays within MaxBitmapBytes.
  static bool SizeAllowed(int64_t width, int64_t height, TPixelFormat format);
  // Bytes in one padded row.
  static size_t RowBytes(int width, TPixelFormat format);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  TPixelFormat PixelFormat() const { return FFormat; }
  size_t Stride() const { return FStride; }
  bool Empty() const { return FWidth == 0 || FHeight == 0; }

  // Replaces the pixels by a white bitmap of the new size and format.
  void SetSize(int width, int height, TPixelFormat format = TPixelFormat::pf24bit);

  // Row y, top row 0; EInvalidGraphicOperation "Scan line index out of range"
  // for a row the bitmap does not have.
  uint8_t* ScanLine(int y);
  const uint8_t* ScanLine(int y) const;

  uint8_t* Bits() { return FPixels.data(); }
  const uint8_t* Bits() const { return FPixels.data(); }
  size_t ByteSize() const { return FPixels.size(); }

  // Colour table: for a 1-bit bitmap the two colours of its indices; a 24-bit
  // bitmap carries one only when it came from a run-length BMP file and is
  // written back with that table.
  std::vector<TRGBQuad> Palette;

private:
  int FWidth = 0;
  int FHeight = 0;
  TPixelFormat FFormat = TPixelFormat::pf24bit;
  size_t FStride = 0;
  std::vector<uint8_t, TRawAllocator<uint8_t>> FPixels;
};
