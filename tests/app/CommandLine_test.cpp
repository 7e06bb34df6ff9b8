#include <gtest/gtest.h>

#include "app/CommandLine.h"

TEST(CommandLine_Parse, CommandsAndWhatIsRefused) {
  using enum TCommandLineKind;
  using enum TCommandVerb;
  const struct {
    std::vector<std::string> Arguments;
    TCommandLineKind Kind;
    TCommand Command;
    const char* Error;
  } cases[] = {
      {{}, clStart, {}, ""},
      {{"/next"}, clCommand, {cvNext, ""}, ""},
      {{"-PREVIOUS"}, clCommand, {cvPrevious, ""}, ""},
      {{"/Pause"}, clCommand, {cvPause, ""}, ""},
      {{"/resume"}, clCommand, {cvResume, ""}, ""},
      {{"/exclude"}, clCommand, {cvExclude, ""}, ""},
      {{"/set", "C:\\a b.jpg"}, clCommand, {cvSet, "C:\\a b.jpg"}, ""},
      {{"/exit"}, clCommand, {cvExit, ""}, ""},
      {{"/?"}, clHelp, {}, ""},
      {{"-help"}, clHelp, {}, ""},
      {{"/nxt"}, clRefused, {}, "Unknown argument: /nxt"},
      {{"picture.jpg"}, clRefused, {}, "Unknown argument: picture.jpg"},
      {{"/"}, clRefused, {}, "Unknown argument: /"},
      {{"/set"}, clRefused, {}, "/set needs the picture's file."},
      {{"/set", ""}, clRefused, {}, "/set needs the picture's file."},
      {{"/next", "/next"}, clRefused, {}, "Unexpected argument: /next"},
      {{"/set", "a.jpg", "b.jpg"}, clRefused, {}, "Unexpected argument: b.jpg"},
      {{"/?", "/next"}, clRefused, {}, "One command at a time."},
  };
  for (const auto& c : cases) {
    const TCommandLine line = ParseCommandLine(c.Arguments);
    const std::string shown = c.Arguments.empty() ? "(none)" : c.Arguments[0];
    EXPECT_EQ(line.Kind, c.Kind) << shown;
    EXPECT_EQ(line.Error, c.Error) << shown;
    if (c.Kind == clCommand) {
      EXPECT_EQ(line.Command, c.Command) << shown;
    }
  }
}

TEST(CommandLine_Encode, CommandsTravelWholeAndNothingElseDecodes) {
  for (const TCommand& command : {TCommand{TCommandVerb::cvExit, ""}, TCommand{TCommandVerb::cvSet, "C:\\x\ny.jpg"}}) {
    TCommand decoded;
    ASSERT_TRUE(DecodeCommand(EncodeCommand(command), decoded));
    EXPECT_EQ(decoded, command);
  }
  TCommand decoded;
  for (const char* text : {"", "jump", "next\nfile", "set", "NEXT"}) EXPECT_FALSE(DecodeCommand(text, decoded)) << text;
}
