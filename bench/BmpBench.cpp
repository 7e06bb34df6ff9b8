// The wallpaper job on a large BMP against ImageMagick doing the same job in
// the same run: load, stretch proportionally to a 1920 x 1080 screen
// (nearest pixel) and save as BMP, ours through the image holder, the peer as
// `convert IN -sample WxH! BMP3:OUT` to the size ours came out. Then the save
// alone (two-colour check, file image, atomic replace with flush to disk)
// against one plain write of the same bytes, flushed to disk as the save is.
//
//   BmpBench [FILE.bmp ...]
// Without files, 6000 x 4000 pictures are made with ImageMagick (/usr/bin/convert).

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "app/Placement.h"
#include "imaging/BmpCodec.h"
#include "imaging/Imageholder.h"

namespace {

using TClock = std::chrono::steady_clock;

// The best of three runs, in seconds.
template <class Job>
double BestOfThree(Job&& job) {
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    const auto start = TClock::now();
    job();
    best = std::min(best, std::chrono::duration<double>(TClock::now() - start).count());
  }
  return best;
}

bool Run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

std::vector<std::string> MakeFiles(const std::filesystem::path& dir) {
  return MakeSamples(
      dir,
      {
          {"noise-24.bmp", "-size 6000x4000 xc: +noise Random -type TrueColor BMP3:"},
          {"gradient-8.bmp", "-size 6000x4000 gradient:navy-orange -swirl 90 +dither -colors 256 -type Palette BMP3:"},
      });
}

void WritePlain(const std::string& path, const std::vector<uint8_t>& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  if (::write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size()) || ::fsync(fd) != 0)
    std::printf("(plain write failed) ");
  ::close(fd);
}

void Bench(const std::string& path, const std::filesystem::path& dir) {
  const std::string out = (dir / "ours.bmp").string(), peerOut = (dir / "peer.bmp").string();
  int width = 0, height = 0;
  const double ours = BestOfThree([&] {
    TImageHolder holder(nullptr);
    holder.LoadFromFile(path);
    ResizeForPlacement(holder, plStretchProportionally, 1920, 1080, false);
    holder.SaveToFileBMP(out);
    width = holder.Bitmap().Width();
    height = holder.Bitmap().Height();
  });
  const std::string name = std::filesystem::path(path).filename().string();
  std::printf("%-16s load+fit+save to %dx%d: ours %.3f s", name.c_str(), width, height, ours);
  const std::string peer = "/usr/bin/convert " + path + " -sample " + std::to_string(width) + "x" +
                           std::to_string(height) + "! BMP3:" + peerOut;
  if (Run(peer)) {
    const double theirs = BestOfThree([&] { Run(peer); });
    std::printf("   convert -sample %.3f s   ratio %.2f\n", theirs, theirs / ours);
  } else {
    std::printf("   (no ImageMagick: no peer)\n");
  }

  TImageHolder holder(nullptr);
  holder.LoadFromFile(path);
  const std::vector<uint8_t> bytes = WriteBitmapStream(holder.Bitmap());
  const double save = BestOfThree([&] { holder.SaveToFileBMP(out); });
  const double plain = BestOfThree([&] { WritePlain(peerOut, bytes); });
  std::printf("%-16s save of %.0f MB: ours %.3f s   plain write and fsync %.3f s   ratio %.2f\n", name.c_str(),
              bytes.size() / 1e6, save, plain, plain / save);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files(argv + 1, argv + argc);
  const auto dir = std::filesystem::temp_directory_path() / "kaleidon-bmpbench";
  std::filesystem::create_directories(dir);
  if (files.empty()) files = MakeFiles(dir);
  if (files.empty()) std::printf("no BMP files: pass some, or install ImageMagick\n");
  for (const std::string& path : files) Bench(path, dir);
  std::filesystem::remove_all(dir);
  return 0;
}
