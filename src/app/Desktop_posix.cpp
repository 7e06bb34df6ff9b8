#include "app/Desktop.h"
#include "framework/Files.h"
#include "framework/IniFile.h"

namespace {

// No desktop to tell here: the bitmap goes beside the settings files, on a
// screen of the size most wallpapers of the period were made for, with menus
// of its usual metrics.
class TPosixDesktop : public TDesktop {
public:
  std::string WindowsDirectory() override {
    const std::string directory = IniStoreRoot();
    ForceDirectories(directory);
    return directory;
  }
  int ScreenWidth() override { return 1024; }
  int ScreenHeight() override { return 768; }
  void SetWallpaperFile(const std::string&) override {}
  void BroadcastSettingChange() override {}
  int MenuLineHeight() override { return 19; }
  int MenuItemWidth(const std::string& caption) override { return 40 + 7 * int(caption.size()); }
  uint32_t DesktopColor() override { return 0x00808000; }  // the classic desktop's teal
};

}  // namespace

TDesktop& PlatformDesktop() {
  static TPosixDesktop desktop;
  return desktop;
}
