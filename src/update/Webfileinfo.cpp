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
#include "update/UpdateSettings.h"

namespace {

constexpr char AbortedText[] = "Connection aborted on request";
constexpr char ProgramNotStarted[] = "Can not start program.";
constexpr unsigned Warning = mbOK | mbIconExclamation;
constexpr unsigned Question = mbYesNo | mbIconQuestion;
// Folders tried for one read-me document under the temporary folder.
constexpr int ReadMeFolderTries = 100;

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
  for (const std::string* name : {&tags.AuthorTag, &tags.DateTag, &tags.DownloadTag, &tags.ProductNameTag,
                                  &tags.ReadMeTag, &tags.ReadMeExtTag, &tags.RedirectTag, &tags.RunParamsTag,
                                  &tags.VersionTag})
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
    Box(WithError("Could not retrieve version information from the Internet.", FLastError),
                   "Connection Error", Warning);
    return false;
  }
  if (!IsUpdateAvailable()) {
    Box("There is no update available.", "No Update Found", mbOK | mbIconInformation);
    return false;
  }
  if (FOptions.Contains(wfioDisplayReadMe)) DisplayReadMe(true);
  const std::string offer = Format("Current version is %s.\rVersion %s is available.\rDownload the update?",
                                   CurrentVersion.c_str(), ProductVersion().c_str());
  if (!Ask(offer, "Update Available")) return false;
  return DownloadAndInstall();
}

// The page is fetched in one please-wait window, and again from each
// redirect tag it gives.
bool TWebFileInfo::GetFileInfo() {
  if (FActive) return true;
  if (FHomeURL.empty()) {
    Box("Can not retrieve version information\rbecause no home url was provided.", "Missing Home URL",
                   Warning);
    return false;
  }
  if (NoTags(InfoTags)) {
    Box("Can not retrieve version information\rbecause no tag information was provided.",
                   "Missing Tag Information", Warning);
    return false;
  }
  const THandlerScope handler(*this);
  const auto window = CreatePleaseWait("Checking For Update...");
  std::vector<std::string> fetched{FHomeURL};
  bool read = FetchPage(FHomeURL, *window);
  while (read && !FRelease.RedirectURL.empty()) {
    read = RedirectAllowed(fetched);
    if (!read) break;
    fetched.push_back(FRelease.RedirectURL);
    read = FetchPage(fetched.back(), *window);
  }
  FActive = read;
  return FActive;
}

