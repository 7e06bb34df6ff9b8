// The update checker component: its properties, the reading of pages and
// the decision on an offered package.

#include "update/Webfileinfo.h"

#include <gtest/gtest.h>

#include "SigningData.h"
#include "framework/Application.h"
#include "framework/MessageBox.h"
#include "framework/UserHooks.h"
#include "update/UpdateSettings.h"

namespace {

std::string Meta(const std::string& name, const std::string& value) {
  return "<META HTTP-EQUIV=\"" + name + "\" CONTENT=\"" + value + "\">\r\n";
}

// The reason VerifyInstallable gives, or "passed".
std::string Outcome(const TWebFileInfo& info) {
  try {
    info.VerifyInstallable();
    return "passed";
  } catch (const EUpdateVerifyError& e) {
    return e.Message();
  }
}

}  // namespace

TEST(WebFileInfo_Create, Defaults) {
  TWebFileInfo info(nullptr);
  EXPECT_FALSE(info.Active());
  EXPECT_EQ(info.Options().Value(), 30);
  EXPECT_EQ(info.DateFormat, wfidDFSDate);
  EXPECT_EQ(info.VersionFormat, wfivBuildNumber);
  EXPECT_EQ(info.ProxyHost, "");
  EXPECT_EQ(info.ProxyPort, 80);
  EXPECT_EQ(info.HomeURL(), "");
  EXPECT_EQ(info.InfoTags.VersionTag, "");
  EXPECT_EQ(info.UpdateKey, BuiltInUpdateKey());
  EXPECT_EQ(info.Verify, BuiltInUpdateKey().empty() ? uvWhenPresent : uvRequired);
}

TEST(WebFileInfo_SetOptions, DisplayUIIsAlwaysAdded) {
  TWebFileInfo info(nullptr);
  info.SetOptions({});
  EXPECT_EQ(info.Options().Value(), 2);
  info.SetOptions({wfioAlwaysOverwrite, wfioRunUpdate});
  EXPECT_EQ(info.Options(), TWfiOptions({wfioAlwaysOverwrite, wfioDisplayUI, wfioRunUpdate}));
  EXPECT_TRUE(info.Options().Contains(wfioDisplayUI));
  EXPECT_FALSE(info.Options().Contains(wfioExitDuringUpdate));
}

TEST(WebFileInfo_SetURL, OnlyHttpAddressesAreTaken) {
  TWebFileInfo info(nullptr);
  info.SetURL("HTTP://host/");
  EXPECT_EQ(info.HomeURL(), "HTTP://host/");
  info.SetURL("ftp://host/");
  info.SetURL("www.host");
  info.SetURL("http:/");
  EXPECT_EQ(info.HomeURL(), "HTTP://host/");
}

TEST(WebFileInfo_SetActive, TrueIsIgnored) {
  TWebFileInfo info(nullptr);
  info.SetActive(true);
  EXPECT_FALSE(info.Active());
}

TEST(WebFileInfo_LoadDocument, ReadsThePageAndTheDownloadFileName) {
  TWebFileInfo info(nullptr);
  info.InfoTags = ProductPageTags();
  info.LoadDocument(Meta("KDNVersion", "1.0.2.0") + Meta("KDNDownload", "http://host/get/Setup.exe?from=page") +
                    Meta("KDNDate", "Mar 3, 2026") + Meta("AuthorEmail", "a@b.example"));
  EXPECT_EQ(info.ProductVersion(), "1.0.2.0");
  EXPECT_EQ(info.DownloadURL(), "http://host/get/Setup.exe?from=page");
  EXPECT_EQ(info.DownloadFileName(), "Setup.exe");
  EXPECT_EQ(info.ProductAuthorEMail(), "a@b.example");
  TDateTime march3 = 0;
  ASSERT_TRUE(TryEncodeDate(2026, 3, 3, march3));
  EXPECT_EQ(info.ProductDate(), march3);
}

TEST(WebFileInfo_LoadDocument, PageBeyondOneMebibyteIsRejected) {
  TWebFileInfo info(nullptr);
  info.InfoTags = ProductPageTags();
  EXPECT_NO_THROW(info.LoadDocument(std::string(MaxInfoPageBytes, ' ')));
  EXPECT_THROW(info.LoadDocument(std::string(MaxInfoPageBytes + 1, ' ')), EUpdatePageError);
}

