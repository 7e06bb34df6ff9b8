#include "framework/RegIniFile.h"

#include <windows.h>

#include "framework/Exceptions.h"
#include "framework/Handles_win.h"
#include "framework/SysUtils.h"
#include "framework/Wide.h"

struct TRegIniFile::TImpl {
  TRegKey Key;
};

TRegIniFile::TRegIniFile(const std::string& keyPath) : FImpl(new TImpl) {
  if (RegCreateKeyExW(HKEY_CURRENT_USER, Utf8ToWide(keyPath).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, FImpl->Key.Receive(), nullptr) != ERROR_SUCCESS)
    throw ERegistryException(Format("Failed to create key %s", keyPath.c_str()));
}

TRegIniFile::~TRegIniFile() = default;

namespace {

// Text of a REG_SZ or REG_EXPAND_SZ value as stored: without the terminating
// zero the writer added, and cut at an embedded one, as the registry's own
// readers show it.
std::string TextOfValue(const std::wstring& data) {
  const size_t end = data.find(L'\0');
  return WideToUtf8(end == std::wstring::npos ? data : data.substr(0, end));
}

}  // namespace

bool TRegIniFile::ReadText(const std::string& section, const std::string& name, std::string& text) const {
  TRegKey sectionKey;
  if (RegOpenKeyExW(FImpl->Key.Get(), Utf8ToWide(section).c_str(), 0, KEY_READ, sectionKey.Receive()) != ERROR_SUCCESS)
    return false;
  const std::wstring valueName = Utf8ToWide(name);
  DWORD type = 0, size = 0;
  LONG status = RegQueryValueExW(sectionKey.Get(), valueName.c_str(), nullptr, &type, nullptr, &size);
  std::wstring data;
  if (status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
    // The value may grow between the two calls; ask again until it fits.
    do {
      data.assign(size / sizeof(wchar_t) + 1, L'\0');
      size = DWORD(data.size() * sizeof(wchar_t));
      status = RegQueryValueExW(sectionKey.Get(), valueName.c_str(), nullptr, &type,
                                reinterpret_cast<BYTE*>(data.data()), &size);
    } while (status == ERROR_MORE_DATA);
  }
  if (status == ERROR_FILE_NOT_FOUND) return false;
  if (status != ERROR_SUCCESS) throw ERegistryException(Format("Failed to get data for '%s'", name.c_str()));
  if (type != REG_SZ && type != REG_EXPAND_SZ)
    throw ERegistryException(Format("Invalid data type for '%s'", name.c_str()));
  data.resize(size / sizeof(wchar_t));
  text = TextOfValue(data);
  return true;
}

void TRegIniFile::WriteString(const std::string& section, const std::string& name, const std::string& value) {
  TRegKey sectionKey;
  if (RegCreateKeyExW(FImpl->Key.Get(), Utf8ToWide(section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, sectionKey.Receive(), nullptr) != ERROR_SUCCESS)
    throw ERegistryException(Format("Failed to create key %s", section.c_str()));
  const std::wstring data = Utf8ToWide(value);
  const LONG status =
      RegSetValueExW(sectionKey.Get(), Utf8ToWide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     DWORD((data.size() + 1) * sizeof(wchar_t)));
  if (status != ERROR_SUCCESS) throw ERegistryException(Format("Failed to set data for '%s'", name.c_str()));
}

// Names are asked one by one by index, each with room for the longest the
// key reported; a name that grew since is asked again with more room.
std::vector<std::string> TRegIniFile::ValueNames(const std::string& section) const {
  TRegKey sectionKey;
  if (RegOpenKeyExW(FImpl->Key.Get(), Utf8ToWide(section).c_str(), 0, KEY_READ, sectionKey.Receive()) != ERROR_SUCCESS)
    return {};
  DWORD longest = 0;
  if (RegQueryInfoKeyW(sectionKey.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest,
                       nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    throw ERegistryException(Format("Failed to get data for '%s'", section.c_str()));
  std::vector<std::string> names;
  std::wstring name(size_t(longest) + 1, L'\0');
  for (DWORD index = 0;;) {
    DWORD length = DWORD(name.size());
    const LONG status =
        RegEnumValueW(sectionKey.Get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) return names;
    if (status == ERROR_MORE_DATA) {
      name.resize(name.size() * 2);
      continue;
    }
    if (status != ERROR_SUCCESS) throw ERegistryException(Format("Failed to get data for '%s'", section.c_str()));
    names.push_back(WideToUtf8(name.substr(0, length)));
    ++index;
  }
}

void TRegIniFile::DeleteValue(const std::string& section, const std::string& name) {
  TRegKey sectionKey;
  LONG status = RegOpenKeyExW(FImpl->Key.Get(), Utf8ToWide(section).c_str(), 0, KEY_SET_VALUE, sectionKey.Receive());
  if (status == ERROR_SUCCESS) status = RegDeleteValueW(sectionKey.Get(), Utf8ToWide(name).c_str());
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
    throw ERegistryException(Format("Failed to delete data for '%s'", name.c_str()));
}
