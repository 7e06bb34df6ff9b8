#include <dirent.h>
#include <sys/stat.h>

#include "app/Finddirs2.h"
#include "framework/Files.h"
#include "framework/Handles_posix.h"
#include "framework/SysUtils.h"

struct TDirListing::TImpl {
  std::string Directory;
  TDirStream Dir;
};

// The mask is always "*.*", which on this system means every name; a name
// beginning with "." is hidden, except "." and ".." themselves. Links count as
// what they point to; the type the directory reports saves a stat per file.
TDirListing::TDirListing(const std::string& pattern) : FImpl(std::make_unique<TImpl>()) {
  FImpl->Directory = PosixPath(ExtractFilePath(pattern));
  FImpl->Dir.Reset(opendir(FImpl->Directory.empty() ? "." : FImpl->Directory.c_str()));
}

TDirListing::~TDirListing() = default;

bool TDirListing::Next(TSearchRec& entry) {
  if (!FImpl->Dir) return false;
  while (dirent* d = readdir(FImpl->Dir.Get())) {
    const std::string name = d->d_name;
    const bool dots = name == "." || name == "..";
    if (name[0] == '.' && !dots) continue;
    bool directory = d->d_type == DT_DIR;
    if (d->d_type == DT_LNK || d->d_type == DT_UNKNOWN) {
      struct stat st;
      if (stat((FImpl->Directory + name).c_str(), &st) != 0) continue;  // dangling link
      directory = S_ISDIR(st.st_mode);
    }
    entry.Name = name;
    entry.Attr = directory ? faDirectory : faArchive;
    return true;
  }
  return false;
}

bool GetDirIdentity(const std::string& directory, TDirIdentity& identity) {
  struct stat st;
  if (stat(PosixPath(directory).c_str(), &st) != 0) return false;
  identity.Volume = st.st_dev;
  identity.Index = st.st_ino;
  return true;
}

bool IsAbsoluteDirectory(const std::string& directory) { return !directory.empty() && directory[0] == '/'; }
