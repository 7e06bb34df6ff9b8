// kaleidon-probe: looks at the windows of a running Kaleidon from outside,
// for the process tests under Wine.
//   kaleidon-probe dialog CAPTION SECONDS [BUTTON]
//                                          waits for a message box with that
//                                          caption, prints its text, presses OK
//                                          (or the button of that identifier:
//                                          6 Yes, 7 No)
//   kaleidon-probe form SECONDS            waits for Kaleidon's hidden main form, then
//                                          until the program waits for input: its
//                                          start-up (settings read, first change) is over
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
//   kaleidon-probe regget KEY NAME         prints a value's data (strings as they are,
//                                          numbers as 0x...); exit 1 when missing
//   kaleidon-probe regkey KEY              exit 0 when the key exists
//   kaleidon-probe regset KEY NAME TYPE DATA  writes a REG_SZ or REG_DWORD value,
//                                          making the key when missing
//   kaleidon-probe regdelete KEY [NAME]    deletes the value, or the key with all below
//   kaleidon-probe serve                   the commands above, one per line of standard
//                                          input (see RunBatch in tools/ToolMain.h)
// KEY begins with HKCU, HKLM or HKCR; an empty NAME is the key's default value.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "ToolMain.h"
#include "framework/Handles_win.h"
#include "framework/SysUtils.h"
#include "framework/Wide.h"

namespace {

// What the command prints: written out at its end, or answered in serve mode.
std::string Out;

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
  Out += Format("%s\n", WideToUtf8(DialogText(dialog)).c_str());
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
  Out += Format("{\"id\": %d, \"class\": %s, \"text\": %s, \"rect\": [%ld, %ld, %ld, %ld], \"visible\": %s",
                GetDlgCtrlID(control), Json(kind).c_str(), Json(WindowText(control)).c_str(), r.left, r.top, r.right,
                r.bottom, IsWindowVisible(control) ? "true" : "false");
  if (_wcsicmp(kind.c_str(), L"Button") == 0)
    Out += Format(", \"checked\": %d", int(SendMessageW(control, BM_GETCHECK, 0, 0)));
  if (_wcsicmp(kind.c_str(), L"msctls_hotkey32") == 0)
    Out += Format(", \"hotkey\": %d", int(LOWORD(SendMessageW(control, HKM_GETHOTKEY, 0, 0))));
  const bool combo = _wcsicmp(kind.c_str(), L"ComboBox") == 0;
  if (combo || _wcsicmp(kind.c_str(), L"ListBox") == 0) {
    const int count = int(SendMessageW(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
    Out += Format(", \"selected\": %d, \"itemheight\": %d, \"items\": [",
                  int(SendMessageW(control, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0)),
                  int(SendMessageW(control, combo ? CB_GETITEMHEIGHT : LB_GETITEMHEIGHT, 0, 0)));
    for (int i = 0; i < count; ++i) Out += Format("%s%s", i ? ", " : "", Json(ListItem(control, combo, i)).c_str());
    Out += "]";
  }
  Out += "}\n";
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
  Out += Format("%s\n", WideToUtf8(WindowText(field)).c_str());
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
  Out += Format("%s\n", WideToUtf8(WindowText(tip)).c_str());
  return 0;
}

int Visible() {
  for (HWND window : TopLevelWindows())
    if (IsWindowVisible(window) && OfKaleidon(window))
      Out += Format("%s \"%s\"\n", WideToUtf8(ClassOf(window)).c_str(), WideToUtf8(WindowText(window)).c_str());
  return 0;
}

// The window exists before the program has read its settings; a test that
// changes them must wait until the start is over.
int Form(int seconds) {
  const DWORD started = GetTickCount();
  HWND form = Wait(seconds, IsForm, nullptr);
  if (!form) return 1;
  DWORD pid = 0;
  GetWindowThreadProcessId(form, &pid);
  const TKernelHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid));
  if (!process) return 1;
  const DWORD spent = GetTickCount() - started;
  const DWORD limit = DWORD(seconds) * 1000;
  return WaitForInputIdle(process.Get(), spent < limit ? limit - spent : 0) == 0 ? 0 : 1;
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
  Out += Format("%s\n", WideToUtf8(ClassOf(window)).c_str());
  PostMessageW(window, WM_CLOSE, 0, 0);
  return 0;
}

int Write(const wchar_t* path) {
  const TFileHandle file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) return 0;
  wchar_t text[512] = L"";
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(), 0, text, 512,
                 nullptr);
  Out += Format("%s\n", WideToUtf8(text).c_str());
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
        Out +=
            Format("%ld %ld %ld %ld %s %s\n", r.left, r.top, r.right - r.left, r.bottom - r.top,
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

// A key name as reg.exe takes it: the root's short name, a backslash, the rest.
bool OpenRoot(const std::wstring& key, HKEY& root, std::wstring& path) {
  const size_t slash = key.find(L'\\');
  const std::wstring name = key.substr(0, slash);
  path = slash == std::wstring::npos ? L"" : key.substr(slash + 1);
  if (name == L"HKCU")
    root = HKEY_CURRENT_USER;
  else if (name == L"HKLM")
    root = HKEY_LOCAL_MACHINE;
  else if (name == L"HKCR")
    root = HKEY_CLASSES_ROOT;
  else
    return false;
  return true;
}

const wchar_t* ValueName(const std::wstring& name) { return name.empty() ? nullptr : name.c_str(); }

int RegGet(const std::wstring& key, const std::wstring& name) {
  HKEY root;
  std::wstring path;
  if (!OpenRoot(key, root, path)) return 2;
  DWORD type = 0, size = 0;
  if (RegGetValueW(root, path.c_str(), ValueName(name), RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, &size) !=
      ERROR_SUCCESS)
    return 1;
  std::vector<BYTE> data(size + sizeof(wchar_t));
  if (RegGetValueW(root, path.c_str(), ValueName(name), RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(), &size) !=
      ERROR_SUCCESS)
    return 1;
  if (type == REG_DWORD) {
    DWORD value;
    std::memcpy(&value, data.data(), sizeof value);
    Out += Format("0x%lx\n", static_cast<unsigned long>(value));
  } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
    Out += WideToUtf8(reinterpret_cast<const wchar_t*>(data.data())) + "\n";
  }
  return 0;
}

