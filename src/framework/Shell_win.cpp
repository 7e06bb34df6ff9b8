#include "framework/Shell.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "framework/Application.h"
#include "framework/Exceptions.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "framework/SystemError.h"
#include "framework/Wide.h"

// The shell reports success with a value above 32.
bool PlatformShellOpen(const std::string& fileName, const std::string& parameters) {
  const HWND owner =
      Application && Application->MainForm() ? static_cast<HWND>(Application->MainForm()->Handle()) : nullptr;
  const std::wstring file = Utf8ToWide(fileName);
  const std::wstring params = Utf8ToWide(parameters);
  const HINSTANCE result =
      ShellExecuteW(owner, L"open", file.c_str(), params.empty() ? nullptr : params.c_str(), nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

// The shell names the file by its item list, which only a file that exists has.
void ShowInFolder(const std::string& fileName) {
  const auto fail = [&](const std::string& reason) {
    throw EOSError(Format("Cannot show \"%s\" in its folder. %s", fileName.c_str(), reason.c_str()));
  };
  PIDLIST_ABSOLUTE item = ILCreateFromPathW(Utf8ToWide(fileName).c_str());
  if (!item) fail("The file cannot be found.");
  const HRESULT result = SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
  ILFree(item);
  if (FAILED(result)) {
    SetLastError(DWORD(result));
    fail(LastSystemErrorText());
  }
}
