#include <gtest/gtest.h>

#include "SettingsSandbox.h"
#include "framework/Application.h"
#include "framework/Exceptions.h"
#include "framework/Timer.h"

TEST(Application_Dispatch, EscapingErrorIsShownWithTheTitleAndTheProgramGoesOn) {
  TSettingsSandbox sandbox;
  TApplication application;
  application.Title = "Kaleidon";
  bool after = false;
  application.Dispatch([] { throw EInvalidGraphic("unrecognized GIF"); });
  application.Dispatch([&] { after = true; });
  ASSERT_EQ(sandbox.Messages.size(), 1u);
  EXPECT_EQ(sandbox.Messages[0].Text, "unrecognized GIF");
  EXPECT_EQ(sandbox.Messages[0].Caption, "Kaleidon");
  EXPECT_TRUE(after);
}

TEST(Application_Dispatch, ReplacedHandlerGetsTheErrorInstead) {
  TSettingsSandbox sandbox;
  TApplication application;
  std::string handled;
  application.OnException = TExceptionEvent([&](TObject*, const std::exception& e) { handled = e.what(); });
  application.Dispatch([] { throw ERegistryException("Failed to set data for 'JPEG'"); });
  EXPECT_EQ(handled, "Failed to set data for 'JPEG'");
  EXPECT_TRUE(sandbox.Messages.empty());
}

TEST(Timer_Tick, TickRunsUnderTheApplicationsHandler) {
  TSettingsSandbox sandbox;
  TApplication application;
  application.Title = "T";
  TTimer* timer = new TTimer(&application);
  int ticks = 0;
  timer->OnTimer = TNotifyEvent([&](TObject*) {
    ++ticks;
    throw Exception("tick failed");
  });
  timer->SetInterval(60000);
  timer->Tick();
  timer->Tick();
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(sandbox.Messages.size(), 2u);
}

TEST(Timer_Tick, TimerTicksInTheMessageLoopUntilDisabled) {
  TSettingsSandbox sandbox;
  TApplication application;
  TTimer timer(nullptr);
  int ticks = 0;
  timer.OnTimer = TNotifyEvent([&](TObject*) {
    if (++ticks == 3) timer.SetEnabled(false);
  });
  timer.SetInterval(10);
  for (int i = 0; i < 1000 && ticks < 3; ++i) application.HandleMessage();
  EXPECT_EQ(ticks, 3);
  EXPECT_FALSE(timer.Enabled());
}

TEST(Component_Owner, OwnerFreesWhatItOwnsUnlessFreedFirst) {
  static std::vector<int> freed;
  struct Probe : TComponent {
    Probe(TComponent* owner, int id) : TComponent(owner), Id(id) {}
    ~Probe() override { freed.push_back(Id); }
    int Id;
  };
  freed.clear();
  {
    TComponent owner(nullptr);
    new Probe(&owner, 1);
    Probe* second = new Probe(&owner, 2);
    new Probe(&owner, 3);
    delete second;
    EXPECT_EQ(owner.ComponentCount(), 2);
  }
  EXPECT_EQ(freed, (std::vector<int>{2, 3, 1}));
}
