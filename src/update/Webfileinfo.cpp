#include "update/Webfileinfo.h"

#include <algorithm>
#include <chrono>
#include <span>

#include "framework/Files.h"
#include "framework/MessageBox.h"
#include "framework/SaveDialog.h"
#include "framework/Shell.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "net/Httpurl.h"
#include "update/ReadMeText.h"
#include "update/UpdateSettings.h"
#include "update/ZoneMark.h"

namespace {

constexpr char AbortedText[] = "Connection aborted on request";
constexpr char ProgramNotStarted[] = "Can not start program.";
constexpr unsigned Warning = mbOK | mbIconExclamation;
constexpr unsigned Question = mbYesNo | mbIconQuestion;
// Folders tried for one read-me document under the temporary folder.
constexpr int ReadMeFolderTries = 100;
// The HTTP client's own limit on connecting and on silence.
constexpr std::chrono::milliseconds ClientTimeLimit{30000};

// Once the program is ending (asked to quit while a window waited), the
// check asks and reports nothing more: a box would hold the program up, and
// the question's answer is No.
int Box(const std::string& text, const std::string& caption, unsigned flags) {
  if (Application && Application->Terminated()) return idNo;
  return ShowMessageBox(text, caption, flags);
}

bool Ask(const std::string& text, const std::string& caption) { return Box(text, caption, Question) == idYes; }

// "Could not ...\rError: \"<error>.\"", or "...\rError unknown." without one.
std::string WithError(const std::string& text, const std::string& error) {
  if (error.empty()) return text + "\rError unknown.";
  return text + "\rError: \"" + error + ".\"";
}

bool NoTags(const TWfiTags& tags) {
  for (const std::string* name :
       {&tags.AuthorTag, &tags.DateTag, &tags.DownloadTag, &tags.ProductNameTag, &tags.ReadMeTag, &tags.ReadMeExtTag,
        &tags.RedirectTag, &tags.RunParamsTag, &tags.VersionTag})
    if (!name->empty()) return false;
  return true;
}

std::string ApplicationTitle() { return Application ? Application->Title : std::string(); }

// A folder of its own under the temporary folder, with its trailing
// delimiter; empty when none could be made.
std::string NewReadMeFolder() {
  const std::string parent = TemporaryDirectory();
  const auto seed = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int i = 0; i < ReadMeFolderTries; ++i) {
    const std::string folder = parent + "KaleidonReadMe" + std::to_string((seed + i) % 1000000);
    if (CreateNewDirectory(folder)) return folder + "\\";
  }
  return {};
}

std::string CannotRetrieveReadMe(const std::string& reason) { return "Could not retrieve the read-me: " + reason; }

int64_t SecondsSince1970() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

TSha256Digest DigestOf(TLockedFile& file) {
  std::vector<uint8_t> buffer(size_t{1} << 16);
  TSha256 hash;
  while (const size_t read = file.Read(buffer.data(), buffer.size())) hash.Update(std::span(buffer.data(), read));
  return hash.Final();
}

}  // namespace

std::string WithFilterExtension(const std::string& fileName, int filterIndex) {
  if (!ExtractFileExt(fileName).empty()) return fileName;
  if (filterIndex == 1) return fileName + ".EXE";
  if (filterIndex == 2) return fileName + ".ZIP";
  return fileName;
}

// Installs the checker's handler for the life of the scope, unless it was
// installed already (by an outer scope, which then clears it).
class TWebFileInfo::THandlerScope {
public:
  explicit THandlerScope(TWebFileInfo& info) : FInfo(info), FOwn(!info.FInstalled) { FInfo.SetExceptionHandler(); }
  ~THandlerScope() {
    if (FOwn) FInfo.ClearExceptionHandler();
  }
  THandlerScope(const THandlerScope&) = delete;
  THandlerScope& operator=(const THandlerScope&) = delete;

private:
  TWebFileInfo& FInfo;
  bool FOwn;
};

// Names the window that waits for requests, and forgets it when it goes.
class TWebFileInfo::TWaitScope {
public:
  TWaitScope(TWebFileInfo& info, TDialog& window) : FInfo(info) { FInfo.FWaitWindow = &window; }
  ~TWaitScope() { FInfo.FWaitWindow = nullptr; }
  TWaitScope(const TWaitScope&) = delete;
  TWaitScope& operator=(const TWaitScope&) = delete;

private:
  TWebFileInfo& FInfo;
};

