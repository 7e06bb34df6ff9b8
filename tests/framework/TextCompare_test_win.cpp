#include "framework/StringList.h"
#include "framework/TextCompare.h"

#include <gtest/gtest.h>

// The user default locale folds the case of every letter, not only ASCII.
TEST(TextCompare_AnsiCompareText, IgnoresTheCaseOfAccentedLetters) {
  EXPECT_EQ(AnsiCompareText("\xC3\x89T\xC3\x89.JPG", "\xC3\xA9t\xC3\xA9.jpg"), 0);  // ÉTÉ.JPG, été.jpg
  EXPECT_LT(AnsiCompareText("a.jpg", "\xC3\xA9t\xC3\xA9.jpg"), 0);
  EXPECT_LT(AnsiCompareText("\xC3\xA9t\xC3\xA9.jpg", "Z.jpg"), 0);
}

TEST(StringList_Add, AccentedNamesInTheLocalesOrderIgnoringCase) {
  TStringList list;
  list.Duplicates = TDuplicates::dupIgnore;
  list.SetSorted(true);
  for (const char* name : {"Z.jpg", "\xC3\xA9t\xC3\xA9.jpg", "\xC3\x89T\xC3\x89.JPG", "a.jpg"}) list.Add(name);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list[0], "a.jpg");
  EXPECT_EQ(list[1], "\xC3\xA9t\xC3\xA9.jpg");
  EXPECT_EQ(list[2], "Z.jpg");
  EXPECT_EQ(list.IndexOf("\xC3\x89t\xC3\xA9.jpg"), 1);
}
