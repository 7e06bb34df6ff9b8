#pragma once
// The directory searcher: walks a directory and every directory below it,
// breadth first, reporting each file whose extension equals the one asked for
// and each directory it enters. A start string is a directory followed by a
// mask, e.g. "C:\Pictures\*.jpg"; only the mask's extension counts, and ".*"
// matches every file. Hidden and system entries are never seen. A directory
// is entered at most once per run, however links and junctions lead back to
// it.

#include <cstdint>
#include <deque>
#include <memory>
#include <set>
#include <string>

#include "framework/Component.h"
#include "framework/Events.h"
#include "framework/StringList.h"

inline constexpr uint32_t faReadOnly = 0x01;
inline constexpr uint32_t faHidden = 0x02;
inline constexpr uint32_t faSysFile = 0x04;
inline constexpr uint32_t faDirectory = 0x10;
inline constexpr uint32_t faArchive = 0x20;

// One entry of a directory listing.
struct TSearchRec {
  uint32_t Attr = 0;
  std::string Name;
};

// The platform's listing of one directory: the entries matching a pattern
// (a directory followed by "*.*"), without hidden and system entries; "."
// and ".." come as directories where the directory has them.
class TDirListing {
public:
  explicit TDirListing(const std::string& pattern);
  ~TDirListing();
  TDirListing(const TDirListing&) = delete;
  TDirListing& operator=(const TDirListing&) = delete;
  // The next entry; false when there are no more (or the directory could not be listed).
  bool Next(TSearchRec& entry);

private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};

// What makes a directory the same one whatever path reaches it (device and
// file number); false when the platform cannot tell.
struct TDirIdentity {
  uint64_t Volume = 0;
  uint64_t Index = 0;
  auto operator<=>(const TDirIdentity&) const = default;
};
bool GetDirIdentity(const std::string& directory, TDirIdentity& identity);

// Whether a directory names its place in full (a drive or a network share
// here, the root there); an empty or relative one would search wherever the
// process happens to stand.
bool IsAbsoluteDirectory(const std::string& directory);

// One queued directory: its search record and its path relative to the
// search path, with a trailing backslash.
struct TDirInfo {
  TSearchRec SearchRec;
  std::string RelPath;
};

// First in, first out, whatever the name says.
class TDirStack {
public:
  void Push(std::unique_ptr<TDirInfo> info) { FItems.push_back(std::move(info)); }
  std::unique_ptr<TDirInfo> Pop();
  bool Empty() const { return FItems.empty(); }

private:
  std::deque<std::unique_ptr<TDirInfo>> FItems;
};

class TFindDirs : public TComponent {
public:
  TFindDirs(TComponent* AOwner, const std::string& startString);
  ~TFindDirs() override;

  const std::string& StartString() const { return FStartString; }
  virtual void SetStartString(const std::string& s);
  const std::string& SearchPath() const { return FSearchPath; }
  const std::string& SearchExt() const { return FSearchExt; }

  // One complete search of the current start string.
  virtual void Run();

  TStringEvent OnFoundDirf;
  TStringEvent OnFoundFile;
  TStringEvent OnInvalidString;

protected:
  virtual void ProcessFile(const TSearchRec& rec, const std::string& fullPath);
  virtual void ProcessDir(const TSearchRec& rec, const std::string& fullPath);

private:
  void Initialize();
  bool SetupFirstDirectory();
  void SetupSearchString();
  void GetAllFiles(const std::string& pattern);
  void GetNextDirectory();
  void FoundADir(const TSearchRec& rec);
  void FoundAFile(const TSearchRec& rec);
  bool FirstVisit(const std::string& directory);

  std::string FStartString;
  std::string FSearchExt;
  std::string FSearchPath;
  std::string FSubDir;
  std::string FFileMask;
  std::string FSearchString;
  std::unique_ptr<TDirStack> FDirQueue;
  std::set<TDirIdentity> FVisited;  // the directories of this run so far
};

// The searcher that collects what it finds in two sorted lists (duplicates
// ignored) instead of raising events. Neither list is emptied between runs.
class TFindDirsList : public TFindDirs {
public:
  TFindDirsList(TComponent* AOwner, const std::string& startString);

  TStringList& FileList() { return FFileList; }
  TStringList& DirList() { return FDirList; }

protected:
  void ProcessFile(const TSearchRec& rec, const std::string& fullPath) override;
  void ProcessDir(const TSearchRec& rec, const std::string& fullPath) override;

private:
  TStringList FFileList;
  TStringList FDirList;
};
