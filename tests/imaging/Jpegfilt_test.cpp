// The JPEG glue on files made here by libjpeg's own compressor (and spliced
// byte-wise for the hostile ones); decoded pixels are compared with a plain
// libjpeg decode of the same bytes into red-green-blue rows.

#include "imaging/Jpegfilt.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "framework/Exceptions.h"

namespace {

using TBytes = std::vector<uint8_t>;

struct TEncoding {
  int Width = 40;
  int Height = 24;
  int Components = 3;
  J_COLOR_SPACE ColorSpace = JCS_RGB;
  bool Progressive = false;
  int RestartRows = 0;
  int DensityUnit = 1;
  int XDensity = 72;
  int YDensity = 72;
  // Custom progression: pairs of (Ss, Se) first scans over every component.
  std::vector<std::pair<int, int>> Scans = {};
  // Mid-grey everywhere instead of the pattern: AC scans are then a few
  // bytes of end-of-band runs.
  bool Flat = false;
};

// A smooth pattern that differs in every channel, so that a swapped or
// shifted channel shows.
uint8_t Sample(int x, int y, int c) { return uint8_t(x * 5 + y * 3 + c * 70 + (x * y) % 17); }

TBytes Encode(const TEncoding& e) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr error{};
  cinfo.err = jpeg_std_error(&error);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = e.Width;
  cinfo.image_height = e.Height;
  cinfo.input_components = e.Components;
  cinfo.in_color_space = e.ColorSpace;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, TRUE);
  cinfo.density_unit = UINT8(e.DensityUnit);
  cinfo.X_density = UINT16(e.XDensity);
  cinfo.Y_density = UINT16(e.YDensity);
  cinfo.restart_in_rows = e.RestartRows;
  if (e.Progressive) jpeg_simple_progression(&cinfo);
  std::vector<jpeg_scan_info> scans;
  for (auto [ss, se] : e.Scans) {
    jpeg_scan_info scan{};
    scan.comps_in_scan = ss == 0 ? e.Components : 1;
    for (int c = 0; c < scan.comps_in_scan; ++c) scan.component_index[c] = c;
    scan.Ss = ss;
    scan.Se = se;
    scans.push_back(scan);
  }
  if (!scans.empty()) {
    cinfo.scan_info = scans.data();
    cinfo.num_scans = int(scans.size());
  }
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(size_t(e.Width) * e.Components);
  while (cinfo.next_scanline < cinfo.image_height) {
    for (int x = 0; x < e.Width; ++x)
      for (int c = 0; c < e.Components; ++c)
        row[size_t(x) * e.Components + c] = e.Flat ? 128 : Sample(x, cinfo.next_scanline, c);
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  TBytes file(buffer, buffer + size);
  std::free(buffer);
  return file;
}

// libjpeg's own decode as red-green-blue rows without padding.
TBytes ReferenceDecode(const TBytes& file) {
  jpeg_decompress_struct cinfo{};
  jpeg_error_mgr error{};
  cinfo.err = jpeg_std_error(&error);
  error.emit_message = [](j_common_ptr, int) {};
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, file.data(), file.size());
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  const size_t stride = size_t(cinfo.output_width) * 3;
  TBytes pixels(stride * cinfo.output_height);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = pixels.data() + stride * cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return pixels;
}

// The bitmap's pixels as red-green-blue rows without padding.
TBytes RgbOf(const TBitmap& bitmap) {
  TBytes pixels;
  for (int y = 0; y < bitmap.Height(); ++y) {
    const uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x) pixels.insert(pixels.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
  }
  return pixels;
}

struct TResult {
  std::unique_ptr<TBitmap> Bitmap;
  int XDpi = -1, YDpi = -1;
};

TResult Read(const TBytes& file, size_t blockSize = 4096, const TReadLimits& limits = TReadLimits{}) {
  TByteSource stream(file);
  TProgressRec progress;
  TResult result;
  result.Bitmap = JpegDetail::ReadJPegStream(stream, result.XDpi, result.YDpi, progress, limits, blockSize);
  return result;
}

