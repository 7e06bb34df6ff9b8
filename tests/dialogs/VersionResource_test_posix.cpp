// The program's own version resource, as windres compiles it from
// res/version.rc.in, read by the version information parser.

#include <gtest/gtest.h>

#include <algorithm>

#include "VersionBlobs.h"
#include "dialogs/VersionResource.h"
#include "framework/Files.h"

namespace {

uint32_t U32(const TBytes& data, size_t at) {
  return uint32_t(data[at]) | uint32_t(data[at + 1]) << 8 | uint32_t(data[at + 2]) << 16 | uint32_t(data[at + 3]) << 24;
}

// The data of the first RT_VERSION (16) entry of a .res file: entries of a
// data size, a header size, the type and name (0xFFFF and a number here),
// then the data, each entry on a 4-byte boundary.
TBytes VersionResourceData(const TBytes& res) {
  for (size_t at = 0; at + 12 <= res.size();) {
    const uint32_t dataSize = U32(res, at), headerSize = U32(res, at + 4);
    const bool isVersion = res[at + 8] == 0xFF && res[at + 9] == 0xFF && res[at + 10] == 16 && res[at + 11] == 0;
    if (isVersion && at + headerSize + dataSize <= res.size())
      return TBytes(res.begin() + std::ptrdiff_t(at + headerSize),
                    res.begin() + std::ptrdiff_t(at + headerSize + dataSize));
    at = (at + headerSize + dataSize + 3) & ~size_t{3};
  }
  return {};
}

const TBytes& ProgramVersion() {
  static const TBytes data = VersionResourceData(ReadWholeFile(KALEIDON_VERSION_RES));
  return data;
}

}  // namespace

TEST(VersionResource_FindVersionString, ProgramResourceCarriesEveryKeyInItsBlock) {
  ASSERT_FALSE(ProgramVersion().empty());
  for (const char* key : {"Comments", "CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright",
                          "OriginalFilename", "ProductName", "ProductVersion"})
    EXPECT_NE(FindVersionString(ProgramVersion(), "100904E4", key), "") << key;
  EXPECT_EQ(FindVersionString(ProgramVersion(), "100904E4", "PrivateBuild"), "");
  EXPECT_EQ(FindVersionString(ProgramVersion(), "040904E4", "FileVersion"), "");
}

TEST(VersionResource_FindVersionString, ProgramResourceNamesItsVersionInFourNumbers) {
  EXPECT_EQ(FindVersionString(ProgramVersion(), "100904E4", "FileVersion"), KALEIDON_FILE_VERSION);
  EXPECT_EQ(FindVersionString(ProgramVersion(), "100904E4", "ProductVersion"), KALEIDON_FILE_VERSION);
  EXPECT_EQ(FindVersionString(ProgramVersion(), "100904E4", "ProductName"), "Kaleidon");
  EXPECT_EQ(FindVersionString(ProgramVersion(), "100904E4", "OriginalFilename"), "Kaleidon.exe");
  const std::string version = KALEIDON_FILE_VERSION;
  EXPECT_EQ(std::count(version.begin(), version.end(), '.'), 3);
}

TEST(VersionResource_FindVersionString, ProgramResourceTranslationNamesTheBlock) {
  // "Translation", its zero and padding, then language 0x1009 and code page 0x04E4.
  TBytes translation = Utf16Z(u"Translation");
  translation.insert(translation.end(), {0, 0, 0x09, 0x10, 0xE4, 0x04});
  const TBytes& data = ProgramVersion();
  EXPECT_NE(std::search(data.begin(), data.end(), translation.begin(), translation.end()), data.end());
}
