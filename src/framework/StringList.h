#pragma once
// A list of strings. Sorted, it keeps ascending order under the framework's
// case-insensitive comparison, and with Duplicates = dupIgnore an added string
// that compares equal to one already present leaves the list unchanged.
// Additions to a sorted list are gathered and merged in one pass when the list
// is next read, so building a list of n names costs O(n log n), not O(n^2).
// The sort keys of a sorted list live in one buffer, which Clear empties; the
// keys of deleted or duplicate strings stay in it until then.

#include <string>
#include <string_view>
#include <vector>

#include "framework/Component.h"

enum class TDuplicates { dupIgnore, dupAccept };

class TStringList : public TObject {
public:
  TStringList() = default;

  bool Sorted() const { return FSorted; }
  void SetSorted(bool sorted);
  TDuplicates Duplicates = TDuplicates::dupAccept;

  void Add(const std::string& text);
  void AddStrings(const TStringList& other);
  void Delete(int index);
  void Clear();

  int Count() const;
  // The string at index; EStringListError "List index out of bounds (%d)".
  const std::string& Strings(int index) const;
  const std::string& operator[](int index) const { return Strings(index); }
  // Index of a string that compares equal, or -1.
  int IndexOf(const std::string& text) const;

private:
  struct Item {
    std::string Text;
    size_t KeyAt = 0, KeyLength = 0;  // the sort key's place in FKeys (sorted lists only)
  };
  std::string_view Key(const Item& item) const { return {FKeys.data() + item.KeyAt, item.KeyLength}; }
  void AddKey(Item& item);
  void Settle() const;

  bool FSorted = false;
  mutable std::vector<Item> FItems;
  mutable size_t FSettled = 0;  // FItems[0, FSettled) is in order; the rest awaits merging
  std::string FKeys;
};
