#pragma once
// The desktop services the controller and its tray icon ask of the platform,
// behind one interface so that the application's logic runs in tests without
// them (and without the shell's notification area, slow where none runs).

#include <cstdint>
#include <string>
#include <vector>

#include "app/Monitors.h"

#include "framework/Keys.h"

// What the tray icon asks of the notification area.
enum class TShellAction { Add, Modify, Delete };

// The message the shell sends the icon's window, the mouse message in its
// second parameter.
inline constexpr uint32_t TrayCallbackMessage = 0xB040;

struct TShiftState {
  bool Shift = false;
  bool Ctrl = false;
  bool Alt = false;
  bool Double = false;  // the press of a double-click
};

class TDesktop {
public:
  virtual ~TDesktop() = default;
  // The user's own folder for local application data, as the platform
  // reports it; the wallpaper bitmap lives below it.
  virtual std::string LocalAppDataDirectory() = 0;
  // The primary screen's size in pixels, asked afresh each time.
  virtual int ScreenWidth() = 0;
  virtual int ScreenHeight() = 0;
  // The monitors and the virtual screen that bounds them, as the system
  // reports them now.
  virtual std::vector<TMonitor> Monitors() = 0;
  virtual TScreenRect VirtualScreen() = 0;
  // Asks the system to show the bitmap file as wallpaper and to record it in
  // the user's profile; false, with the system's reason, when it refuses.
  virtual bool SetWallpaperFile(const std::string& bitmapPath, std::string& reason) = 0;
  // Tells every top-level window that the settings changed, waiting for them.
  virtual void BroadcastSettingChange() = 0;
  // The height of one line of a menu bar, as the system metrics give it.
  virtual int MenuLineHeight() = 0;
  // The width a popup menu gives an item with this caption, margins included.
  virtual int MenuItemWidth(const std::string& caption) = 0;
  // The colour the system shows where no wallpaper covers, as 0x00BBGGRR.
  virtual uint32_t DesktopColor() = 0;

  // The program's icon in the notification area, kept by the window that
  // gets its notifications, with the tip; false when the shell refuses.
  virtual bool NotifyShell(TShellAction action, void* window, const std::string& tip) = 0;
  // The message the shell sends every window when the taskbar was made anew.
  virtual uint32_t TaskbarCreatedMessage() = 0;
  // The mouse pointer in screen coordinates, and the keys held.
  virtual void CursorPos(int& x, int& y) = 0;
  virtual TShiftState KeyState() = 0;
  // Makes the window the foreground one, as a menu of a tray icon needs.
  virtual void ToForeground(void* window) = 0;

  // Opens the file's folder in the file manager with the file selected;
  // EOSError, with the reason, when it cannot.
  virtual void ShowInFolder(const std::string& fileName) = 0;
  // The combination, pressed anywhere, becomes the message WM_HOTKEY with
  // the identifier, posted to the window; false when another program holds it.
  virtual bool RegisterHotkey(void* window, int id, const THotkey& hotkey) = 0;
  virtual void UnregisterHotkey(void* window, int id) = 0;
};

// The message a registered hotkey posts, the identifier in its first parameter.
inline constexpr uint32_t HotkeyMessage = 0x0312;

// The real desktop of this platform.
TDesktop& PlatformDesktop();
