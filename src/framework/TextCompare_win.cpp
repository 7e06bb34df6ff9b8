#include "framework/TextCompare.h"

#include <windows.h>

#include "framework/Wide.h"

// The user default locale's sort key ignoring case: comparing keys bytewise
// orders texts exactly as CompareString does.
void AppendCaseInsensitiveSortKey(std::string& out, std::string_view text) {
  const std::wstring wide = Utf8ToWide(std::string(text));
  if (wide.empty()) return;
  const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
  const int size = LCMapStringW(LOCALE_USER_DEFAULT, flags, wide.data(), int(wide.size()), nullptr, 0);
  if (size <= 0) return;
  const size_t start = out.size();
  out.resize(start + size_t(size));
  LCMapStringW(LOCALE_USER_DEFAULT, flags, wide.data(), int(wide.size()), reinterpret_cast<LPWSTR>(out.data() + start),
               size);
  out.pop_back();  // the key's terminating zero byte
}
