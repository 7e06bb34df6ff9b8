#include "framework/Dialogs.h"

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cwchar>
#include <vector>

#include "framework/Application.h"
#include "framework/Exceptions.h"
#include "framework/Wide.h"

static_assert(wsTabStop == WS_TABSTOP && wsHScroll == WS_HSCROLL && wsVScroll == WS_VSCROLL && wsBorder == WS_BORDER);
static_assert(ssCenter == SS_CENTER && ssNoPrefix == SS_NOPREFIX && bsPushButton == BS_PUSHBUTTON &&
              bsDefPushButton == BS_DEFPUSHBUTTON);
static_assert(esMultiLine == ES_MULTILINE && esAutoVScroll == ES_AUTOVSCROLL && esAutoHScroll == ES_AUTOHSCROLL &&
              esReadOnly == ES_READONLY);

namespace {

HWND Window(void* handle) { return static_cast<HWND>(handle); }

// The dialog object rides in the window's user data from WM_INITDIALOG on;
// every message runs under the application's handler, so no exception
// unwinds through the window manager.
INT_PTR CALLBACK DialogProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lParam);
  auto* dialog = reinterpret_cast<TDialog*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!dialog) return FALSE;
  bool handled = false;
  DispatchCommand([&] { handled = dialog->WindowMessage(window, msg, wParam, lParam); });
  return msg == WM_INITDIALOG ? TRUE : handled;
}

// Characters a control refuses are swallowed with a beep.
LRESULT CALLBACK ControlProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  const auto* control = reinterpret_cast<const TDialogControl*>(data);
  if (msg == WM_CHAR && !control->KeyAllowed(uint32_t(wParam))) {
    MessageBeep(MB_OK);
    return 0;
  }
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(window, ControlProc, 1);
  return DefSubclassProc(window, msg, wParam, lParam);
}

// Only text fields take typed characters. Other controls stay without the
// filter, which would cost every one of their messages a property lookup (a
// long list's lines are added one message each).
bool IsTextField(HWND control) {
  wchar_t name[16] = L"";
  GetClassNameW(control, name, 16);
  return _wcsicmp(name, L"Edit") == 0;
}

void InitControls() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_HOTKEY_CLASS};
    return InitCommonControlsEx(&controls);
  }();
  (void)done;
}

// The window's own resolution, which follows the screen it is on where the
// system has per-window resolutions (Windows 10 1607 on); before that, the
// screen's one.
int WindowDpi(HWND window) {
  using TGetDpiForWindow = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<TGetDpiForWindow>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow && window)
    if (const UINT dpi = getDpiForWindow(window)) return int(dpi);
  const HDC dc = GetDC(window);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc) ReleaseDC(window, dc);
  return dpi;
}

// The in-memory form of a dialog template (DLGTEMPLATEEX and its items):
// 16-bit words, each item on a 32-bit boundary.
class TTemplateWriter {
public:
  void Word(WORD value) { FWords.push_back(value); }
  void Long(DWORD value) {
    Word(LOWORD(value));
    Word(HIWORD(value));
  }
  void Text(const std::string& text) {
    for (wchar_t c : Utf8ToWide(text)) Word(WORD(c));
    Word(0);
  }
  void Align() {
    if (FWords.size() % 2) Word(0);
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(FWords.data()); }

private:
  std::vector<WORD> FWords;
};

TTemplateWriter WriteTemplate(const TDialogTemplate& layout) {
  TTemplateWriter out;
  out.Word(1);       // version
  out.Word(0xFFFF);  // an extended template
  out.Long(0);       // help identifier
  out.Long(0);       // extended style
  out.Long(DS_SHELLFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | layout.Style);
  out.Word(WORD(layout.Items.size()));
  for (int value : {0, 0, layout.Width, layout.Height}) out.Word(WORD(value));
  out.Word(0);  // no menu
  out.Word(0);  // the dialog class
  out.Text(layout.Caption);
  out.Word(WORD(MulDiv(layout.Font.Height, 72, 96)));  // points
  out.Word(400);                                       // weight
  out.Word(0);                                         // italic, character set
  out.Text(layout.Font.Name);
  for (const TDialogItemTemplate& item : layout.Items) {
    out.Align();
    out.Long(0);  // help identifier
    out.Long(0);  // extended style
    out.Long(WS_CHILD | WS_VISIBLE | item.Style);
    for (int value : {item.X, item.Y, item.Width, item.Height}) out.Word(WORD(value));
    out.Long(DWORD(item.Id));
    out.Text(item.ClassName);
    out.Text(item.Text);
    out.Word(0);  // no creation data
  }
  return out;
}

}  // namespace

