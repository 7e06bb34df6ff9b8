// JPEG decoding speed: ReadJPegStream against libjpeg's own plain decode of
// the same bytes (memory source, jpeg_read_scanlines into a freshly
// allocated red-green-blue buffer), measured in the same run.
//
//   JpegBench [FILE.jpg]
//
// Without a file it encodes a synthetic photograph-like 3000 by 2000 picture
// (baseline and progressive) with libjpeg at quality 85.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "imaging/Jpegfilt.h"

namespace {

using TBytes = std::vector<uint8_t>;
using TClock = std::chrono::steady_clock;

// Smooth shading with some texture, roughly the statistics of a photograph.
uint8_t Sample(int x, int y, int c) {
  const double shade = 110 + 70 * std::sin(x * 0.004 + c) * std::cos(y * 0.006 - c);
  const double texture = 30 * std::sin(x * 0.31 + y * 0.17 * (c + 1)) + ((x * 7919 + y * 104729 + c) % 23);
  return uint8_t(std::clamp(shade + texture, 0.0, 255.0));
}

TBytes Encode(int width, int height, bool progressive) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr error{};
  cinfo.err = jpeg_std_error(&error);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 85, TRUE);
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(size_t(width) * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c) row[size_t(x) * 3 + c] = Sample(x, int(cinfo.next_scanline), c);
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  TBytes file(buffer, buffer + size);
  std::free(buffer);
  return file;
}

// The peer: libjpeg's decode as its example programs do it. Returns the
// pixel count.
size_t PlainDecode(const TBytes& file) {
  jpeg_decompress_struct cinfo{};
  jpeg_error_mgr error{};
  cinfo.err = jpeg_std_error(&error);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, file.data(), file.size());
  jpeg_read_header(&cinfo, TRUE);
  jpeg_start_decompress(&cinfo);
  const size_t stride = size_t(cinfo.output_width) * cinfo.output_components;
  std::vector<JSAMPLE> pixels(stride * cinfo.output_height);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = pixels.data() + stride * cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  const size_t count = size_t(cinfo.output_width) * cinfo.output_height;
  jpeg_destroy_decompress(&cinfo);
  return count;
}

size_t OurDecode(const TBytes& file) {
  TByteSource stream(file);
  TProgressRec progress;
  int xDpi = 0, yDpi = 0;
  const auto bitmap = ReadJPegStream(stream, xDpi, yDpi, progress, TReadLimits{});
  return size_t(bitmap->Width()) * size_t(bitmap->Height());
}

// Best megapixels per second over rounds that alternate the two decoders,
// so that both see the same machine load.
void Compare(const char* name, const TBytes& file) {
  double best[2] = {0, 0};
  size_t pixels = 0;
  const auto start = TClock::now();
  for (int round = 0; round < 5 || TClock::now() - start < std::chrono::seconds(3); ++round) {
    for (int which = 0; which < 2; ++which) {
      const auto t0 = TClock::now();
      pixels = which == 0 ? OurDecode(file) : PlainDecode(file);
      const double seconds = std::chrono::duration<double>(TClock::now() - t0).count();
      best[which] = std::max(best[which], pixels / seconds / 1e6);
    }
  }
  std::printf("%-12s %zu pixels: kaleidon %.1f MP/s, libjpeg %.1f MP/s, ratio %.3f\n", name, pixels, best[0], best[1],
              best[0] / best[1]);
}

TBytes ReadFile(const char* name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot open %s\n", name);
    std::exit(2);
  }
  return TBytes(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) {
    Compare("file", ReadFile(argv[1]));
    return 0;
  }
  Compare("baseline", Encode(3000, 2000, false));
  Compare("progressive", Encode(3000, 2000, true));
  return 0;
}
