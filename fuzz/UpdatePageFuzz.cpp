// libFuzzer target of the product information page: any page is read, or
// rejected as too large, and what it gives goes through the decisions made
// on it (dates, versions, file names, the form of the signed values, the
// expiry, the signature); and the same bytes, as a read-me, must always
// give UTF-8 text. Anything else is a finding.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "update/ReadMeText.h"
#include "update/UpdatePage.h"
#include "update/UpdateSignature.h"

namespace {

// Valid UTF-8 comes back unchanged (behind a letter, no mark is dropped).
bool IsUtf8(const std::string& text) { return ReadMeText("x" + text) == "x" + text; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const TWfiTags tags = ProductPageTags();
  if (!IsUtf8(ReadMeText(std::string_view(reinterpret_cast<const char*>(data), size)))) std::abort();
  TWfiRelease release;
  try {
    ParsePage(std::string_view(reinterpret_cast<const char*>(data), size), size_t{1} << 20, tags, wfidDFSDate, release);
  } catch (const EUpdatePageError&) {
    return 0;
  }
  // Two values of the page against each other, so that both sides vary.
  IsVersionNewer(release.ProductName, release.ProductVersion, wfivBuildNumber);
  IsVersionNewer(release.ProductName, release.ProductVersion, wfivSimpleString);
  VersionGoesUp(release.ProductName, release.ProductVersion);
  VersionRaises(release.ProductName, release.ProductVersion);
  IsReadMeDocument(PlainFileName(release.ProductReadMeExt));
  PlainFileName(release.DownloadURL);
  try {
    VerifyRelease(release, {uvWhenPresent, "", 0, release.ProductName});
  } catch (const EUpdateVerifyError&) {
    return 0;
  }
  return 0;
}
