#include "app/History.h"

#include <algorithm>

#include "app/Settings.h"
#include "framework/TextCompare.h"

namespace {

constexpr char Separator = '|';

bool SamePath(const std::string& a, const std::string& b) { return AnsiCompareText(a, b) == 0; }

}  // namespace

// Empty parts (a value edited by hand) are no entries; entries past the
// capacity are dropped.
void TWallpaperHistory::Load(const TRegIniFile& settings, const std::string& current) {
  FEntries.clear();
  const std::string text = ReadSetting(settings, HistorySetting);
  for (size_t start = 0; start <= text.size() && FEntries.size() < Capacity;) {
    const size_t end = std::min(text.find(Separator, start), text.size());
    if (end > start) FEntries.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  const auto shown =
      std::find_if(FEntries.begin(), FEntries.end(), [&](const auto& e) { return SamePath(e, current); });
  FPosition = shown == FEntries.end() ? -1 : int(shown - FEntries.begin());
}

// The picture shown applied again (its monitors' layout changed, say)
// changes nothing; the newest applied again in a row is one entry.
void TWallpaperHistory::Applied(TRegIniFile& settings, const std::string& path) {
  if (FPosition >= 0 && SamePath(FEntries[size_t(FPosition)], path)) return;
  FPosition = 0;
  if (!FEntries.empty() && SamePath(FEntries.front(), path)) return;
  FEntries.insert(FEntries.begin(), path);
  if (FEntries.size() > Capacity) FEntries.resize(Capacity);
  Save(settings);
}

bool TWallpaperHistory::StepBack(TRegIniFile& settings, const std::function<bool(const std::string&)>& exists,
                                 std::string& path, std::vector<std::string>& missing) {
  const size_t before = FEntries.size();
  size_t i = size_t(FPosition) + 1;
  while (i < FEntries.size() && !exists(FEntries[i])) {
    missing.push_back(FEntries[i]);
    FEntries.erase(FEntries.begin() + std::ptrdiff_t(i));
  }
  if (FEntries.size() != before) Save(settings);
  if (i >= FEntries.size()) return false;
  FPosition = int(i);
  path = FEntries[i];
  return true;
}

void TWallpaperHistory::Remove(TRegIniFile& settings, const std::string& path) {
  const size_t before = FEntries.size();
  for (size_t i = FEntries.size(); i-- > 0;) {
    if (!SamePath(FEntries[i], path)) continue;
    FEntries.erase(FEntries.begin() + std::ptrdiff_t(i));
    if (int(i) <= FPosition) --FPosition;
  }
  if (FEntries.size() != before) Save(settings);
}

void TWallpaperHistory::Save(TRegIniFile& settings) const {
  std::string text;
  for (const std::string& entry : FEntries) text += (text.empty() ? "" : "|") + entry;
  WriteSetting(settings, HistorySetting, text);
}
