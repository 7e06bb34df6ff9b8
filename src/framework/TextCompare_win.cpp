#include "framework/TextCompare.h"

#include <windows.h>

#include "framework/Wide.h"

// The user default locale's sort key ignoring case: comparing keys bytewise
// orders texts exactly as CompareString does.
std::string CaseInsensitiveSortKey(const std::string& text) {
  const std::wstring wide = Utf8ToWide(text);
  if (wide.empty()) return {};
  const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
  const int size = LCMapStringW(LOCALE_USER_DEFAULT, flags, wide.data(), int(wide.size()), nullptr, 0);
  std::string key(size_t(size > 0 ? size : 0), '\0');
  if (size > 0) {
    LCMapStringW(LOCALE_USER_DEFAULT, flags, wide.data(), int(wide.size()), reinterpret_cast<LPWSTR>(key.data()), size);
    key.pop_back();  // the key's terminating zero byte
  }
  return key;
}
