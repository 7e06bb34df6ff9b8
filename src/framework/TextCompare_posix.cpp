#include "framework/TextCompare.h"

#include <cwctype>

#include "framework/SysUtils.h"

namespace {

// One UTF-8 sequence at text[i]; a malformed byte stands for itself, so
// names that are not UTF-8 still sort stably.
char32_t NextCodePoint(const std::string& text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  const int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
  if (length <= 1 || i + size_t(length) > text.size()) {
    ++i;
    return lead;
  }
  char32_t c = lead & (0x7F >> length);
  for (int k = 1; k < length; ++k) {
    if ((byte(i + size_t(k)) & 0xC0) != 0x80) {
      ++i;
      return lead;
    }
    c = c << 6 | (byte(i + size_t(k)) & 0x3F);
  }
  i += size_t(length);
  return c;
}

}  // namespace

// Lower-cased code points: case is ignored, and otherwise texts sort by code
// point, which stands in for the locale's order on Linux.
std::string CaseInsensitiveSortKey(const std::string& text) {
  std::string key;
  key.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const char32_t c = NextCodePoint(text, i);
    AppendUtf8(key, c < 0x80 ? char32_t(c >= 'A' && c <= 'Z' ? c + 32 : c) : char32_t(std::towlower(wint_t(c))));
  }
  return key;
}
