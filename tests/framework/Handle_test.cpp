#include "framework/Handle.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> closed;

struct TTestTraits {
  using TValue = int;
  static TValue None() { return -1; }
  static void Close(TValue h) { closed.push_back(h); }
};
using TTestHandle = THandle<TTestTraits>;

}  // namespace

TEST(Handle_Ownership, ClosedOnceWhenTheOwnerGoesOrTakesAnother) {
  closed.clear();
  {
    TTestHandle a(3);
    a.Reset(4);
    TTestHandle b(std::move(a));
    EXPECT_FALSE(a.Valid());
    TTestHandle c;
    c = std::move(b);
    EXPECT_EQ(c.Get(), 4);
    *c.Receive() = 5;
  }
  EXPECT_EQ(closed, (std::vector<int>{3, 4, 5}));
}

TEST(Handle_Ownership, ReleasedHandleIsNotClosed) {
  closed.clear();
  int value;
  {
    TTestHandle a(7);
    value = a.Release();
    TTestHandle none;
    EXPECT_FALSE(none);
  }
  EXPECT_EQ(value, 7);
  EXPECT_TRUE(closed.empty());
}
