#include "app/Settings.h"

#include <stdexcept>

std::unique_ptr<TRegIniFile> OpenSettings() { return std::make_unique<TRegIniFile>(KaleidonKey); }

const TKindSetting& KindSetting(TPictureFormat format) {
  for (const TKindSetting& setting : KindSettings)
    if (setting.Format == format) return setting;
  throw std::logic_error("a picture kind without a setting");
}