std::string ErrorOf(const TBytes& file, const TReadLimits& limits = TReadLimits{}) {
  try {
    Read(file, 4096, limits);
  } catch (const EInvalidGraphic& e) {
    return e.Message();
  }
  return "no error";
}

std::string LibraryError(int code) { return "Unrecognized JPeg - JPEG error #" + std::to_string(code); }

// Start offsets of the file's scans (their SOS markers) and of its end marker.
std::vector<size_t> ScanOffsets(const TBytes& file) {
  std::vector<size_t> offsets;
  size_t pos = 2;
  while (pos + 4 <= file.size() && file[pos] == 0xFF && file[pos + 1] != JPEG_EOI) {
    const size_t length = size_t(file[pos + 2]) << 8 | file[pos + 3];
    const bool scan = file[pos + 1] == 0xDA;
    if (scan) offsets.push_back(pos);
    pos += 2 + length;
    while (scan && pos + 1 < file.size() &&
           !(file[pos] == 0xFF && file[pos + 1] != 0 && (file[pos + 1] & 0xF8) != JPEG_RST0))
      ++pos;
  }
  offsets.push_back(pos);
  return offsets;
}

// Offset of the first marker segment of the header with the given code.
size_t OffsetOf(const TBytes& file, uint8_t marker) {
  size_t pos = 2;
  while (pos + 4 <= file.size() && file[pos + 1] != marker) pos += 2 + (size_t(file[pos + 2]) << 8 | file[pos + 3]);
  return pos;
}

TBytes Segment(const TBytes& file, uint8_t marker) {
  const size_t pos = OffsetOf(file, marker);
  return TBytes(file.begin() + pos, file.begin() + pos + 2 + (size_t(file[pos + 2]) << 8 | file[pos + 3]));
}

// The file with its last scan given `extra` more times.
TBytes RepeatLastScan(const TBytes& file, int extra) {
  const std::vector<size_t> offsets = ScanOffsets(file);
  const size_t last = offsets[offsets.size() - 2], end = offsets.back();
  TBytes out(file.begin(), file.begin() + end);
  for (int i = 0; i < extra; ++i) out.insert(out.end(), file.begin() + last, file.begin() + end);
  out.insert(out.end(), {0xFF, JPEG_EOI});
  return out;
}

// One grey block, progressive: a DC scan followed by one full AC scan.
TBytes OneBlockTwoScans() {
  return Encode({.Width = 8,
                 .Height = 8,
                 .Components = 1,
                 .ColorSpace = JCS_GRAYSCALE,
                 .Progressive = true,
                 .Scans = {{0, 0}, {1, 63}}});
}

TEST(Jpegfilt_ReadJPegStream, ColourRowsAreBlueGreenRed) {
  const TBytes file = Encode({});
  const TResult result = Read(file);
  ASSERT_EQ(result.Bitmap->Width(), 40);
  ASSERT_EQ(result.Bitmap->Height(), 24);
  EXPECT_EQ(RgbOf(*result.Bitmap), ReferenceDecode(file));
  // Blue dominates the pattern's first pixel at quality 90 (red 0, blue 140).
  const uint8_t* row = result.Bitmap->ScanLine(0);
  EXPECT_GT(row[0], row[2] + 100);
}

TEST(Jpegfilt_ReadJPegStream, GreyscaleIsExpandedToEqualBytes) {
  const TBytes file = Encode({.Components = 1, .ColorSpace = JCS_GRAYSCALE});
  const TResult result = Read(file);
  EXPECT_EQ(RgbOf(*result.Bitmap), ReferenceDecode(file));
  for (int y = 0; y < result.Bitmap->Height(); ++y) {
    const uint8_t* row = result.Bitmap->ScanLine(y);
    for (int x = 0; x < result.Bitmap->Width(); ++x) {
      ASSERT_EQ(row[3 * x], row[3 * x + 1]);
      ASSERT_EQ(row[3 * x], row[3 * x + 2]);
    }
  }
}

