// The information page parser, dates, versions and file names.

#include "update/UpdatePage.h"

#include <gtest/gtest.h>

namespace {

TWfiRelease Parse(std::string_view page, TWfiTags tags = ProductPageTags()) {
  TWfiRelease release;
  ParsePage(page, size_t{1} << 20, tags, wfidDFSDate, release);
  return release;
}

TDateTime Date(int year, int month, int day) {
  TDateTime date = -1;
  EXPECT_TRUE(TryEncodeDate(year, month, day, date));
  return date;
}

constexpr char FullPage[] =
    "<HTML><HEAD>\r\n"
    "<META HTTP-EQUIV=\"KDNName\" CONTENT=\"Kaleidon\">\r\n"
    "<META HTTP-EQUIV=\"Author\" CONTENT=\"Trellwick\">\n"
    "<META HTTP-EQUIV=\"AuthorEmail\" CONTENT=\"info@trellwick.example\">\r"
    "<META HTTP-EQUIV=\"KDNDate\" CONTENT=\"Jan 15, 1999\">\r\n"
    "<META HTTP-EQUIV=\"KDNDownload\" CONTENT=\"http://host/files/Setup.exe\">\r\n"
    "<META HTTP-EQUIV=\"KDNReadme\" CONTENT=\"http://host/readme.txt\">\r\n"
    "<META HTTP-EQUIV=\"KDNReadmeExt\" CONTENT=\"http://host/ReadMe.rtf\">\r\n"
    "<META HTTP-EQUIV=\"KDNRun\" CONTENT=\"/S\">\r\n"
    "<META HTTP-EQUIV=\"KDNVersion\" CONTENT=\"1.0.2.0\">\r\n"
    "<META HTTP-EQUIV=\"KDNSHA256\" CONTENT=\"00ff\">\r\n"
    "<META HTTP-EQUIV=\"KDNSignature\" CONTENT=\"c2ln\">\r\n"
    "</HEAD></HTML>";

}  // namespace

TEST(UpdatePage_ProductPageTags, NamesOfTheProductsPage) {
  const TWfiTags tags = ProductPageTags();
  EXPECT_EQ(tags.AuthorTag, "Author");
  EXPECT_EQ(tags.AuthorEMailTag, "AuthorEmail");
  EXPECT_EQ(tags.DateTag, "KDNDate");
  EXPECT_EQ(tags.DownloadTag, "KDNDownload");
  EXPECT_EQ(tags.ProductNameTag, "KDNName");
  EXPECT_EQ(tags.ReadMeTag, "KDNReadme");
  EXPECT_EQ(tags.ReadMeExtTag, "KDNReadmeExt");
  EXPECT_EQ(tags.RedirectTag, "KDNRedirect");
  EXPECT_EQ(tags.RunParamsTag, "KDNRun");
  EXPECT_EQ(tags.VersionTag, "KDNVersion");
}

TEST(UpdatePage_ParsePage, FillsEveryPropertyFromItsTag) {
  const TWfiRelease r = Parse(FullPage);
  EXPECT_EQ(r.ProductName, "Kaleidon");
  EXPECT_EQ(r.ProductAuthor, "Trellwick");
  EXPECT_EQ(r.ProductAuthorEMail, "info@trellwick.example");
  EXPECT_EQ(r.ProductDateStr, "Jan 15, 1999");
  EXPECT_EQ(r.ProductDate, 36175);
  EXPECT_EQ(r.DownloadURL, "http://host/files/Setup.exe");
  EXPECT_EQ(r.ProductReadMe, "http://host/readme.txt");
  EXPECT_EQ(r.ProductReadMeExt, "http://host/ReadMe.rtf");
  EXPECT_EQ(r.RunParams, "/S");
  EXPECT_EQ(r.ProductVersion, "1.0.2.0");
  EXPECT_EQ(r.RedirectURL, "");
  EXPECT_EQ(r.ProductSHA256, "00ff");
  EXPECT_EQ(r.ProductSignature, "c2ln");
}

TEST(UpdatePage_ParseDocument, LinesOfAListAndTheDate) {
  TStringList lines;
  lines.Add("<meta http-equiv=\"KDNDate\" CONTENT=\"Jan 15, 1999\">");
  lines.Add("<META HTTP-EQUIV=\"KDNReadme\" CONTENT=\"http://host/readme.txt\">");
  TWfiRelease r;
  ParseDocument(lines, ProductPageTags(), wfidDFSDate, r);
  EXPECT_EQ(r.ProductDate, 36175);
  EXPECT_EQ(r.ProductReadMe, "http://host/readme.txt");
}

