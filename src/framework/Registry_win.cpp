#include "framework/Registry.h"

#include <windows.h>

#include "framework/Exceptions.h"
#include "framework/Handles_win.h"
#include "framework/SysUtils.h"
#include "framework/Wide.h"

struct TRegistry::TImpl {
  TRegKey Key;
};

TRegistry::TRegistry() : FImpl(new TImpl) {}

TRegistry::~TRegistry() = default;

bool TRegistry::OpenKey(const std::string& keyPath) {
  CloseKey();
  return RegCreateKeyExW(HKEY_CURRENT_USER, Utf8ToWide(keyPath).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                         KEY_ALL_ACCESS, nullptr, FImpl->Key.Receive(), nullptr) == ERROR_SUCCESS;
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  const std::wstring data = Utf8ToWide(value);
  if (!FImpl->Key ||
      RegSetValueExW(FImpl->Key.Get(), Utf8ToWide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     DWORD((data.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
    throw ERegistryException(Format("Failed to set data for '%s'", name.c_str()));
}

void TRegistry::CloseKey() { FImpl->Key.Reset(); }

bool ReadMachineValue(const std::string& keyPath, const std::string& name, std::string& text) {
  TRegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Utf8ToWide(keyPath).c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
    return false;
  const std::wstring valueName = Utf8ToWide(name);
  DWORD number = 0, size = sizeof number, type = 0;
  if (RegGetValueW(key.Get(), nullptr, valueName.c_str(), RRF_RT_REG_DWORD, &type, &number, &size) == ERROR_SUCCESS) {
    text = std::to_string(number);
    return true;
  }
  wchar_t value[256];
  size = sizeof value;
  if (RegGetValueW(key.Get(), nullptr, valueName.c_str(), RRF_RT_REG_SZ, &type, value, &size) != ERROR_SUCCESS)
    return false;
  text = WideToUtf8(value);
  return true;
}
