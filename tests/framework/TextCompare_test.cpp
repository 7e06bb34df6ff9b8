#include "framework/TextCompare.h"

#include <gtest/gtest.h>

TEST(TextCompare_AppendCaseInsensitiveSortKey, AppendsTheKeyBehindWhatIsThere) {
  for (const char* text : {"", "Sky.JPG", "x\\\xC3\x89T\xC3\x89.jpg", "caf\xC3\xA9 ok"}) {
    std::string out = "prefix";
    AppendCaseInsensitiveSortKey(out, text);
    EXPECT_EQ(out, "prefix" + CaseInsensitiveSortKey(text)) << text;
  }
}

TEST(TextCompare_AnsiCompareText, IgnoresCase) {
  EXPECT_EQ(AnsiCompareText("Sky.JPG", "sky.jpg"), 0);
  EXPECT_LT(AnsiCompareText("a.jpg", "B.jpg"), 0);
  EXPECT_GT(AnsiCompareText("c", "B"), 0);
}
