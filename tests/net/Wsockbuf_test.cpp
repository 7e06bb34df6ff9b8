#include "net/Wsockbuf.h"

#include <gtest/gtest.h>

#include <string>

TEST(Wsockbuf_TBuffer, FillsToItsSizeAndEmptiesFromTheFront) {
  TBuffer buffer(0);
  EXPECT_EQ(buffer.Size(), 1514);
  const std::string data(2000, 'd');
  EXPECT_EQ(buffer.Write(data.data(), int(data.size())), 1514);
  EXPECT_TRUE(buffer.Full());
  buffer.Remove(1000);
  int count = 0;
  buffer.Peek(count);
  EXPECT_EQ(count, 514);
  EXPECT_EQ(buffer.Write("x", 1), 0);
  buffer.Remove(600);
  EXPECT_EQ(buffer.Unread(), 0);
  EXPECT_FALSE(buffer.Full());
  EXPECT_EQ(buffer.Write("abc", 3), 3);
  const uint8_t* unread = buffer.Peek(count);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(unread), size_t(count)), "abc");
}
