#include <windows.h>

#include "app/Desktop.h"
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
};

}  // namespace

TDesktop& PlatformDesktop() {
  static TWindowsDesktop desktop;
  return desktop;
}