TEST(UpdatePage_ParsePage, PageWithoutMetaLinesLeavesEverythingEmpty) {
  const TWfiRelease r = Parse("<HTML><BODY>No news.</BODY></HTML>\r\n");
  EXPECT_EQ(r.ProductVersion, "");
  EXPECT_EQ(r.DownloadURL, "");
  EXPECT_EQ(r.ProductDate, 0);
}

TEST(UpdatePage_ParsePage, PageBeyondItsLimitIsRejected) {
  const std::string page(101, 'x');
  TWfiRelease r;
  EXPECT_NO_THROW(ParsePage(std::string_view(page).substr(0, 100), 100, ProductPageTags(), wfidDFSDate, r));
  try {
    ParsePage(page, 100, ProductPageTags(), wfidDFSDate, r);
    FAIL() << "no exception";
  } catch (const EUpdatePageError& e) {
    EXPECT_EQ(e.Message(), "Update information larger than 100 bytes");
  }
}

TEST(UpdatePage_ParsePage, UnreadableDateGivesZeroAndTheRestIsRead) {
  const TWfiRelease r = Parse(
      "<META HTTP-EQUIV=\"KDNDate\" CONTENT=\"Smarch 40, 1999\">\n"
      "<META HTTP-EQUIV=\"KDNVersion\" CONTENT=\"2.0\">\n");
  EXPECT_EQ(r.ProductDateStr, "Smarch 40, 1999");
  EXPECT_EQ(r.ProductDate, 0);
  EXPECT_EQ(r.ProductVersion, "2.0");
}

TEST(UpdatePage_ParseMetaLine, MetaWordsInAnyCaseButContentInCapitals) {
  TWfiRelease r;
  ParseMetaLine("<meta http-equiv=\"KDNVersion\" CONTENT=\"1.1\">", ProductPageTags(), r);
  EXPECT_EQ(r.ProductVersion, "1.1");
  // A lower-case content attribute: the value is read from the ninth character.
  ParseMetaLine("<meta http-equiv=\"KDNVersion\" content=\"1.2\">", ProductPageTags(), r);
  EXPECT_EQ(r.ProductVersion, "tp-equiv=");
}

TEST(UpdatePage_ParseMetaLine, NamesMatchCaseSensitively) {
  TWfiRelease r;
  ParseMetaLine("<META HTTP-EQUIV=\"kdnversion\" CONTENT=\"9.9\">", ProductPageTags(), r);
  EXPECT_EQ(r.ProductVersion, "");
}

TEST(UpdatePage_ParseMetaLine, OnlyTheFirstMetaOfALineCounts) {
  TWfiRelease r;
  ParseMetaLine("<META HTTP-EQUIV=\"KDNName\" CONTENT=\"A\"><META HTTP-EQUIV=\"KDNVersion\" CONTENT=\"2\">",
                ProductPageTags(), r);
  EXPECT_EQ(r.ProductName, "A");
  EXPECT_EQ(r.ProductVersion, "");
}

TEST(UpdatePage_ParseMetaLine, TagsOfOneNameAreAllFilledAndLaterLinesWin) {
  TWfiTags tags = ProductPageTags();
  tags.ProductNameTag = "KDNVersion";
  TWfiRelease r;
  ParseMetaLine("<META HTTP-EQUIV=\"KDNVersion\" CONTENT=\"1\">", tags, r);
  ParseMetaLine("<META HTTP-EQUIV=\"KDNVersion\" CONTENT=\"2\">", tags, r);
  EXPECT_EQ(r.ProductVersion, "2");
  EXPECT_EQ(r.ProductName, "2");
}

TEST(UpdatePage_ParseMetaLine, EmptyTagNamesNothing) {
  TWfiTags tags;
  tags.VersionTag = "KDNVersion";
  TWfiRelease r;
  ParseMetaLine("<META HTTP-EQUIV=\"\" CONTENT=\"http://elsewhere/\">", tags, r);
  ParseMetaLine("<META HTTP-EQUIV=\"unterminated CONTENT=x", tags, r);
  EXPECT_EQ(r.RedirectURL, "");
  EXPECT_EQ(r.ProductAuthorEMail, "");
}

TEST(UpdatePage_ParseMetaLine, NameEndsWithinAThousandCharacters) {
  TWfiTags tags;
  tags.VersionTag = std::string(999, 'N');
  TWfiRelease r;
  ParseMetaLine("<META HTTP-EQUIV=\"" + tags.VersionTag + "\" CONTENT=\"1\">", tags, r);
  EXPECT_EQ(r.ProductVersion, "1");
  tags.VersionTag += 'N';
  r = {};
  ParseMetaLine("<META HTTP-EQUIV=\"" + tags.VersionTag + "\" CONTENT=\"1\">", tags, r);
  EXPECT_EQ(r.ProductVersion, "");
}

