#include "app/Shuffle.h"

#include <algorithm>

#include "framework/TextCompare.h"

namespace {

// Paths are the same picture when the catalogue takes them for one.
std::string KeyOf(const std::string& path) { return CaseInsensitiveSortKey(path); }

}  // namespace

TShuffle::TShuffle() {
  std::random_device device;
  std::seed_seq seed{device(), device(), device(), device()};
  FRandom.seed(seed);
}

size_t TShuffle::RandomBelow(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(FRandom); }

std::string TShuffle::Next(const TStringList& catalogue) {
  const std::vector<std::string> coming = Coming(catalogue);
  if (coming.empty()) return {};
  Shown(coming.front());
  return coming.front();
}

std::vector<std::string> TShuffle::Coming(const TStringList& catalogue) {
  if (catalogue.Count() == 0) return {};
  Follow(catalogue);
  if (FRest.empty()) NewCycle(catalogue);
  std::vector<std::string> coming = FRest, shown;
  std::set<std::string> rest;
  for (const std::string& p : FRest) rest.insert(KeyOf(p));
  for (int i = 0; i < catalogue.Count(); ++i)
    if (!rest.count(KeyOf(catalogue[i]))) shown.push_back(catalogue[i]);
  std::shuffle(shown.begin(), shown.end(), FRandom);
  coming.insert(coming.end(), shown.begin(), shown.end());
  return coming;
}

void TShuffle::Shown(const std::string& path) {
  FLast = KeyOf(path);
  FShown.insert(FLast);
  std::erase_if(FRest, [&](const std::string& p) { return KeyOf(p) == FLast; });
}

// Pictures gone from the catalogue leave the rest; pictures new to it, not
// shown in this cycle, are put in at random places.
void TShuffle::Follow(const TStringList& catalogue) {
  std::set<std::string> listed, coming;
  for (int i = 0; i < catalogue.Count(); ++i) listed.insert(KeyOf(catalogue[i]));
  std::erase_if(FRest, [&](const std::string& p) { return !listed.count(KeyOf(p)); });
  for (const std::string& p : FRest) coming.insert(KeyOf(p));
  for (int i = 0; i < catalogue.Count(); ++i) {
    const std::string key = KeyOf(catalogue[i]);
    if (FShown.count(key) || !coming.insert(key).second) continue;
    FRest.insert(FRest.begin() + std::ptrdiff_t(RandomBelow(FRest.size() + 1)), catalogue[i]);
  }
}

void TShuffle::NewCycle(const TStringList& catalogue) {
  FShown.clear();
  FRest.clear();
  for (int i = 0; i < catalogue.Count(); ++i) FRest.push_back(catalogue[i]);
  std::shuffle(FRest.begin(), FRest.end(), FRandom);
  if (FRest.size() > 1 && KeyOf(FRest.front()) == FLast)
    std::swap(FRest.front(), FRest[1 + RandomBelow(FRest.size() - 1)]);
}
