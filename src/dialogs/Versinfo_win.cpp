#include <windows.h>

#include "dialogs/Versinfo.h"
#include "framework/Wide.h"

namespace {

// Far more than any version resource (its root length is 16-bit; the system
// adds room for its own conversions): a larger answer is not one.
constexpr DWORD MaxVersionDataBytes = 1 << 20;

}  // namespace

std::vector<uint8_t> ReadVersionData(const std::string& fileName) {
  const std::wstring name = Utf8ToWide(fileName);
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(name.c_str(), &handle);
  if (size == 0 || size > MaxVersionDataBytes) return {};
  std::vector<uint8_t> data(size);
  if (!GetFileVersionInfoW(name.c_str(), 0, size, data.data())) return {};
  return data;
}

std::string RunningExecutableName() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, name.data(), DWORD(name.size()));
    if (n == 0) return {};
    if (n < name.size()) return WideToUtf8(name.substr(0, n));
    name.resize(name.size() * 2);
  }
}
