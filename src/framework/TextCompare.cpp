#include "framework/TextCompare.h"

int AnsiCompareText(const std::string& a, const std::string& b) {
  return CaseInsensitiveSortKey(a).compare(CaseInsensitiveSortKey(b));
}
