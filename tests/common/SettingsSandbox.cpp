#include "SettingsSandbox.h"

#include "framework/MessageBox.h"
#include "framework/RegIniFile.h"

std::string StoredSetting(const std::string& name) {
  return TRegIniFile("Software\\Trellwick\\Kaleidon").ReadString("Settings", name, "<none>");
}

void StoreSetting(const std::string& name, const std::string& value) {
  TRegIniFile("Software\\Trellwick\\Kaleidon").WriteString("Settings", name, value);
}

TSettingsSandbox::TSettingsSandbox()
    : FHooks({.MessageBox = [this](const std::string& text, const std::string& caption, unsigned) {
        Messages.push_back({text, caption});
        return idOK;
      }}) {
  Clear();
}

TSettingsSandbox::~TSettingsSandbox() { Clear(); }
