#include "imaging/Webpfilter.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/Exceptions.h"
#include "imaging/Alpha.h"

namespace {

[[noreturn]] void Fail(const std::string& what) { throw EInvalidGraphic("WebP error: " + what); }

const char* StatusText(VP8StatusCode status) {
  switch (status) {
    case VP8_STATUS_OUT_OF_MEMORY: return "out of memory";
    case VP8_STATUS_INVALID_PARAM: return "invalid parameter";
    case VP8_STATUS_BITSTREAM_ERROR: return "bitstream error";
    case VP8_STATUS_UNSUPPORTED_FEATURE: return "unsupported feature";
    case VP8_STATUS_SUSPENDED: return "suspended";
    case VP8_STATUS_USER_ABORT: return "aborted";
    case VP8_STATUS_NOT_ENOUGH_DATA: return "not enough data";
    default: return "unknown status";
  }
}

void Check(VP8StatusCode status) {
  if (status != VP8_STATUS_OK) Fail(StatusText(status));
}

struct TDemuxDelete {
  void operator()(WebPDemuxer* demux) const { WebPDemuxDelete(demux); }
};

// The first frame's bitstream, where it lies on the canvas, and how large
// the canvas is.
class TFirstFrame {
public:
  explicit TFirstFrame(std::span<const uint8_t> file) {
    const WebPData data{file.data(), file.size()};
    FDemux.reset(WebPDemux(&data));
    if (!FDemux) Fail("not a WebP file, or one cut short or damaged");
    if (!WebPDemuxGetFrame(FDemux.get(), 1, &FIterator)) Fail("no frame");
    FHasIterator = true;
  }
  ~TFirstFrame() {
    if (FHasIterator) WebPDemuxReleaseIterator(&FIterator);
  }
  TFirstFrame(const TFirstFrame&) = delete;
  TFirstFrame& operator=(const TFirstFrame&) = delete;

  uint32_t CanvasWidth() const { return WebPDemuxGetI(FDemux.get(), WEBP_FF_CANVAS_WIDTH); }
  uint32_t CanvasHeight() const { return WebPDemuxGetI(FDemux.get(), WEBP_FF_CANVAS_HEIGHT); }
  const WebPIterator& Frame() const { return FIterator; }

private:
  std::unique_ptr<WebPDemuxer, TDemuxDelete> FDemux;
  WebPIterator FIterator{};
  bool FHasIterator = false;
};

struct TFrameDecoder {
  WebPDecoderConfig Config;
  TFrameDecoder() {
    if (!WebPInitDecoderConfig(&Config)) Fail("library version mismatch");
  }
  ~TFrameDecoder() { WebPFreeDecBuffer(&Config.output); }
  TFrameDecoder(const TFrameDecoder&) = delete;
  TFrameDecoder& operator=(const TFrameDecoder&) = delete;

  // Decodes into memory of ours: rows of `stride` bytes from `first` on.
  void Decode(const WebPData& bits, WEBP_CSP_MODE mode, uint8_t* first, int stride, size_t size) {
    Config.output.colorspace = mode;
    Config.output.is_external_memory = 1;
    Config.output.u.RGBA.rgba = first;
    Config.output.u.RGBA.stride = stride;
    Config.output.u.RGBA.size = size;
    Check(WebPDecode(bits.bytes, bits.size, &Config));
  }
};

void FillRow(uint8_t* row, int width, TColor colour) {
  const uint8_t bgr[3] = {uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour)};
  for (int x = 0; x < width; ++x, row += 3) std::memcpy(row, bgr, 3);
}

// An opaque frame goes straight into the picture's rows; one with alpha is
// decoded beside it and composited row by row.
void DecodeFrame(const WebPIterator& frame, const WebPBitstreamFeatures& features, TBitmap& canvas, TColor matte,
                 const TReadLimits& limits) {
  const uint64_t pixels = uint64_t(frame.width) * uint64_t(frame.height);
  const uint64_t work = (features.format == 2 ? 4 * pixels : 0) + (features.has_alpha ? 4 * pixels : 0);
  if (work > limits.MaxWorkBytes) Fail("picture too large");
  TFrameDecoder decoder;
  uint8_t* first = canvas.ScanLine(frame.y_offset) + size_t(frame.x_offset) * 3;
  if (!features.has_alpha) {
    const size_t size = canvas.Stride() * size_t(frame.height - 1) + size_t(frame.width) * 3;
    decoder.Decode(frame.fragment, MODE_BGR, first, int(canvas.Stride()), size);
    return;
  }
  const size_t rowBytes = size_t(frame.width) * 4;
  std::vector<uint8_t> rgba(rowBytes * size_t(frame.height));
  decoder.Decode(frame.fragment, MODE_BGRA, rgba.data(), int(rowBytes), rgba.size());
  for (int y = 0; y < frame.height; ++y)
    CompositeRow(rgba.data() + size_t(y) * rowBytes, 2, frame.width, matte,
                 canvas.ScanLine(frame.y_offset + y) + size_t(frame.x_offset) * 3);
}

}  // namespace

// The demuxer checks the whole file's layout first; a frame that does not
// cover the canvas leaves the rest of it transparent, that is, the matte.
std::unique_ptr<TBitmap> ReadWebPStream(TByteSource& stream, TColor matte, TProgressRec& progress,
                                        const TReadLimits& limits) {
  if (progress.Assigned()) progress.Report(0);
  const TFirstFrame first(stream.View(stream.Position(), stream.Remaining()));
  const WebPIterator& frame = first.Frame();
  const uint32_t width = first.CanvasWidth(), height = first.CanvasHeight();
  if (!limits.PictureFits(width, height)) Fail("picture too large");
  if (frame.width < 1 || frame.height < 1 || frame.x_offset < 0 || frame.y_offset < 0 ||
      uint32_t(frame.x_offset + frame.width) > width || uint32_t(frame.y_offset + frame.height) > height)
    Fail("frame outside the canvas");
  WebPBitstreamFeatures features;
  Check(WebPGetFeatures(frame.fragment.bytes, frame.fragment.size, &features));
  if (features.width != frame.width || features.height != frame.height) Fail("frame size differs from its bitstream");
  auto canvas = std::make_unique<TBitmap>(TBitmap::Unfilled(int(width), int(height)));
  if (uint32_t(frame.width) != width || uint32_t(frame.height) != height)
    for (int y = 0; y < int(height); ++y) FillRow(canvas->ScanLine(y), int(width), matte);
  DecodeFrame(frame, features, *canvas, matte, limits);
  stream.Skip(stream.Remaining());
  if (progress.Assigned()) progress.Report(100);
  return canvas;
}