TWebFileInfo* TWebFileInfo::FInstalledTop = nullptr;

TWebFileInfo::TWebFileInfo(TComponent* AOwner)
    : TComponent(AOwner),
      Verify(BuiltInUpdateKey().empty() ? uvWhenPresent : uvRequired),
      UpdateKey(BuiltInUpdateKey()),
      FOptions({wfioDisplayUI, wfioDisplayReadMe, wfioRunUpdate, wfioExitDuringUpdate}) {}

// The application's handler never outlives the checker.
TWebFileInfo::~TWebFileInfo() { ClearExceptionHandler(); }

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

TVerifiedRelease TWebFileInfo::VerifyRelease() const {
  return ::VerifyRelease(FRelease, {Verify, UpdateKey, SecondsSince1970(), HighestVersion});
}

// The page's own comparison shows whether there is an update; installing one
// takes the stricter one too, so that a page can never bring an older or
// equal version back, however its version is written.
void TWebFileInfo::VerifyInstallable() const {
  const std::string& offered = FRelease.ProductVersion;
  const bool goesUp = VersionFormat == wfivBuildNumber ? VersionGoesUp(CurrentVersion, offered)
                                                       : IsVersionNewer(CurrentVersion, offered, VersionFormat);
  if (!goesUp)
    throw EUpdateVerifyError(Format("Version %s is not newer than %s", offered.c_str(), CurrentVersion.c_str()));
  VerifyRelease();
}

bool TWebFileInfo::CheckForUpdate() {
  const THandlerScope handler(*this);
  try {
    return RunCheck();
  } catch (const std::exception& e) {
    WfiException(this, e);
    return false;
  }
}

bool TWebFileInfo::RunCheck() {
  if (!GetFileInfo()) {
    Box(WithError("Could not retrieve version information from the Internet.", FLastError), "Connection Error",
        Warning);
    return false;
  }
  if (!IsUpdateAvailable()) {
    Box("There is no update available.", "No Update Found", mbOK | mbIconInformation);
    return false;
  }
  if (FOptions.Contains(wfioDisplayReadMe)) DisplayReadMe(true);
  if (UpdateKey.empty()) {
    ReportWithoutInstalling();
    return false;
  }
  const std::string offer = Format("Current version is %s.\rVersion %s is available.\rDownload the update?",
                                   CurrentVersion.c_str(), ProductVersion().c_str());
  if (!Ask(offer, "Update Available")) return false;
  return DownloadAndInstall();
}

// Without a key nothing that is downloaded could be shown to be the maker's.
void TWebFileInfo::ReportWithoutInstalling() {
  Box(Format("Current version is %s.\rVersion %s is available.\rThis copy of %s cannot verify updates, so it does "
             "not download them.",
             CurrentVersion.c_str(), ProductVersion().c_str(), ApplicationTitle().c_str()),
      "Update Available", mbOK | mbIconInformation);
}

// The page is fetched in one please-wait window, and again from each
// redirect tag it gives. Each page is verified as soon as it has been read:
// one that fails leads to nothing, not even the page it redirects to.
bool TWebFileInfo::GetFileInfo() {
  if (FActive) return true;
  if (FHomeURL.empty()) {
    Box("Can not retrieve version information\rbecause no home url was provided.", "Missing Home URL", Warning);
    return false;
  }
  if (NoTags(InfoTags)) {
    Box("Can not retrieve version information\rbecause no tag information was provided.", "Missing Tag Information",
        Warning);
    return false;
  }
  const THandlerScope handler(*this);
  const auto window = CreatePleaseWait("Checking For Update...");
  std::vector<std::string> fetched{FHomeURL};
  bool read = FetchPage(FHomeURL, *window) && PageVerified();
  while (read && !FRelease.RedirectURL.empty()) {
    read = RedirectAllowed(fetched);
    if (!read) break;
    fetched.push_back(FRelease.RedirectURL);
    read = FetchPage(fetched.back(), *window) && PageVerified();
  }
  FActive = read;
  return FActive;
}

