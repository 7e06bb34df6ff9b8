// The catalogue build over a generated tree, against find(1) running the same
// seven patterns (the sorted list alone: StringListBench).
//   CatalogueBench [FILES...]   (default: 100000 1000000)
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "app/Mainform.h"
#include "framework/RegIniFile.h"

namespace fs = std::filesystem;

namespace {

void Run(int files) {
  const fs::path root = fs::temp_directory_path() / ("kaleidon-catalogue-" + std::to_string(files));
  const fs::path config = root.string() + "-config";
  fs::remove_all(root);
  std::printf("tree of %d files: generating...\n", files);
  MakeTree(root, files);
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  TRegIniFile("Software\\Trellwick\\Kaleidon").WriteString("Settings", "WPLocation", root.string());

  TForm1 form(nullptr);
  const double build = Seconds([&] { form.BuildWallpaperList(); });
  const std::string findCommand = "cd " + root.string() +
                                  " && for p in '*.jpg' '*.jpeg' '*.jpe' '*.gif' '*.bmp' '*.pcx' '*.tif'; do"
                                  " find . -iname \"$p\" -type f; done >/dev/null";
  const double find = Seconds([&] {
    if (std::system(findCommand.c_str()) != 0) std::printf("find failed\n");
  });
  std::printf("  catalogue build: %d entries in %.3f s; find, same patterns: %.3f s; ratio %.2f\n",
              form.WallpaperList().Count(), build, find, find / build);

  fs::remove_all(root);
  fs::remove_all(config);
}

}  // namespace

int main(int argc, char** argv) {
  for (int files : Sizes(argc, argv)) Run(files);
}
