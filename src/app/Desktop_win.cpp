#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>

#include "app/Desktop.h"
#include "framework/Exceptions.h"
#include "framework/Handles_win.h"
#include "framework/Shell.h"
#include "framework/SystemError.h"
#include "framework/Wide.h"
#include "resource.h"

static_assert(hkAlt == MOD_ALT && hkCtrl == MOD_CONTROL && hkShift == MOD_SHIFT && hkWin == MOD_WIN &&
              HotkeyMessage == WM_HOTKEY);

namespace {

class TWindowsDesktop : public TDesktop {
public:
  std::string LocalAppDataDirectory() override {
    wchar_t* path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &path);
    const std::string directory = SUCCEEDED(result) ? WideToUtf8(path) : std::string();
    CoTaskMemFree(path);
    if (directory.empty()) throw EOSError("Cannot find the folder for local application data");
    return directory;
  }
  int ScreenWidth() override { return GetSystemMetrics(SM_CXSCREEN); }
  int ScreenHeight() override { return GetSystemMetrics(SM_CYSCREEN); }
  std::vector<TMonitor> Monitors() override {
    std::vector<TMonitor> monitors;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR handle, HDC, LPRECT, LPARAM list) {
          MONITORINFOEXW info{};
          info.cbSize = sizeof info;
          if (!GetMonitorInfoW(handle, &info)) return TRUE;
          const RECT& r = info.rcMonitor;
          reinterpret_cast<std::vector<TMonitor>*>(list)->push_back(
              {{int(r.left), int(r.top), int(r.right - r.left), int(r.bottom - r.top)},
               (info.dwFlags & MONITORINFOF_PRIMARY) != 0,
               WideToUtf8(info.szDevice)});
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&monitors));
    return monitors;
  }
  TScreenRect VirtualScreen() override {
    return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
            GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  }
  // A refusal (a policy that fixes the wallpaper, a file the system cannot
  // read) is reported with the system's reason, when it gives one.
  bool SetWallpaperFile(const std::string& bitmapPath, std::string& reason) override {
    std::wstring path = Utf8ToWide(bitmapPath);
    SetLastError(ERROR_SUCCESS);
    if (SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, path.data(), SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE))
      return true;
    reason = GetLastError() == ERROR_SUCCESS ? "no reason given" : LastSystemErrorText();
    return false;
  }
  // A window that hangs must not freeze the program: each window gets a few
  // seconds, and hung ones are skipped.
  void BroadcastSettingChange() override {
    SendMessageTimeoutW(HWND_BROADCAST, WM_WININICHANGE, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
  }
  int MenuLineHeight() override { return GetSystemMetrics(SM_CYMENU); }
  // The caption in the menu font, the check-mark column on both sides (the
  // second holds a submenu arrow) and the column's bar.
  int MenuItemWidth(const std::string& caption) override {
    if (!FMenuFont) {
      NONCLIENTMETRICSW metrics{};
      metrics.cbSize = sizeof metrics;
      SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
      metrics.lfMenuFont.lfWeight = FW_BOLD;  // the default item is bold: measure every item so
      FMenuFont.Reset(CreateFontIndirectW(&metrics.lfMenuFont));
    }
    const TWindowDC screen(nullptr);
    const TSelection font(screen.Get(), FMenuFont.Get());
    const std::wstring text = Utf8ToWide(caption);
    SIZE size{};
    GetTextExtentPoint32W(screen.Get(), text.c_str(), int(text.size()), &size);
    return size.cx + 2 * GetSystemMetrics(SM_CXMENUCHECK) + 4 * GetSystemMetrics(SM_CXEDGE) + 8;
  }
  uint32_t DesktopColor() override { return GetSysColor(COLOR_DESKTOP); }

  // The icon is the program's own, at the size the notification area asks at
  // the screen's resolution: the nearest of its images, scaled down. It is
  // loaded anew at each add, since a new taskbar may ask another size.
  bool NotifyShell(TShellAction action, void* window, const std::string& tip) override {
    if (action == TShellAction::Add || !FTrayIcon) {
      HICON icon = nullptr;
      if (SUCCEEDED(LoadIconMetric(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_KALEIDON), LIM_SMALL, &icon)))
        FTrayIcon.Reset(icon);
    }
    if (action != TShellAction::Delete && !FTrayIcon) return false;
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof record;
    record.hWnd = static_cast<HWND>(window);
    record.uID = 0;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = TrayCallbackMessage;
    record.hIcon = FTrayIcon.Get();
    const std::wstring wide = Utf8ToWide(tip);
    wcsncpy(record.szTip, wide.c_str(), std::size(record.szTip) - 1);
    const DWORD message = action == TShellAction::Add      ? NIM_ADD
                          : action == TShellAction::Modify ? NIM_MODIFY
                                                           : NIM_DELETE;
    return Shell_NotifyIconW(message, &record) != FALSE;
  }
  uint32_t TaskbarCreatedMessage() override {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
  }
  void CursorPos(int& x, int& y) override {
    POINT point{};
    GetCursorPos(&point);
    x = point.x;
    y = point.y;
  }
  TShiftState KeyState() override {
    TShiftState state;
    state.Shift = GetKeyState(VK_SHIFT) < 0;
    state.Ctrl = GetKeyState(VK_CONTROL) < 0;
    state.Alt = GetKeyState(VK_MENU) < 0;
    return state;
  }
  // A capture some window of ours holds would keep the menu from tracking.
  void ToForeground(void* window) override {
    ReleaseCapture();
    SetForegroundWindow(static_cast<HWND>(window));
  }

  void ShowInFolder(const std::string& fileName) override { ::ShowInFolder(fileName); }
  // MOD_NOREPEAT: a key held down changes the wallpaper once, not at the
  // keyboard's repeat rate.
  bool RegisterHotkey(void* window, int id, const THotkey& hotkey) override {
    return RegisterHotKey(static_cast<HWND>(window), id, hotkey.Modifiers | MOD_NOREPEAT, hotkey.Key) != FALSE;
  }
  void UnregisterHotkey(void* window, int id) override { UnregisterHotKey(static_cast<HWND>(window), id); }

private:
  TGdiObject<HFONT> FMenuFont;
  TIconHandle FTrayIcon;
};

}  // namespace

TDesktop& PlatformDesktop() {
  static TWindowsDesktop desktop;
  return desktop;
}