// A status other than 200 is shown as it is, and fails the fetch even
// without a reason phrase.
bool TWebFileInfo::FetchPage(const std::string& url, TDialog& window) {
  std::string page;
  const bool fetched =
      FetchText(url, window, "Update information larger than " + std::to_string(MaxInfoPageBytes) + " bytes", page);
  const int status = FHttpClient->StatusCode();
  if (status != 200 && status != 0) Box(IntToStr(status), ApplicationTitle(), mbOK);
  ClearResults();
  if (!fetched) return false;
  try {
    LoadDocument(page);
  } catch (const EUpdatePageError& e) {
    FLastError = e.Message();
    return false;
  }
  return true;
}

// A page that fails verification leaves nothing of itself. A signed release
// that goes higher than any before raises the version no later one may go
// below.
bool TWebFileInfo::PageVerified() {
  try {
    FVerified = VerifyRelease();
  } catch (const EUpdateVerifyError& e) {
    FLastError = e.Message();
    ClearResults();
    return false;
  }
  if (FVerified.Signed && VersionRaises(HighestVersion, ProductVersion())) {
    HighestVersion = ProductVersion();
    OnReleaseVerified(this, HighestVersion);
  }
  return true;
}

// A redirect tag that may not be followed fails the check, with the page's
// information gone.
bool TWebFileInfo::RedirectAllowed(const std::vector<std::string>& fetched) {
  try {
    return FollowRedirect(fetched);
  } catch (const EUpdatePageError& e) {
    FLastError = e.Message();
    ClearResults();
    return false;
  }
}

// Into memory, at most MaxInfoPageBytes; more fails the request with
// `tooLarge`.
bool TWebFileInfo::FetchText(const std::string& url, TDialog& window, const std::string& tooLarge, std::string& text) {
  FLastError.clear();
  TMemoryStream body(MaxInfoPageBytes, tooLarge);
  if (!Receive(url, body, {}, window, {-1, -1, TransferTimeLimit()})) return false;
  text.assign(body.Data().begin(), body.Data().end());
  return true;
}

// The client writes the body into `into` only for this request: it forgets
// the stream and the block handler however the request ends.
bool TWebFileInfo::Receive(const std::string& url, TStream& into, TDocDataEvent onData, TDialog& window,
                           const TTransferLimits& limits) {
  struct TUnhook {
    THttpCli& Client;
    ~TUnhook() {
      Client.ReceiveStream = nullptr;
      Client.OnDocData.Clear();
    }
  } unhook{PreparedClient(url, limits)};
  FHttpClient->ReceiveStream = &into;
  FHttpClient->OnDocData = std::move(onData);
  return StartAndWait(window);
}

// The window waits until the request ends. Closed any other way, it aborts
// the request first: the client then writes nothing more into what the
// caller is about to free, and the outcome is the abort's.
bool TWebFileInfo::StartAndWait(TDialog& window) {
  const TWaitScope waiting(*this, window);
  FRequestEnded = false;
  FRequestError = 0;
  FHttpClient->GetASync();
  window.ShowModal();
  if (!FRequestEnded) {
    FHttpClient->Abort();
    FLastError = AbortedText;
    return false;
  }
  return TransferSucceeded();
}

// Only 200 is success: a status below it is no document, and a reply without
// a status line no answer to trust.
bool TWebFileInfo::TransferSucceeded() {
  if (FRequestError != 0) return false;
  if (FHttpClient->StatusCode() == 0) {
    FLastError = "No status line in the response";
    return false;
  }
  if (FHttpClient->StatusCode() != 200) {
    FLastError = FHttpClient->ReasonPhrase();
    return false;
  }
  return true;
}

// Only the request a window waits for is answered: one aborted because its
// window was closed ends later, with nobody waiting.
void TWebFileInfo::RequestDone(TObject*, THttpRequest, uint16_t Error) {
  if (!FWaitWindow || FRequestEnded) return;
  FRequestEnded = true;
  FRequestError = Error;
  FLastError = Error ? FHttpClient->ReasonPhrase() : std::string();
  const auto* progress = dynamic_cast<const TWebDlProgress*>(FWaitWindow);
  FWaitWindow->SetModalResult(progress && progress->Cancelled() ? mrCancel : mrOk);
}