TEST(WebFileInfo_ClearResults, SecondPageReplacesTheFirst) {
  TWebFileInfo info(nullptr);
  info.InfoTags = ProductPageTags();
  info.LoadDocument(Meta("KDNRedirect", "http://second/") + Meta("KDNName", "First") +
                    Meta("KDNDownload", "http://first/a.exe"));
  EXPECT_EQ(info.RedirectURL(), "http://second/");
  info.ClearResults();
  info.LoadDocument(Meta("KDNVersion", "2.0"));
  EXPECT_EQ(info.ProductName(), "");
  EXPECT_EQ(info.RedirectURL(), "");
  EXPECT_EQ(info.DownloadFileName(), "");
  EXPECT_EQ(info.ProductVersion(), "2.0");
}

TEST(WebFileInfo_IsUpdateAvailable, ComparesWithTheFormat) {
  TWebFileInfo info(nullptr);
  info.InfoTags = ProductPageTags();
  info.CurrentVersion = "1.9";
  TStringList lines;
  lines.Add("<META HTTP-EQUIV=\"KDNVersion\" CONTENT=\"1.10\">");
  info.ParseDocument(lines);
  EXPECT_TRUE(info.IsUpdateAvailable());
  info.VersionFormat = wfivSimpleString;
  EXPECT_FALSE(info.IsUpdateAvailable());
}

TEST(WebFileInfo_IsUpdateAvailable, PageWithoutTagsGivesNoUpdateForAReleasedProgram) {
  TWebFileInfo info(nullptr);
  info.InfoTags = ProductPageTags();
  info.CurrentVersion = "1.0.0.1";
  info.LoadDocument("<HTML></HTML>");
  EXPECT_FALSE(info.IsUpdateAvailable());
}

TEST(WebFileInfo_FollowRedirect, AtMostFiveHopsAndNeverBack) {
  TWebFileInfo info(nullptr);
  info.InfoTags = ProductPageTags();
  EXPECT_FALSE(info.FollowRedirect({"http://home/"}));
  info.LoadDocument(Meta("KDNRedirect", "http://next/"));
  EXPECT_TRUE(info.FollowRedirect({"http://home/"}));
  EXPECT_TRUE(info.FollowRedirect({"http://home/", "http://1/", "http://2/", "http://3/", "http://4/"}));
  EXPECT_THROW(info.FollowRedirect({"http://home/", "http://1/", "http://2/", "http://3/", "http://4/", "http://5/"}),
               EUpdatePageError);
  EXPECT_THROW(info.FollowRedirect({"http://home/", "http://next/"}), EUpdatePageError);
  info.ClearResults();
  info.LoadDocument(Meta("KDNRedirect", "file:///c:/windows/"));
  EXPECT_THROW(info.FollowRedirect({"http://home/"}), EUpdatePageError);
}

TEST(WebFileInfo_VerifyInstallable, VersionsOnlyGoUp) {
  TWebFileInfo info(nullptr);
  info.InfoTags = ProductPageTags();
  info.Verify = uvNone;
  info.CurrentVersion = "1.0.0.1";
  info.LoadDocument(Meta("KDNVersion", "2.x"));
  ASSERT_TRUE(info.IsUpdateAvailable());  // the page's own comparison says newer
  EXPECT_EQ(Outcome(info), "Version 2.x is not newer than 1.0.0.1");
  info.ClearResults();
  info.LoadDocument(Meta("KDNVersion", "1.0.0.2"));
  EXPECT_EQ(Outcome(info), "passed");
}

