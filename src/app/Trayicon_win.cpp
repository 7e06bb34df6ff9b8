#include "app/Trayicon.h"

#include <windows.h>
#include <shellapi.h>
#include <commctrl.h>

#include <cwchar>

#include "framework/Handles_win.h"
#include "framework/Wide.h"
#include "resource.h"

struct TTrayIcon::TImpl {
  TIconHandle Icon;
};

void TTrayIcon::TImplDeleter::operator()(TImpl* impl) const { delete impl; }

// The icon is the program's own, at the size the notification area asks at
// the screen's resolution: the nearest of its images, scaled down.
bool TTrayIcon::NotifyShell(TShellAction action) {
  if (!FImpl) FImpl.reset(new TImpl);
  if (!FImpl->Icon) {
    HICON icon = nullptr;
    if (SUCCEEDED(LoadIconMetric(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_KALEIDON), LIM_SMALL, &icon)))
      FImpl->Icon.Reset(icon);
  }
  if (action != TShellAction::Delete && !FImpl->Icon) return false;
  NOTIFYICONDATAW record{};
  record.cbSize = sizeof record;
  record.hWnd = static_cast<HWND>(FWindow->Handle());
  record.uID = 0;
  record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record.uCallbackMessage = TrayCallbackMessage;
  record.hIcon = FImpl->Icon.Get();
  const std::wstring tip = Utf8ToWide(Tip(FHint));
  wcsncpy(record.szTip, tip.c_str(), std::size(record.szTip) - 1);
  const DWORD message = action == TShellAction::Add ? NIM_ADD : action == TShellAction::Modify ? NIM_MODIFY : NIM_DELETE;
  return Shell_NotifyIconW(message, &record) != FALSE;
}

void TTrayIcon::CursorPos(int& x, int& y) const {
  POINT point{};
  GetCursorPos(&point);
  x = point.x;
  y = point.y;
}

TShiftState TTrayIcon::KeyState() const {
  TShiftState state;
  state.Shift = GetKeyState(VK_SHIFT) < 0;
  state.Ctrl = GetKeyState(VK_CONTROL) < 0;
  state.Alt = GetKeyState(VK_MENU) < 0;
  return state;
}

// A capture some window of ours holds would keep the menu from tracking.
void TTrayIcon::ToForeground() {
  ReleaseCapture();
  SetForegroundWindow(static_cast<HWND>(FWindow->Handle()));
}

uint32_t TTrayIcon::TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}
