#include <windows.h>

#include "app/Desktop.h"
#include "framework/Handles_win.h"
#include "framework/Wide.h"

namespace {

class TWindowsDesktop : public TDesktop {
public:
  std::string WindowsDirectory() override {
    wchar_t path[MAX_PATH + 1];
    const UINT length = GetWindowsDirectoryW(path, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return {};
    return WideToUtf8(std::wstring(path, length));
  }
  int ScreenWidth() override { return GetSystemMetrics(SM_CXSCREEN); }
  int ScreenHeight() override { return GetSystemMetrics(SM_CYSCREEN); }
  void SetWallpaperFile(const std::string& bitmapPath) override {
    std::wstring path = Utf8ToWide(bitmapPath);
    SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, path.data(), SPIF_SENDWININICHANGE);
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

private:
  TGdiObject<HFONT> FMenuFont;
};

}  // namespace

TDesktop& PlatformDesktop() {
  static TWindowsDesktop desktop;
  return desktop;
}
