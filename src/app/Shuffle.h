#pragma once
// The random order of "Random Paper": a shuffle. Each cycle is a fresh
// permutation of the catalogue, shown through before any picture repeats.
// A picture applied any other way counts as shown in the cycle too. When the
// catalogue changes, pictures already shown stay out of the rest of the
// cycle, new ones take random places in it; the next cycle never begins with
// the picture shown last. With one picture, it is always that one.

#include <random>
#include <set>
#include <string>
#include <vector>

#include "framework/StringList.h"

class TShuffle {
public:
  // Seeded from the system's random source: every start has its own order.
  TShuffle();

  // The next picture of the catalogue (full paths, as the catalogue holds
  // them); empty for an empty catalogue. It counts as shown.
  std::string Next(const TStringList& catalogue);
  // Every picture of the catalogue, in the order they would come: the rest
  // of the cycle (a new one when it is over), then, at random, those shown
  // in it. Nothing counts as shown: a caller that takes several (one per
  // monitor) says which it showed.
  std::vector<std::string> Coming(const TStringList& catalogue);
  // The picture was shown (applied, or the wallpaper at start).
  void Shown(const std::string& path);

private:
  // Brings the rest of the cycle in line with the catalogue.
  void Follow(const TStringList& catalogue);
  void NewCycle(const TStringList& catalogue);
  size_t RandomBelow(size_t n);

  std::mt19937 FRandom;
  std::vector<std::string> FRest;  // the cycle's pictures still to come, in order
  std::set<std::string> FShown;    // the cycle's pictures shown, by their sort keys
  std::string FLast;               // the sort key of the picture shown last
};
