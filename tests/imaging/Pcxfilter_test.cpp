// PCX reading on files built here byte by byte.

#include "imaging/Pcxfilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Exceptions.h"
#include "TempDir.h"
#include "imaging/Imageholder.h"
#include "imaging/PlatformPicture.h"

namespace {

using TBytes = std::vector<uint8_t>;

struct TPcx {
  int Manufacturer = 10;
  int Encoding = 1;
  int Bits = 8;
  int XMin = 0, YMin = 0, XMax = 0, YMax = 0;
  int XDpi = 72, YDpi = 150;
  int Planes = 1;
  int BytesPerLine = 1;
  TBytes Data;
  TBytes Palette;  // appended after the data, no marker byte

  TBytes Bytes() const {
    TBytes out(128 + Data.size() + Palette.size(), 0);
    const auto put16 = [&](size_t at, int v) {
      out[at] = uint8_t(v);
      out[at + 1] = uint8_t(v >> 8);
    };
    out[0] = uint8_t(Manufacturer);
    out[1] = 5;
    out[2] = uint8_t(Encoding);
    out[3] = uint8_t(Bits);
    put16(4, XMin);
    put16(6, YMin);
    put16(8, XMax);
    put16(10, YMax);
    put16(12, XDpi);
    put16(14, YDpi);
    for (int i = 0; i < 16; ++i) {  // entry i: (16 i, 255 - i, i) red, green, blue
      out[size_t(16 + i * 3)] = uint8_t(16 * i);
      out[size_t(17 + i * 3)] = uint8_t(255 - i);
      out[size_t(18 + i * 3)] = uint8_t(i);
    }
    out[65] = uint8_t(Planes);
    put16(66, BytesPerLine);
    std::copy(Data.begin(), Data.end(), out.begin() + 128);
    std::copy(Palette.begin(), Palette.end(), out.begin() + 128 + std::ptrdiff_t(Data.size()));
    return out;
  }
};

// 256 entries: (i, i / 2, 255 - i) as red, green, blue.
TBytes Palette256() {
  TBytes out;
  for (int i = 0; i < 256; ++i) out.insert(out.end(), {uint8_t(i), uint8_t(i / 2), uint8_t(255 - i)});
  return out;
}

struct TResult {
  std::unique_ptr<TBitmap> Bitmap;
  int XDpi = -1, YDpi = -1;
};

TResult Read(const TPcx& pcx, const TReadLimits& limits = TReadLimits{}) {
  const TBytes file = pcx.Bytes();
  TByteSource stream(file);
  TProgressRec progress;
  TResult r;
  r.Bitmap = ReadPcxStream(stream, r.XDpi, r.YDpi, progress, file.size(), limits);
  return r;
}

std::string Message(const TPcx& pcx) {
  try {
    Read(pcx);
  } catch (const EInvalidGraphic& e) {
    return e.Message();
  }
  return "";
}

// Red, green, blue of a pixel.
std::vector<int> Rgb(const TBitmap& bitmap, int x, int y) {
  const uint8_t* p = bitmap.ScanLine(y) + x * 3;
  return {p[2], p[1], p[0]};
}

TPcx EightBit() {
  TPcx pcx;
  pcx.XMax = 2, pcx.YMax = 1, pcx.BytesPerLine = 4;
  pcx.Data = {0xC3, 200, 9, 0xC1, 0xC1, 1, 2, 0xC2, 3};
  pcx.Palette = Palette256();
  return pcx;
}

}  // namespace

TEST(Pcxfilter_ReadPcxStream, PictureBeyondTheCallersLimitsIsRejected) {
  TReadLimits limits;
  limits.MaxPixels = 6;
  EXPECT_EQ(Read(EightBit(), limits).Bitmap->Width(), 3);
  limits.MaxPixels = 5;
  EXPECT_THROW(Read(EightBit(), limits), EInvalidGraphic);
}

TEST(Pcxfilter_ReadPcxStream, EightBitTakesThePaletteFromTheLastBytesWithoutMarker) {
  const TResult r = Read(EightBit());
  EXPECT_EQ(r.Bitmap->Width(), 3);
  EXPECT_EQ(r.Bitmap->Height(), 2);
  EXPECT_EQ(Rgb(*r.Bitmap, 0, 0), (std::vector<int>{200, 100, 55}));
  EXPECT_EQ(Rgb(*r.Bitmap, 0, 1), (std::vector<int>{193, 96, 62}));  // a run of the byte 0xC1
  EXPECT_EQ(Rgb(*r.Bitmap, 2, 1), (std::vector<int>{2, 1, 253}));
  EXPECT_EQ(r.XDpi, 72);
  EXPECT_EQ(r.YDpi, 150);
}