// A client whose request was aborted as its window closed ends that request
// only when its messages come round; a new client serves the next fetch.
// The home page's credentials go along to its own origin only.
THttpCli& TWebFileInfo::PreparedClient(const std::string& url, const TTransferLimits& limits) {
  if (FHttpClient && FHttpClient->State() != httpReady && !FWaitWindow) {
    delete FHttpClient;
    FHttpClient = nullptr;
  }
  if (!FHttpClient) {
    FHttpClient = new THttpCli(this);
    FHttpClient->OnRequestDone = THttpRequestDone(this, &TWebFileInfo::RequestDone);
  }
  FHttpClient->Proxy = ProxyHost;
  FHttpClient->ProxyPort = ProxyHost.empty() ? "80" : IntToStr(ProxyPort);
  if (TimeLimit.count() > 0)
    FHttpClient->ConnectTimeLimit = FHttpClient->ResponseTimeLimit = FHttpClient->HeaderTimeLimit = TimeLimit;
  FHttpClient->RequestTimeLimit = limits.Time;
  FHttpClient->ExpectedBodyLength = limits.ExactSize;
  std::string proto, user, pass, host, port, path;
  ParseURL(FHomeURL, proto, user, pass, host, port, path);
  const bool sameOrigin = !OriginOf(url).empty() && OriginOf(url) == OriginOf(FHomeURL);
  FHttpClient->Username = sameOrigin ? user : std::string();
  FHttpClient->Password = sameOrigin ? pass : std::string();
  FHttpClient->URL = url;
  return *FHttpClient;
}

std::chrono::milliseconds TWebFileInfo::TransferTimeLimit() const {
  return 4 * (TimeLimit.count() > 0 ? TimeLimit : ClientTimeLimit);
}

// The package has its signed size, and as long as that takes at the slowest
// rate allowed on top of a page's time; without a size, only the client's
// limits on silence hold.
TTransferLimits TWebFileInfo::PackageLimits() const {
  const int64_t size = FVerified.PackageSize;
  if (size < 0) return {};
  return {size, -1, TransferTimeLimit() + std::chrono::milliseconds(size * 1000 / SlowestPackageBytesPerSecond)};
}

std::unique_ptr<TPleaseWaitForm> TWebFileInfo::CreatePleaseWait(const std::string& Text) {
  return std::make_unique<TPleaseWaitForm>(Owner(), Text, UIFont);
}

std::unique_ptr<TReadMeForm> TWebFileInfo::CreateReadMe() {
  std::string text;
  {
    const auto window = CreatePleaseWait("Retrieving ReadMe...");
    if (!FetchText(ProductReadMe(), *window, "Read-me larger than " + std::to_string(MaxInfoPageBytes) + " bytes",
                   text))
      return nullptr;
  }
  return std::make_unique<TReadMeForm>(Owner(), ReadMeText(text), UIFont);
}

std::unique_ptr<TWebDlProgress> TWebFileInfo::CreateProgress() {
  return std::make_unique<TWebDlProgress>(Owner(), UIFont, PreparedClient({}, {}));
}

bool TWebFileInfo::DisplayReadMe(bool Ask) {
  if (!FActive && !GetFileInfo()) return false;
  if (ProductReadMe().empty() && ProductReadMeExt().empty()) return false;
  const std::string offer =
      Format("Current version is %s.\rVersion %s is available.\rWould you like to view the ReadMe file?",
             CurrentVersion.c_str(), ProductVersion().c_str());
  if (Ask && !::Ask(offer, "Update Available")) return false;
  if (!ProductReadMeExt().empty()) {
    std::string failure;
    if (OpenReadMeDocument(failure)) return true;
    Box(failure, "Error", Warning);
  }
  if (ProductReadMe().empty()) return true;
  if (const auto window = CreateReadMe()) window->ShowModal();
  return true;
}

