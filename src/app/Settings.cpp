#include "app/Settings.h"

std::unique_ptr<TRegIniFile> OpenSettings() { return std::make_unique<TRegIniFile>(KaleidonKey); }
