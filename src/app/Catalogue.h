#pragma once
// The wallpaper catalogue's search: one walk of the base directory tree that
// collects the files of every enabled search pattern at once. Its result is
// what one walk per pattern would give: each pattern's files in the order
// the walk meets them, the patterns in the order of the table.

#include <string>
#include <vector>

#include "app/Finddirs2.h"
#include "framework/RegIniFile.h"
#include "framework/StringList.h"

struct TCataloguePattern {
  const char* Setting;  // the boolean setting that enables it (default true)
  const char* Mask;     // appended to the base directory
};

// The catalogue's search patterns, in the order their files are added.
inline constexpr TCataloguePattern CataloguePatterns[] = {
    {"JPEG", "\\*.jpg"}, {"JPEG", "\\*.jpeg"}, {"JPEG", "\\*.jpe"}, {"GIF", "\\*.gif"},
    {"BMP", "\\*.bmp"},  {"PCX", "\\*.pcx"},   {"TIFF", "\\*.tif"},
};

class TCatalogueSearch : public TFindDirs {
public:
  TCatalogueSearch(TComponent* AOwner, const std::string& startString);

  // Chooses the patterns by their settings and forgets earlier finds.
  void SetPatterns(const TRegIniFile& settings);
  bool AnyPattern() const;
  // Searches the directory (no mask) and everything below it; one that is
  // empty or relative is reported through OnInvalidString, unsearched.
  void Search(const std::string& directory);
  // Adds what the last search found, pattern by pattern, to the list.
  void AddFoundTo(TStringList& list) const;

protected:
  void ProcessFile(const TSearchRec& rec, const std::string& fullPath) override;

private:
  struct TFound {
    std::string Ext;  // upper case, dot included
    bool Enabled = false;
    std::vector<std::string> Files;
  };
  std::vector<TFound> FFound;
};
