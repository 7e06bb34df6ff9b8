#include <gtest/gtest.h>

#include "SettingsSandbox.h"
#include "app/History.h"
#include "app/Settings.h"

TEST(History_Applied, KeepsTheFiftyNewestAndARepeatOnce) {
  TSettingsSandbox sandbox;
  auto settings = OpenSettings();
  TWallpaperHistory history;
  for (int i = 0; i < 52; ++i) history.Applied(*settings, "p" + std::to_string(i));
  history.Applied(*settings, "P51");
  ASSERT_EQ(history.Entries().size(), 50u);
  EXPECT_EQ(history.Entries().front(), "p51");
  EXPECT_EQ(history.Entries().back(), "p2");
  TWallpaperHistory again;
  again.Load(*settings, "p49");
  EXPECT_EQ(again.Entries(), history.Entries());
  std::string path;
  std::vector<std::string> missing;
  ASSERT_TRUE(again.StepBack(
      *settings, [](const std::string&) { return true; }, path, missing));
  EXPECT_EQ(path, "p48");
}
