#include "app/InstanceChannel.h"

#include <exception>

#include "framework/Console.h"
#include "framework/Files.h"
#include "framework/MessageBox.h"

namespace {

void Tell(const std::string& text, bool error) {
  if (!WriteToConsole(text, error))
    ShowMessageBox(text, "Kaleidon", error ? mbOK | mbIconError : mbOK | mbIconInformation);
}

}  // namespace

TCommandServer::~TCommandServer() = default;

std::string TCommandServer::Receive(const std::string& text) {
  TCommand command;
  if (!DecodeCommand(text, command)) return "Kaleidon does not know the command \"" + text + "\".";
  try {
    FHandler(command);
    return {};
  } catch (const std::exception& e) {
    return e.what();
  }
}

// /set's file is named from where the user stands, not from where the
// running program does.
int RunCommandLine(const TCommandLine& line) {
  if (line.Kind == TCommandLineKind::clHelp) {
    Tell(CommandLineUsage(), false);
    return ecDone;
  }
  if (line.Kind != TCommandLineKind::clCommand) {
    Tell(line.Error + "\n" + CommandLineUsage(), true);
    return ecRefused;
  }
  TCommand command = line.Command;
  if (command.Verb == TCommandVerb::cvSet) command.File = ExpandFileName(command.File);
  std::string message;
  const int code = SendToRunningProgram(command, message);
  if (code != ecDone) Tell(message + "\n", true);
  return code;
}

void ReportAlreadyRunning() {
  ShowMessageBox("Kaleidon is already running: its icon is in the notification area.", "Kaleidon",
                 mbOK | mbIconInformation);
}
