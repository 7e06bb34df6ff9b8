#pragma once
// Gives a test the settings store to itself: on systems without a registry a
// fresh configuration directory, on Windows an empty program key (the tests
// run in their own Wine prefix). Also catches every message box.

#include <string>
#include <vector>

#include "TempDir.h"
#include "framework/UserHooks.h"

struct TShownMessage {
  std::string Text;
  std::string Caption;
};

// A setting of the program (section "Settings") as stored, "<none>" when absent.
std::string StoredSetting(const std::string& name);
void StoreSetting(const std::string& name, const std::string& value);

class TSettingsSandbox {
public:
  TSettingsSandbox();
  ~TSettingsSandbox();

  std::vector<TShownMessage> Messages;

private:
  void Clear();
  TTempDir FConfig;
  TUserHooksScope FHooks;
};