TEST(UpdatePage_ExtractContent, ValueEndsAtItsQuoteWithinAThousandCharacters) {
  EXPECT_EQ(ExtractContent("<META HTTP-EQUIV=\"x\" CONTENT=\"value\">"), "value");
  EXPECT_EQ(ExtractContent("CONTENT=\"" + std::string(999, 'v') + "\""), std::string(999, 'v'));
  EXPECT_EQ(ExtractContent("CONTENT=\"" + std::string(1000, 'v') + "\""), "");
  EXPECT_EQ(ExtractContent("CONTENT=\"no quote"), "");
  EXPECT_EQ(ExtractContent("CONTENT="), "");
}

TEST(UpdatePage_ExtractContent, WithoutContentReadsFromTheNinthCharacter) {
  EXPECT_EQ(ExtractContent("12345678abc\"def"), "abc");
  EXPECT_EQ(ExtractContent("short"), "");
}

TEST(UpdatePage_ConvertProductDate, MonthNameDayAndYear) {
  EXPECT_EQ(ConvertProductDate("Jan 15, 1999", wfidDFSDate), Date(1999, 1, 15));
  EXPECT_EQ(ConvertProductDate("jan 15, 1999", wfidDFSDate), Date(1999, 1, 15));
  EXPECT_EQ(ConvertProductDate("Sept 5, 1999", wfidDFSDate), Date(1999, 9, 5));
  EXPECT_EQ(ConvertProductDate("Dec 31, 2099", wfidDFSDate), Date(2099, 12, 31));
  EXPECT_EQ(ConvertProductDate("Feb 29, 2000", wfidDFSDate), Date(2000, 2, 29));
  EXPECT_EQ(Date(1899, 12, 30), 0);
  EXPECT_EQ(Date(1999, 1, 15), 36175);
}

TEST(UpdatePage_ConvertProductDate, WhatGivesNoDateIsZero) {
  for (const char* text : {"Feb 29, 1900", "Feb 30, 1999", "Xyz 15, 1999", "Jan 15 1999", "Jan 1x, 1999",
                           "Jan 15, 19x9", "Jan 00, 1999", "", ",", "J,", "Jan 15, 0000", "Jan -1, 1999"})
    EXPECT_EQ(ConvertProductDate(text, wfidDFSDate), 0) << text;
  EXPECT_EQ(ConvertProductDate("Jan 15, 1999", wfidNone), 0);
}

TEST(UpdatePage_IsVersionNewer, BuildNumbersComparedPartByPart) {
  EXPECT_TRUE(IsVersionNewer("1.0.1.108", "1.0.2.0", wfivBuildNumber));
  EXPECT_FALSE(IsVersionNewer("1.0.1.108", "1.0.1.108", wfivBuildNumber));
  EXPECT_TRUE(IsVersionNewer("1.2", "1.2.1", wfivBuildNumber));
  EXPECT_TRUE(IsVersionNewer("1.2.1", "1.3", wfivBuildNumber));
  EXPECT_TRUE(IsVersionNewer("1.9", "1.10", wfivBuildNumber));
  EXPECT_FALSE(IsVersionNewer("2.0", "1.10", wfivBuildNumber));
}

TEST(UpdatePage_IsVersionNewer, TextThatIsNoNumberCountsAsZero) {
  EXPECT_FALSE(IsVersionNewer("1.0", "", wfivBuildNumber));
  EXPECT_TRUE(IsVersionNewer("1.x", "1.1", wfivBuildNumber));
  EXPECT_FALSE(IsVersionNewer("1.1", "1.99999999999", wfivBuildNumber));
  EXPECT_FALSE(IsVersionNewer("", "", wfivBuildNumber));
}

TEST(UpdatePage_IsVersionNewer, MissingPartsCountAsZero) {
  EXPECT_FALSE(IsVersionNewer("1.0.0.1", "1", wfivBuildNumber));
  EXPECT_FALSE(IsVersionNewer("1.2.0.0", "1.2", wfivBuildNumber));
  EXPECT_FALSE(IsVersionNewer("1.2", "1.2.0.0", wfivBuildNumber));
  EXPECT_TRUE(IsVersionNewer("1.2.0.0", "1.2.0.0.1", wfivBuildNumber));
}

TEST(UpdatePage_IsVersionNewer, SimpleStringsComparedByteByByte) {
  EXPECT_FALSE(IsVersionNewer("1.9", "1.10", wfivSimpleString));
  EXPECT_TRUE(IsVersionNewer("1.9", "2.0", wfivSimpleString));
  EXPECT_TRUE(IsVersionNewer("1.9", "1.9\xE9", wfivSimpleString));
  EXPECT_FALSE(IsVersionNewer("1.9", "1.9", wfivSimpleString));
}