int RegKey(const std::wstring& key) {
  HKEY root, opened;
  std::wstring path;
  if (!OpenRoot(key, root, path)) return 2;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return 1;
  const TRegKey owner(opened);
  return 0;
}

int RegSet(const std::wstring& key, const std::wstring& name, const std::wstring& type, const std::wstring& data) {
  HKEY root, created;
  std::wstring path;
  if (!OpenRoot(key, root, path)) return 2;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created, nullptr) != ERROR_SUCCESS)
    return 1;
  const TRegKey owner(created);
  LSTATUS status;
  if (type == L"REG_DWORD") {
    const DWORD value = std::wcstoul(data.c_str(), nullptr, 0);
    status =
        RegSetValueExW(created, ValueName(name), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  } else if (type == L"REG_SZ") {
    status = RegSetValueExW(created, ValueName(name), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                            DWORD((data.size() + 1) * sizeof(wchar_t)));
  } else {
    return 2;
  }
  return status == ERROR_SUCCESS ? 0 : 1;
}

int RegDelete(const std::wstring& key, const std::wstring* name) {
  HKEY root;
  std::wstring path;
  if (!OpenRoot(key, root, path)) return 2;
  if (name) return RegDeleteKeyValueW(root, path.c_str(), ValueName(*name)) == ERROR_SUCCESS ? 0 : 1;
  const LSTATUS tree = RegDeleteTreeW(root, path.c_str());
  RegDeleteKeyW(root, path.c_str());
  return tree == ERROR_SUCCESS ? 0 : 1;
}

const char* const Usage =
    "usage: kaleidon-probe dialog CAPTION SECONDS [BUTTON] | form SECONDS | visible | close | controls "
    "CAPTION SECONDS | set CAPTION ID TEXT | click CAPTION ID | select CAPTION ID INDEX | gone CAPTION "
    "SECONDS | tip SECONDS | save NAME SECONDS | sysclose CAPTION | dpi CAPTION DPI | write PATH | window "
    "CAPTION SECONDS | monitors | move DEVICE X Y | regget KEY NAME | regkey KEY | regset KEY NAME TYPE DATA | "
    "regdelete KEY [NAME] | serve\n";

int Command(const std::vector<std::wstring>& a) {
  const size_t n = a.size();
  const std::wstring command = n ? a[0] : L"";
  auto arg = [&](size_t i) { return a[i].c_str(); };
  if (command == L"dialog" && (n == 3 || n == 4)) return Dialog(arg(1), _wtoi(arg(2)), n == 4 ? _wtoi(arg(3)) : IDOK);
  if (command == L"form" && n == 2) return Form(_wtoi(arg(1)));
  if (command == L"visible") return Visible();
  if (command == L"close") return Close();
  if (command == L"controls" && n == 3) return Controls(arg(1), _wtoi(arg(2)));
  if (command == L"set" && n == 4) return Set(arg(1), arg(2), arg(3));
  if (command == L"click" && n == 3) return Click(arg(1), arg(2));
  if (command == L"select" && n == 4) return Select(arg(1), arg(2), _wtoi(arg(3)));
  if (command == L"gone" && n == 3) return Gone(arg(1), _wtoi(arg(2)));
  if (command == L"tip" && n == 2) return Tip(_wtoi(arg(1)));
  if (command == L"save" && n == 3) return Save(arg(1), _wtoi(arg(2)));
  if (command == L"sysclose" && n == 2) return SysClose(arg(1));
  if (command == L"dpi" && n == 3) return Dpi(arg(1), _wtoi(arg(2)));
  if (command == L"write" && n == 2) return Write(arg(1));
  if (command == L"window" && n == 3) return CloseWindow(arg(1), _wtoi(arg(2)));
  if (command == L"monitors" && n == 1) return Monitors();
  if (command == L"move" && n == 4) return Move(arg(1), _wtoi(arg(2)), _wtoi(arg(3)));
  if (command == L"regget" && n == 3) return RegGet(a[1], a[2]);
  if (command == L"regkey" && n == 2) return RegKey(a[1]);
  if (command == L"regset" && n == 5) return RegSet(a[1], a[2], a[3], a[4]);
  if (command == L"regdelete" && (n == 2 || n == 3)) return RegDelete(a[1], n == 3 ? &a[2] : nullptr);
  Out += Usage;
  return 2;
}

TToolResult Run(const std::vector<std::string>& args) {
  std::vector<std::wstring> wide;
  for (const std::string& arg : args) wide.push_back(Utf8ToWide(arg));
  Out.clear();
  TToolResult result;
  result.Code = Command(wide);
  (result.Code == 2 ? result.Err : result.Out) = Out;
  return result;
}

}  // namespace

// One probe kept running (serve) answers a test's many questions without a
// start of Wine each.
int ToolMain(const std::vector<std::string>& args) {
  if (args.size() == 1 && args[0] == "serve") return RunBatch(stdin, stdout, Run);
  return PrintResult(Run(args));
}
