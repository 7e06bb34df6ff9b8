#include "imaging/Tiffilt.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "TiffTestFiles.h"
#include "framework/Exceptions.h"

using tifftest::Build;
using tifftest::Long;
using tifftest::Short;
using tifftest::TPage;

namespace {

struct TLoaded {
  std::unique_ptr<TBitmap> Bitmap;
  int Pages = -1, XDpi = -1, YDpi = -1;
  std::vector<int> Progress;
};

TLoaded Load(const std::vector<uint8_t>& bytes, int page = 0, const TReadLimits& limits = TReadLimits{}) {
  TByteSource stream(bytes);
  TLoaded result;
  TProgressRec progress;
  progress.OnProgress = TProgressEvent(
      std::function<void(TObject*, int)>([&result](TObject*, int percent) { result.Progress.push_back(percent); }));
  result.Bitmap = TIFFReadStream(stream, page, result.Pages, progress, result.XDpi, result.YDpi, limits);
  return result;
}

std::array<uint8_t, 3> Pixel(const TBitmap& b, int x, int y) {
  const uint8_t* p = b.ScanLine(y) + 3 * x;
  return {p[0], p[1], p[2]};
}

std::array<uint8_t, 3> Grey(uint8_t v) { return {v, v, v}; }

// An 8-bit grey page of the given size whose samples are the bytes given.
TPage GreyPage(int width, int height, std::vector<std::vector<uint8_t>> strips, uint32_t rowsPerStrip = 0) {
  TPage page;
  page.Set(256, width).Set(257, height).Set(258, 8).Set(262, 1);
  if (rowsPerStrip) page.Set(278, rowsPerStrip);
  page.Strips = std::move(strips);
  return page;
}

std::vector<uint8_t> Ramp(size_t size, int step = 1) {
  std::vector<uint8_t> v(size);
  for (size_t i = 0; i < size; ++i) v[i] = uint8_t(i * size_t(step));
  return v;
}

bool SamePixels(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.PixelFormat() != b.PixelFormat()) return false;
  const size_t bytes = a.PixelFormat() == TPixelFormat::pf24bit ? size_t(a.Width()) * 3 : (size_t(a.Width()) + 7) / 8;
  for (int y = 0; y < a.Height(); ++y)
    if (std::memcmp(a.ScanLine(y), b.ScanLine(y), bytes) != 0) return false;
  return true;
}

void ExpectUnrecognized(const std::vector<uint8_t>& bytes) {
  try {
    Load(bytes);
    FAIL() << "loaded";
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "unrecognized TIFF");
  }
}

}  // namespace

TEST(TIFFReadStream, BothByteOrdersGiveTheSameGreyImage) {
  const auto big = Load(Build({GreyPage(5, 3, {Ramp(15, 10)})}, true).Bytes);
  const auto little = Load(Build({GreyPage(5, 3, {Ramp(15, 10)})}, false).Bytes);
  ASSERT_TRUE(big.Bitmap && little.Bitmap);
  EXPECT_TRUE(SamePixels(*big.Bitmap, *little.Bitmap));
  EXPECT_EQ(Pixel(*big.Bitmap, 3, 2), Grey(130));
}

TEST(TIFFReadStream, CountsPagesAndReadsTheOneAsked) {
  const auto file = Build({GreyPage(2, 2, {Ramp(4)}), GreyPage(3, 1, {Ramp(3)}), GreyPage(1, 1, {{7}})}, true);
  const auto second = Load(file.Bytes, 1);
  EXPECT_EQ(second.Pages, 3);
  EXPECT_EQ(second.Bitmap->Width(), 3);
  const auto missing = Load(file.Bytes, 3);
  EXPECT_EQ(missing.Pages, 3);
  EXPECT_FALSE(missing.Bitmap);
}

TEST(TIFFReadStream, PagesAndPictureWithinTheCallersLimits) {
  const auto file = Build({GreyPage(2, 2, {Ramp(4)}), GreyPage(3, 3, {Ramp(9)}), GreyPage(1, 1, {{7}})});
  TReadLimits limits;
  limits.MaxPages = 2;
  const auto third = Load(file.Bytes, 2, limits);
  EXPECT_EQ(third.Pages, 2);
  EXPECT_FALSE(third.Bitmap);
  limits.MaxPixels = 9;
  EXPECT_EQ(Load(file.Bytes, 1, limits).Bitmap->Width(), 3);
  limits.MaxPixels = 8;
  EXPECT_THROW(Load(file.Bytes, 1, limits), EInvalidGraphic);
}