TEST(Imageio_LoadFromFile, PcxWithoutResolutionReportsTheScreens) {
  TPcx pcx = EightBit();
  pcx.YDpi = 0;
  const TBytes bytes = pcx.Bytes();
  TTempDir dir;
  dir.Write("a.pcx", std::string(bytes.begin(), bytes.end()));
  TImageHolder holder(nullptr);
  ASSERT_TRUE(holder.LoadFromFile(dir.Join("a.pcx")));
  EXPECT_EQ(holder.IO().XDotsPerInch(), ScreenResolution().X);
  EXPECT_EQ(holder.IO().YDotsPerInch(), ScreenResolution().Y);
}

TEST(Pcxfilter_ReadPcxStream, FourBitHighNibbleIsTheLeftPixel) {
  TPcx pcx;
  pcx.Bits = 4, pcx.XMax = 2, pcx.BytesPerLine = 2;  // odd width: the last byte's high nibble
  pcx.Data = {0x12, 0x3F};
  const TResult r = Read(pcx);
  EXPECT_EQ(Rgb(*r.Bitmap, 0, 0), (std::vector<int>{16, 254, 1}));
  EXPECT_EQ(Rgb(*r.Bitmap, 1, 0), (std::vector<int>{32, 253, 2}));
  EXPECT_EQ(Rgb(*r.Bitmap, 2, 0), (std::vector<int>{48, 252, 3}));
}

TEST(Pcxfilter_ReadPcxStream, OneBitGivesExactlyTheWidthInBlackAndWhite) {
  TPcx pcx;
  pcx.Bits = 1, pcx.XMax = 9, pcx.BytesPerLine = 2, pcx.Encoding = 0;
  pcx.Data = {0xA5, 0x40};
  const TResult r = Read(pcx);
  EXPECT_EQ(r.Bitmap->Width(), 10);
  const std::vector<int> expected = {1, 0, 1, 0, 0, 1, 0, 1, 0, 1};
  for (int x = 0; x < 10; ++x) EXPECT_EQ(Rgb(*r.Bitmap, x, 0)[0], expected[size_t(x)] * 255) << x;
}

TEST(Pcxfilter_ReadPcxStream, ThreePlanesAreRedGreenBlue) {
  TPcx pcx;
  pcx.Planes = 3, pcx.XMax = 1, pcx.YMax = 1, pcx.BytesPerLine = 2;
  pcx.Data = {0xC2, 10, 20, 30, 0xC2, 40, 1, 2, 3, 4, 5, 6};
  const TResult r = Read(pcx);
  EXPECT_EQ(Rgb(*r.Bitmap, 0, 0), (std::vector<int>{10, 20, 40}));
  EXPECT_EQ(Rgb(*r.Bitmap, 1, 0), (std::vector<int>{10, 30, 40}));
  EXPECT_EQ(Rgb(*r.Bitmap, 1, 1), (std::vector<int>{2, 4, 6}));
}

TEST(Pcxfilter_ReadPcxStream, RunsEndAtTheLineEndAndEmptyRunsAddNothing) {
  TPcx pcx;
  pcx.XMax = 1, pcx.YMax = 1, pcx.BytesPerLine = 2;
  pcx.Data = {0xFF, 7, 0xC0, 99, 8, 9};  // 63 sevens fill line 0; the next line starts after them
  pcx.Palette = Palette256();
  const TResult r = Read(pcx);
  EXPECT_EQ(Rgb(*r.Bitmap, 1, 0)[0], 7);
  EXPECT_EQ(Rgb(*r.Bitmap, 0, 1)[0], 8);
  EXPECT_EQ(Rgb(*r.Bitmap, 1, 1)[0], 9);
}

