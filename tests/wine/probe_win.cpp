// kaleidon-probe: looks at the windows of a running Kaleidon from outside,
// for the process tests under Wine.
//   kaleidon-probe dialog CAPTION SECONDS  waits for a message box with that
//                                          caption, prints its text, presses OK
//   kaleidon-probe form SECONDS            waits for Kaleidon's hidden main form
//   kaleidon-probe visible                 prints the visible windows of Kaleidon.exe
//   kaleidon-probe close                   asks the main form to close
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "framework/Handles_win.h"
#include "framework/Wide.h"

namespace {

std::wstring WindowText(HWND window) {
  wchar_t text[4096];
  const int length = GetWindowTextW(window, text, 4096);
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

HWND Wait(int seconds, bool (*match)(HWND, const wchar_t*), const wchar_t* argument) {
  for (int i = 0; i < seconds * 10; ++i) {
    for (HWND window : TopLevelWindows())
      if (match(window, argument)) return window;
    Sleep(100);
  }
  return nullptr;
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

int Dialog(const wchar_t* caption, int seconds) {
  HWND dialog = Wait(seconds, IsDialog, caption);
  if (!dialog) return 1;
  std::printf("%s\n", WideToUtf8(DialogText(dialog)).c_str());
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"dialog" && argc == 4) return Dialog(argv[2], _wtoi(argv[3]));
  if (command == L"form" && argc == 3) return Wait(_wtoi(argv[2]), IsForm, nullptr) ? 0 : 1;
  if (command == L"visible") return Visible();
  if (command == L"close") return Close();
  std::fprintf(stderr, "usage: kaleidon-probe dialog CAPTION SECONDS | form SECONDS | visible | close\n");
  return 2;
}
