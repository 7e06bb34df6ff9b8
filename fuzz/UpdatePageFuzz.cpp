// libFuzzer target of the product information page: any page is read, or
// rejected as too large, and what it gives goes through the decisions made
// on it (dates, versions, file names, the form of the SHA-256 and the
// signature); anything else is a finding.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "update/UpdatePage.h"
#include "update/UpdateSignature.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const TWfiTags tags = ProductPageTags();
  TWfiRelease release;
  try {
    ParsePage(std::string_view(reinterpret_cast<const char*>(data), size), size_t{1} << 20, tags, wfidDFSDate,
              release);
  } catch (const EUpdatePageError&) {
    return 0;
  }
  // Two values of the page against each other, so that both sides vary.
  IsVersionNewer(release.ProductName, release.ProductVersion, wfivBuildNumber);
  IsVersionNewer(release.ProductName, release.ProductVersion, wfivSimpleString);
  VersionGoesUp(release.ProductName, release.ProductVersion);
  IsReadMeDocument(PlainFileName(release.ProductReadMeExt));
  PlainFileName(release.DownloadURL);
  try {
    VerifyRelease(release, uvWhenPresent, "");
  } catch (const EUpdateVerifyError&) {
  }
  return 0;
}