// Only a kind of document is opened, only one the signed release vouches
// for, from a folder of its own and under a name of Kaleidon's, so that the
// server names neither the program the shell starts nor a file it replaces.
bool TWebFileInfo::OpenReadMeDocument(std::string& failure) {
  const std::string name = PlainFileName(ProductReadMeExt());
  if (!IsReadMeDocument(name)) {
    failure = CannotRetrieveReadMe("It is not a text, web page, RTF or PDF document");
    return false;
  }
  if (!FVerified.Signed || !FVerified.ReadMeDocument) {
    failure = CannotRetrieveReadMe("The read-me document is not signed");
    return false;
  }
  const std::string folder = NewReadMeFolder();
  if (folder.empty()) {
    failure = CannotRetrieveReadMe("No folder for it can be made");
    return false;
  }
  const std::string target = folder + "ReadMe" + LowerCaseAscii(ExtractFileExt(name));
  if (OpenVerifiedReadMe(target, failure)) return true;
  RemoveFile(target);
  RemoveEmptyDirectory(folder);
  return false;
}

// The document is held from the moment its digest is taken until the shell
// has been asked to open it.
bool TWebFileInfo::OpenVerifiedReadMe(const std::string& target, std::string& failure) {
  if (!DoDownload(ProductReadMeExt(), target, "Downloading ReadMe",
                  {-1, MaxReadMeDocumentBytes, TransferTimeLimit()})) {
    failure = CannotRetrieveReadMe(FLastError.empty() ? AbortedText : FLastError);
    return false;
  }
  MarkFromInternet(target, ProductReadMeExt(), FHomeURL);
  try {
    TLockedFile held(target);
    VerifyReadMeDocument(FVerified, DigestOf(held));
    if (ShellOpen(target, "")) return true;
    failure = ProgramNotStarted;
  } catch (const Exception& e) {
    failure = CannotRetrieveReadMe(e.Message());
  }
  return false;
}

// The package stays held until the offer to install has been answered and
// the shell has started it. Without a key nothing is launched.
bool TWebFileInfo::DownloadAndInstall() {
  std::string fileName;
  if (!ChooseSaveName(fileName)) return false;
  const bool downloaded = DownloadFile(fileName);
  const std::unique_ptr<TLockedFile> held = std::move(FHeldPackage);
  if (!downloaded) {
    Box(WithError("Error occurred while downloading update.", FLastError), "Download Error", Warning);
    return false;
  }
  if (!FOptions.Contains(wfioRunUpdate) || UpdateKey.empty()) return true;
  const bool exits = FOptions.Contains(wfioExitDuringUpdate);
  const std::string question =
      exits ? Format("Do you want to install the update now?\rThis will close %s.", ApplicationTitle().c_str())
            : std::string("Do you want to install the update now?");
  if (!Ask(question, "Install Update")) return true;
  if (!ShellOpen(FLocalFileName, RunParams())) {
    Box(ProgramNotStarted, "Error", Warning);
    return true;
  }
  if (exits && Application) Application->Terminate();
  return true;
}

// The save dialog asks before an existing file is replaced; a name that gets
// the filter's extension afterwards is asked about here.
bool TWebFileInfo::ChooseSaveName(std::string& fileName) {
  TSaveDialog dialog(Owner());
  dialog.Filter = SaveFilter;
  dialog.FilterIndex = 1;
  dialog.OverwritePrompt = true;
  dialog.PathMustExist = true;
  dialog.FileName = FDownloadFileName;
  if (!dialog.Execute()) return false;
  fileName = WithFilterExtension(dialog.FileName, dialog.FilterIndex);
  if (fileName == dialog.FileName || FOptions.Contains(wfioAlwaysOverwrite) || !FileExists(fileName)) return true;
  return Ask(Format("The file %s already exists.\rDo you want to overwrite it?", fileName.c_str()), "File Exists");
}

// The release is verified before anything is fetched, the package's SHA-256
// after; a package that fails is deleted.
bool TWebFileInfo::DownloadFile(const std::string& FileName) {
  if (!FActive && !GetFileInfo()) return false;
  FLocalFileName = !FileName.empty() && FileName.back() == '\\' ? FileName + FDownloadFileName : FileName;
  if (!Installable()) return false;
  if (!DoDownload(DownloadURL(), FLocalFileName, "Downloading Update", PackageLimits())) return false;
  return HoldVerifiedPackage();
}

