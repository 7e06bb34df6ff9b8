// The catalogue build over a generated tree, against find(1) running the same
// seven patterns, and the sorted catalogue list against one sort and
// de-duplication of the same names.
//   CatalogueBench [FILES...]   (default: 100000 1000000)
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "app/Mainform.h"
#include "framework/RegIniFile.h"
#include "framework/StringList.h"
#include "framework/TextCompare.h"

namespace fs = std::filesystem;

namespace {

void Run(int files) {
  const fs::path root = fs::temp_directory_path() / ("kaleidon-catalogue-" + std::to_string(files));
  const fs::path config = root.string() + "-config";
  fs::remove_all(root);
  std::printf("tree of %d files: generating...\n", files);
  const std::vector<std::string> names = MakeTree(root, files);
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

  const double listTime = Seconds([&] {
    TStringList list;
    list.Duplicates = TDuplicates::dupIgnore;
    list.SetSorted(true);
    for (const std::string& name : names) list.Add(name);
    list.Count();
  });
  const double sortOnce = Seconds([&] {
    std::vector<std::pair<std::string, std::string>> keyed;
    for (const std::string& name : names) keyed.emplace_back(CaseInsensitiveSortKey(name), name);
    std::stable_sort(keyed.begin(), keyed.end(), [](auto& a, auto& b) { return a.first < b.first; });
    keyed.erase(std::unique(keyed.begin(), keyed.end(), [](auto& a, auto& b) { return a.first == b.first; }),
                keyed.end());
  });
  std::printf("  sorted list of %zu names: %.3f s; one sort and de-duplication: %.3f s; ratio %.2f\n",
              names.size(), listTime, sortOnce, sortOnce / listTime);
  fs::remove_all(root);
  fs::remove_all(config);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {100000, 1000000};
  for (int files : sizes) Run(files);
}
