#include "app/Settings.h"

#include <stdexcept>

#include "framework/Files.h"

std::unique_ptr<TRegIniFile> OpenSettings() { return std::make_unique<TRegIniFile>(KaleidonKey); }

std::string ReadSetting(const TRegIniFile& store, const TSetting<const char*>& setting) {
  return store.ReadString(SettingsSection, setting.Name, setting.Default);
}

int32_t ReadSetting(const TRegIniFile& store, const TSetting<int32_t>& setting) {
  return store.ReadInteger(SettingsSection, setting.Name, setting.Default);
}

bool ReadSetting(const TRegIniFile& store, const TSetting<bool>& setting) {
  return store.ReadBool(SettingsSection, setting.Name, setting.Default);
}

void WriteSetting(TRegIniFile& store, const TSetting<const char*>& setting, const std::string& value) {
  store.WriteString(SettingsSection, setting.Name, value);
}

void WriteSetting(TRegIniFile& store, const TSetting<int32_t>& setting, int32_t value) {
  store.WriteInteger(SettingsSection, setting.Name, value);
}

void WriteSetting(TRegIniFile& store, const TSetting<bool>& setting, bool value) {
  store.WriteBool(SettingsSection, setting.Name, value);
}

std::string ReadBaseDirectory(const TRegIniFile& store) {
  return store.ReadString(SettingsSection, BaseDirectorySetting, ExecutableDirectory());
}

const TSetting<bool>& KindSetting(TPictureFormat format) {
  for (const TKindSetting& kind : KindSettings)
    if (kind.Format == format) return kind.Setting;
  throw std::logic_error("a picture kind without a setting");
}

std::string MonitorWallpaperSetting(int number) { return "Wallpaper " + std::to_string(number); }
