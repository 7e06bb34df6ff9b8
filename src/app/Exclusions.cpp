#include "app/Exclusions.h"

#include "app/Settings.h"

std::vector<std::string> ReadExclusions(const TRegIniFile& settings) { return settings.ValueNames(ExcludedSection); }

void Exclude(TRegIniFile& settings, const std::string& path) { settings.WriteString(ExcludedSection, path, ""); }

void Readmit(TRegIniFile& settings, const std::string& path) { settings.DeleteValue(ExcludedSection, path); }

void RemoveExcluded(const TRegIniFile& settings, TStringList& catalogue) {
  for (const std::string& path : ReadExclusions(settings))
    if (const int i = catalogue.IndexOf(path); i >= 0) catalogue.Delete(i);
}
