// Smooth resizing speed: StretchSmooth against ImageMagick's
// "-filter Triangle -resize" with its default threads, in the same run:
// ImageMagick's time is that of the command with the resize less that of the
// same command without it (both read an MPC file, which maps the pixels in).
//
//   ResizeBench
//
// Cases: a photograph-like 6000 by 4000 picture to 1920 by 1080, and a
// 1024 by 768 one to 3840 by 2160.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BenchTiming.h"
#include "imaging/BmpCodec.h"
#include "imaging/SmoothStretch.h"

namespace {

double Best(const std::string& command) {
  double best = 1e9;
  for (int run = 0; run < 3; ++run) best = std::min(best, Seconds([&] { std::system(command.c_str()); }));
  return best;
}

void Bench(const std::filesystem::path& dir, int width, int height, int toWidth, int toHeight) {
  const std::string name = std::to_string(width) + "x" + std::to_string(height);
  const std::string bmp = (dir / (name + ".bmp")).string(), mpc = (dir / (name + ".mpc")).string();
  const std::string make =
      "/usr/bin/convert -seed 7 -size " + name + " plasma:fractal -blur 0x1 -depth 8 -type TrueColor ";
  if (std::system((make + "BMP3:" + bmp + " && /usr/bin/convert " + bmp + " " + mpc).c_str()) != 0) return;
  const TBytes file = Load(bmp);
  TByteSource stream(file);
  const auto picture = ReadBitmapStream(stream, TReadLimits{});
  unsigned checksum = 0;  // uses the result, so no work can be left out
  const double ours = Time([&] { checksum += StretchSmooth(*picture, toWidth, toHeight).ScanLine(toHeight / 2)[0]; });
  const std::string to = std::to_string(toWidth) + "x" + std::to_string(toHeight);
  const double resize = Best("/usr/bin/convert " + mpc + " -filter Triangle -resize " + to + "! null:");
  const double base = Best("/usr/bin/convert " + mpc + " null:");
  std::printf("%s to %s: kaleidon %.3f s, ImageMagick %.3f s, ratio %.2f (%u)\n", name.c_str(), to.c_str(), ours,
              resize - base, (resize - base) / ours, checksum % 10);
}

}  // namespace

int main() {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "kaleidon-resize-bench";
  std::filesystem::create_directories(dir);
  Bench(dir, 6000, 4000, 1920, 1080);
  Bench(dir, 1024, 768, 3840, 2160);
  std::filesystem::remove_all(dir);
}
