// The catalogue's sorted, duplicate-free list (case-insensitive, the
// locale's comparison) against one sort and de-duplication of the same names
// by the same keys. The names are those the catalogue bench's tree holds.
// Each side runs three times, taking turns, and keeps its best time, so that
// neither profits from memory the other has just warmed.
//   StringListBench [NAMES...]   (default: 100000 1000000)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "BenchTiming.h"
#include "framework/StringList.h"
#include "framework/TextCompare.h"

namespace {

void Run(int count) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back(PictureName(i));
  double list = 1e9, sortOnce = 1e9;
  for (int round = 0; round < 3; ++round) {
    list = std::min(list, Seconds([&] {
                      TStringList sorted;
                      sorted.Duplicates = TDuplicates::dupIgnore;
                      sorted.SetSorted(true);
                      for (const std::string& name : names) sorted.Add(name);
                      sorted.Count();
                    }));
    sortOnce = std::min(
        sortOnce, Seconds([&] {
          std::vector<std::pair<std::string, std::string>> keyed;
          for (const std::string& name : names) keyed.emplace_back(CaseInsensitiveSortKey(name), name);
          std::stable_sort(keyed.begin(), keyed.end(), [](auto& a, auto& b) { return a.first < b.first; });
          keyed.erase(std::unique(keyed.begin(), keyed.end(), [](auto& a, auto& b) { return a.first == b.first; }),
                      keyed.end());
        }));
  }
  std::printf("sorted list of %d names: %.3f s; one sort and de-duplication: %.3f s; ratio %.2f\n", count, list,
              sortOnce, sortOnce / list);
}

}  // namespace

int main(int argc, char** argv) {
  for (int count : Sizes(argc, argv)) Run(count);
}
