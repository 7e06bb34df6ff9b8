// The version information parser on blobs built here, well-formed and hostile.

#include "dialogs/VersionResource.h"

#include <gtest/gtest.h>

#include "VersionBlobs.h"

namespace {

std::string Find(const TBytes& blob, std::string_view table, std::string_view key) {
  // A copy of exactly the blob's size, so that any read past it is caught.
  const TBytes exact(blob);
  return FindVersionString(exact, table, key);
}

TBytes Sample() {
  return Blob(
      VersionInfo(u"100904E4", {StringEntry(u"CompanyName", u"Trellwick"), StringEntry(u"FileVersion", u"1.0.1.108"),
                                StringEntry(u"ProductName", u"Kaleidon")}));
}

}  // namespace

TEST(VersionResource_FindVersionString, ReadsTheEntriesOfTheTable) {
  const TBytes blob = Sample();
  EXPECT_EQ(Find(blob, "100904E4", "FileVersion"), "1.0.1.108");
  EXPECT_EQ(Find(blob, "100904E4", "ProductName"), "Kaleidon");
  EXPECT_EQ(Find(blob, "100904E4", "CompanyName"), "Trellwick");
}

TEST(VersionResource_FindVersionString, MissingKeyOrOtherTableGivesEmpty) {
  const TBytes blob = Sample();
  EXPECT_EQ(Find(blob, "100904E4", "PrivateBuild"), "");
  EXPECT_EQ(Find(blob, "040904E4", "FileVersion"), "");
  EXPECT_EQ(Find(blob, "100904E4", "FileVersio"), "");
  EXPECT_EQ(Find(Blob(VersionInfo(u"040904E4", {StringEntry(u"FileVersion", u"2.0")})), "100904E4", "FileVersion"), "");
}

TEST(VersionResource_FindVersionString, KeysMatchIgnoringAsciiCase) {
  const TBytes blob = Blob(VersionInfo(u"100904e4", {StringEntry(u"fileversion", u"3.1")}));
  EXPECT_EQ(Find(blob, "100904E4", "FileVersion"), "3.1");
}

TEST(VersionResource_FindVersionString, EmptyDataGivesEmpty) { EXPECT_EQ(Find({}, "100904E4", "FileVersion"), ""); }

TEST(VersionResource_FindVersionString, TextComesAsUtf8WithUnpairedSurrogatesReplaced) {
  const std::u16string text = u"Kal\u00e9idon \u00a9 \U0001F600 \xD800x";
  const TBytes blob = Blob(VersionInfo(u"100904E4", {StringEntry(u"Comments", text)}));
  EXPECT_EQ(Find(blob, "100904E4", "Comments"), "Kal\xC3\xA9idon \xC2\xA9 \xF0\x9F\x98\x80 \xEF\xBF\xBDx");
}

TEST(VersionResource_FindVersionString, TextEndsAtItsZeroOrAtTheEndOfItsBlock) {
  TVersionNode early = StringEntry(u"FileVersion", u"1.2");
  early.Value = Utf16Z(std::u16string(u"1.2\0tail", 8));
  EXPECT_EQ(Find(Blob(VersionInfo(u"100904E4", {early})), "100904E4", "FileVersion"), "1.2");

  TVersionNode unterminated = StringEntry(u"FileVersion", u"");
  unterminated.Value = {'4', 0, '.', 0, '2', 0, '!', 0};  // no zero: the block ends the text
  EXPECT_EQ(Find(Blob(VersionInfo(u"100904E4", {unterminated})), "100904E4", "FileVersion"), "4.2!");

  TVersionNode bytesNotCharacters = StringEntry(u"FileVersion", u"5.0");
  bytesNotCharacters.ValueLength = 400;  // beyond the block: the block still ends it
  EXPECT_EQ(Find(Blob(VersionInfo(u"100904E4", {bytesNotCharacters})), "100904E4", "FileVersion"), "5.0");
}

TEST(VersionResource_FindVersionString, EntriesAfterAMismatchAreFound) {
  TVersionNode oddKey = StringEntry(u"X", u"y");  // a short key: the next entry needs padding
  const TBytes blob = Blob(VersionInfo(u"100904E4", {oddKey, StringEntry(u"FileVersion", u"6.0")}));
  EXPECT_EQ(Find(blob, "100904E4", "FileVersion"), "6.0");
}

TEST(VersionResource_FindVersionString, EveryTruncationGivesTheTextOrNothing) {
  const TBytes blob = Sample();
  for (size_t size = 0; size < blob.size(); ++size) {
    TBytes part(blob.begin(), blob.begin() + std::ptrdiff_t(size));
    EXPECT_EQ(Find(part, "100904E4", "ProductName"), "") << size;
    // The root made to fit: the blocks inside it are cut instead.
    if (size >= 2) Put16(part, 0, uint16_t(size));
    const std::string found = Find(part, "100904E4", "ProductName");
    EXPECT_TRUE(found.empty() || std::string("Kaleidon").starts_with(found)) << size;
  }
}

TEST(VersionResource_FindVersionString, BlocksBreakingTheirBoundsAreRejected) {
  TBytes blob = Sample();
  Put16(blob, 0, uint16_t(blob.size() + 2));  // root longer than the data
  EXPECT_EQ(Find(blob, "100904E4", "FileVersion"), "");

  TVersionNode tooShort = StringEntry(u"FileVersion", u"1");
  tooShort.Length = 4;  // shorter than a header: would never advance
  EXPECT_EQ(
      Find(Blob(VersionInfo(u"100904E4", {tooShort, StringEntry(u"ProductName", u"K")})), "100904E4", "ProductName"),
      "");

  TVersionNode pastParent = StringEntry(u"FileVersion", u"1");
  pastParent.Length = 4000;
  EXPECT_EQ(Find(Blob(VersionInfo(u"100904E4", {pastParent})), "100904E4", "FileVersion"), "");

  TVersionNode keyOnly{u"FileVersion", 1, {}, {}};
  keyOnly.Length = 6 + 4;  // the key's zero lies outside the block
  EXPECT_EQ(Find(Blob(VersionInfo(u"100904E4", {keyOnly})), "100904E4", "FileVersion"), "");
}

TEST(VersionResource_FindVersionString, BinaryValuePastItsBlockIsRejected) {
  TVersionNode root = VersionInfo(u"100904E4", {StringEntry(u"FileVersion", u"1")});
  root.ValueLength = 0xFFFF;
  EXPECT_EQ(Find(Blob(root), "100904E4", "FileVersion"), "");
}
