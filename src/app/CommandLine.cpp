#include "app/CommandLine.h"

#include "framework/SysUtils.h"

namespace {

struct TVerbName {
  const char* Name;
  TCommandVerb Verb;
};

constexpr TVerbName Verbs[] = {
    {"next", TCommandVerb::cvNext},     {"previous", TCommandVerb::cvPrevious}, {"pause", TCommandVerb::cvPause},
    {"resume", TCommandVerb::cvResume}, {"exclude", TCommandVerb::cvExclude},   {"set", TCommandVerb::cvSet},
    {"exit", TCommandVerb::cvExit},
};

bool VerbOfName(const std::string& name, TCommandVerb& verb) {
  for (const TVerbName& v : Verbs)
    if (name == v.Name) {
      verb = v.Verb;
      return true;
    }
  return false;
}

const char* NameOfVerb(TCommandVerb verb) {
  for (const TVerbName& v : Verbs)
    if (v.Verb == verb) return v.Name;
  return "";
}

TCommandLine Refused(const std::string& error) { return {TCommandLineKind::clRefused, {}, error}; }

// The option's name in lower case without its "/" or "-"; empty for an argument that is no option.
std::string OptionName(const std::string& argument) {
  if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return {};
  return LowerCaseAscii(argument.substr(1));
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return {};
  const std::string option = OptionName(arguments[0]);
  if (option == "?" || option == "help")
    return arguments.size() == 1 ? TCommandLine{TCommandLineKind::clHelp, {}, {}} : Refused("One command at a time.");
  TCommand command;
  if (!VerbOfName(option, command.Verb)) return Refused("Unknown argument: " + arguments[0]);
  const size_t expected = command.Verb == TCommandVerb::cvSet ? 2 : 1;
  if (arguments.size() < expected) return Refused(arguments[0] + " needs the picture's file.");
  if (arguments.size() > expected) return Refused("Unexpected argument: " + arguments[expected]);
  if (expected == 2) command.File = arguments[1];
  if (expected == 2 && command.File.empty()) return Refused(arguments[0] + " needs the picture's file.");
  return {TCommandLineKind::clCommand, command, {}};
}

std::string CommandLineUsage() {
  return "Usage: Kaleidon [/next | /previous | /pause | /resume | /exclude | /set \"<file>\" | /exit]\n"
         "Without a command Kaleidon starts. A command goes to the Kaleidon already running:\n"
         "  /next        change to the next wallpaper\n"
         "  /previous    go back to the wallpaper before\n"
         "  /pause       pause timed changes\n"
         "  /resume      resume timed changes\n"
         "  /exclude     never show the current wallpaper again, and change it\n"
         "  /set \"<file>\"  make the picture the wallpaper\n"
         "  /exit        end Kaleidon\n"
         "Exit code 0 when done; 1 when Kaleidon is not running or the command failed; 2 for a command line it does\n"
         "not take.\n";
}

std::string EncodeCommand(const TCommand& command) {
  std::string text = NameOfVerb(command.Verb);
  if (command.Verb == TCommandVerb::cvSet) text += "\n" + command.File;
  return text;
}

bool DecodeCommand(const std::string& text, TCommand& command) {
  const size_t lineEnd = text.find('\n');
  TCommand decoded;
  if (!VerbOfName(text.substr(0, lineEnd), decoded.Verb)) return false;
  const bool hasFile = lineEnd != std::string::npos;
  if (hasFile != (decoded.Verb == TCommandVerb::cvSet)) return false;
  if (hasFile) decoded.File = text.substr(lineEnd + 1);
  command = decoded;
  return true;
}
