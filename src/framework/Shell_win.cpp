#include "framework/Shell.h"

#include <windows.h>
#include <shellapi.h>

#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/Wide.h"

// The shell reports success with a value above 32.
bool PlatformShellOpen(const std::string& fileName, const std::string& parameters) {
  const HWND owner = Application && Application->MainForm() ? static_cast<HWND>(Application->MainForm()->Handle())
                                                            : nullptr;
  const std::wstring file = Utf8ToWide(fileName);
  const std::wstring params = Utf8ToWide(parameters);
  const HINSTANCE result = ShellExecuteW(owner, L"open", file.c_str(), params.empty() ? nullptr : params.c_str(),
                                         nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}
