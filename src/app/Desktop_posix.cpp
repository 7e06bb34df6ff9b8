#include "app/Desktop.h"
#include "framework/IniFile.h"
#include "framework/Shell.h"

namespace {

// No desktop to tell here: the application data go beside the settings
// files, on a screen of the size most wallpapers of the period were made
// for, with menus of its usual metrics.
class TPosixDesktop : public TDesktop {
public:
  std::string LocalAppDataDirectory() override { return IniStoreRoot(); }
  int ScreenWidth() override { return 1024; }
  int ScreenHeight() override { return 768; }
  std::vector<TMonitor> Monitors() override { return {{VirtualScreen(), true, "DISPLAY1"}}; }
  TScreenRect VirtualScreen() override { return {0, 0, 1024, 768}; }
  bool SetWallpaperFile(const std::string&, std::string&) override { return true; }
  void BroadcastSettingChange() override {}
  int MenuLineHeight() override { return 19; }
  int MenuItemWidth(const std::string& caption) override { return 40 + 7 * int(caption.size()); }
  uint32_t DesktopColor() override { return 0x00808000; }  // the classic desktop's teal
  // There is no notification area here: the icon counts as shown, and the
  // cursor rests at the origin with no key held.
  bool NotifyShell(TShellAction, void*, const std::string&) override { return true; }
  uint32_t TaskbarCreatedMessage() override { return 0; }
  void CursorPos(int& x, int& y) override { x = y = 0; }
  TShiftState KeyState() override { return {}; }
  void ToForeground(void*) override {}
  // No file manager, and no keyboard to take hotkeys from.
  void ShowInFolder(const std::string& fileName) override { ::ShowInFolder(fileName); }
  bool RegisterHotkey(void*, int, const THotkey&) override { return true; }
  void UnregisterHotkey(void*, int) override {}
};

}  // namespace

TDesktop& PlatformDesktop() {
  static TPosixDesktop desktop;
  return desktop;
}
