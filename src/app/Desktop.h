#pragma once
// The desktop services the wallpaper application asks of the platform, behind
// one interface so that the application's logic runs in tests without them.

#include <string>

class TDesktop {
public:
  virtual ~TDesktop() = default;
  // The user's own folder for local application data, as the platform
  // reports it; the wallpaper bitmap lives below it.
  virtual std::string LocalAppDataDirectory() = 0;
  // The primary screen's size in pixels, asked afresh each time.
  virtual int ScreenWidth() = 0;
  virtual int ScreenHeight() = 0;
  // Asks the system to show the bitmap file as wallpaper and to record it in
  // the user's profile; false, with the system's reason, when it refuses.
  virtual bool SetWallpaperFile(const std::string& bitmapPath, std::string& reason) = 0;
  // Tells every top-level window that the settings changed, waiting for them.
  virtual void BroadcastSettingChange() = 0;
  // The height of one line of a menu bar, as the system metrics give it.
  virtual int MenuLineHeight() = 0;
  // The width a popup menu gives an item with this caption, margins included.
  virtual int MenuItemWidth(const std::string& caption) = 0;
};

// The real desktop of this platform.
TDesktop& PlatformDesktop();
