#include "app/Catalogue.h"

#include "framework/SysUtils.h"
#include "imaging/PictureKinds.h"

TCatalogueSearch::TCatalogueSearch(TComponent* AOwner, const std::string& startString)
    : TFindDirs(AOwner, startString) {
  for (const TPictureKind& kind : PictureKinds())
    if (kind.Catalogued) FFound.push_back({UpperCaseAscii(kind.Extension), &KindSetting(kind.Format), false, {}});
}

void TCatalogueSearch::SetPatterns(const TRegIniFile& settings) {
  for (TFound& found : FFound) {
    found.Enabled = ReadSetting(settings, *found.Setting);
    found.Files.clear();
  }
}

bool TCatalogueSearch::AnyPattern() const {
  for (const TFound& found : FFound)
    if (found.Enabled) return true;
  return false;
}

// The mask ".*" lets every file through to ProcessFile, which sorts it by
// extension. An empty or relative directory is reported like one that cannot
// be searched: it would search wherever the process stands, a drive's root
// perhaps, which the user never named.
void TCatalogueSearch::Search(const std::string& directory) {
  for (TFound& found : FFound) found.Files.clear();
  SetStartString(directory + "\\*.*");
  if (IsAbsoluteDirectory(directory))
    Run();
  else
    OnInvalidString(this, directory + "\\");
}

void TCatalogueSearch::ProcessFile(const TSearchRec& rec, const std::string& fullPath) {
  const std::string ext = UpperCaseAscii(ExtractFileExt(rec.Name));
  for (TFound& found : FFound)
    if (found.Enabled && found.Ext == ext) {
      found.Files.push_back(fullPath);
      return;
    }
}

// A sorted list that ignores duplicates keeps the first of equal strings, so
// adding the patterns' files in table order, each in walk order, keeps what
// one walk per pattern would keep.
void TCatalogueSearch::AddFoundTo(TStringList& list) const {
  for (const TFound& found : FFound)
    for (const std::string& file : found.Files) list.Add(file);
}
