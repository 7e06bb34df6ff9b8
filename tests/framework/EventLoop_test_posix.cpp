#include "framework/EventLoop_posix.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include "framework/Application.h"
#include "framework/Handles_posix.h"

TEST(EventLoop_WatchDescriptor, ReadyDescriptorRunsItsCallbackUntilUnwatched) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const TFd readEnd(fds[0]), writeEnd(fds[1]);
  int calls = 0;
  uint64_t watch = 0;
  watch = WatchDescriptor(readEnd.Get(), POLLIN, [&](short revents) {
    EXPECT_TRUE(revents & POLLIN);
    if (++calls == 2) Unwatch(watch);
  });
  EXPECT_TRUE(RunEventLoopOnce(false));
  EXPECT_EQ(calls, 0);
  ASSERT_EQ(::write(writeEnd.Get(), "x", 1), 1);
  RunEventLoopOnce(true);
  RunEventLoopOnce(true);
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(RunEventLoopOnce(true));
}

TEST(EventLoop_SetDeadline, DeadlinesRunInTimeOrderAndCancelledOnesNever) {
  std::vector<int> order;
  const auto now = TLoopClock::now();
  SetDeadline(now + std::chrono::milliseconds(30), [&] { order.push_back(2); });
  SetDeadline(now + std::chrono::milliseconds(10), [&] { order.push_back(1); });
  CancelDeadline(SetDeadline(now, [&] { order.push_back(0); }));
  while (RunEventLoopOnce(true)) {
  }
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  EXPECT_GE(TLoopClock::now() - now, std::chrono::milliseconds(30));
}
