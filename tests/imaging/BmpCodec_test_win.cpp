// The reader against the platform's own bitmap: each file drawn by GDI
// (StretchDIBits into a white 24-bit DIB section) and decoded by us gives the
// same pixels, palettes, bit fields and run-length codes alike.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "BmpTestFiles.h"
#include "framework/Handles_win.h"
#include "imaging/BmpCodec.h"

namespace {

using bmptest::Put32;
using bmptest::TFile;

struct TPicture {
  int Width = 0, Height = 0;
  std::vector<uint8_t> Rows;  // top-down, 3 bytes a pixel, unpadded
};

TPicture Platform(const std::vector<uint8_t>& file, int width, int height) {
  uint32_t offset = 0;
  std::memcpy(&offset, file.data() + 10, 4);
  std::vector<uint32_t> info((offset - 14 + 3) / 4);  // header and table, aligned
  std::memcpy(info.data(), file.data() + 14, offset - 14);
  BITMAPINFO target{};
  target.bmiHeader.biSize = sizeof target.bmiHeader;
  target.bmiHeader.biWidth = width;
  target.bmiHeader.biHeight = -height;
  target.bmiHeader.biPlanes = 1;
  target.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  const TMemoryDC dc(CreateCompatibleDC(nullptr));
  const TGdiObject<HBITMAP> section(CreateDIBSection(dc.Get(), &target, DIB_RGB_COLORS, &bits, nullptr, 0));
  const TSelection selection(dc.Get(), section.Get());
  const size_t stride = (size_t(width) * 3 + 3) / 4 * 4;
  std::memset(bits, 0xFF, stride * size_t(height));
  const int lines = StretchDIBits(dc.Get(), 0, 0, width, height, 0, 0, width, height, file.data() + offset,
                                  reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(lines, height) << "the platform refused the file";
  GdiFlush();
  TPicture picture{width, height, {}};
  for (int y = 0; y < height; ++y) {
    const auto* row = static_cast<const uint8_t*>(bits) + stride * size_t(y);
    picture.Rows.insert(picture.Rows.end(), row, row + size_t(width) * 3);
  }
  return picture;
}

// Ours, a 1-bit result shown in its own table colours.
TPicture Ours(const std::vector<uint8_t>& file) {
  TByteSource stream(file);
  const auto bitmap = ReadBitmapStream(stream, TReadLimits{});
  TPicture picture{bitmap->Width(), bitmap->Height(), {}};
  for (int y = 0; y < bitmap->Height(); ++y) {
    const uint8_t* row = bitmap->ScanLine(y);
    for (int x = 0; x < bitmap->Width(); ++x) {
      if (bitmap->PixelFormat() == TPixelFormat::pf24bit) {
        picture.Rows.insert(picture.Rows.end(), row + x * 3, row + x * 3 + 3);
        continue;
      }
      const TRGBQuad& c = bitmap->Palette[(row[x / 8] >> (7 - x % 8)) & 1];
      picture.Rows.insert(picture.Rows.end(), {c.Blue, c.Green, c.Red});
    }
  }
  return picture;
}

void ExpectAsPlatform(const TFile& file, const char* what) {
  const std::vector<uint8_t> bytes = file.Bytes();
  const TPicture ours = Ours(bytes);
  const TPicture platform = Platform(bytes, ours.Width, ours.Height);
  EXPECT_EQ(ours.Rows, platform.Rows) << what;
}

TFile Indexed(uint16_t bits, int width, int height, std::vector<uint8_t> pixels) {
  TFile f;
  f.Width = width;
  f.Height = height;
  f.Bits = bits;
  f.ClrUsed = 1u << bits;
  for (uint32_t i = 0; i < f.ClrUsed; ++i) f.Table.push_back(i * 0x3B5F17 & 0xFFFFFF);
  f.Pixels = std::move(pixels);
  return f;
}

}  // namespace

TEST(BmpCodec_ReadBitmapStream, PalettesAsThePlatformDrawsThem) {
  TFile eight = Indexed(8, 5, 2, {0, 1, 77, 200, 255, 0, 0, 0, 9, 8, 7, 6, 5, 0, 0, 0});
  ExpectAsPlatform(eight, "8 bits");
  eight.ClrUsed = 3;  // indices beyond the table
  eight.Table.resize(3);
  ExpectAsPlatform(eight, "8 bits, short table");
  ExpectAsPlatform(Indexed(4, 5, 1, {0x01, 0x9F, 0xA0, 0}), "4 bits");
  TFile one = Indexed(1, 11, 2, {0xA5, 0x40, 0, 0, 0x3C, 0xE0, 0, 0});
  ExpectAsPlatform(one, "1 bit");
  one.ClrUsed = 1;
  one.Table.resize(1);
  ExpectAsPlatform(one, "1 bit, one colour");
  TFile core = Indexed(8, 3, 1, {3, 2, 1, 0});
  core.HeaderSize = 12;
  ExpectAsPlatform(core, "core header");
}

TEST(BmpCodec_ReadBitmapStream, BitFieldsAsThePlatformDrawsThem) {
  TFile sixteen;
  sixteen.Width = 8;
  sixteen.Bits = 16;
  sixteen.Pixels = {0xFF, 0xFF, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x10, 0x00, 0x00, 0x01, 0x00, 0x80, 0x34, 0x42};
  ExpectAsPlatform(sixteen, "plain 16");
  sixteen.Compression = 3;
  const std::vector<std::vector<uint32_t>> masks16 = {{0xF800, 0x07E0, 0x001F}, {0x0F00, 0x00F0, 0x000F},
                                                      {0x8000, 0x4000, 0x0001}, {0x0007, 0x0038, 0x01C0},
                                                      {0x0505, 0x0A0A, 0xF000}, {0, 0, 0}};
  for (const auto& masks : masks16) {
    sixteen.Masks = masks;
    ExpectAsPlatform(sixteen, "16-bit masks");
  }
  TFile wide;
  wide.Width = 4;
  wide.Bits = 32;
  for (uint32_t p : {0xFFFFFFFFu, 0x3FF00000u, 0x00100401u, 0x12345678u}) Put32(wide.Pixels, p);
  ExpectAsPlatform(wide, "plain 32");
  wide.Compression = 3;
  for (const auto& masks : std::vector<std::vector<uint32_t>>{
           {0x3FF00000, 0x000FFC00, 0x000003FF}, {0xFFFF0000, 0x0000FFFF, 0}, {0xFF, 0xFF00, 0xFF0000}}) {
    wide.Masks = masks;
    ExpectAsPlatform(wide, "32-bit masks");
    wide.HeaderSize = 108;
    ExpectAsPlatform(wide, "32-bit masks in the header");
    wide.HeaderSize = 40;
  }
}

TEST(BmpCodec_ReadBitmapStream, RunLengthAsThePlatformDrawsIt) {
  // runs past the row, literals with padding, deltas, pixels past the top
  TFile rle8 = Indexed(8, 5, 3, {7, 1, 0, 0, 0, 3, 2, 3, 4, 0, 0, 2, 1, 1, 1, 3, 0, 0, 2, 6, 0, 1});
  rle8.Compression = 1;
  rle8.SizeImage = uint32_t(rle8.Pixels.size());
  ExpectAsPlatform(rle8, "RLE8");
  TFile rle4 = Indexed(4, 6, 2, {2, 0x12, 0, 2, 2, 0, 2, 0xF1, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 1, 0xE0, 0, 1});
  rle4.Compression = 2;
  rle4.SizeImage = uint32_t(rle4.Pixels.size());
  ExpectAsPlatform(rle4, "RLE4");
}

TEST(BmpCodec_ReadBitmapStream, TopDownAsThePlatformDrawsIt) {
  TFile f;
  f.Width = 2;
  f.Height = -2;
  f.Pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  ExpectAsPlatform(f, "top-down");
}
