#include "update/Webfileinfo.h"

#include <algorithm>

#include "framework/SysUtils.h"
#include "update/UpdateSettings.h"

TWebFileInfo::TWebFileInfo(TComponent* AOwner)
    : TComponent(AOwner),
      Verify(BuiltInUpdateKey().empty() ? uvWhenPresent : uvRequired),
      UpdateKey(BuiltInUpdateKey()),
      FOptions({wfioDisplayUI, wfioDisplayReadMe, wfioRunUpdate, wfioExitDuringUpdate}) {}

void TWebFileInfo::SetActive(bool value) {
  if (!value) FActive = false;
}

void TWebFileInfo::SetURL(const std::string& value) {
  if (!IsHttpURL(value)) return;
  FActive = false;
  FHomeURL = value;
}

void TWebFileInfo::SetOptions(TWfiOptions value) { FOptions = value.With(wfioDisplayUI); }

void TWebFileInfo::ParseDocument(const TStringList& Lines) { ::ParseDocument(Lines, InfoTags, DateFormat, FRelease); }

std::string TWebFileInfo::ExtractContent(const std::string& Line) { return ::ExtractContent(Line); }

TDateTime TWebFileInfo::ConvertProductDate(const std::string& S) const { return ::ConvertProductDate(S, DateFormat); }

bool TWebFileInfo::IsUpdateAvailable() const {
  return IsVersionNewer(CurrentVersion, FRelease.ProductVersion, VersionFormat);
}

void TWebFileInfo::ClearResults() {
  FRelease = TWfiRelease();
  FDownloadFileName.clear();
}

void TWebFileInfo::LoadDocument(std::string_view page) {
  ParsePage(page, MaxInfoPageBytes, InfoTags, DateFormat, FRelease);
  FDownloadFileName = PlainFileName(FRelease.DownloadURL);
}

bool TWebFileInfo::FollowRedirect(const std::vector<std::string>& fetched) const {
  const std::string& next = FRelease.RedirectURL;
  if (next.empty()) return false;
  if (!IsHttpURL(next)) throw EUpdatePageError("The update information redirects to " + next);
  if (std::find(fetched.begin(), fetched.end(), next) != fetched.end())
    throw EUpdatePageError("The update information redirects back to " + next);
  if (fetched.size() > MaxRedirects)
    throw EUpdatePageError("The update information redirects more than " + std::to_string(MaxRedirects) + " times");
  return true;
}

// The page's own comparison shows whether there is an update; installing one
// takes the stricter one too, so that a page can never bring an older or
// equal version back, however its version is written.
bool TWebFileInfo::VerifyRelease() const {
  const std::string& offered = FRelease.ProductVersion;
  const bool goesUp = VersionFormat == wfivBuildNumber ? VersionGoesUp(CurrentVersion, offered)
                                                       : IsVersionNewer(CurrentVersion, offered, VersionFormat);
  if (!goesUp)
    throw EUpdateVerifyError(Format("Version %s is not newer than %s", offered.c_str(), CurrentVersion.c_str()));
  return ::VerifyRelease(FRelease, Verify, UpdateKey);
}

void TWebFileInfo::VerifyPackage(const TSha256Digest& digest) const { ::VerifyPackage(FRelease, digest); }