TEST(TIFFReadStream, StripTagsAsTwoShortValuesInTheEntry) {
  TPage page = GreyPage(2, 2, {{1, 2}, {3, 4}}, 1);
  page.Set(273, Short, {8, 10}).Set(279, Short, {2, 2});
  for (bool big : {false, true}) {
    const auto loaded = Load(Build({page}, big).Bytes);
    EXPECT_EQ(Pixel(*loaded.Bitmap, 1, 1), Grey(4));
  }
}

TEST(TIFFReadStream, FourBitWhiteIsZeroScalesBy16) {
  TPage page;
  page.Set(256, 3).Set(257, 1).Set(258, 4).Set(262, 0);
  page.Strips = {{0x0F, 0x80}};  // samples 0, 15, 8 (odd width: half a byte of padding)
  const auto loaded = Load(Build({page}).Bytes);
  EXPECT_EQ(Pixel(*loaded.Bitmap, 0, 0), Grey(255));
  EXPECT_EQ(Pixel(*loaded.Bitmap, 1, 0), Grey(15));
  EXPECT_EQ(Pixel(*loaded.Bitmap, 2, 0), Grey(127));
}

TEST(TIFFReadStream, HorizontalDifferencingUndone) {
  const std::vector<uint8_t> rgb = {10, 20, 30, 15, 25, 35, 5, 5, 5, 10, 0, 250, 0, 0, 0, 255, 255, 255};
  std::vector<uint8_t> differenced = rgb;
  for (size_t row = 0; row < 2; ++row)
    for (size_t i = 8; i >= 3; --i) differenced[row * 9 + i] = uint8_t(rgb[row * 9 + i] - rgb[row * 9 + i - 3]);
  TPage plain;
  plain.Set(256, 3).Set(257, 2).Set(258, Short, {8, 8, 8}).Set(277, 3).Set(259, 5);
  TPage predicted = plain;
  plain.Strips = {tifftest::LzwEncode(rgb)};
  predicted.Strips = {tifftest::LzwEncode(differenced)};
  predicted.Set(317, 2);
  const auto a = Load(Build({plain}).Bytes), b = Load(Build({predicted}).Bytes);
  EXPECT_TRUE(SamePixels(*a.Bitmap, *b.Bitmap));
  EXPECT_EQ(Pixel(*a.Bitmap, 0, 1), (std::array<uint8_t, 3>{250, 0, 10}));
}

TEST(TIFFReadStream, LzwStripsOfOneSevenOrAllRowsGiveTheSameImage) {
  const auto pixels = Ramp(13 * 20, 7);
  const auto page = [&](uint32_t rows) {
    TPage p = GreyPage(13, 20, {}, rows);
    p.Set(259, 5);
    for (uint32_t first = 0; first < 20; first += rows) {
      const size_t end = std::min<size_t>(20, first + rows) * 13;
      p.Strips.push_back(tifftest::LzwEncode({pixels.begin() + first * 13, pixels.begin() + long(end)}));
    }
    return Load(Build({p}).Bytes);
  };
  const auto whole = page(20), one = page(1), seven = page(7);
  EXPECT_TRUE(SamePixels(*whole.Bitmap, *one.Bitmap));
  EXPECT_TRUE(SamePixels(*whole.Bitmap, *seven.Bitmap));
  EXPECT_EQ(Pixel(*whole.Bitmap, 12, 19), Grey(uint8_t(259 * 7)));
  EXPECT_EQ(whole.Progress.back(), 100);
}

TEST(TIFFReadStream, BilevelInversionByPhotometricAndCompression) {
  TPage page;
  page.Set(256, 8).Set(257, 1).Set(262, 0);
  page.Strips = {{0xF0}};
  const auto whiteIsZero = Load(Build({page}).Bytes);
  ASSERT_EQ(whiteIsZero.Bitmap->PixelFormat(), TPixelFormat::pf1bit);
  EXPECT_EQ(whiteIsZero.Bitmap->ScanLine(0)[0], 0x0F);
  page.Set(262, 1);
  EXPECT_EQ(Load(Build({page}).Bytes).Bitmap->ScanLine(0)[0], 0xF0);
}

// Each strip of a G4 page starts against an all-white row: two strips of the
// same two coded rows (the second row found against the first's zero-length
// runs) give the same pixels twice.
TEST(TIFFReadStream, FaxStripsStartAgainstAWhiteRow) {
  TPage page;
  page.Set(256, 16).Set(257, 4).Set(259, 4).Set(262, 0).Set(278, 2);
  const std::vector<uint8_t> strip = {0x26, 0xa1, 0xb9, 0xb7, 0x12, 0xf4, 0x00, 0x40, 0x04};
  page.Strips = {strip, strip};
  const auto loaded = Load(Build({page}).Bytes);
  ASSERT_EQ(loaded.Bitmap->PixelFormat(), TPixelFormat::pf1bit);
  for (int y : {0, 2}) {
    EXPECT_EQ(loaded.Bitmap->ScanLine(y)[0], 0xF0) << y;  // white 4, black 4, white 8
    EXPECT_EQ(loaded.Bitmap->ScanLine(y)[1], 0xFF) << y;
    EXPECT_EQ(loaded.Bitmap->ScanLine(y + 1)[0], 0xC7) << y;  // white 2, black 3, white 11
    EXPECT_EQ(loaded.Bitmap->ScanLine(y + 1)[1], 0xFF) << y;
  }
}

