// The socket's Windows half.

#include <windows.h>

#include <gtest/gtest.h>

#include "framework/Application.h"
#include "net/Wsocket.h"

TEST(Wsocket_Close, QuitRequestWaitingIsPassedOn) {
  TApplication application;
  TWSocket socket(nullptr);
  socket.SetAddr("127.0.0.1");
  socket.SetPort("1");
  socket.Connect();
  PostQuitMessage(5);
  socket.Close();
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 5u);
}
