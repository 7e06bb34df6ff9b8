// PNG decoding speed: ReadPngStream (libspng, rows into the picture, red and
// blue swapped in place) against libpng's own decode of the same bytes into
// an RGB buffer (its simplified reading interface), measured in the same run.
//
//   PngBench [FILE.png ...]
//
// Without files it has ImageMagick make a photograph-like and a flat-colour
// 6000 by 4000 picture.

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "imaging/Pngfilter.h"

namespace {

// Into memory of its own each time, as Kaleidon's picture is.
void Libpng(const TBytes& file) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  png_image_begin_read_from_memory(&image, file.data(), file.size());
  image.format = PNG_FORMAT_RGB;
  const std::unique_ptr<png_byte[]> pixels(new png_byte[PNG_IMAGE_SIZE(image)]);
  png_image_finish_read(&image, nullptr, pixels.get(), 0, nullptr);
}

void Bench(const std::string& path) {
  const TBytes file = Load(path);
  int width = 0, height = 0;
  const double ours = Time([&] {
    TByteSource stream(file);
    TProgressRec progress;
    const auto picture = ReadPngStream(stream, 0, progress, TReadLimits{});
    width = picture->Width();
    height = picture->Height();
  });
  const double libpng = Time([&] { Libpng(file); });
  std::printf("%-14s %dx%d: kaleidon %.3f s, libpng %.3f s, ratio %.2f\n",
              std::filesystem::path(path).filename().c_str(), width, height, ours, libpng, libpng / ours);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files(argv + 1, argv + argc);
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "kaleidon-png-bench";
  if (files.empty())
    files = MakeSamples(dir, {{"photo.png", "-size 6000x4000 plasma:fractal -blur 0x1 -depth 8 PNG24:"},
                              {"flat.png", "-size 6000x4000 xc:#3080c0 -depth 8 PNG24:"}});
  for (const std::string& file : files) Bench(file);
  std::filesystem::remove_all(dir);
}