TEST(Jpegfilt_ReadJPegStream, FourComponentsAreRejected) {
  EXPECT_EQ(ErrorOf(Encode({.Components = 4, .ColorSpace = JCS_CMYK})), LibraryError(JERR_CONVERSION_NOTIMPL));
  EXPECT_EQ(ErrorOf(Encode({.Components = 4, .ColorSpace = JCS_YCCK})), LibraryError(JERR_CONVERSION_NOTIMPL));
}

TEST(Jpegfilt_ReadJPegStream, LibraryErrorsBecomeInvalidGraphic) {
  EXPECT_EQ(ErrorOf({}), LibraryError(JERR_INPUT_EMPTY));
  EXPECT_EQ(ErrorOf({'B', 'M', 0, 0, 0, 0}), LibraryError(JERR_NO_SOI));
  // Only the start-of-image marker: the fake end marker then ends the header.
  EXPECT_EQ(ErrorOf({0xFF, 0xD8}), LibraryError(JERR_NO_IMAGE));
  TBytes twelveBit = Encode({});
  twelveBit[OffsetOf(twelveBit, 0xC0) + 4] = 12;
  EXPECT_EQ(ErrorOf(twelveBit), LibraryError(JERR_BAD_PRECISION));
  TBytes lossless = Encode({});
  lossless[OffsetOf(lossless, 0xC0) + 1] = 0xC3;
  EXPECT_EQ(ErrorOf(lossless), LibraryError(JERR_SOF_UNSUPPORTED));
}

// A second frame header after the scan fails in the last library call,
// when the bitmap is complete; a damaged later scan of a progressive file
// fails with libjpeg's coefficient buffer allocated. LeakSanitizer checks
// that both are released.
TEST(Jpegfilt_ReadJPegStream, ErrorsAfterDecodingStartedReleaseEverything) {
  const TBytes baseline = Encode({});
  TBytes twoFrames(baseline.begin(), baseline.begin() + ScanOffsets(baseline).back());
  const TBytes frame = Segment(baseline, 0xC0);
  twoFrames.insert(twoFrames.end(), frame.begin(), frame.end());
  twoFrames.insert(twoFrames.end(), {0xFF, JPEG_EOI});
  EXPECT_EQ(ErrorOf(twoFrames), LibraryError(JERR_SOF_DUPLICATE));

  TBytes progressive = Encode({.Progressive = true});
  const std::vector<size_t> scans = ScanOffsets(progressive);
  progressive[scans[3] + 4 + 1 + 2 * progressive[scans[3] + 4]] = 70;  // Ss beyond 63
  EXPECT_EQ(ErrorOf(progressive), LibraryError(JERR_BAD_PROGRESSION));
}

TEST(Jpegfilt_ReadJPegStream, DensityUnits) {
  struct TCase {
    int Unit, X, Y, XDpi, YDpi;
  };
  for (const TCase c : {TCase{0, 1, 2, 1, 2}, TCase{1, 72, 96, 72, 96}, TCase{2, 100, 100, 254, 254},
                        TCase{2, 118, 39, 299, 99}, TCase{3, 100, 100, 0, 0}}) {
    const TResult result = Read(Encode({.DensityUnit = c.Unit, .XDensity = c.X, .YDensity = c.Y}));
    EXPECT_EQ(result.XDpi, c.XDpi) << "unit " << c.Unit;
    EXPECT_EQ(result.YDpi, c.YDpi) << "unit " << c.Unit;
  }
}

