#include "net/Httphead.h"

#include <gtest/gtest.h>

TEST(Httphead_ParseStatusLine, CodeAndPhrase) {
  int code = 0;
  std::string reason;
  EXPECT_EQ(ParseStatusLine("HTTP/1.1 302 Found", 200, code, reason), TStatusLine::Status);
  EXPECT_EQ(code, 302);
  EXPECT_EQ(reason, "Found");
  EXPECT_EQ(ParseStatusLine("HTTP/1.0 200", 200, code, reason), TStatusLine::Status);
  EXPECT_EQ(reason, "");
  EXPECT_EQ(ParseStatusLine("HTTP/1.0 200 " + std::string(300, 'x'), 200, code, reason), TStatusLine::Status);
  EXPECT_EQ(reason.size(), 200u);
  EXPECT_EQ(ParseStatusLine("HTTP/1.0 abc OK", 200, code, reason), TStatusLine::Bad);
  EXPECT_EQ(ParseStatusLine("HTTP/1.0 20", 200, code, reason), TStatusLine::Bad);
  EXPECT_EQ(ParseStatusLine("HTTP/2 200 OK", 200, code, reason), TStatusLine::NotStatus);
  EXPECT_EQ(ParseStatusLine("http/1.0 200 OK", 200, code, reason), TStatusLine::NotStatus);
}

TEST(Httphead_SplitHeaderLine, LowerCaseNameTrimmedValue) {
  std::string name, value;
  ASSERT_TRUE(SplitHeaderLine("Content-Type: \t Text/HTML \t", name, value));
  EXPECT_EQ(name, "content-type");
  EXPECT_EQ(value, "Text/HTML");
  ASSERT_TRUE(SplitHeaderLine("Location:", name, value));
  EXPECT_EQ(value, "");
  ASSERT_TRUE(SplitHeaderLine("X-Time: 12:30", name, value));
  EXPECT_EQ(value, "12:30");
  EXPECT_FALSE(SplitHeaderLine("no colon here", name, value));
}

TEST(Httphead_ParseContentLength, DigitsOnlyWithin64Bits) {
  int64_t length = -1;
  EXPECT_TRUE(ParseContentLength("0", length));
  EXPECT_EQ(length, 0);
  EXPECT_TRUE(ParseContentLength("5368709120", length));
  EXPECT_EQ(length, 5368709120);
  EXPECT_TRUE(ParseContentLength("999999999999999999", length));
  for (const char* bad : {"", "-5", "+5", "5 ", "5,5", "0x10", "1e3", "9999999999999999999"})
    EXPECT_FALSE(ParseContentLength(bad, length)) << bad;
}