TEST(TIFFReadStream, TiledFileIsAWhitePage) {
  TPage page;
  page.Set(256, 40).Set(257, 30).Set(258, 8).Set(262, 1).Set(322, 16).Set(323, 16);
  const auto loaded = Load(Build({page}).Bytes);
  EXPECT_EQ(loaded.Bitmap->Width(), 40);
  EXPECT_EQ(Pixel(*loaded.Bitmap, 39, 29), Grey(255));
}

TEST(TIFFReadStream, ResolutionUnits) {
  TPage page = GreyPage(1, 1, {{0}});
  page.Set(282, tifftest::Rational, {300, 1}).Set(283, tifftest::Rational, {100, 0}).Set(296, 3);
  const auto cm = Load(Build({page}).Bytes);
  EXPECT_EQ(cm.XDpi, 762);
  EXPECT_EQ(cm.YDpi, 254);
  page.Set(296, 5);
  EXPECT_EQ(Load(Build({page}).Bytes).XDpi, 0);
}

TEST(TIFFReadStream, Rejections) {
  TPage cmyk;
  cmyk.Set(256, 2).Set(257, 1).Set(258, 8).Set(262, 5).Set(277, 4);
  cmyk.Strips = {std::vector<uint8_t>(8)};
  EXPECT_THROW(
      {
        try {
          Load(Build({cmyk}).Bytes);
        } catch (const EInvalidGraphicOperation& e) {
          EXPECT_STREQ(e.what(), "Scan line index out of range");
          throw;
        }
      },
      EInvalidGraphicOperation);

  TPage mixed = GreyPage(1, 1, {{0, 0, 0}});
  mixed.Set(258, Short, {8, 8, 4}).Set(277, 3).Set(262, 2);
  try {
    Load(Build({mixed}).Bytes);
    FAIL();
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Invalid TIFF stream");
  }

  auto bad = Build({GreyPage(1, 1, {{0}})}).Bytes;
  bad[0] = bad[1] = 'X';
  ExpectUnrecognized(bad);
  ExpectUnrecognized({'I', 'I', 42, 0, 8});
}

TEST(TIFFReadStream, DirectoryChainsThatLoopOrLeaveTheFile) {
  auto file = Build({GreyPage(1, 1, {{9}}), GreyPage(1, 1, {{8}})});
  file.Put32(file.NextField(1), file.Directories[0]);  // page 1 leads back to page 0
  auto loaded = Load(file.Bytes);
  EXPECT_EQ(loaded.Pages, 2);
  EXPECT_EQ(Pixel(*loaded.Bitmap, 0, 0), Grey(9));

  file.Put32(file.NextField(0), file.Directories[0]);  // page 0 leads to itself
  EXPECT_EQ(Load(file.Bytes).Pages, 1);

  file.Put32(file.NextField(0), uint32_t(file.Bytes.size() - 3));  // a directory cut by the end of the file
  EXPECT_EQ(Load(file.Bytes).Pages, 1);

  file.Put32(4, 0x7FFFFFF0);  // the first directory outside the file
  loaded = Load(file.Bytes);
  EXPECT_EQ(loaded.Pages, 0);
  EXPECT_FALSE(loaded.Bitmap);
}

TEST(TIFFReadStream, StripsOutsideOrShortOfTheFileAreClamped) {
  TPage page = GreyPage(2, 3, {{10, 20, 30}}, 1);
  page.Set(273, Long, {8, 0x7FFFFFF0, 10}).Set(279, Long, {2, 2, 0xFFFFFFF0});
  const auto loaded = Load(Build({page}).Bytes);
  EXPECT_EQ(Pixel(*loaded.Bitmap, 1, 0), Grey(20));
  EXPECT_EQ(Pixel(*loaded.Bitmap, 0, 1), Grey(255));  // strip outside the file: its row stays white
  EXPECT_EQ(Pixel(*loaded.Bitmap, 0, 2), Grey(30));   // byte count cut at the end of the file
}

