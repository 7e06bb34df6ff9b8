#pragma once
// The desktop services the wallpaper application asks of the platform, behind
// one interface so that the application's logic runs in tests without them.

#include <cstdint>
#include <string>

class TDesktop {
public:
  virtual ~TDesktop() = default;
  // The Windows directory as the platform reports it.
  virtual std::string WindowsDirectory() = 0;
  // The primary screen's size in pixels, asked afresh each time.
  virtual int ScreenWidth() = 0;
  virtual int ScreenHeight() = 0;
  // Asks the system to show the bitmap file as wallpaper; the result is not examined.
  virtual void SetWallpaperFile(const std::string& bitmapPath) = 0;
  // Tells every top-level window that the settings changed, waiting for them.
  virtual void BroadcastSettingChange() = 0;
  // The height of one line of a menu bar, as the system metrics give it.
  virtual int MenuLineHeight() = 0;
  // The width a popup menu gives an item with this caption, margins included.
  virtual int MenuItemWidth(const std::string& caption) = 0;
  // The colour the system shows where no wallpaper covers, as 0x00BBGGRR.
  virtual uint32_t DesktopColor() = 0;
};

// The real desktop of this platform.
TDesktop& PlatformDesktop();
