#pragma once
// The version information reader: one text entry of the string table of a
// file's version resource, always in block "100904E4", whatever languages
// the file's translation table names.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Component.h"

// The keys, by the index GetVersionInfo takes.
enum TVersionKey {
  vkComments,
  vkCompanyName,
  vkFileDescription,
  vkFileVersion,
  vkInternalName,
  vkLegalCopyright,
  vkOriginalFilename,
  vkPrivateBuild,
  vkProductName,
  vkProductVersion,
  vkSpecialBuild
};

class TVersionInfo : public TComponent {
public:
  explicit TVersionInfo(TComponent* AOwner);

  // The file read. Empty means the running executable, whose full name is
  // stored here on the first read.
  std::string AppPath;

  // The text under the key of `index`: 0 Comments, 1 CompanyName,
  // 2 FileDescription, 3 FileVersion, 4 InternalName, 5 LegalCopyright,
  // 6 OriginalFilename, 7 PrivateBuild, 8 ProductName, 9 ProductVersion,
  // 10 SpecialBuild. Empty when the block has no such key, the file has no
  // version information or cannot be read, or the index is outside 0 to 10.
  // Reads the file anew each time.
  std::string GetVersionInfo(int index);
};

// The OS halves.
// The version information of a file as GetFileVersionInfo gives it; empty
// when the file has none or cannot be read.
std::vector<uint8_t> ReadVersionData(const std::string& fileName);
// The full file name of the running executable.
std::string RunningExecutableName();