TEST(TIFFReadStream, ShortStripsMoreStripsThanRowsAndPackBitsAcrossRows) {
  const auto shortStrip = Load(Build({GreyPage(4, 3, {{1, 2, 3, 4, 5}})}).Bytes);
  EXPECT_EQ(Pixel(*shortStrip.Bitmap, 0, 1), Grey(5));
  EXPECT_EQ(Pixel(*shortStrip.Bitmap, 1, 1), Grey(0));    // the row cut short: zero samples
  EXPECT_EQ(Pixel(*shortStrip.Bitmap, 0, 2), Grey(255));  // rows after the data: white
  TPage unknown = GreyPage(2, 2, {{1, 2, 3, 4}});
  unknown.Set(259, 7);
  EXPECT_EQ(Pixel(*Load(Build({unknown}).Bytes).Bitmap, 0, 0), Grey(255));

  const auto extra = Load(Build({GreyPage(1, 2, {{1}, {2}, {3}, {4}}, 1)}).Bytes);
  EXPECT_EQ(Pixel(*extra.Bitmap, 0, 1), Grey(2));
  EXPECT_EQ(extra.Progress.size(), 2u);

  TPage packed = GreyPage(3, 3, {{0xF9, 0x80, 0x01, 1, 2, 0x80, 0xFF}});  // 8 x 0x80 over three rows, then 1 2
  packed.Set(259, 32773);
  const auto runs = Load(Build({packed}).Bytes);
  EXPECT_EQ(Pixel(*runs.Bitmap, 2, 1), Grey(0x80));
  EXPECT_EQ(Pixel(*runs.Bitmap, 1, 2), Grey(0x80));
  EXPECT_EQ(Pixel(*runs.Bitmap, 2, 2), Grey(1));
}

// Repeated and literal runs of every length from 1 to 40, ending in a
// literal run close to the end of the data, against the same samples stored
// uncompressed; then RGB rows of widths 1 to 6 against their pixels.
TEST(TIFFReadStream, PackBitsRunsOfEveryLengthAndRgbOfEveryWidth) {
  std::vector<uint8_t> raw, packed;
  for (int length = 1; length <= 40; ++length) {
    packed.push_back(uint8_t(1 - length));
    packed.push_back(uint8_t(length));
    raw.insert(raw.end(), size_t(length), uint8_t(length));
    packed.push_back(uint8_t(length - 1));
    for (int i = 0; i < length; ++i) {
      packed.push_back(uint8_t(200 + i));
      raw.push_back(uint8_t(200 + i));
    }
  }
  TPage runs = GreyPage(41, 40, {packed});
  runs.Set(259, 32773);
  EXPECT_TRUE(SamePixels(*Load(Build({runs}).Bytes).Bitmap, *Load(Build({GreyPage(41, 40, {raw})}).Bytes).Bitmap));

  for (int width = 1; width <= 6; ++width) {
    TPage rgb;
    rgb.Set(256, width).Set(257, 2).Set(258, Short, {8, 8, 8}).Set(277, 3);
    rgb.Strips = {Ramp(size_t(width) * 6, 7)};
    const auto loaded = Load(Build({rgb}).Bytes);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < width; ++x) {
        const size_t at = (size_t(y) * width + x) * 3;
        EXPECT_EQ(Pixel(*loaded.Bitmap, x, y),
                  (std::array<uint8_t, 3>{uint8_t(7 * (at + 2)), uint8_t(7 * (at + 1)), uint8_t(7 * at)}))
            << width << " " << x << "," << y;
      }
  }
}

TEST(TIFFReadStream, PlanarWithSeveralStripsPerPlane) {
  TPage page;
  page.Set(256, 2).Set(257, 3).Set(258, Short, {8, 8, 8}).Set(277, 3).Set(284, 2).Set(278, 2);
  page.Strips = {{1, 2, 3, 4}, {5, 6}, {11, 12, 13, 14}, {15, 16}, {21, 22, 23, 24}, {25, 26}};
  const auto loaded = Load(Build({page}).Bytes);
  EXPECT_EQ(Pixel(*loaded.Bitmap, 0, 0), (std::array<uint8_t, 3>{21, 11, 1}));
  EXPECT_EQ(Pixel(*loaded.Bitmap, 1, 2), (std::array<uint8_t, 3>{26, 16, 6}));
}

TEST(TIFFReadStream, SizesAndCountsCheckedBeforeAllocating) {
  ExpectUnrecognized(Build({GreyPage(0, 5, {{1}})}).Bytes);
  ExpectUnrecognized(Build({GreyPage(100000, 100000, {{1}})}).Bytes);
  auto file = Build({GreyPage(3, 3, {{1}, {2}, {3}}, 1)});
  file.Put32(file.Entry(0, 273) + 4, 0x3FFFFFFF);  // a StripOffsets count far beyond the file
  ExpectUnrecognized(file.Bytes);
}
