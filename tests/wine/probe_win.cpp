// kaleidon-probe: looks at the windows of a running Kaleidon from outside,
// for the process tests under Wine.
//   kaleidon-probe dialog CAPTION SECONDS [BUTTON]
//                                          waits for a message box with that
//                                          caption, prints its text, presses OK
//                                          (or the button of that identifier:
//                                          6 Yes, 7 No)
//   kaleidon-probe form SECONDS            waits for Kaleidon's hidden main form
//   kaleidon-probe visible                 prints the visible windows of Kaleidon.exe
//   kaleidon-probe close                   asks the main form to close
//   kaleidon-probe controls CAPTION SECONDS  waits for the dialog, prints its
//                                          controls as JSON lines (identifier,
//                                          class, text, check state, list items
//                                          and selection, hotkey, screen rectangle)
//   kaleidon-probe set CAPTION ID TEXT     sets a control's text
//   kaleidon-probe click CAPTION ID        clicks a button, as the mouse would
//   kaleidon-probe select CAPTION ID INDEX selects a list line, as the keyboard would
//   kaleidon-probe gone CAPTION SECONDS    waits until no such dialog is left
//   kaleidon-probe tip SECONDS             prints the text of the visible tooltip
//   kaleidon-probe save NAME SECONDS       waits for the file-save dialog, prints
//                                          the name it proposes, types NAME into
//                                          its name field and presses Save
//   kaleidon-probe sysclose CAPTION        closes the dialog as its close box does
//   kaleidon-probe dpi CAPTION DPI         tells the dialog it moved to a screen of
//                                          that resolution (WM_DPICHANGED)
//   kaleidon-probe write PATH              creates the file as any program would;
//                                          on failure prints the system's reason, exit 1
//   kaleidon-probe window CAPTION SECONDS  waits for a visible top-level window of
//                                          any program with that caption, prints
//                                          its class and closes it
//   kaleidon-probe monitors                prints each monitor: left top width height,
//                                          "primary" for the primary one, its device name
//   kaleidon-probe move DEVICE X Y         moves that display to X,Y, as the display
//                                          settings do (every window hears of it)
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "framework/Handles_win.h"
#include "framework/Wide.h"

namespace {

// Asked of the window itself: GetWindowText gives another process's
// controls only the text they were made with.
std::wstring WindowText(HWND window) {
  wchar_t text[4096] = L"";
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &length))
    return {};
  return std::wstring(text, length);
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256];
  const int length = GetClassNameW(window, name, 256);
  return std::wstring(name, length);
}

bool OfKaleidon(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  const TKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) return false;
  wchar_t image[MAX_PATH];
  DWORD size = MAX_PATH;
  const bool ok = QueryFullProcessImageNameW(process.Get(), 0, image, &size);
  const std::wstring path(image, ok ? size : 0);
  return path.size() >= 12 && _wcsicmp(path.c_str() + path.size() - 12, L"Kaleidon.exe") == 0;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND window, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// Looks at least once, then every tenth of a second until the time is up.
HWND Wait(int seconds, bool (*match)(HWND, const wchar_t*), const wchar_t* argument) {
  for (int i = 0;; ++i) {
    for (HWND window : TopLevelWindows())
      if (match(window, argument)) return window;
    if (i >= seconds * 10) return nullptr;
    Sleep(100);
  }
}

bool IsDialog(HWND window, const wchar_t* caption) {
  return IsWindowVisible(window) && ClassOf(window) == L"#32770" && WindowText(window) == caption;
}

// The main form's hidden window: the one of Kaleidon's hidden windows that
// carries the program's name.
bool IsForm(HWND window, const wchar_t*) {
  return ClassOf(window) == L"TKaleidonWindow" && WindowText(window) == L"Kaleidon" && OfKaleidon(window);
}

