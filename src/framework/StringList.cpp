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
  FKeys.clear();
  for (Item& item : FItems) AddKey(item);
  FSettled = 0;
}

void TStringList::AddKey(Item& item) {
  item.KeyAt = FKeys.size();
  AppendCaseInsensitiveSortKey(FKeys, item.Text);
  item.KeyLength = FKeys.size() - item.KeyAt;
}

void TStringList::Add(const std::string& text) {
  Item item{text};
  if (FSorted) AddKey(item);
  FItems.push_back(std::move(item));
  if (!FSorted) FSettled = FItems.size();
}

void TStringList::AddStrings(const TStringList& other) {
  for (int i = 0; i < other.Count(); ++i) Add(other.Strings(i));
}

// Sorts the pending additions (stably, so that among equals the first added
// stays first), merges them behind the settled part and, ignoring duplicates,
// keeps the first of each run of equals: the string that was there before.
// The sort moves small handles (the key and the item's index), not the items
// with their strings, which are then moved once into their places.
void TStringList::Settle() const {
  if (FSettled == FItems.size()) return;
  struct THandle {
    std::string_view Key;
    size_t Index;
  };
  std::vector<THandle> order;
  order.reserve(FItems.size());
  for (size_t i = 0; i < FItems.size(); ++i) order.push_back({Key(FItems[i]), i});
  const auto byKey = [](const THandle& a, const THandle& b) { return a.Key < b.Key; };
  const auto middle = order.begin() + std::ptrdiff_t(FSettled);
  std::stable_sort(middle, order.end(), byKey);
  std::inplace_merge(order.begin(), middle, order.end(), byKey);
  if (Duplicates == TDuplicates::dupIgnore) {
    const auto equal = [](const THandle& a, const THandle& b) { return a.Key == b.Key; };
    order.erase(std::unique(order.begin(), order.end(), equal), order.end());
  }
  std::vector<Item> items;
  items.reserve(order.size());
  for (const THandle& handle : order) items.push_back(std::move(FItems[handle.Index]));
  FItems.swap(items);
  FSettled = FItems.size();
}

void TStringList::Delete(int index) {
  Strings(index);  // checks the index
  FItems.erase(FItems.begin() + index);
  FSettled = FItems.size();
}

void TStringList::Clear() {
  FItems.clear();
  FKeys.clear();
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
  const auto it = std::lower_bound(FItems.begin(), FItems.end(), std::string_view(key),
                                   [this](const Item& item, std::string_view k) { return Key(item) < k; });
  return it != FItems.end() && Key(*it) == key ? int(it - FItems.begin()) : -1;
}
