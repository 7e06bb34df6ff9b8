#include <windows.h>

#include <cctype>

#include "app/Finddirs2.h"
#include "framework/Handles_win.h"
#include "framework/Wide.h"

struct TDirListing::TImpl {
  TFindHandle Find;
  WIN32_FIND_DATAW Data{};
  bool Pending = false;  // Data holds an entry not handed out yet
};

TDirListing::TDirListing(const std::string& pattern) : FImpl(std::make_unique<TImpl>()) {
  FImpl->Find.Reset(FindFirstFileW(Utf8ToWide(pattern).c_str(), &FImpl->Data));
  FImpl->Pending = FImpl->Find.Valid();
}

TDirListing::~TDirListing() = default;

// Hidden and system entries are left out, as a search asking only for
// directories and ordinary files leaves them out.
bool TDirListing::Next(TSearchRec& entry) {
  constexpr DWORD excluded = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  while (FImpl->Pending) {
    const WIN32_FIND_DATAW data = FImpl->Data;
    FImpl->Pending = FindNextFileW(FImpl->Find.Get(), &FImpl->Data) != 0;
    if (data.dwFileAttributes & excluded) continue;
    entry.Name = WideToUtf8(data.cFileName);
    entry.Attr = data.dwFileAttributes;
    return true;
  }
  return false;
}

// The volume serial number and file index name a directory whatever
// junction or link leads to it.
bool GetDirIdentity(const std::string& directory, TDirIdentity& identity) {
  const TFileHandle h(CreateFileW(Utf8ToWide(directory).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!h || !GetFileInformationByHandle(h.Get(), &info)) return false;
  identity.Volume = info.dwVolumeSerialNumber;
  identity.Index = (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

// "C:" alone names the root of C: (the options dialog shows it so); "C:x"
// and "\x" are relative to the drive's or the process's current directory.
bool IsAbsoluteDirectory(const std::string& directory) {
  if (directory.size() >= 2 && directory[0] == '\\' && directory[1] == '\\') return true;
  const bool drive =
      directory.size() >= 2 && std::isalpha(static_cast<unsigned char>(directory[0])) && directory[1] == ':';
  return drive && (directory.size() == 2 || directory[2] == '\\' || directory[2] == '/');
}
