#include "update/ReadMeText.h"

#include <gtest/gtest.h>

TEST(ReadMeText_ReadMeText, Utf8WhenValidElseWindows1252) {
  const struct {
    std::string_view Bytes, Text;
  } cases[] = {
      {"Kal\xC3\xA9idon \xE2\x82\xAC 5", "Kal\xC3\xA9idon \xE2\x82\xAC 5"},
      {"\xEF\xBB\xBFKal\xC3\xA9idon", "Kal\xC3\xA9idon"},
      {"Kal\xE9idon \x80 5 \x93quoted\x94 \x81",
       "Kal\xC3\xA9idon \xE2\x82\xAC 5 \xE2\x80\x9Cquoted\xE2\x80\x9D \xC2\x81"},
      {"\xC0\xAF overlong", "\xC3\x80\xC2\xAF overlong"},
      {"\xED\xA0\x80 surrogate", "\xC3\xAD\xC2\xA0\xE2\x82\xAC surrogate"},
      {"cut \xC3", "cut \xC3\x83"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadMeText(c.Bytes), c.Text) << c.Bytes;
}
