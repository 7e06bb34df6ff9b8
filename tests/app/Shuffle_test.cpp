#include <gtest/gtest.h>

#include <set>

#include "app/Shuffle.h"

namespace {

TStringList Catalogue(const std::vector<std::string>& paths) {
  TStringList list;
  list.SetSorted(true);
  for (const std::string& path : paths) list.Add(path);
  return list;
}

TStringList Pictures(int count) {
  std::vector<std::string> paths;
  for (int i = 0; i < count; ++i) paths.push_back("C:\\Pictures\\p" + std::to_string(i) + ".jpg");
  return Catalogue(paths);
}

std::vector<std::string> Draw(TShuffle& shuffle, const TStringList& catalogue, int count) {
  std::vector<std::string> drawn;
  for (int i = 0; i < count; ++i) drawn.push_back(shuffle.Next(catalogue));
  return drawn;
}

}  // namespace

TEST(Shuffle_Next, EveryPictureOncePerCycleAndNoRepeatAcrossCycles) {
  const TStringList catalogue = Pictures(10);
  TShuffle shuffle;
  std::string last;
  for (int cycle = 0; cycle < 50; ++cycle) {
    const std::vector<std::string> drawn = Draw(shuffle, catalogue, 10);
    EXPECT_EQ(std::set<std::string>(drawn.begin(), drawn.end()).size(), 10u) << cycle;
    EXPECT_NE(drawn.front(), last) << cycle;
    last = drawn.back();
  }
}

// Two orders of ten alike by chance: 1 in 3628800.
TEST(Shuffle_Next, EachStartHasItsOwnOrder) {
  const TStringList catalogue = Pictures(10);
  TShuffle first, second;
  EXPECT_NE(Draw(first, catalogue, 10), Draw(second, catalogue, 10));
}

TEST(Shuffle_Next, CatalogueChangeKeepsTheShownOutOfTheCycle) {
  TShuffle shuffle;
  shuffle.Shown("C:\\Pictures\\A.JPG");  // the same picture as a.jpg
  const std::vector<std::string> before = Draw(shuffle, Catalogue({"C:\\Pictures\\a.jpg", "b", "c", "d", "e"}), 2);
  std::set<std::string> rest{"b", "c", "d", "e", "f", "g"};
  for (const std::string& shown : before) rest.erase(shown);
  rest.erase("e");
  const TStringList changed = Catalogue({"C:\\Pictures\\a.jpg", "b", "c", "d", "f", "g"});  // e gone, f and g new
  const std::vector<std::string> after = Draw(shuffle, changed, int(rest.size()));
  EXPECT_EQ(std::set<std::string>(after.begin(), after.end()), rest);
}

TEST(Shuffle_Next, OnePictureIsAlwaysThatOneAndNoneIsNothing) {
  TShuffle shuffle;
  EXPECT_EQ(Draw(shuffle, Catalogue({"only"}), 3), (std::vector<std::string>{"only", "only", "only"}));
  EXPECT_EQ(shuffle.Next(Catalogue({})), "");
}