void* TDialogControl::Handle() const { return FDialog.Handle() ? GetDlgItem(Window(FDialog.Handle()), FId) : nullptr; }

bool TDialog::WindowMessage(void* handle, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  const HWND window = Window(handle);
  switch (msg) {
    case WM_INITDIALOG:
      FWindow = window;
      FDpi = WindowDpi(window);
      if (!FTemplateId && FLayout.InPixels) LayOutInPixels();
      for (const auto& control : FControls) {
        const HWND item = GetDlgItem(window, control->Id());
        if (IsTextField(item)) SetWindowSubclass(item, ControlProc, 1, DWORD_PTR(control.get()));
        control->Attach();
      }
      OnShow(this);
      return true;
    case WM_COMMAND: {
      TDialogControl* control = Control(LOWORD(wParam));
      if (control) control->Notify(HIWORD(wParam));
      if (!control && LOWORD(wParam) == idCancelButton && EscapeCancels) SetModalResult(mrCancel);
      return true;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->code != UDN_DELTAPOS) return false;
      const auto buddy = reinterpret_cast<HWND>(SendMessageW(header->hwndFrom, UDM_GETBUDDY, 0, 0));
      if (TDialogControl* control = Control(GetDlgCtrlID(buddy)))
        control->Step(reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta);
      SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);  // the spin buttons keep their own position
      return true;
    }
    case WM_CLOSE: SetModalResult(mrCancel); return true;
    case WM_SETCURSOR:
      // Over the controls too: their default handling asks the dialog first.
      if (FTemplateId || !FLayout.WaitCursor || LOWORD(lParam) != HTCLIENT) return false;
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
      return true;
    case WM_DPICHANGED: {
      FDpi = LOWORD(wParam);
      const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
      if (!FTemplateId && FLayout.InPixels) LayOutInPixels();
      OnShow(this);
      return true;
    }
  }
  return false;
}

