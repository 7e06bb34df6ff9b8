#include "framework/MessageWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "SettingsSandbox.h"
#include "framework/Application.h"
#include "framework/Exceptions.h"

namespace {

constexpr uint32_t MsgTest = WM_USER_BASE + 7;

}  // namespace

TEST(MessageWindow_Post, DeliveredInOrderByTheMessageLoop) {
  TApplication application;
  std::vector<intptr_t> seen;
  TMessageWindow window(TMessageWindow::TKind::MessageOnly, "test", [&](TMessage& m) {
    if (m.Msg != MsgTest) return false;
    seen.push_back(m.LParam);
    return true;
  });
  window.Post(MsgTest, 0, 1);
  window.Post(MsgTest, 0, 2);
  EXPECT_TRUE(seen.empty());
  application.ProcessMessages();
  EXPECT_EQ(seen, (std::vector<intptr_t>{1, 2}));
}

TEST(MessageWindow_Post, MessagesOfAWindowThatWentAreDropped) {
  TApplication application;
  int seen = 0;
  auto first = std::make_unique<TMessageWindow>(TMessageWindow::TKind::MessageOnly, "first", [&](TMessage& m) {
    seen += m.Msg == MsgTest;
    return m.Msg == MsgTest;
  });
  first->Post(MsgTest);
  first.reset();
  TMessageWindow second(TMessageWindow::TKind::TopLevel, "second", [&](TMessage& m) {
    seen += m.Msg == MsgTest ? 10 : 0;
    return m.Msg == MsgTest;
  });
  second.Post(MsgTest);
  application.ProcessMessages();
  EXPECT_EQ(seen, 10);
}

TEST(MessageWindow_Handle, ErrorOfAHandlerGoesToTheApplicationAndTheLoopGoesOn) {
  TSettingsSandbox sandbox;
  TApplication application;
  application.Title = "Kaleidon";
  int after = 0;
  TMessageWindow window(TMessageWindow::TKind::MessageOnly, "test", [&](TMessage& m) {
    if (m.Msg != MsgTest) return false;
    if (m.LParam == 1) throw Exception("HTTP line too long");
    ++after;
    return true;
  });
  window.Post(MsgTest, 0, 1);
  window.Post(MsgTest, 0, 2);
  application.ProcessMessages();
  ASSERT_EQ(sandbox.Messages.size(), 1u);
  EXPECT_EQ(sandbox.Messages[0].Text, "HTTP line too long");
  EXPECT_EQ(sandbox.Messages[0].Caption, "Kaleidon");
  EXPECT_EQ(after, 1);
}
