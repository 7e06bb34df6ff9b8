#include <gtest/gtest.h>

#include "app/InstanceChannel.h"
#include "framework/Exceptions.h"

TEST(InstanceChannel_Receive, RunsTheCommandAndAnswersWithItsFailure) {
  std::vector<TCommand> run;
  TCommandServer server(nullptr, [&](const TCommand& command) {
    run.push_back(command);
    if (command.Verb == TCommandVerb::cvPrevious) throw Exception("There is no earlier wallpaper to go back to.");
  });
  EXPECT_EQ(server.Receive("set\nC:\\a.jpg"), "");
  EXPECT_EQ(server.Receive("previous"), "There is no earlier wallpaper to go back to.");
  EXPECT_EQ(server.Receive("dance"), "Kaleidon does not know the command \"dance\".");
  EXPECT_EQ(run, (std::vector<TCommand>{{TCommandVerb::cvSet, "C:\\a.jpg"}, {TCommandVerb::cvPrevious, ""}}));
}
