#pragma once
// Timing, file and sample-making helpers shared by the benchmarks.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

using TBytes = std::vector<uint8_t>;

inline TBytes Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return TBytes(std::istreambuf_iterator<char>(in), {});
}

// The name of the i-th file of the catalogue benches: catalogued pictures
// plus files the catalogue leaves out.
inline std::string PictureName(int i) {
  static const char* const kinds[] = {".jpg", ".JPEG", ".jpe", ".gif", ".bmp", ".pcx", ".tif", ".tiff", ".txt", ".psd"};
  return "Picture " + std::to_string(i) + kinds[i % 10];
}

// The sizes given on the command line, or the catalogue benches' own.
inline std::vector<int> Sizes(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {100000, 1000000};
  return sizes;
}

// The time one run of a job takes, in seconds.
template <class Job>
double Seconds(Job&& job) {
  const auto start = std::chrono::steady_clock::now();
  job();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The best of several runs of about a fifth of a second each, in seconds per decode.
template <class Decode>
double Time(Decode&& decode) {
  using TClock = std::chrono::steady_clock;
  double best = 1e9;
  for (int run = 0; run < 5; ++run) {
    int count = 0;
    const auto start = TClock::now();
    double elapsed = 0;
    do {
      decode();
      ++count;
      elapsed = std::chrono::duration<double>(TClock::now() - start).count();
    } while (elapsed < 0.2);
    best = std::min(best, elapsed / count);
  }
  return best;
}

// A picture for a benchmark: its file name and the ImageMagick arguments that
// make it. The output path follows the arguments directly, so they end with a
// space or with an output format prefix such as "BMP3:".
struct TSample {
  std::string Name;
  std::string Args;
};

// Makes the samples in dir; the paths of those ImageMagick could make.
inline std::vector<std::string> MakeSamples(const std::filesystem::path& dir, const std::vector<TSample>& samples) {
  std::filesystem::create_directories(dir);
  std::vector<std::string> files;
  for (const TSample& sample : samples) {
    const std::string path = (dir / sample.Name).string();
    const std::string command = "/usr/bin/convert -seed 7 " + sample.Args + path + " >/dev/null 2>&1";
    if (std::system(command.c_str()) == 0) files.push_back(path);
  }
  return files;
}

// The time one run of the job takes, in seconds.
inline double Seconds(const std::function<void()>& job) {
  const auto start = std::chrono::steady_clock::now();
  job();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A tree for the catalogue: 100 files per directory, 20 directories per
// level, catalogued pictures plus files the catalogue leaves out. The
// files' names, in the order they were made.
inline std::vector<std::string> MakeTree(const std::filesystem::path& root, int files) {
  const char* kinds[] = {".jpg", ".JPEG", ".jpe", ".gif", ".bmp", ".pcx", ".tif", ".tiff", ".txt", ".psd"};
  std::vector<std::string> names;
  std::filesystem::create_directories(root);
  for (int i = 0; i < files; ++i) {
    const int dir = i / 100;
    const std::filesystem::path parent =
        root / std::string("d").append(std::to_string(dir / 20)) / std::string("s").append(std::to_string(dir % 20));
    if (i % 100 == 0) std::filesystem::create_directories(parent);
    const std::string name = "Picture " + std::to_string(i) + kinds[i % 10];
    std::ofstream(parent / name).put('x');
    names.push_back(name);
  }
  return names;
}
