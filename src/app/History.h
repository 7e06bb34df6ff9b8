#pragma once
// The wallpapers applied last, newest first, at most 50: what "Previous
// Wallpaper" steps back through. The history is kept in memory and in the
// setting History (the paths joined by "|", a character no Windows path
// holds), so that it survives a restart. Stepping back does not add to it:
// a position marks the entry shown, and a picture applied otherwise becomes
// the newest entry and the position returns to it.

#include <functional>
#include <string>
#include <vector>

#include "framework/RegIniFile.h"

class TWallpaperHistory {
public:
  static constexpr size_t Capacity = 50;

  // Reads the stored history and stands at the first entry that is the
  // wallpaper shown; before the newest entry when none is.
  void Load(const TRegIniFile& settings, const std::string& current);
  // A picture was applied other than from the history; the one shown
  // applied again changes nothing.
  void Applied(TRegIniFile& settings, const std::string& path);
  // Steps back to the next older entry that exists, dropping (and listing in
  // missing) the ones passed that do not; false, with the position
  // unchanged, when no older entry exists.
  bool StepBack(TRegIniFile& settings, const std::function<bool(const std::string&)>& exists, std::string& path,
                std::vector<std::string>& missing);
  // Whether an older entry is left to step back to.
  bool HasOlder() const { return size_t(FPosition + 1) < FEntries.size(); }
  // Drops every entry of the path.
  void Remove(TRegIniFile& settings, const std::string& path);
  const std::vector<std::string>& Entries() const { return FEntries; }

private:
  void Save(TRegIniFile& settings) const;

  std::vector<std::string> FEntries;
  int FPosition = -1;  // the entry shown; -1 before the newest
};