TEST(WebFileInfo_VerifyInstallable, SignedReleaseOnlyWhileItVerifiesAndGoesUp) {
  TWebFileInfo info(nullptr);
  info.InfoTags = ProductPageTags();
  info.CurrentVersion = "1.0.0.1";
  info.Verify = uvRequired;
  info.UpdateKey = PublicKey("public.txt");
  info.LoadDocument(SigningFile("release.html"));
  EXPECT_EQ(info.DownloadFileName(), "Kaleidon-Setup.exe");
  EXPECT_TRUE(info.VerifyRelease().Signed);
  EXPECT_EQ(Outcome(info), "passed");
  info.UpdateKey = PublicKey("other-public.txt");
  EXPECT_EQ(Outcome(info), "The update's signature does not match");
  info.UpdateKey = PublicKey("public.txt");
  info.CurrentVersion = "1.0.1.0";  // a signed release is not installed twice
  EXPECT_EQ(Outcome(info), "Version 1.0.1.0 is not newer than 1.0.1.0");
}

TEST(WebFileInfo_WithFilterExtension, FilterExtensionOnlyForANameWithoutOne) {
  EXPECT_EQ(WithFilterExtension("C:\\Downloads\\Setup", 1), "C:\\Downloads\\Setup.EXE");
  EXPECT_EQ(WithFilterExtension("C:\\Downloads\\Setup", 2), "C:\\Downloads\\Setup.ZIP");
  EXPECT_EQ(WithFilterExtension("C:\\Downloads\\Setup", 3), "C:\\Downloads\\Setup");
  EXPECT_EQ(WithFilterExtension("C:\\Downloads\\Setup.msi", 1), "C:\\Downloads\\Setup.msi");
  EXPECT_EQ(WithFilterExtension("C:\\My.Downloads\\Setup", 2), "C:\\My.Downloads\\Setup.ZIP");
}

namespace {

// The application's handler as it stands: who answers an error.
std::string Handler(TApplication& application) {
  std::string answered = "the application";
  const TExceptionEvent saved = application.OnException;
  TUserHooksScope box({.MessageBox = [&](const std::string& text, const std::string& caption, unsigned) {
    answered = caption == "Exception" ? "a checker" : "the application: " + text;
    return idOK;
  }});
  application.HandleException(EHttpException("HTTP component is busy", httperrBusy));
  return answered;
}

}  // namespace

TEST(WebFileInfo_SetExceptionHandler, InstalledTwiceItRestoresTheOneItReplaced) {
  TApplication application;
  bool own = false;
  application.OnException = TExceptionEvent([&](TObject*, const std::exception&) { own = true; });
  TWebFileInfo info(nullptr);
  info.SetExceptionHandler();
  info.SetExceptionHandler();
  info.ClearExceptionHandler();
  application.HandleException(Exception("x"));
  EXPECT_TRUE(own);
}

TEST(WebFileInfo_ClearExceptionHandler, TwoCheckersClearedInEitherOrderLeaveNoHandlerBehind) {
  TApplication application;
  for (const bool firstClearsFirst : {true, false}) {
    auto first = std::make_unique<TWebFileInfo>(nullptr);
    auto second = std::make_unique<TWebFileInfo>(nullptr);
    first->SetExceptionHandler();
    second->SetExceptionHandler();
    (firstClearsFirst ? first : second).reset();
    EXPECT_EQ(Handler(application), "a checker");
    (firstClearsFirst ? second : first).reset();
    EXPECT_EQ(Handler(application), "the application: HTTP component is busy");
    EXPECT_FALSE(application.OnException.Assigned());
  }
}

TEST(WebFileInfo_WfiException, HttpErrorIsShownOnceAndOthersGoToTheHandlerReplaced) {
  TApplication application;
  application.Title = "Kaleidon";
  std::vector<std::string> shown;
  TUserHooksScope box({.MessageBox = [&](const std::string& text, const std::string& caption, unsigned) {
    shown.push_back(caption + ": " + text);
    return idOK;
  }});
  TWebFileInfo info(nullptr);
  info.SetExceptionHandler();
  application.HandleException(Exception("Cannot change the wallpaper"));
  application.HandleException(EHttpException("HTTP component is busy", httperrBusy));
  application.HandleException(EHttpException("HTTP component is busy", httperrBusy));
  EXPECT_EQ(shown, (std::vector<std::string>{
                       "Kaleidon: Cannot change the wallpaper",
                       "Exception: Error retrieving update information.\rException: HTTP component is busy.",
                       "Kaleidon: HTTP component is busy"}));
  EXPECT_EQ(info.LastError(), "HTTP component is busy");
}
