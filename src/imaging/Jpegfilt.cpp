#include "imaging/Jpegfilt.h"

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdint>
#include <cstdio>  // jpeglib.h uses FILE and size_t without including their headers

#include <jpeglib.h>
#include <jerror.h>

#include "framework/Exceptions.h"
#include "framework/SysUtils.h"

namespace {

constexpr size_t InputBufferSize = 4096;

// libjpeg sees only the first member of each record; the rest is ours.
struct TErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

struct TScanMonitor {
  jpeg_progress_mgr pub;
  int lastScan;
  uint64_t blockVisits;
  int maxScans;
  uint64_t maxBlockVisits;
};

struct TStreamSource {
  jpeg_source_mgr pub;
  TByteSource* stream;
  size_t blockSize;
  JOCTET* buffer;
  boolean startOfFile;
};

}  // namespace

// The callbacks below are called from libjpeg's C frames, which a C++
// exception must not cross: none of them may throw. Errors leave through
// ErrorExit's longjmp.
extern "C" {

static void ErrorExit(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<TErrorManager*>(cinfo->err)->jump, 1); }

// Warnings (corrupt data, premature end) are ignored: decoding goes on and
// the library fills what it could not decode.
static void EmitMessage(j_common_ptr, int) {}
static void OutputMessage(j_common_ptr) {}
static void FormatNoMessage(j_common_ptr, char*) {}

static void ResetErrorManager(j_common_ptr cinfo) {
  cinfo->err->num_warnings = 0;
  cinfo->err->msg_code = 0;
}

static void InitSource(j_decompress_ptr cinfo) { reinterpret_cast<TStreamSource*>(cinfo->src)->startOfFile = TRUE; }

// At the end of the data a fake end-of-image marker lets the library finish
// a truncated file as well as it can instead of failing it.
static boolean FillInputBuffer(j_decompress_ptr cinfo) {
  auto* source = reinterpret_cast<TStreamSource*>(cinfo->src);
  size_t count = source->stream->ReadSome(source->buffer, source->blockSize);
  if (count == 0) {
    if (source->startOfFile) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    WARNMS(cinfo, JWRN_JPEG_EOF);
    source->buffer[0] = 0xFF;
    source->buffer[1] = JPEG_EOI;
    count = 2;
  }
  source->pub.next_input_byte = source->buffer;
  source->pub.bytes_in_buffer = count;
  source->startOfFile = FALSE;
  return TRUE;
}

// Every refill delivers at least two bytes, so the loop ends.
static void SkipInputData(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* source = cinfo->src;
  size_t rest = static_cast<size_t>(count);
  while (rest > source->bytes_in_buffer) {
    rest -= source->bytes_in_buffer;
    FillInputBuffer(cinfo);
  }
  source->next_input_byte += rest;
  source->bytes_in_buffer -= rest;
}

static void TerminateSource(j_decompress_ptr) {}

// Every scan passes over all coefficient blocks of its components, even a
// scan whose data is a few bytes of end-of-band runs: a small file repeating
// such scans over a large picture would keep the decoder busy for minutes.
// Hence the limits on the number of scans and on the blocks they visit.
static void LimitScans(j_common_ptr common) {
  auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
  auto* monitor = reinterpret_cast<TScanMonitor*>(cinfo->progress);
  if (cinfo->input_scan_number == monitor->lastScan) return;
  monitor->lastScan = cinfo->input_scan_number;
  if (monitor->lastScan > monitor->maxScans) ERREXIT(cinfo, JERR_BAD_PROGRESSION);
  for (int i = 0; i < cinfo->comps_in_scan; ++i) {
    const jpeg_component_info* component = cinfo->cur_comp_info[i];
    monitor->blockVisits += uint64_t{component->width_in_blocks} * component->height_in_blocks;
  }
  if (monitor->blockVisits > monitor->maxBlockVisits) ERREXIT(cinfo, JERR_BAD_PROGRESSION);
}

}  // extern "C"

namespace {

// One decompressor and the records it points to; destroying it releases all
// of libjpeg's memory, on every path.
class TDecoder {
public:
  TDecoder(TByteSource& stream, size_t blockSize, const TReadLimits& limits) : FMaxWorkBytes(limits.MaxWorkBytes) {
    jpeg_std_error(&FError.pub);
    FError.pub.error_exit = ErrorExit;
    FError.pub.emit_message = EmitMessage;
    FError.pub.output_message = OutputMessage;
    FError.pub.format_message = FormatNoMessage;
    FError.pub.reset_error_mgr = ResetErrorManager;
    Info.err = &FError.pub;
    FSource.stream = &stream;
    FSource.blockSize = blockSize;
    FMonitor.pub.progress_monitor = LimitScans;
    FMonitor.maxScans = limits.MaxScans;
    FMonitor.maxBlockVisits = limits.MaxBlockVisits;
  }
  ~TDecoder() { jpeg_destroy_decompress(&Info); }
  TDecoder(const TDecoder&) = delete;
  TDecoder& operator=(const TDecoder&) = delete;

