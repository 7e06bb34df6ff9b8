#include "imaging/Pngfilter.h"

#include <spng.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "framework/Exceptions.h"
#include "imaging/Alpha.h"

namespace {

[[noreturn]] void Fail(const std::string& what) { throw EInvalidGraphic("PNG error: " + what); }

void Check(int result) {
  if (result != 0) Fail(spng_strerror(result));
}

struct TContextFree {
  void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};
using TContext = std::unique_ptr<spng_ctx, TContextFree>;

// Deflate packs at most 1032 bytes into one, so a file smaller than its
// rows' samples divided by that cannot hold them: such a file is refused
// before its picture is made.
bool DataCanHoldRows(const spng_ihdr& header, uint64_t fileSize) {
  constexpr uint64_t MaxDeflateRatio = 1032;
  const int channels = header.color_type == SPNG_COLOR_TYPE_TRUECOLOR         ? 3
                       : header.color_type == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA ? 4
                       : header.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA ? 2
                                                                              : 1;
  const uint64_t rowBytes = uint64_t(header.width) * uint64_t(channels) * header.bit_depth / 8;
  return rowBytes * header.height / MaxDeflateRatio <= fileSize;
}

bool HasAlpha(spng_ctx* ctx, const spng_ihdr& header) {
  if (header.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA || header.color_type == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA)
    return true;
  spng_trns trns;
  return spng_get_trns(ctx, &trns) == 0;
}

void SwapRedBlue(uint8_t* row, int width) {
  for (int x = 0; x < width; ++x, row += 3) std::swap(row[0], row[2]);
}

// Rows of an interlaced picture come pass after pass, each pass adding
// pixels to rows already begun: a row is finished only after the last pass.
class TRowSink {
public:
  TRowSink(TBitmap& bitmap, bool alpha, bool interlaced, TColor matte, const TReadLimits& limits)
      : FBitmap(bitmap), FAlpha(alpha), FInterlaced(interlaced), FMatte(matte) {
    const size_t width = size_t(bitmap.Width());
    if (!alpha) return;
    const uint64_t rows = interlaced ? uint64_t(bitmap.Height()) : 1;
    if (uint64_t(width) * 4 > limits.MaxWorkBytes / rows) Fail("picture too large");
    FRgba.resize(width * 4 * rows);
  }

  size_t RowBytes() const { return size_t(FBitmap.Width()) * (FAlpha ? 4 : 3); }

  uint8_t* Row(int y) {
    if (!FAlpha) return FBitmap.ScanLine(y);
    return FRgba.data() + (FInterlaced ? size_t(y) * RowBytes() : 0);
  }

  void Finish(int y) {
    if (FAlpha)
      CompositeRow(Row(y), 0, FBitmap.Width(), FMatte, FBitmap.ScanLine(y));
    else
      SwapRedBlue(FBitmap.ScanLine(y), FBitmap.Width());
  }

private:
  TBitmap& FBitmap;
  bool FAlpha, FInterlaced;
  TColor FMatte;
  std::vector<uint8_t> FRgba;
};

void DecodeRows(spng_ctx* ctx, TRowSink& sink, bool interlaced, int height, const TProgressRec& progress) {
  constexpr int LastPass = 6;
  for (;;) {
    spng_row_info info{};
    Check(spng_get_row_info(ctx, &info));
    const int y = int(info.row_num);
    const int result = spng_decode_row(ctx, sink.Row(y), sink.RowBytes());
    if (result != 0 && result != SPNG_EOI) Fail(spng_strerror(result));
    if (!interlaced || info.pass == LastPass) {
      if (!interlaced) sink.Finish(y);
      if (progress.Assigned()) progress.Report(static_cast<int>(int64_t{y + 1} * 100 / height));
    }
    if (result == SPNG_EOI) break;
  }
  if (interlaced)
    for (int y = 0; y < height; ++y) sink.Finish(y);
}

}  // namespace

// libspng checks the stream as it reads it: the header and the chunks before
// the data when the header is asked for, the data's checksums and the
// compressed rows as they are decoded, and the end of the data after the
// last row.
std::unique_ptr<TBitmap> ReadPngStream(TByteSource& stream, TColor matte, TProgressRec& progress,
                                       const TReadLimits& limits) {
  const TContext ctx(spng_ctx_new(0));
  if (!ctx) Fail("out of memory");
  const std::span<const uint8_t> file = stream.View(stream.Position(), stream.Remaining());
  Check(spng_set_png_buffer(ctx.get(), file.data(), file.size()));
  const size_t work = size_t(std::min<uint64_t>(limits.MaxWorkBytes, SIZE_MAX));
  Check(spng_set_chunk_limits(ctx.get(), work, work));
  Check(spng_set_crc_action(ctx.get(), SPNG_CRC_ERROR, SPNG_CRC_DISCARD));
  spng_ihdr header{};
  Check(spng_get_ihdr(ctx.get(), &header));
  if (!limits.PictureFits(header.width, header.height)) Fail("picture too large");
  if (!DataCanHoldRows(header, file.size())) Fail("more rows than the data can hold");
  const bool alpha = HasAlpha(ctx.get(), header);
  const bool interlaced = header.interlace_method != SPNG_INTERLACE_NONE;
  auto bitmap = std::make_unique<TBitmap>(TBitmap::Unfilled(int(header.width), int(header.height)));
  TRowSink sink(*bitmap, alpha, interlaced, matte, limits);
  const int format = alpha ? SPNG_FMT_RGBA8 : SPNG_FMT_RGB8;
  Check(spng_decode_image(ctx.get(), nullptr, 0, format, SPNG_DECODE_PROGRESSIVE | (alpha ? SPNG_DECODE_TRNS : 0)));
  DecodeRows(ctx.get(), sink, interlaced, bitmap->Height(), progress);
  stream.Skip(stream.Remaining());
  return bitmap;
}
