// TIFF decoding speed against libtiff in the same run, on the same bytes in
// memory: TIFFReadStream (to our 24-bit or 1-bit bitmap) against libtiff's
// TIFFReadRGBAImage (to 32-bit pixels, the peer asked for) and, as a stricter
// peer, TIFFReadEncodedStrip (decompression only, no pixel conversion).
//
//   TiffBench [FILE.tif ...]
// Without files, LZW, PackBits and Group 4 pictures are made with ImageMagick
// (/usr/bin/convert).

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchTiming.h"

#include "imaging/Tiffilt.h"

#if __has_include(<tiffio.h>)
#include <tiffio.h>
#define KALEIDON_HAVE_LIBTIFF 1
#endif

namespace {

int64_t Ours(const TBytes& file) {
  TByteSource stream(file);
  TProgressRec progress;
  int pages = 0, xDpi = 0, yDpi = 0;
  const auto bitmap = TIFFReadStream(stream, 0, pages, progress, xDpi, yDpi, TReadLimits{});
  return bitmap ? int64_t(bitmap->Width()) * bitmap->Height() : 0;
}

#ifdef KALEIDON_HAVE_LIBTIFF
struct TMemory {
  const TBytes* Bytes;
  toff_t Pos;
};

tsize_t ReadProc(thandle_t h, tdata_t out, tsize_t count) {
  auto* m = static_cast<TMemory*>(h);
  const size_t n = std::min<size_t>(size_t(count), m->Bytes->size() - std::min<size_t>(m->Pos, m->Bytes->size()));
  std::memcpy(out, m->Bytes->data() + m->Pos, n);
  m->Pos += n;
  return tsize_t(n);
}
tsize_t WriteProc(thandle_t, tdata_t, tsize_t) { return 0; }
toff_t SeekProc(thandle_t h, toff_t offset, int whence) {
  auto* m = static_cast<TMemory*>(h);
  m->Pos = whence == SEEK_SET ? offset : whence == SEEK_CUR ? m->Pos + offset : m->Bytes->size() + offset;
  return m->Pos;
}
int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t h) { return static_cast<TMemory*>(h)->Bytes->size(); }
int MapProc(thandle_t, tdata_t*, toff_t*) { return 0; }
void UnmapProc(thandle_t, tdata_t, toff_t) {}

template <class Use>
int64_t WithTiff(const TBytes& file, Use&& use) {
  TMemory memory{&file, 0};
  TIFF* tif =
      TIFFClientOpen("bench", "rm", &memory, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc, MapProc, UnmapProc);
  if (!tif) return 0;
  const int64_t pixels = use(tif);
  TIFFClose(tif);
  return pixels;
}

int64_t LibtiffRGBA(const TBytes& file) {
  return WithTiff(file, [](TIFF* tif) -> int64_t {
    uint32_t width = 0, height = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    std::vector<uint32_t> raster(size_t(width) * height);
    if (!TIFFReadRGBAImage(tif, width, height, raster.data(), 0)) return 0;
    return int64_t(width) * height;
  });
}

int64_t LibtiffStrips(const TBytes& file) {
  return WithTiff(file, [](TIFF* tif) -> int64_t {
    std::vector<uint8_t> strip(size_t(TIFFStripSize(tif)));
    for (tstrip_t s = 0; s < TIFFNumberOfStrips(tif); ++s)
      if (TIFFReadEncodedStrip(tif, s, strip.data(), tsize_t(strip.size())) < 0) return 0;
    return 1;
  });
}
#endif

std::vector<std::string> MakeFiles(const std::filesystem::path& dir) {
  const std::string page =
      "-size 2480x3508 plasma:fractal -blur 0x12 -threshold 50% -monochrome "
      "-fill black -draw \"rectangle 200,200 2280,260\" +noise Impulse -monochrome ";
  return MakeSamples(dir, {
                              {"plasma-lzw.tif", "-size 1600x1200 plasma:fractal -alpha off -depth 8 -compress LZW "},
                              {"plasma-lzw-predictor.tif",
                               "-size 1600x1200 plasma:fractal -alpha off -depth 8 -compress LZW "
                               "-define tiff:predictor=2 "},
                              {"plasma-packbits.tif",
                               "-size 1600x1200 plasma:fractal -alpha off -depth 8 -posterize 8 "
                               "-type TrueColor -compress RLE "},
                              {"a4-300dpi-g4.tif", page + "-compress Group4 "},
                              {"a4-300dpi-g3-2d.tif", page + "-compress Fax "},
                          });
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files(argv + 1, argv + argc);
  const auto dir = std::filesystem::temp_directory_path() / "kaleidon-tiffbench";
  if (files.empty()) {
    std::filesystem::create_directories(dir);
    files = MakeFiles(dir);
  }
  if (files.empty()) {
    std::printf("no TIFF files: pass some, or install ImageMagick\n");
    return 0;
  }
#ifdef KALEIDON_HAVE_LIBTIFF
  TIFFSetWarningHandler(nullptr);
#endif
  for (const std::string& path : files) {
    const TBytes file = Load(path);
    int64_t pixels = 0;
    try {
      pixels = Ours(file);
    } catch (const std::exception& e) {
      std::printf("%s: %s\n", path.c_str(), e.what());
      continue;
    }
    const double ours = Time([&] { Ours(file); });
    std::printf("%-26s %7.1f Mpixel/s", std::filesystem::path(path).filename().string().c_str(), pixels / ours / 1e6);
#ifdef KALEIDON_HAVE_LIBTIFF
    const double rgba = Time([&] { LibtiffRGBA(file); });
    const double strips = Time([&] { LibtiffStrips(file); });
    std::printf("   TIFFReadRGBAImage %7.1f Mpixel/s ratio %.2f   TIFFReadEncodedStrip %7.1f Mpixel/s ratio %.2f",
                pixels / rgba / 1e6, rgba / ours, pixels / strips / 1e6, strips / ours);
#else
    std::printf("   (libtiff not found: no peer)");
#endif
    std::printf("\n");
  }
  std::filesystem::remove_all(dir);
  return 0;
}