  // Runs one step of libjpeg; an error exit inside it becomes EInvalidGraphic
  // here, after the jump has left the library.
  template <class Step>
  void Run(Step step) {
    if (!Guarded(step)) throw EInvalidGraphic(Format("Unrecognized JPeg - JPEG error #%d", FError.pub.msg_code));
  }

  void Open() {
    Run([this] {
      jpeg_create_decompress(&Info);
      // libjpeg's working memory beyond the bitmap is in practice the
      // whole-image coefficient buffer of progressive and multi-scan files (2
      // bytes per pixel and component at full sampling); the limit keeps a
      // forged header from claiming gigabytes.
      Info.mem->max_memory_to_use = long(std::min<uint64_t>(FMaxWorkBytes, LONG_MAX));
      Info.progress = &FMonitor.pub;
      InstallSource();
    });
  }

  jpeg_decompress_struct Info{};

private:
  // The landing place of ErrorExit. Neither this frame nor any frame between
  // it and the library owns an object with a destructor, so the jump skips
  // no cleanup.
  template <class Step>
  bool Guarded(Step& step) {
    if (setjmp(FError.jump)) return false;
    step();
    return true;
  }

  void InstallSource() {
    FSource.buffer = static_cast<JOCTET*>(
        (*Info.mem->alloc_small)(reinterpret_cast<j_common_ptr>(&Info), JPOOL_PERMANENT, InputBufferSize));
    FSource.pub.init_source = InitSource;
    FSource.pub.fill_input_buffer = FillInputBuffer;
    FSource.pub.skip_input_data = SkipInputData;
    FSource.pub.resync_to_restart = jpeg_resync_to_restart;
    FSource.pub.term_source = TerminateSource;
    Info.src = &FSource.pub;
  }

  uint64_t FMaxWorkBytes;
  TErrorManager FError{};
  TStreamSource FSource{};
  TScanMonitor FMonitor{};
};

// JFIF density: units 0 (aspect ratio) and 1 (dots per inch) as they are,
// dots per centimetre times 2.54 truncated.
int DotsPerInch(int unit, int density) {
  switch (unit) {
    case 0:
    case 1: return density;
    case 2: return density * 254 / 100;
    default: return 0;
  }
}

void ReadRows(TDecoder& decoder, TBitmap& bitmap, TProgressRec& progress) {
  jpeg_decompress_struct& info = decoder.Info;
  progress.Count = 0;
  progress.Factor = 100.0 / info.output_height;
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = bitmap.ScanLine(static_cast<int>(info.output_scanline));
    JDIMENSION rows = 0;
    decoder.Run([&] { rows = jpeg_read_scanlines(&info, &row, 1); });
    if (rows == 0) break;  // cannot happen without suspension; finishing then reports the missing rows
    progress.Count += static_cast<int>(rows);
    if (progress.Assigned()) progress.Report(static_cast<int>(progress.Count * progress.Factor));
  }
}

}  // namespace

namespace JpegDetail {

std::unique_ptr<TBitmap> ReadJPegStream(TByteSource& stream, int& xDpi, int& yDpi, TProgressRec& progress,
                                        const TReadLimits& limits, size_t blockSize) {
  TDecoder decoder(stream, blockSize < InputBufferSize ? blockSize : InputBufferSize, limits);
  jpeg_decompress_struct& info = decoder.Info;
  decoder.Open();
  decoder.Run([&] { jpeg_read_header(&info, TRUE); });
  xDpi = DotsPerInch(info.density_unit, info.X_density);
  yDpi = DotsPerInch(info.density_unit, info.Y_density);
  // libjpeg-turbo writes blue, green, red itself, from greyscale sources too.
  info.out_color_space = JCS_EXT_BGR;
  decoder.Run([&] { jpeg_calc_output_dimensions(&info); });
  // Checked before decompression starts: an oversized picture is refused
  // before a progressive file has been read in full.
  decoder.Run([&] {
    if (!limits.PictureFits(info.output_width, info.output_height)) ERREXIT(&info, JERR_IMAGE_TOO_BIG);
  });
  auto bitmap = std::make_unique<TBitmap>(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
  decoder.Run([&] { jpeg_start_decompress(&info); });
  ReadRows(decoder, *bitmap, progress);
  decoder.Run([&] { jpeg_finish_decompress(&info); });
  return bitmap;
}

}  // namespace JpegDetail

std::unique_ptr<TBitmap> ReadJPegStream(TByteSource& stream, int& xDpi, int& yDpi, TProgressRec& progress,
                                        const TReadLimits& limits) {
  return JpegDetail::ReadJPegStream(stream, xDpi, yDpi, progress, limits, InputBufferSize);
}
