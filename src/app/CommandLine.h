#pragma once
// Kaleidon's command line. No argument starts the program. One command hands
// that command to the program already running: /next, /previous, /pause,
// /resume, /exclude, /set "<file>" (the file is the one argument after it) or
// /exit. /? (or /help) asks for the usage. Options are taken in either case
// and with "-" for "/"; there is one command per start. Anything else (an
// unknown option, a stray argument, a second command, /set without its file)
// is refused with the usage.

#include <string>
#include <vector>

enum class TCommandVerb { cvNext, cvPrevious, cvPause, cvResume, cvExclude, cvSet, cvExit };

struct TCommand {
  TCommandVerb Verb = TCommandVerb::cvNext;
  std::string File;  // /set's picture
  bool operator==(const TCommand&) const = default;
};

enum class TCommandLineKind { clStart, clCommand, clHelp, clRefused };

struct TCommandLine {
  TCommandLineKind Kind = TCommandLineKind::clStart;
  TCommand Command;
  std::string Error;  // why it was refused
};

// The exit codes of a start with a command.
inline constexpr int ecDone = 0;
inline constexpr int ecFailed = 1;   // no program running, or the command failed
inline constexpr int ecRefused = 2;  // not a command line Kaleidon takes

// The arguments after the program's name.
TCommandLine ParseCommandLine(const std::vector<std::string>& arguments);
std::string CommandLineUsage();

// The command as it travels to the running program, and back; false for
// text that is no command.
std::string EncodeCommand(const TCommand& command);
bool DecodeCommand(const std::string& text, TCommand& command);
