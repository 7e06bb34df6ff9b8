#pragma once
// The update checker: the component that knows the product's information
// page and the META names that describe the latest release on it. Its check
// (CheckForUpdate) is the whole dialogue with the user: it fetches the page
// and verifies it before anything else, compares the offered version with
// the program's own, offers the read-me, asks where to save the package,
// downloads it with a progress window, verifies it, and offers to open it,
// ending the program. A build without a key reports an update but never
// downloads or launches one.
//
// Every fetch is started asynchronously and waited for in a modal window
// (please-wait, progress) whose loop carries the network's messages; the
// request's end closes the window. A window closed any other way (Esc,
// Alt+F4, the program asked to quit) aborts the request first. Windows and
// message boxes stand on the framework's hooks, so that tests play the user.

#include <chrono>
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Application.h"
#include "framework/Component.h"
#include "framework/Dialogs.h"
#include "framework/Events.h"
#include "framework/StringList.h"
#include "net/Httpprot.h"
#include "update/UpdateCrypto.h"
#include "update/UpdatePage.h"
#include "update/UpdateSignature.h"
#include "update/UpdateWindows.h"

class TLockedFile;

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
// A read-me document is downloaded up to this size.
inline constexpr int64_t MaxReadMeDocumentBytes = int64_t{16} << 20;
// A package may take as long as a page, and its signed size at this rate more.
inline constexpr int64_t SlowestPackageBytesPerSecond = 16384;
// Redirect tags followed in one check.
inline constexpr size_t MaxRedirects = 5;

// Download progress: the bytes received and the size announced (0 when none is).
using TDownloadProgressEvent = TEvent<int64_t, int64_t>;

// What one transfer may be: its exact size, its largest size and its whole
// time; -1 (and 0 for the time) leave each open.
struct TTransferLimits {
  int64_t ExactSize = -1;
  int64_t MaxSize = -1;
  std::chrono::milliseconds Time{0};
};

// The save dialog's kinds of file.
inline constexpr char SaveFilter[] = "Application (*.EXE)|*.EXE|Zipped File|*.ZIP|All Files (*.*)|*.*";

// The name chosen in the save dialog with the extension of the filter in use
// (1 ".EXE", 2 ".ZIP", 3 none) when it has none.
std::string WithFilterExtension(const std::string& fileName, int filterIndex);

class TWebFileInfo : public TComponent {
public:
  explicit TWebFileInfo(TComponent* AOwner);
  ~TWebFileInfo() override;

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
  // The highest version whose signature verified before, which no release
  // may go below; a signed release that raises it fires OnReleaseVerified
  // with the new one, for the opener to keep.
  std::string HighestVersion;
  TStringEvent OnReleaseVerified;
  // The font of the windows the checker builds.
  TFont UIFont;
  // The HTTP client's limits on connecting, on a silent server and on the
  // whole header; 0 keeps the client's own (30 s for each). A page or
  // read-me may take four times this limit in all.
  std::chrono::milliseconds TimeLimit{0};
  TDownloadProgressEvent OnDownloadProgress;

  // The text of the last failure of a fetch or download; empty after success.
  const std::string& LastError() const { return FLastError; }

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

  // The page's verification by Verify, UpdateKey and HighestVersion at this
  // moment, as GetFileInfo makes it for each page it reads: what may be
  // relied on, or EUpdateVerifyError naming the reason.
  TVerifiedRelease VerifyRelease() const;
  // Before the package is fetched: the offered version must be newer than
  // CurrentVersion (VersionGoesUp with wfivBuildNumber) and the page must
  // still verify; EUpdateVerifyError otherwise.
  void VerifyInstallable() const;

