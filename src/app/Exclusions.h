#pragma once
// The pictures the user never wants to see again ("Never Show This Again"):
// the settings section "Excluded", one value per picture, named by its full
// path, its text empty. The catalogue leaves them out. Paths match as the
// catalogue matches them, ignoring case.

#include <string>
#include <vector>

#include "framework/RegIniFile.h"
#include "framework/StringList.h"

// The excluded paths, in the store's order.
std::vector<std::string> ReadExclusions(const TRegIniFile& settings);
void Exclude(TRegIniFile& settings, const std::string& path);
// Takes the path off the list (nothing when it is not on it).
void Readmit(TRegIniFile& settings, const std::string& path);
// Removes the excluded paths from the catalogue.
void RemoveExcluded(const TRegIniFile& settings, TStringList& catalogue);
