#pragma once
// A desktop for the controller's tests: a screen of 1024 by 768 (or the
// monitors a test sets), menus of fixed metrics, a notification area that
// takes every icon at once, hotkeys kept by identifier, and a log of what the
// wallpaper application asks, with the desktop values as they stand at each
// call, and of the files shown in their folders. For the test programs of the
// application and the dialogs (it needs the application's headers).

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/Desktop.h"
#include "framework/RegIniFile.h"

class TFakeDesktop : public TDesktop {
public:
  explicit TFakeDesktop(std::string appData = {}) : Directory(std::move(appData)) {}

  static std::string DesktopValue(const std::string& name) {
    return TRegIniFile("Control Panel").ReadString("desktop", name, "<none>");
  }

  std::string LocalAppDataDirectory() override { return Directory; }
  int ScreenWidth() override { return Screens[0].Bounds.Width; }
  int ScreenHeight() override { return Screens[0].Bounds.Height; }
  std::vector<TMonitor> Monitors() override { return Screens; }
  TScreenRect VirtualScreen() override {
    int left = 0, top = 0, right = 0, bottom = 0;
    for (const TMonitor& m : Screens) {
      left = std::min(left, m.Bounds.Left);
      top = std::min(top, m.Bounds.Top);
      right = std::max(right, m.Bounds.Left + m.Bounds.Width);
      bottom = std::max(bottom, m.Bounds.Top + m.Bounds.Height);
    }
    return {left, top, right - left, bottom - top};
  }
  bool SetWallpaperFile(const std::string& path, std::string& reason) override {
    Log.push_back("set " + path + " style=" + DesktopValue("WallpaperStyle") +
                  " tile=" + DesktopValue("TileWallpaper") + " wallpaper=" + DesktopValue("Wallpaper"));
    reason = Refusal;
    return Refusal.empty();
  }
  void BroadcastSettingChange() override { Log.push_back("broadcast wallpaper=" + DesktopValue("Wallpaper")); }
  int MenuLineHeight() override { return LineHeight; }
  int MenuItemWidth(const std::string& caption) override { return 10 * int(caption.size()); }
  uint32_t DesktopColor() override { return 0x00336699; }
  bool NotifyShell(TShellAction, void*, const std::string&) override { return true; }
  uint32_t TaskbarCreatedMessage() override { return 0xC0DE; }
  void CursorPos(int& x, int& y) override {
    x = CursorX;
    y = CursorY;
  }
  TShiftState KeyState() override { return {}; }
  void ToForeground(void*) override {}
  void ShowInFolder(const std::string& fileName) override { Log.push_back("show " + fileName); }
  bool RegisterHotkey(void* window, int id, const THotkey& hotkey) override {
    for (const THotkey& held : Held)
      if (held == hotkey) return false;
    Hotkeys[id] = {window, hotkey};
    return true;
  }
  void UnregisterHotkey(void*, int id) override { Hotkeys.erase(id); }

  // The primary monitor first.
  std::vector<TMonitor> Screens{{{0, 0, 1024, 768}, true, "DISPLAY1"}};
  std::string Directory;
  std::string Refusal;  // the system's reason when it refuses the wallpaper
  int LineHeight = 19;
  int CursorX = 0, CursorY = 0;
  std::vector<std::string> Log;
  std::vector<THotkey> Held;                         // hotkeys another program holds
  std::map<int, std::pair<void*, THotkey>> Hotkeys;  // registered, by identifier
};
