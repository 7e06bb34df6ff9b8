#include "app/Finddirs2.h"

#include "framework/SysUtils.h"

std::unique_ptr<TDirInfo> TDirStack::Pop() {
  std::unique_ptr<TDirInfo> first = std::move(FItems.front());
  FItems.pop_front();
  return first;
}

TFindDirs::TFindDirs(TComponent* AOwner, const std::string& startString) : TComponent(AOwner) {
  SetStartString(startString);
}

TFindDirs::~TFindDirs() = default;

void TFindDirs::SetStartString(const std::string& s) {
  FStartString = s;
  FSearchPath = ExtractFilePath(s);
  FSearchExt = ExtractFileExt(s);
}

void TFindDirs::Run() {
  Initialize();
  if (!SetupFirstDirectory()) {
    OnInvalidString(this, FSearchPath);
    FDirQueue.reset();
    return;
  }
  bool firstPass = true;
  for (;;) {
    SetupSearchString();
    if (!firstPass) GetAllFiles(FSearchString);
    firstPass = false;
    if (FDirQueue->Empty()) break;
    GetNextDirectory();
  }
  FDirQueue.reset();
  FVisited.clear();
}

void TFindDirs::Initialize() {
  FDirQueue = std::make_unique<TDirStack>();
  FVisited.clear();
  FSubDir.clear();
  FFileMask = "*.*";
}

// A directory counts as searchable when its listing yields anything at all;
// only an empty root directory yields nothing and is refused with the missing ones.
bool TFindDirs::SetupFirstDirectory() {
  TSearchRec first;
  if (!TDirListing(FSearchPath + FFileMask).Next(first)) return false;
  FirstVisit(FSearchPath);
  auto info = std::make_unique<TDirInfo>();
  info->SearchRec = first;
  info->SearchRec.Name = FSearchPath;
  FDirQueue->Push(std::move(info));
  return true;
}

void TFindDirs::SetupSearchString() { FSearchString = FSearchPath + FSubDir + FFileMask; }

// Any entry with the directory bit is a directory, whatever other attributes
// (read-only, archive: customised folders carry them) it has.
void TFindDirs::GetAllFiles(const std::string& pattern) {
  TDirListing listing(pattern);
  TSearchRec entry;
  while (listing.Next(entry)) {
    if (entry.Attr & faDirectory)
      FoundADir(entry);
    else
      FoundAFile(entry);
  }
}

void TFindDirs::GetNextDirectory() {
  std::unique_ptr<TDirInfo> info = FDirQueue->Pop();
  FSubDir = info->RelPath;
  ProcessDir(info->SearchRec, FSearchPath + FSubDir);
}

void TFindDirs::FoundADir(const TSearchRec& rec) {
  if (rec.Name == "." || rec.Name == "..") return;
  const std::string relPath = FSubDir + rec.Name + "\\";
  if (!FirstVisit(FSearchPath + relPath)) return;
  FDirQueue->Push(std::make_unique<TDirInfo>(TDirInfo{rec, relPath}));
}

void TFindDirs::FoundAFile(const TSearchRec& rec) {
  if (FSearchExt != ".*" && UpperCaseAscii(FSearchExt) != UpperCaseAscii(ExtractFileExt(rec.Name))) return;
  ProcessFile(rec, FSearchPath + FSubDir + rec.Name);
}

// Links, junctions and mount loops can lead back to a directory already
// queued; it is entered once only, so the walk always ends. A directory whose
// identity cannot be read is entered (it cannot be part of a loop we could see).
bool TFindDirs::FirstVisit(const std::string& directory) {
  TDirIdentity identity;
  if (!GetDirIdentity(directory, identity)) return true;
  return FVisited.insert(identity).second;
}

void TFindDirs::ProcessFile(const TSearchRec&, const std::string& fullPath) { OnFoundFile(this, fullPath); }

void TFindDirs::ProcessDir(const TSearchRec&, const std::string& fullPath) { OnFoundDirf(this, fullPath); }

TFindDirsList::TFindDirsList(TComponent* AOwner, const std::string& startString) : TFindDirs(AOwner, startString) {
  FFileList.SetSorted(true);
  FFileList.Duplicates = TDuplicates::dupIgnore;
  FDirList.SetSorted(true);
  FDirList.Duplicates = TDuplicates::dupIgnore;
}

void TFindDirsList::ProcessFile(const TSearchRec&, const std::string& fullPath) { FFileList.Add(fullPath); }

void TFindDirsList::ProcessDir(const TSearchRec&, const std::string& fullPath) { FDirList.Add(fullPath); }
