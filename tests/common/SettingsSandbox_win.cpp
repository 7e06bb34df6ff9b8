#include <windows.h>

#include "SettingsSandbox.h"
#include "framework/Wide.h"

// The program's own key; the framework's tests, which cannot see the
// application's headers, use it as their store too.
static const char KaleidonKey[] = "Software\\Trellwick\\Kaleidon";
static const char SettingsSection[] = "Settings";

void TSettingsSandbox::Clear() { RegDeleteTreeW(HKEY_CURRENT_USER, Utf8ToWide(KaleidonKey).c_str()); }

bool TSettingsSandbox::WriteNumberValue(const std::string& name, unsigned value) {
  const std::wstring key = Utf8ToWide(std::string(KaleidonKey) + "\\" + SettingsSection);
  DWORD data = value;
  return RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), Utf8ToWide(name).c_str(), REG_DWORD, &data,
                         sizeof data) == ERROR_SUCCESS;
}
