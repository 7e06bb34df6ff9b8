#include "framework/TextCompare.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/StringList.h"
#include "framework/Wide.h"

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

// Keys compare as CompareString compares the texts, also for keys longer than
// four bytes a character (ligatures that sort as several letters).
TEST(TextCompare_AnsiCompareText, AgreesWithCompareString) {
  std::string ligatures;
  for (int i = 0; i < 50; ++i) ligatures += "\xEF\xAC\x83";  // U+FB03, "ffi"
  const std::string texts[] = {"a.jpg",        "B.JPG",         "\xC3\xA9t\xC3\xA9.jpg",     "Z",
                               ligatures,      ligatures + "a", std::string(50, 'f') + "FI", "picture 10.gif",
                               "Picture 9.gif"};
  for (const std::string& a : texts)
    for (const std::string& b : texts) {
      const std::wstring wa = Utf8ToWide(a), wb = Utf8ToWide(b);
      const int expected =
          CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wa.data(), int(wa.size()), wb.data(), int(wb.size())) -
          CSTR_EQUAL;
      const int actual = AnsiCompareText(a, b);
      EXPECT_EQ((actual > 0) - (actual < 0), expected) << a << " / " << b;
    }
}
