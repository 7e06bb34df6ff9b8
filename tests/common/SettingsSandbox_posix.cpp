#include <cstdlib>

#include "SettingsSandbox.h"

void TSettingsSandbox::Clear() { setenv("XDG_CONFIG_HOME", FConfig.Path().c_str(), 1); }
