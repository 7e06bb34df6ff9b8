#include "framework/SaveDialog.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "framework/Dialogs.h"
#include "framework/Exceptions.h"
#include "framework/Wide.h"

namespace {

// Room for the longest path the system takes.
constexpr size_t FileNameChars = 32768;

// The filter's pairs with each "|" a null, ended by two nulls.
std::wstring FilterList(const std::string& filter) {
  std::wstring list = Utf8ToWide(filter);
  for (wchar_t& c : list)
    if (c == L'|') c = L'\0';
  list.append(2, L'\0');
  return list;
}

}  // namespace

bool PlatformExecute(TSaveDialog& dialog) {
  const std::wstring filter = FilterList(dialog.Filter);
  std::vector<wchar_t> name(FileNameChars, L'\0');
  const std::wstring proposed = Utf8ToWide(dialog.FileName);
  proposed.copy(name.data(), std::min(proposed.size(), FileNameChars - 1));
  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = static_cast<HWND>(WindowOf(dialog.Owner()));
  request.lpstrFilter = filter.c_str();
  request.nFilterIndex = DWORD(dialog.FilterIndex);
  request.lpstrFile = name.data();
  request.nMaxFile = DWORD(name.size());
  request.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (dialog.OverwritePrompt) request.Flags |= OFN_OVERWRITEPROMPT;
  if (dialog.PathMustExist) request.Flags |= OFN_PATHMUSTEXIST;
  if (!GetSaveFileNameW(&request)) {
    if (const DWORD error = CommDlgExtendedError())
      throw EOSError("Cannot show the save dialog (error " + std::to_string(error) + ")");
    return false;
  }
  dialog.FileName = WideToUtf8(name.data());
  dialog.FilterIndex = int(request.nFilterIndex);
  return true;
}