// The message box's text is its one static control that carries text.
std::wstring DialogText(HWND dialog) {
  std::wstring found;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM result) {
        auto* text = reinterpret_cast<std::wstring*>(result);
        if (ClassOf(child) == L"Static" && text->empty()) *text = WindowText(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

int Dialog(const wchar_t* caption, int seconds, int button) {
  HWND dialog = Wait(seconds, IsDialog, caption);
  if (!dialog) return 1;
  std::printf("%s\n", WideToUtf8(DialogText(dialog)).c_str());
  PostMessageW(dialog, WM_COMMAND, WPARAM(button), 0);
  return 0;
}

HWND FindDialog(const wchar_t* caption, int seconds) { return Wait(seconds, IsDialog, caption); }

std::string Json(const std::wstring& text) {
  std::string out = "\"";
  for (char c : WideToUtf8(text)) {
    if (c == '"' || c == '\\') out += '\\';
    if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
      continue;
    }
    out += c;
  }
  return out + "\"";
}

// WM_GETTEXT and the list messages carry their text across processes.
std::wstring ListItem(HWND list, bool combo, int index) {
  const UINT lengthMessage = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
  const LRESULT length = SendMessageW(list, lengthMessage, WPARAM(index), 0);
  if (length < 0) return {};
  std::wstring text(size_t(length) + 1, L'\0');
  const LRESULT got = SendMessageW(list, combo ? CB_GETLBTEXT : LB_GETTEXT, WPARAM(index), LPARAM(text.data()));
  text.resize(got > 0 ? size_t(got) : 0);
  return text;
}

void PrintControl(HWND control) {
  const std::wstring kind = ClassOf(control);
  RECT r;
  GetWindowRect(control, &r);
  std::printf("{\"id\": %d, \"class\": %s, \"text\": %s, \"rect\": [%ld, %ld, %ld, %ld], \"visible\": %s",
              GetDlgCtrlID(control), Json(kind).c_str(), Json(WindowText(control)).c_str(), r.left, r.top, r.right,
              r.bottom, IsWindowVisible(control) ? "true" : "false");
  if (_wcsicmp(kind.c_str(), L"Button") == 0)
    std::printf(", \"checked\": %d", int(SendMessageW(control, BM_GETCHECK, 0, 0)));
  if (_wcsicmp(kind.c_str(), L"msctls_hotkey32") == 0)
    std::printf(", \"hotkey\": %d", int(LOWORD(SendMessageW(control, HKM_GETHOTKEY, 0, 0))));
  const bool combo = _wcsicmp(kind.c_str(), L"ComboBox") == 0;
  if (combo || _wcsicmp(kind.c_str(), L"ListBox") == 0) {
    const int count = int(SendMessageW(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
    std::printf(", \"selected\": %d, \"itemheight\": %d, \"items\": [",
                int(SendMessageW(control, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0)),
                int(SendMessageW(control, combo ? CB_GETITEMHEIGHT : LB_GETITEMHEIGHT, 0, 0)));
    for (int i = 0; i < count; ++i) std::printf("%s%s", i ? ", " : "", Json(ListItem(control, combo, i)).c_str());
    std::printf("]");
  }
  std::printf("}\n");
}

int Controls(const wchar_t* caption, int seconds) {
  HWND dialog = FindDialog(caption, seconds);
  if (!dialog) return 1;
  std::vector<HWND> children;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  for (HWND child : children) PrintControl(child);
  return 0;
}

HWND DialogItem(const wchar_t* caption, const wchar_t* id) {
  HWND dialog = FindDialog(caption, 10);
  return dialog ? GetDlgItem(dialog, _wtoi(id)) : nullptr;
}

int Set(const wchar_t* caption, const wchar_t* id, const wchar_t* text) {
  HWND control = DialogItem(caption, id);
  if (!control) return 1;
  SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  return 0;
}

// Posted, not sent: a click that opens a dialog of its own would keep a sent
// message waiting until that dialog closed.
int Click(const wchar_t* caption, const wchar_t* id) {
  HWND control = DialogItem(caption, id);
  if (!control) return 1;
  PostMessageW(control, BM_CLICK, 0, 0);
  return 0;
}

int Select(const wchar_t* caption, const wchar_t* id, int index) {
  HWND control = DialogItem(caption, id);
  if (!control) return 1;
  SendMessageW(control, LB_SETCURSEL, WPARAM(index), 0);
  PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), LBN_SELCHANGE), LPARAM(control));
  return 0;
}

int Gone(const wchar_t* caption, int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    if (!FindDialog(caption, 0)) return 0;
    Sleep(100);
  }
  return 1;
}

// The common file dialog's name field: the combo box of the explorer-style
// dialog, or the plain field of the older one.
constexpr int NameCombo = 0x47c;
constexpr int NameField = 0x480;

int Save(const wchar_t* name, int seconds) {
  HWND dialog = FindDialog(L"Save As", seconds);
  if (!dialog) return 1;
  HWND field = GetDlgItem(dialog, NameCombo);
  if (!field) field = GetDlgItem(dialog, NameField);
  if (!field) return 1;
  std::printf("%s\n", WideToUtf8(WindowText(field)).c_str());
  SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
  PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  return 0;
}

int SysClose(const wchar_t* caption) {
  HWND dialog = FindDialog(caption, 10);
  if (!dialog) return 1;
  PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  return 0;
}

bool IsTip(HWND window, const wchar_t*) {
  return IsWindowVisible(window) && ClassOf(window) == L"tooltips_class32" && !WindowText(window).empty();
}

int Tip(int seconds) {
  HWND tip = Wait(seconds, IsTip, nullptr);
  if (!tip) return 1;
  std::printf("%s\n", WideToUtf8(WindowText(tip)).c_str());
  return 0;
}

int Visible() {
  for (HWND window : TopLevelWindows())
    if (IsWindowVisible(window) && OfKaleidon(window))
      std::printf("%s \"%s\"\n", WideToUtf8(ClassOf(window)).c_str(), WideToUtf8(WindowText(window)).c_str());
  return 0;
}