// A quit request ends the loop as Cancel and is posted again for the loop
// outside. The owner is disabled while the dialog is up, as a modal dialog's
// owner is, and enabled again before the dialog goes so that it gets the
// activation back.
int TDialog::PlatformShowModal() {
  InitControls();
  const HWND owner = Window(WindowOf(Owner()));
  const LPARAM self = reinterpret_cast<LPARAM>(this);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const HWND window = FTemplateId
                          ? CreateDialogParamW(instance, MAKEINTRESOURCEW(FTemplateId), owner, DialogProc, self)
                          : CreateDialogIndirectParamW(instance, WriteTemplate(FLayout).Get(), owner, DialogProc, self);
  if (!window) throw EOSError("Cannot create the dialog");
  const bool disableOwner = owner && IsWindowEnabled(owner);
  if (disableOwner) EnableWindow(owner, FALSE);
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  MSG msg;
  while (FModalResult == mrNone) {
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
      PostQuitMessage(int(msg.wParam));
      FModalResult = mrCancel;
      break;
    }
    if (IsDialogMessageW(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (disableOwner) EnableWindow(owner, TRUE);
  for (const auto& control : FControls) control->Detach();
  FWindow = nullptr;
  SetWindowLongPtrW(window, DWLP_USER, 0);
  DestroyWindow(window);
  FFonts.clear();
  return FModalResult;
}

// The children come in the template's order.
void TDialog::LayOutInPixels() {
  SetClientSize(FLayout.Width, FLayout.Height);
  HWND child = GetWindow(Window(FWindow), GW_CHILD);
  for (const TDialogItemTemplate& item : FLayout.Items) {
    if (!child) return;
    SetWindowPos(child, nullptr, Scaled(item.X), Scaled(item.Y), Scaled(item.Width), Scaled(item.Height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    child = GetWindow(child, GW_HWNDNEXT);
  }
}

void TDialog::BringToFront() {
  if (Handle()) SetForegroundWindow(Window(Handle()));
}

void TDialog::SetControlBounds(int id, int x, int y, int width, int height) {
  const HWND window = Window(Handle());
  if (!window) return;
  SetWindowPos(GetDlgItem(window, id), nullptr, Scaled(x), Scaled(y), Scaled(width), Scaled(height),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void TDialog::SetControlSize(int id, int width, int height) {
  const HWND window = Window(Handle());
  if (!window) return;
  SetWindowPos(GetDlgItem(window, id), nullptr, 0, 0, Scaled(width), Scaled(height),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A dialog not yet shown is centred on its screen's work area; one the user
// sees (its resolution changed) keeps its place.
void TDialog::SetClientSize(int width, int height) {
  const HWND window = Window(Handle());
  if (!window) return;
  RECT frame{0, 0, Scaled(width), Scaled(height)};
  AdjustWindowRectEx(&frame, DWORD(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                     DWORD(GetWindowLongPtrW(window, GWL_EXSTYLE)));
  if (IsWindowVisible(window)) {
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  const int w = frame.right - frame.left;
  const int h = frame.bottom - frame.top;
  SetWindowPos(window, nullptr, work.left + (work.right - work.left - w) / 2,
               work.top + (work.bottom - work.top - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TDialog::ShowControl(int id, bool visible) {
  if (const HWND window = Window(Handle())) ShowWindow(GetDlgItem(window, id), visible ? SW_SHOW : SW_HIDE);
}

void TDialog::SetControlFont(int id, const TFont& font) {
  const HWND window = Window(Handle());
  if (!window) return;
  LOGFONTW face{};
  face.lfHeight = -Scaled(font.Height);
  face.lfWeight = FW_NORMAL;
  face.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(face.lfFaceName, Utf8ToWide(font.Name).c_str(), LF_FACESIZE - 1);
  const HFONT made = CreateFontIndirectW(&face);
  if (!made) throw EOSError("Cannot create the font " + font.Name);
  FFonts.emplace_back(made, [](void* object) { DeleteObject(static_cast<HGDIOBJ>(object)); });
  SendMessageW(GetDlgItem(window, id), WM_SETFONT, WPARAM(made), TRUE);
}

// The icon's best image is scaled down to the size, never up.
void TDialog::SetControlIcon(int id, int iconId) {
  const HWND window = Window(Handle());
  if (!window) return;
  using TGetSystemMetricsForDpi = int(WINAPI*)(int, UINT);
  static const auto metricsForDpi = reinterpret_cast<TGetSystemMetricsForDpi>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi")));
  const int size = metricsForDpi ? metricsForDpi(SM_CXICON, UINT(FDpi)) : GetSystemMetrics(SM_CXICON);
  // Not in every import library of the common controls: asked of the loaded one.
  using TLoadIconWithScaleDown = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
  static const auto loadScaledDown = reinterpret_cast<TLoadIconWithScaleDown>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "LoadIconWithScaleDown")));
  HICON icon = nullptr;
  if (loadScaledDown)
    loadScaledDown(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), size, size, &icon);
  else
    icon =
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, 0));
  if (!icon) return;
  FFonts.emplace_back(icon, [](void* object) { DestroyIcon(static_cast<HICON>(object)); });
  SendMessageW(GetDlgItem(window, id), STM_SETICON, WPARAM(icon), 0);
}

// Virtual folders (the computer, the network) cannot be chosen: they have no path.
bool BrowseForFolder(TDialog& owner, const std::string& title, std::string& path) {
  const std::wstring wideTitle = Utf8ToWide(title);
  wchar_t name[MAX_PATH];
  BROWSEINFOW info{};
  info.hwndOwner = Window(owner.Handle());
  info.pszDisplayName = name;
  info.lpszTitle = wideTitle.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info);
  if (!list) return false;
  wchar_t chosen[MAX_PATH];
  const bool hasPath = SHGetPathFromIDListW(list, chosen);
  CoTaskMemFree(list);
  if (!hasPath || !chosen[0]) return false;
  path = WideToUtf8(chosen);
  return true;
}

namespace DialogWindows {

std::string Text(void* control) {
  const int length = GetWindowTextLengthW(Window(control));
  std::wstring text(size_t(length) + 1, L'\0');
  text.resize(size_t(GetWindowTextW(Window(control), text.data(), length + 1)));
  return WideToUtf8(text);
}

void SetText(void* control, const std::string& text) { SetWindowTextW(Window(control), Utf8ToWide(text).c_str()); }

bool Checked(void* control) { return SendMessageW(Window(control), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetChecked(void* control, bool checked) {
  SendMessageW(Window(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void FillComboBox(void* control, const std::vector<std::string>& items) {
  SendMessageW(Window(control), CB_RESETCONTENT, 0, 0);
  for (const std::string& item : items)
    SendMessageW(Window(control), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(item).c_str()));
}

int ComboIndex(void* control) { return int(SendMessageW(Window(control), CB_GETCURSEL, 0, 0)); }

void SetComboIndex(void* control, int index) { SendMessageW(Window(control), CB_SETCURSEL, WPARAM(index), 0); }

// A long list is filled with its drawing off and its storage reserved, so
// that it takes one allocation and one redraw, not one per line.
void FillListBox(void* control, const TStringList& items) {
  const HWND list = Window(control);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  size_t bytes = 0;
  for (int i = 0; i < items.Count(); ++i) bytes += (items[i].size() + 1) * sizeof(wchar_t);
  SendMessageW(list, LB_INITSTORAGE, WPARAM(items.Count()), LPARAM(bytes));
  for (int i = 0; i < items.Count(); ++i)
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(items[i]).c_str()));
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

int ListIndex(void* control) { return int(SendMessageW(Window(control), LB_GETCURSEL, 0, 0)); }

void SetListIndex(void* control, int index) { SendMessageW(Window(control), LB_SETCURSEL, WPARAM(index), 0); }

void DeleteListItem(void* control, int index) { SendMessageW(Window(control), LB_DELETESTRING, WPARAM(index), 0); }

THotkey HotkeyOf(void* control) {
  const WORD value = LOWORD(SendMessageW(Window(control), HKM_GETHOTKEY, 0, 0));
  const BYTE flags = HIBYTE(value);
  THotkey hotkey{0, LOBYTE(value)};
  if (flags & HOTKEYF_CONTROL) hotkey.Modifiers |= hkCtrl;
  if (flags & HOTKEYF_ALT) hotkey.Modifiers |= hkAlt;
  if (flags & HOTKEYF_SHIFT) hotkey.Modifiers |= hkShift;
  return hotkey;
}

// The navigation keys are shown as themselves, not as their twins on the
// number pad, only with the flag of the extended keys.
void SetHotkeyOf(void* control, const THotkey& hotkey) {
  const UINT key = hotkey.Key;
  BYTE flags = 0;
  if (hotkey.Modifiers & hkCtrl) flags |= HOTKEYF_CONTROL;
  if (hotkey.Modifiers & hkAlt) flags |= HOTKEYF_ALT;
  if (hotkey.Modifiers & hkShift) flags |= HOTKEYF_SHIFT;
  if ((key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE || key == VK_DIVIDE)
    flags |= HOTKEYF_EXT;
  SendMessageW(Window(control), HKM_SETHOTKEY, MAKEWORD(BYTE(key), flags), 0);
}

// The spin buttons (the control after the field) are given a range with room
// both ways; every step is answered by the field itself.
void PrepareSpin(void* control) {
  const HWND spin = GetDlgItem(GetParent(Window(control)), GetDlgCtrlID(Window(control)) + 1);
  SendMessageW(spin, UDM_SETRANGE32, 0, 100);
  SendMessageW(spin, UDM_SETPOS32, 0, 50);
}

void SetProgress(void* control, int min, int max, int position) {
  SendMessageW(Window(control), PBM_SETRANGE32, WPARAM(min), LPARAM(max));
  SendMessageW(Window(control), PBM_SETPOS, WPARAM(position), 0);
}

}  // namespace DialogWindows
