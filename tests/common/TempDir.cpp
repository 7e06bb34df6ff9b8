#include "TempDir.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {

fs::path FromUtf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

std::string ToUtf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

TTempDir::TTempDir() {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  const fs::path dir =
      fs::temp_directory_path() / ("kaleidon-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
  fs::create_directories(dir);
  FPath = ToUtf8(dir.lexically_normal());
  if (!FPath.empty() && (FPath.back() == '/' || FPath.back() == '\\')) FPath.pop_back();
}

TTempDir::~TTempDir() {
  std::error_code ignored;
  fs::remove_all(FromUtf8(FPath), ignored);
}

std::string TTempDir::Join(const std::string& relative) const {
  std::string path = FPath + char(fs::path::preferred_separator) + relative;
  for (char& c : path)
    if (c == '/' && fs::path::preferred_separator == '\\') c = '\\';
  return path;
}

void TTempDir::Write(const std::string& relative, const std::string& bytes) const {
  const fs::path path = FromUtf8(Join(relative));
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

void TTempDir::MakeDir(const std::string& relative) const { fs::create_directories(FromUtf8(Join(relative))); }
