#include "framework/TextCompare.h"

#include <windows.h>

// The user default locale's sort key ignoring case: comparing keys bytewise
// orders texts exactly as CompareString does. A catalogue build makes one key
// per file, so each key costs one conversion (UTF-16 never needs more units
// than UTF-8 has bytes) and, unless it outgrows the first guess of its size,
// one mapping straight into out.
void AppendCaseInsensitiveSortKey(std::string& out, std::string_view text) {
  if (text.empty()) return;
  std::wstring wide(text.size(), L'\0');
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), int(wide.size()));
  if (length <= 0) return;
  const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
  const auto map = [&](size_t start, int size) {
    return LCMapStringW(LOCALE_USER_DEFAULT, flags, wide.data(), length,
                        size ? reinterpret_cast<LPWSTR>(out.data() + start) : nullptr, size);
  };
  const size_t start = out.size();
  int size = 4 * length + 16;
  out.resize(start + size_t(size));
  int written = map(start, size);
  if (written == 0) {
    size = map(start, 0);
    out.resize(start + size_t(size > 0 ? size : 0));
    written = size > 0 ? map(start, size) : 0;
  }
  out.resize(start + size_t(written > 0 ? written - 1 : 0));  // without the key's terminating zero byte
}
