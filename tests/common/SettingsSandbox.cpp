#include "SettingsSandbox.h"

#include "framework/MessageBox.h"

TSettingsSandbox::TSettingsSandbox() {
  Clear();
  SetMessageBoxHook([this](const std::string& text, const std::string& caption, unsigned) {
    Messages.push_back({text, caption});
    return idOK;
  });
}

TSettingsSandbox::~TSettingsSandbox() {
  SetMessageBoxHook(nullptr);
  Clear();
}