bool TWebFileInfo::Installable() {
  try {
    VerifyInstallable();
    return true;
  } catch (const EUpdateVerifyError& e) {
    FLastError = e.Message();
    return false;
  }
}

// From its digest to its launch, nobody may change the file: what was
// verified is what runs.
bool TWebFileInfo::HoldVerifiedPackage() {
  MarkFromInternet(FLocalFileName, DownloadURL(), FHomeURL);
  try {
    FHeldPackage = std::make_unique<TLockedFile>(FLocalFileName);
    if (FVerified.Package) VerifyPackage(FVerified, DigestOf(*FHeldPackage));
    return true;
  } catch (const Exception& e) {
    FLastError = e.Message();
    FHeldPackage.reset();
    RemoveFile(FLocalFileName);
    return false;
  }
}

bool TWebFileInfo::DoDownload(const std::string& URL, const std::string& FileName, const std::string& Caption,
                              const TTransferLimits& limits) {
  FLastError.clear();
  FDownloadCap = limits.MaxSize;
  const auto progress = CreateProgress();
  progress->lblDownloading->SetText(Caption);
  bool complete = false;
  {
    std::unique_ptr<TFileStream> file;
    try {
      file = std::make_unique<TFileStream>(FileName);
    } catch (const EFCreateError& e) {
      FLastError = e.Message();
      return false;
    }
    complete = Receive(URL, *file, TDocDataEvent(this, &TWebFileInfo::HttpCliDocData), *progress, limits);
  }
  if (!complete) RemoveFile(FileName);
  return complete;
}

// A block of the body, before the client writes it to the file: one that
// would take the file past its largest size ends the request.
void TWebFileInfo::HttpCliDocData(TObject*, const void*, int) {
  const int64_t received = FHttpClient->ReceivedBytes();
  if (FDownloadCap >= 0 && received > FDownloadCap)
    throw EWriteError(Format("Document larger than %lld bytes", (long long)FDownloadCap));
  DoDownloadProgress(received, std::max<int64_t>(FHttpClient->BodyLength(), 0));
}

// wfioDisplayUI is always set: the progress window always shows.
void TWebFileInfo::DoDownloadProgress(int64_t BytesReceived, int64_t FileSize) {
  DownloadProgress(this, BytesReceived, FileSize);
  OnDownloadProgress(this, BytesReceived, FileSize);
}

void TWebFileInfo::DownloadProgress(TObject*, int64_t BytesReceived, int64_t FileSize) {
  if (auto* progress = dynamic_cast<TWebDlProgress*>(FWaitWindow)) progress->ShowProgress(BytesReceived, FileSize);
}

void TWebFileInfo::SetExceptionHandler() {
  if (FInstalled || !Application) return;
  FSavedExceptionHandler = Application->OnException;
  FBelow = FInstalledTop;
  FInstalledTop = this;
  FInstalled = true;
  Application->OnException = TExceptionEvent(this, &TWebFileInfo::WfiException);
}

// The top of the chain gives the application back the handler it replaced;
// one further down hands its own to the checker above it, which replaced it.
void TWebFileInfo::ClearExceptionHandler() {
  if (!FInstalled) return;
  FInstalled = false;
  if (FInstalledTop == this) {
    FInstalledTop = FBelow;
    if (Application) Application->OnException = FSavedExceptionHandler;
  } else {
    TWebFileInfo* above = FInstalledTop;
    while (above->FBelow != this) above = above->FBelow;
    above->FBelow = FBelow;
    above->FSavedExceptionHandler = FSavedExceptionHandler;
  }
  FBelow = nullptr;
  FSavedExceptionHandler.Clear();
}

// An error that nobody else handles is shown as the application would,
// rather than dropped.
void TWebFileInfo::WfiException(TObject* Sender, const std::exception& E) {
  if (dynamic_cast<const EHttpException*>(&E)) {
    FLastError = E.what();
    if (FWaitWindow) FWaitWindow->SetModalResult(mrCancel);
    ClearExceptionHandler();
    Box(Format("Error retrieving update information.\rException: %s.", E.what()), "Exception", Warning);
    return;
  }
  if (FSavedExceptionHandler.Assigned())
    FSavedExceptionHandler(Sender, E);
  else if (Application)
    Application->ShowException(E);
}
