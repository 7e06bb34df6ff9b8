// WebP decoding speed: ReadWebPStream (the demuxer, then libwebp decoding
// into the picture's rows) against libwebp's plain decode of the same bytes
// into an RGB buffer, what dwebp does, measured in the same run.
//
//   WebpBench [FILE.webp ...]
//
// Without files it has cwebp make a lossy 6000 by 4000 and a lossless 3000 by
// 2000 file of a photograph-like picture.

#include <webp/decode.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "imaging/Webpfilter.h"

namespace {

void Bench(const std::string& path) {
  const TBytes file = Load(path);
  int width = 0, height = 0;
  const double ours = Time([&] {
    TByteSource stream(file);
    TProgressRec progress;
    const auto picture = ReadWebPStream(stream, 0, progress, TReadLimits{});
    width = picture->Width();
    height = picture->Height();
  });
  const double libwebp = Time([&] {
    int w = 0, h = 0;
    WebPFree(WebPDecodeRGB(file.data(), file.size(), &w, &h));
  });
  std::printf("%-14s %dx%d: kaleidon %.3f s, libwebp %.3f s, ratio %.2f\n",
              std::filesystem::path(path).filename().c_str(), width, height, ours, libwebp, libwebp / ours);
}

// cwebp encodes ImageMagick's picture; empty when either is missing.
std::string Encode(const std::filesystem::path& dir, const std::string& name, const std::string& size,
                   const std::string& options) {
  const std::string png = (dir / (name + ".png")).string(), webp = (dir / (name + ".webp")).string();
  const std::string command = "/usr/bin/convert -seed 7 -size " + size + " plasma:fractal -blur 0x1 PNG24:" + png +
                              " && cwebp -quiet " + options + " " + png + " -o " + webp;
  return std::system(command.c_str()) == 0 ? webp : "";
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files(argv + 1, argv + argc);
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "kaleidon-webp-bench";
  if (files.empty()) {
    std::filesystem::create_directories(dir);
    for (const std::string& file :
         {Encode(dir, "lossy", "6000x4000", "-q 85"), Encode(dir, "lossless", "3000x2000", "-lossless -m 1")})
      if (!file.empty()) files.push_back(file);
  }
  for (const std::string& file : files) Bench(file);
  std::filesystem::remove_all(dir);
}