TEST(Jpegfilt_ReadJPegStream, BlockSizesGiveTheSamePicture) {
  TBytes truncated = Encode({.Width = 100, .Height = 60});
  truncated.resize(truncated.size() / 2);
  const std::vector<TBytes> files = {Encode({}), Encode({.Progressive = true}), Encode({.RestartRows = 1}),
                                     Encode({.Components = 1, .ColorSpace = JCS_GRAYSCALE, .Progressive = true}),
                                     truncated};
  for (const TBytes& file : files) {
    const TBytes whole = RgbOf(*Read(file).Bitmap);
    EXPECT_EQ(whole, ReferenceDecode(file));
    EXPECT_EQ(RgbOf(*Read(file, 1).Bitmap), whole);
    EXPECT_EQ(RgbOf(*Read(file, 7).Bitmap), whole);
  }
}

TEST(Jpegfilt_ReadJPegStream, TruncatedFileLoadsAtFullSize) {
  for (bool progressive : {false, true}) {
    TBytes file = Encode({.Width = 100, .Height = 60, .Progressive = progressive});
    file.resize(file.size() / 2);
    const TResult result = Read(file);
    EXPECT_EQ(result.Bitmap->Width(), 100);
    EXPECT_EQ(result.Bitmap->Height(), 60);
    EXPECT_EQ(RgbOf(*result.Bitmap), ReferenceDecode(file));
  }
}

TEST(Jpegfilt_ReadJPegStream, ProgressIsReportedPerRow) {
  const TBytes file = Encode({.Width = 16, .Height = 50, .Progressive = true});
  TByteSource stream(file);
  std::vector<int> percents;
  TProgressRec progress;
  progress.OnProgress = TProgressEvent([&](TObject*, int percent) { percents.push_back(percent); });
  int xDpi = 0, yDpi = 0;
  ReadJPegStream(stream, xDpi, yDpi, progress, TReadLimits{});
  ASSERT_EQ(percents.size(), 50u);
  EXPECT_EQ(percents.front(), 2);
  EXPECT_EQ(percents[24], 50);
  EXPECT_EQ(percents.back(), 100);
  EXPECT_EQ(progress.Count, 50);
}

TEST(Jpegfilt_ReadJPegStream, ScanCountIsLimited) {
  // libjpeg warns about the repeated AC scan and decodes on.
  const TBytes file = OneBlockTwoScans();
  EXPECT_EQ(Read(RepeatLastScan(file, TReadLimits{}.MaxScans - 2)).Bitmap->Width(), 8);
  EXPECT_EQ(ErrorOf(RepeatLastScan(file, TReadLimits{}.MaxScans - 1)), LibraryError(JERR_BAD_PROGRESSION));
}

TEST(Jpegfilt_ReadJPegStream, PictureAndScansBeyondTheCallersLimitsAreRejected) {
  const TBytes file = OneBlockTwoScans();
  TReadLimits limits;
  limits.MaxPixels = 64;
  limits.MaxScans = 3;
  EXPECT_EQ(ErrorOf(RepeatLastScan(file, 1), limits), "no error");
  limits.MaxPixels = 63;
  EXPECT_EQ(ErrorOf(file, limits), LibraryError(JERR_IMAGE_TOO_BIG));
  limits.MaxPixels = 64;
  EXPECT_EQ(ErrorOf(RepeatLastScan(file, 2), limits), LibraryError(JERR_BAD_PROGRESSION));
}

TEST(Jpegfilt_ReadJPegStream, BlocksVisitedByScansAreLimited) {
  // 2048 by 2048 pixels are 65536 blocks: 256 scans visit 2^24 of them.
  const TBytes file = Encode({.Width = 2048,
                              .Height = 2048,
                              .Components = 1,
                              .ColorSpace = JCS_GRAYSCALE,
                              .Progressive = true,
                              .Scans = {{0, 0}, {1, 63}},
                              .Flat = true});
  EXPECT_EQ(Read(RepeatLastScan(file, 254)).Bitmap->Height(), 2048);
  EXPECT_EQ(ErrorOf(RepeatLastScan(file, 255)), LibraryError(JERR_BAD_PROGRESSION));
}

}  // namespace