  // The user's check: true when an update was downloaded.
  bool CheckForUpdate();
  // Fetches and reads the page (following its redirect tags) unless Active;
  // returns the new Active.
  bool GetFileInfo();
  // Offers (when Ask) and shows the read-me; true when one was shown or opened.
  bool DisplayReadMe(bool Ask);
  // Verifies the release, downloads the package to the file (or, for a name
  // ending in a backslash, into that folder under DownloadFileName), marks
  // it as from the internet, and compares its SHA-256 through a handle that
  // keeps it from being changed until the offer to install is answered;
  // false with LastError otherwise, no file left.
  bool DownloadFile(const std::string& FileName);
  // Downloads one address into one file with the progress window; false
  // with LastError, and the file deleted, unless it arrived whole and
  // within the limits.
  bool DoDownload(const std::string& URL, const std::string& FileName, const std::string& Caption,
                  const TTransferLimits& limits = {});
  // After "Download the update?": where to save, the download, the offer to
  // install, the launch and the end of the program.
  bool DownloadAndInstall();
  void DoDownloadProgress(int64_t BytesReceived, int64_t FileSize);
  void DownloadProgress(TObject* Sender, int64_t BytesReceived, int64_t FileSize);
  std::unique_ptr<TPleaseWaitForm> CreatePleaseWait(const std::string& Text);
  // Fetches the plain read-me; its window, or null with LastError.
  std::unique_ptr<TReadMeForm> CreateReadMe();
  std::unique_ptr<TWebDlProgress> CreateProgress();

  // The application's handler of unhandled exceptions is the checker's while
  // it is installed; Clear puts back the one it replaced. Checkers installed
  // one over another (two update dialogs) can be cleared in any order.
  void SetExceptionHandler();
  void ClearExceptionHandler();
  // An EHttpException ends the wait and shows the "Exception" box; anything
  // else goes to the handler replaced (or the application's own display).
  void WfiException(TObject* Sender, const std::exception& E);

private:
  class THandlerScope;
  class TWaitScope;

  bool RunCheck();
  void ReportWithoutInstalling();
  bool FetchPage(const std::string& url, TDialog& window);
  bool PageVerified();
  bool FetchText(const std::string& url, TDialog& window, const std::string& tooLarge, std::string& text);
  bool Receive(const std::string& url, TStream& into, TDocDataEvent onData, TDialog& window,
               const TTransferLimits& limits);
  bool StartAndWait(TDialog& window);
  bool TransferSucceeded();
  bool RedirectAllowed(const std::vector<std::string>& fetched);
  bool OpenReadMeDocument(std::string& failure);
  bool OpenVerifiedReadMe(const std::string& target, std::string& failure);
  bool ChooseSaveName(std::string& fileName);
  bool Installable();
  bool HoldVerifiedPackage();
  std::chrono::milliseconds TransferTimeLimit() const;
  TTransferLimits PackageLimits() const;
  THttpCli& PreparedClient(const std::string& url, const TTransferLimits& limits);
  void HttpCliDocData(TObject* Sender, const void* Buffer, int Len);
  void RequestDone(TObject* Sender, THttpRequest RqType, uint16_t Error);

  bool FActive = false;
  std::string FHomeURL;
  TWfiOptions FOptions;
  TWfiRelease FRelease;
  std::string FDownloadFileName;
  std::string FLocalFileName;
  std::string FLastError;
  THttpCli* FHttpClient = nullptr;
  // The window waiting for the running request, and how that request ended.
  TDialog* FWaitWindow = nullptr;
  bool FRequestEnded = false;
  uint16_t FRequestError = 0;
  // What the page that was read verified to.
  TVerifiedRelease FVerified;
  // The largest size of the running download; -1 for none.
  int64_t FDownloadCap = -1;
  // The downloaded package, held from its verification to the launch.
  std::unique_ptr<TLockedFile> FHeldPackage;
  // The chain of installed handlers: the checker installed last, and under
  // each one the checker it replaced (null when it replaced another handler).
  static TWebFileInfo* FInstalledTop;
  bool FInstalled = false;
  TWebFileInfo* FBelow = nullptr;
  TExceptionEvent FSavedExceptionHandler;
};