TEST(Pcxfilter_ReadPcxStream, OtherDepthsLoadWhite) {
  TPcx pcx;
  pcx.Bits = 2, pcx.XMax = 4, pcx.YMax = 2, pcx.BytesPerLine = 2;
  pcx.Data = {0xC6, 0x1B, 0xC2, 0x1B, 0x1B, 0x1B};
  const TResult r = Read(pcx);
  EXPECT_EQ(r.Bitmap->Width(), 5);
  EXPECT_EQ(r.Bitmap->Height(), 3);
  for (int y = 0; y < 3; ++y) EXPECT_EQ(Rgb(*r.Bitmap, 4, y), (std::vector<int>{255, 255, 255}));
}

TEST(Pcxfilter_ReadPcxStream, ProgressPerRow) {
  TPcx pcx = EightBit();
  pcx.YMax = 3;
  pcx.Data.insert(pcx.Data.begin(), pcx.Data.begin(), pcx.Data.end());
  const TBytes file = pcx.Bytes();
  std::vector<int> seen;
  TProgressRec progress{TProgressEvent([&](TObject*, int percent) { seen.push_back(percent); })};
  TByteSource stream(file);
  int x = 0, y = 0;
  ReadPcxStream(stream, x, y, progress, file.size(), TReadLimits{});
  EXPECT_EQ(seen, (std::vector<int>{0, 25, 50, 75}));
}

TEST(Pcxfilter_ReadPcxStream, RejectsBrokenHeaders) {
  const auto with = [](auto change) {
    TPcx pcx = EightBit();
    change(pcx);
    return Message(pcx);
  };
  EXPECT_EQ(with([](TPcx& p) { p.Manufacturer = 11; }), "unrecognized PCX");
  EXPECT_EQ(with([](TPcx& p) { p.Bits = 9; }), "unrecognized PCX");
  EXPECT_EQ(with([](TPcx& p) { p.Planes = 4; }), "unrecognized PCX");
  EXPECT_EQ(with([](TPcx& p) { p.Encoding = 2; }), "unrecognized PCX");
  EXPECT_EQ(with([](TPcx& p) { p.XMin = 3; }), "unrecognized PCX") << "width 0";
  EXPECT_EQ(with([](TPcx& p) { p.YMin = 9; }), "unrecognized PCX") << "negative height";
  EXPECT_EQ(with([](TPcx& p) { p.BytesPerLine = 2; }), "unrecognized PCX") << "line shorter than the width";
  EXPECT_EQ(with([](TPcx& p) { p.Bits = 4, p.XMax = 4, p.BytesPerLine = 2; }), "unrecognized PCX");
  EXPECT_EQ(with([](TPcx& p) { p.Bits = 1, p.XMax = 8, p.BytesPerLine = 1; }), "unrecognized PCX");
  EXPECT_EQ(with([](TPcx& p) { p.Planes = 3, p.Bits = 1, p.BytesPerLine = 1; }), "unrecognized PCX");
  EXPECT_EQ(with([](TPcx& p) { p.Palette.resize(600); }), "unrecognized PCX") << "no room for the palette";
  EXPECT_EQ(Message(TPcx{}), "unrecognized PCX") << "no data";
  const TBytes header(100, 10);
  TByteSource stream(header);
  TProgressRec progress;
  int x = 0, y = 0;
  EXPECT_THROW(ReadPcxStream(stream, x, y, progress, header.size(), TReadLimits{}), EInvalidGraphic);
}

TEST(Pcxfilter_ReadPcxStream, RejectsDataEndingEarlyAndSizesTheFileCannotFill) {
  TPcx raw;
  raw.Encoding = 0, raw.Bits = 1, raw.XMax = 15, raw.YMax = 1, raw.BytesPerLine = 2;
  raw.Data = {1, 2, 3};
  EXPECT_EQ(Message(raw), "unrecognized PCX");
  TPcx run = raw;
  run.Encoding = 1;
  run.Data = {1, 2, 0xC2};  // a run without its value byte
  EXPECT_EQ(Message(run), "unrecognized PCX");
  TPcx huge = raw;
  huge.XMax = 65535, huge.YMax = 65535, huge.BytesPerLine = 8192;
  EXPECT_EQ(Message(huge), "unrecognized PCX");
  TPcx tall = raw;
  tall.Bits = 2, tall.XMax = 3, tall.YMax = 60000, tall.BytesPerLine = 1;
  EXPECT_EQ(Message(tall), "unrecognized PCX") << "more rows than data bytes";
}
