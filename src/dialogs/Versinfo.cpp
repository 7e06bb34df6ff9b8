#include "dialogs/Versinfo.h"

#include <array>

#include "dialogs/VersionResource.h"

namespace {

constexpr std::array<const char*, 11> VersionKeys = {
    "Comments",         "CompanyName",  "FileDescription", "FileVersion",    "InternalName", "LegalCopyright",
    "OriginalFilename", "PrivateBuild", "ProductName",     "ProductVersion", "SpecialBuild"};

constexpr char VersionBlock[] = "100904E4";

}  // namespace

TVersionInfo::TVersionInfo(TComponent* AOwner) : TComponent(AOwner) {}

std::string TVersionInfo::GetVersionInfo(int index) {
  if (AppPath.empty()) AppPath = RunningExecutableName();
  if (index < 0 || size_t(index) >= VersionKeys.size()) return {};
  return FindVersionString(ReadVersionData(AppPath), VersionBlock, VersionKeys[size_t(index)]);
}
