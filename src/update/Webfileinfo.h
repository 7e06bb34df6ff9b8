#pragma once
// The update checker: the component that knows the product's information
// page and the META names that describe the latest release on it, reads the
// page, compares the offered version with the program's own and decides
// whether an offered package may be installed. Fetching the page, the
// dialogue with the user and the download (GetFileInfo, CheckForUpdate,
// DisplayReadMe, DownloadFile, DoDownload, DownloadAndInstall) stand on the
// HTTP client and the framework's windows, and use what is here: ClearResults
// and LoadDocument for each page that arrives, FollowRedirect between pages,
// VerifyRelease before a package is fetched and VerifyPackage after.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Component.h"
#include "framework/StringList.h"
#include "update/UpdateCrypto.h"
#include "update/UpdatePage.h"
#include "update/UpdateSignature.h"

enum TWfiOption { wfioAlwaysOverwrite, wfioDisplayUI, wfioDisplayReadMe, wfioRunUpdate, wfioExitDuringUpdate };

// A set of options, bit n for member n.
class TWfiOptions {
public:
  constexpr TWfiOptions() = default;
  constexpr TWfiOptions(std::initializer_list<TWfiOption> options) {
    for (const TWfiOption option : options) FBits = uint8_t(FBits | Bit(option));
  }
  constexpr bool Contains(TWfiOption option) const { return (FBits & Bit(option)) != 0; }
  constexpr TWfiOptions With(TWfiOption option) const { return TWfiOptions(uint8_t(FBits | Bit(option))); }
  constexpr uint8_t Value() const { return FBits; }
  constexpr bool operator==(const TWfiOptions&) const = default;

private:
  constexpr explicit TWfiOptions(uint8_t bits) : FBits(bits) {}
  static constexpr uint8_t Bit(TWfiOption option) { return uint8_t(1u << option); }
  uint8_t FBits = 0;
};

// The information page and the plain read-me are read up to this size.
inline constexpr size_t MaxInfoPageBytes = size_t{1} << 20;
// Redirect tags followed in one check.
inline constexpr size_t MaxRedirects = 5;

class TWebFileInfo : public TComponent {
public:
  explicit TWebFileInfo(TComponent* AOwner);

  // True once the page was fetched and read; only false can be written.
  bool Active() const { return FActive; }
  void SetActive(bool value);
  // The program's own version, compared with the offered one.
  std::string CurrentVersion;
  TWfiDateFormat DateFormat = wfidDFSDate;
  // The page's address; SetURL takes only http addresses.
  const std::string& HomeURL() const { return FHomeURL; }
  void SetURL(const std::string& value);
  TWfiTags InfoTags;
  TWfiOptions Options() const { return FOptions; }
  // wfioDisplayUI is always added.
  void SetOptions(TWfiOptions value);
  std::string ProxyHost;  // empty: a direct connection
  int ProxyPort = 80;
  TWfiVersionFormat VersionFormat = wfivBuildNumber;
  // How much of an offered update is verified, and the key (base64 of X and
  // Y) it is verified with; by default the key built in, and with it
  // uvRequired, else uvWhenPresent.
  TUpdateVerify Verify;
  std::string UpdateKey;

  // What the page said.
  const std::string& DownloadURL() const { return FRelease.DownloadURL; }
  const std::string& ProductName() const { return FRelease.ProductName; }
  const std::string& ProductAuthor() const { return FRelease.ProductAuthor; }
  const std::string& ProductAuthorEMail() const { return FRelease.ProductAuthorEMail; }
  TDateTime ProductDate() const { return FRelease.ProductDate; }
  const std::string& ProductDateStr() const { return FRelease.ProductDateStr; }
  const std::string& ProductReadMe() const { return FRelease.ProductReadMe; }
  const std::string& ProductReadMeExt() const { return FRelease.ProductReadMeExt; }
  const std::string& ProductVersion() const { return FRelease.ProductVersion; }
  const std::string& RunParams() const { return FRelease.RunParams; }
  const std::string& RedirectURL() const { return FRelease.RedirectURL; }
  const TWfiRelease& Release() const { return FRelease; }
  // The plain file name DownloadURL gives, proposed when saving the package.
  const std::string& DownloadFileName() const { return FDownloadFileName; }

  void ParseDocument(const TStringList& Lines);
  static std::string ExtractContent(const std::string& Line);
  TDateTime ConvertProductDate(const std::string& S) const;
  bool IsUpdateAvailable() const;

  // Empties what the page said, before each fetch of it is read.
  void ClearResults();
  // Reads a page that arrived (at most MaxInfoPageBytes; EUpdatePageError
  // beyond) and takes DownloadFileName from its download address.
  void LoadDocument(std::string_view page);
  // Whether the page's redirect tag is to be fetched next, given every
  // address fetched in this check, first the home page: false without one;
  // EUpdatePageError for an address that is not http, one fetched before,
  // or more than MaxRedirects in a row.
  bool FollowRedirect(const std::vector<std::string>& fetched) const;

  // Before the package is fetched: the offered version must be newer than
  // CurrentVersion (VersionGoesUp with wfivBuildNumber) and the page's
  // SHA-256 and signature must pass by Verify; EUpdateVerifyError naming the
  // reason otherwise. True when the package's SHA-256 is then to be compared.
  bool VerifyRelease() const;
  // After: the downloaded package's digest against the page's SHA-256.
  void VerifyPackage(const TSha256Digest& digest) const;

private:
  bool FActive = false;
  std::string FHomeURL;
  TWfiOptions FOptions;
  TWfiRelease FRelease;
  std::string FDownloadFileName;
};