int Close() {
  HWND form = Wait(1, IsForm, nullptr);
  if (!form) return 1;
  PostMessageW(form, WM_CLOSE, 0, 0);
  return 0;
}

// The suggested window keeps its top-left corner and grows from 96 dpi to
// the resolution.
int Dpi(const wchar_t* caption, int dpi) {
  HWND dialog = FindDialog(caption, 10);
  if (!dialog) return 1;
  RECT r;
  GetWindowRect(dialog, &r);
  RECT suggested{r.left, r.top, r.left + MulDiv(r.right - r.left, dpi, 96), r.top + MulDiv(r.bottom - r.top, dpi, 96)};
  SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  return 0;
}

bool IsCaptioned(HWND window, const wchar_t* caption) {
  return IsWindowVisible(window) && WindowText(window) == caption;
}

int CloseWindow(const wchar_t* caption, int seconds) {
  HWND window = Wait(seconds, IsCaptioned, caption);
  if (!window) return 1;
  std::printf("%s\n", WideToUtf8(ClassOf(window)).c_str());
  PostMessageW(window, WM_CLOSE, 0, 0);
  return 0;
}

int Write(const wchar_t* path) {
  const TFileHandle file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) return 0;
  wchar_t text[512] = L"";
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(), 0, text, 512,
                 nullptr);
  std::printf("%s\n", WideToUtf8(text).c_str());
  return 1;
}

int Monitors() {
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM) {
        MONITORINFOEXW info{};
        info.cbSize = sizeof info;
        GetMonitorInfoW(monitor, &info);
        const RECT& r = info.rcMonitor;
        std::printf("%ld %ld %ld %ld %s %s\n", r.left, r.top, r.right - r.left, r.bottom - r.top,
                    (info.dwFlags & MONITORINFOF_PRIMARY) ? "primary" : "secondary", WideToUtf8(info.szDevice).c_str());
        return TRUE;
      },
      0);
  return 0;
}

// The full current mode with the new position: a mode with the position
// alone would be taken as "restore".
int Move(const wchar_t* device, int x, int y) {
  DEVMODEW mode{};
  mode.dmSize = sizeof mode;
  if (!EnumDisplaySettingsExW(device, ENUM_CURRENT_SETTINGS, &mode, 0)) return 1;
  mode.dmPosition.x = x;
  mode.dmPosition.y = y;
  mode.dmFields |= DM_POSITION;
  if (ChangeDisplaySettingsExW(device, &mode, nullptr, CDS_UPDATEREGISTRY | CDS_NORESET, nullptr) !=
      DISP_CHANGE_SUCCESSFUL)
    return 1;
  return ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr) == DISP_CHANGE_SUCCESSFUL ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"dialog" && (argc == 4 || argc == 5))
    return Dialog(argv[2], _wtoi(argv[3]), argc == 5 ? _wtoi(argv[4]) : IDOK);
  if (command == L"form" && argc == 3) return Wait(_wtoi(argv[2]), IsForm, nullptr) ? 0 : 1;
  if (command == L"visible") return Visible();
  if (command == L"close") return Close();
  if (command == L"controls" && argc == 4) return Controls(argv[2], _wtoi(argv[3]));
  if (command == L"set" && argc == 5) return Set(argv[2], argv[3], argv[4]);
  if (command == L"click" && argc == 4) return Click(argv[2], argv[3]);
  if (command == L"select" && argc == 5) return Select(argv[2], argv[3], _wtoi(argv[4]));
  if (command == L"gone" && argc == 4) return Gone(argv[2], _wtoi(argv[3]));
  if (command == L"tip" && argc == 3) return Tip(_wtoi(argv[2]));
  if (command == L"save" && argc == 4) return Save(argv[2], _wtoi(argv[3]));
  if (command == L"sysclose" && argc == 3) return SysClose(argv[2]);
  if (command == L"dpi" && argc == 4) return Dpi(argv[2], _wtoi(argv[3]));
  if (command == L"write" && argc == 3) return Write(argv[2]);
  if (command == L"window" && argc == 4) return CloseWindow(argv[2], _wtoi(argv[3]));
  if (command == L"monitors" && argc == 2) return Monitors();
  if (command == L"move" && argc == 5) return Move(argv[2], _wtoi(argv[3]), _wtoi(argv[4]));
  std::fprintf(stderr,
               "usage: kaleidon-probe dialog CAPTION SECONDS [BUTTON] | form SECONDS | visible | close | controls "
               "CAPTION SECONDS | set CAPTION ID TEXT | click CAPTION ID | select CAPTION ID INDEX | gone CAPTION "
               "SECONDS | tip SECONDS | save NAME SECONDS | sysclose CAPTION | dpi CAPTION DPI | write PATH | window "
               "CAPTION SECONDS | monitors | move DEVICE X Y\n");
  return 2;
}
