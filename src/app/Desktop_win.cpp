#include <windows.h>
#include <shlobj.h>

#include "app/Desktop.h"
#include "framework/Exceptions.h"
#include "framework/Handles_win.h"
#include "framework/SystemError.h"
#include "framework/Wide.h"

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

private:
  TGdiObject<HFONT> FMenuFont;
};

}  // namespace

TDesktop& PlatformDesktop() {
  static TWindowsDesktop desktop;
  return desktop;
}
