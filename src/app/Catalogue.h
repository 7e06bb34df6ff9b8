#pragma once
// The wallpaper catalogue's search: one walk of the base directory tree that
// collects the files of every enabled catalogued picture kind at once. Its
// result is what one walk per kind would give: each kind's files in the
// order the walk meets them, the kinds in the order of the picture kinds'
// table.

#include <string>
#include <vector>

#include "app/Finddirs2.h"
#include "app/Settings.h"
#include "framework/RegIniFile.h"
#include "framework/StringList.h"

class TCatalogueSearch : public TFindDirs {
public:
  TCatalogueSearch(TComponent* AOwner, const std::string& startString);

  // Chooses the kinds by their settings and forgets earlier finds.
  void SetPatterns(const TRegIniFile& settings);
  bool AnyPattern() const;
  // Searches the directory (no mask) and everything below it; one that is
  // empty or relative is reported through OnInvalidString, unsearched.
  void Search(const std::string& directory);
  // Adds what the last search found, kind by kind, to the list.
  void AddFoundTo(TStringList& list) const;

protected:
  void ProcessFile(const TSearchRec& rec, const std::string& fullPath) override;

private:
  struct TFound {
    std::string Ext;  // upper case, dot included
    const TSetting<bool>* Setting;
    bool Enabled = false;
    std::vector<std::string> Files;
  };
  std::vector<TFound> FFound;
};
