// libFuzzer target of the version information parser: any blob gives the
// text of each key of the program's block, or nothing; anything else is a
// finding.

#include <cstddef>
#include <cstdint>

#include "dialogs/VersionResource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const char* key : {"Comments", "CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright",
                          "OriginalFilename", "PrivateBuild", "ProductName", "ProductVersion", "SpecialBuild"})
    FindVersionString({data, size}, "100904E4", key);
  return 0;
}