// A status above 200 is shown as it is, and fails the fetch even without a
// reason phrase.
bool TWebFileInfo::FetchPage(const std::string& url, TDialog& window) {
  std::string page;
  const bool fetched =
      FetchText(url, window, "Update information larger than " + std::to_string(MaxInfoPageBytes) + " bytes", page);
  if (FHttpClient->StatusCode() > 200) Box(IntToStr(FHttpClient->StatusCode()), ApplicationTitle(), mbOK);
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
bool TWebFileInfo::FetchText(const std::string& url, TDialog& window, const std::string& tooLarge,
                             std::string& text) {
  FLastError.clear();
  PreparedClient();
  TMemoryStream body(MaxInfoPageBytes, tooLarge);
  if (!Receive(url, body, {}, window)) return false;
  text.assign(body.Data().begin(), body.Data().end());
  return true;
}

// The client writes the body into `into` only for this request: it forgets
// the stream and the block handler however the request ends.
bool TWebFileInfo::Receive(const std::string& url, TStream& into, TDocDataEvent onData, TDialog& window) {
  struct TUnhook {
    THttpCli& Client;
    ~TUnhook() {
      Client.ReceiveStream = nullptr;
      Client.OnDocData.Clear();
    }
  } unhook{*FHttpClient};
  FHttpClient->ReceiveStream = &into;
  FHttpClient->OnDocData = std::move(onData);
  FHttpClient->URL = url;
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

bool TWebFileInfo::TransferSucceeded() {
  if (FHttpClient->StatusCode() > 200) {
    FLastError = FHttpClient->ReasonPhrase();
    return false;
  }
  return FRequestError == 0;
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
THttpCli& TWebFileInfo::PreparedClient() {
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
  return *FHttpClient;
}

std::unique_ptr<TPleaseWaitForm> TWebFileInfo::CreatePleaseWait(const std::string& Text) {
  return std::make_unique<TPleaseWaitForm>(Owner(), Text, UIFont);
}

std::unique_ptr<TReadMeForm> TWebFileInfo::CreateReadMe() {
  std::string text;
  {
    const auto window = CreatePleaseWait("Retrieving ReadMe...");
    if (!FetchText(ProductReadMe(), *window, "Read-me larger than " + std::to_string(MaxInfoPageBytes) + " bytes", text))
      return nullptr;
  }
  return std::make_unique<TReadMeForm>(Owner(), text, UIFont);
}

std::unique_ptr<TWebDlProgress> TWebFileInfo::CreateProgress() {
  return std::make_unique<TWebDlProgress>(Owner(), UIFont, PreparedClient());
}

bool TWebFileInfo::DisplayReadMe(bool Ask) {
  if (!FActive && !GetFileInfo()) return false;
  if (ProductReadMe().empty() && ProductReadMeExt().empty()) return false;
  const std::string offer = Format("Current version is %s.\rVersion %s is available.\rWould you like to view the ReadMe file?",
                                   CurrentVersion.c_str(), ProductVersion().c_str());
  if (Ask && !::Ask(offer, "Update Available")) return false;
  if (!ProductReadMeExt().empty()) {
    if (OpenReadMeDocument()) return true;
    Box(ProgramNotStarted, "Error", Warning);
  }
  if (ProductReadMe().empty()) return true;
  if (const auto window = CreateReadMe()) window->ShowModal();
  return true;
}

// Only a document is opened, and only from a folder of its own, so that the
// server names neither the program the shell starts nor a file it replaces.
bool TWebFileInfo::OpenReadMeDocument() {
  const std::string name = PlainFileName(ProductReadMeExt());
  if (!IsReadMeDocument(name)) return false;
  const std::string folder = NewReadMeFolder();
  if (folder.empty()) return false;
  const std::string target = folder + name;
  if (DoDownload(ProductReadMeExt(), target, "Downloading ReadMe") && ShellOpen(target, "")) return true;
  RemoveFile(target);
  RemoveEmptyDirectory(folder);
  return false;
}

bool TWebFileInfo::DownloadAndInstall() {
  std::string fileName;
  if (!ChooseSaveName(fileName)) return false;
  if (!DownloadFile(fileName)) {
    Box(WithError("Error occurred while downloading update.", FLastError), "Download Error", Warning);
    return false;
  }
  if (!FOptions.Contains(wfioRunUpdate)) return true;
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
  bool hashed = false;
  try {
    hashed = VerifyRelease();
  } catch (const EUpdateVerifyError& e) {
    FLastError = e.Message();
    return false;
  }
  FPackageHash = hashed ? std::make_unique<TSha256>() : nullptr;
  const bool downloaded = DoDownload(DownloadURL(), FLocalFileName, "Downloading Update");
  return downloaded && PackageVerified(hashed);
}

bool TWebFileInfo::PackageVerified(bool hashed) {
  if (!hashed) return true;
  const std::unique_ptr<TSha256> hash = std::move(FPackageHash);
  try {
    VerifyPackage(hash->Final());
    return true;
  } catch (const EUpdateVerifyError& e) {
    FLastError = e.Message();
    RemoveFile(FLocalFileName);
    return false;
  }
}

bool TWebFileInfo::DoDownload(const std::string& URL, const std::string& FileName, const std::string& Caption) {
  FLastError.clear();
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
    complete = Receive(URL, *file, TDocDataEvent(this, &TWebFileInfo::HttpCliDocData), *progress);
  }
  if (!complete) RemoveFile(FileName);
  return complete;
}

// A block of the body, before the client writes it to the file.
void TWebFileInfo::HttpCliDocData(TObject*, const void* Buffer, int Len) {
  DoDownloadProgress(FHttpClient->ReceivedBytes(), std::max<int64_t>(FHttpClient->BodyLength(), 0));
  if (FPackageHash) FPackageHash->Update(std::span(static_cast<const uint8_t*>(Buffer), size_t(Len)));
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
