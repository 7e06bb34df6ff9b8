#include "framework/StringList.h"

#include <algorithm>

#include "framework/Exceptions.h"
#include "framework/SysUtils.h"
#include "framework/TextCompare.h"

// Sorting an existing list treats its strings like fresh additions, so with
// dupIgnore its duplicates go too.
void TStringList::SetSorted(bool sorted) {
  if (sorted == FSorted) return;
  FSorted = sorted;
  if (!sorted) return;
  for (Item& item : FItems) item.Key = CaseInsensitiveSortKey(item.Text);
  FSettled = 0;
}

void TStringList::Add(const std::string& text) {
  FItems.push_back({text, FSorted ? CaseInsensitiveSortKey(text) : std::string()});
  if (!FSorted) FSettled = FItems.size();
}

void TStringList::AddStrings(const TStringList& other) {
  for (int i = 0; i < other.Count(); ++i) Add(other.Strings(i));
}

// Sorts the pending additions (stably, so that among equals the first added
// stays first), merges them behind the settled part and, ignoring duplicates,
// keeps the first of each run of equals: the string that was there before.
void TStringList::Settle() const {
  if (FSettled == FItems.size()) return;
  const auto byKey = [](const Item& a, const Item& b) { return a.Key < b.Key; };
  const auto middle = FItems.begin() + std::ptrdiff_t(FSettled);
  std::stable_sort(middle, FItems.end(), byKey);
  std::inplace_merge(FItems.begin(), middle, FItems.end(), byKey);
  if (Duplicates == TDuplicates::dupIgnore) {
    const auto equal = [](const Item& a, const Item& b) { return a.Key == b.Key; };
    FItems.erase(std::unique(FItems.begin(), FItems.end(), equal), FItems.end());
  }
  FSettled = FItems.size();
}

void TStringList::Delete(int index) {
  Strings(index);  // checks the index
  FItems.erase(FItems.begin() + index);
  FSettled = FItems.size();
}

void TStringList::Clear() {
  FItems.clear();
  FSettled = 0;
}

int TStringList::Count() const {
  Settle();
  return static_cast<int>(FItems.size());
}

const std::string& TStringList::Strings(int index) const {
  Settle();
  if (index < 0 || size_t(index) >= FItems.size())
    throw EStringListError(Format("List index out of bounds (%d)", index));
  return FItems[size_t(index)].Text;
}

int TStringList::IndexOf(const std::string& text) const {
  Settle();
  if (!FSorted) {
    for (size_t i = 0; i < FItems.size(); ++i)
      if (AnsiCompareText(FItems[i].Text, text) == 0) return int(i);
    return -1;
  }
  const std::string key = CaseInsensitiveSortKey(text);
  const auto it = std::lower_bound(FItems.begin(), FItems.end(), key,
                                   [](const Item& item, const std::string& k) { return item.Key < k; });
  return it != FItems.end() && it->Key == key ? int(it - FItems.begin()) : -1;
}