TEST(UpdatePage_VersionGoesUp, OnlyAGreaterVersionOfNumbers) {
  EXPECT_TRUE(VersionGoesUp("1.0.0.1", "1.0.0.2"));
  EXPECT_TRUE(VersionGoesUp("1.9", "1.10"));
  EXPECT_TRUE(VersionGoesUp("1.0", "1.0.0.1"));
  EXPECT_FALSE(VersionGoesUp("1.0.0.1", "1"));
  EXPECT_FALSE(VersionGoesUp("1.0", "1.0.0.0"));
  EXPECT_FALSE(VersionGoesUp("1.0.0.1", "1.0.0.1"));
  EXPECT_FALSE(VersionGoesUp("1.0.0.1", "1.0.0.2abc"));
  EXPECT_FALSE(VersionGoesUp("1.0.0.1", " 2"));
  EXPECT_FALSE(VersionGoesUp("1.0.0.1", "2."));
  EXPECT_FALSE(VersionGoesUp("1.0.0.1", "1234567890"));
  EXPECT_FALSE(VersionGoesUp("1", "1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0.1"));
  EXPECT_FALSE(VersionGoesUp("", "1"));
}

TEST(UpdatePage_PlainFileName, LastPathPartWithoutQuery) {
  EXPECT_EQ(PlainFileName("http://host/dir/Setup.exe"), "Setup.exe");
  EXPECT_EQ(PlainFileName("Setup.exe"), "Setup.exe");
  EXPECT_EQ(PlainFileName("http://host/get.php?file=../../x.exe"), "get.php");
  EXPECT_EQ(PlainFileName("http://host/Setup.exe#top"), "Setup.exe");
  EXPECT_EQ(PlainFileName("http://host/dir/"), "");
}

TEST(UpdatePage_PlainFileName, NoPathDriveStreamOrDotNames) {
  EXPECT_EQ(PlainFileName("http://host/a\\..\\..\\evil.exe"), "evil.exe");
  EXPECT_EQ(PlainFileName("http://host/C:evil.exe"), "evil.exe");
  EXPECT_EQ(PlainFileName("http://host/a/.."), "");
  EXPECT_EQ(PlainFileName("http://host/a/."), "");
  EXPECT_EQ(PlainFileName("http://host/..."), "");
  EXPECT_EQ(PlainFileName("http://host/setup.exe. . "), "setup.exe");
  EXPECT_EQ(PlainFileName("http://host/a<b>c|d*e\"f\x01\x7F.txt"), "abcdef.txt");
}

TEST(UpdatePage_PlainFileName, DeviceNamesGetAPrefix) {
  EXPECT_EQ(PlainFileName("http://host/CON.txt"), "_CON.txt");
  EXPECT_EQ(PlainFileName("http://host/lpt1"), "_lpt1");
  EXPECT_EQ(PlainFileName("http://host/nul .exe"), "_nul .exe");
  EXPECT_EQ(PlainFileName("http://host/COM10.txt"), "COM10.txt");
  EXPECT_EQ(PlainFileName("http://host/CONSOLE.txt"), "CONSOLE.txt");
  for (const char* device : {"com0.exe", "LPT0", "COM\xC2\xB9.txt", "lpt\xC2\xB3 .exe", "conin$.txt", "CONOUT$"})
    EXPECT_TRUE(IsDeviceName(device)) << device;
  for (const char* name : {"COM\xC2\xB4", "LPT\xC2\xB9\xC2\xB9", "COM", "CONIN", "NULL.txt"})
    EXPECT_FALSE(IsDeviceName(name)) << name;
}

TEST(UpdatePage_PlainFileName, AtMost255BytesOfWholeCharacters) {
  EXPECT_EQ(PlainFileName("http://host/" + std::string(300, 'a')), std::string(255, 'a'));
  std::string wide;
  for (int i = 0; i < 200; ++i) wide += "\xC3\xA9";  // 400 bytes of two-byte characters
  EXPECT_EQ(PlainFileName(wide), wide.substr(0, 254));
  EXPECT_EQ(PlainFileName(std::string(254, 'a') + "." + "b"), std::string(254, 'a'));
}

TEST(UpdatePage_IsReadMeDocument, DocumentKindsOnly) {
  for (const char* name : {"ReadMe.txt", "readme.HTM", "a.html", "b.Rtf", "c.pdf"})
    EXPECT_TRUE(IsReadMeDocument(name)) << name;
  for (const char* name : {"ReadMe.exe", "readme.txt.exe", "readme", "", ".bat", "x.txt.lnk", "x.pdf.scr"})
    EXPECT_FALSE(IsReadMeDocument(name)) << name;
}
