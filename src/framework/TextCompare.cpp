#include "framework/TextCompare.h"

std::string CaseInsensitiveSortKey(std::string_view text) {
  std::string key;
  AppendCaseInsensitiveSortKey(key, text);
  return key;
}

int AnsiCompareText(const std::string& a, const std::string& b) {
  return CaseInsensitiveSortKey(a).compare(CaseInsensitiveSortKey(b));
}
