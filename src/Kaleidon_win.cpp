// The process entry: no task-bar button, no visible window, a message loop
// until the main form is closed. One program runs per user session: a start
// with a command hands it to that one, a plain start while it runs says so.
#include <windows.h>
#include <ole2.h>

#include <exception>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/InstanceChannel.h"
#include "app/Mainform.h"
#include "dialogs/KaleidonDialogs.h"
#include "framework/Application.h"
#include "framework/MessageBox.h"
#include "framework/Wide.h"

namespace {

// COM on the user-interface thread, for the whole run: the shell's folder
// browser and its document launcher need it, and Windows, unlike Wine, does
// not make do without it.
class TOleSession {
public:
  TOleSession() : FInitialized(SUCCEEDED(OleInitialize(nullptr))) {}
  ~TOleSession() {
    if (FInitialized) OleUninitialize();
  }
  TOleSession(const TOleSession&) = delete;
  TOleSession& operator=(const TOleSession&) = delete;

private:
  bool FInitialized;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const TOleSession ole;
  std::vector<std::string> arguments;
  for (int i = 1; i < __argc; ++i) arguments.push_back(WideToUtf8(__wargv[i]));
  const TCommandLine line = ParseCommandLine(arguments);
  if (line.Kind != TCommandLineKind::clStart) return RunCommandLine(line);
  const TInstanceLock instance;
  if (!instance.Acquired()) {
    ReportAlreadyRunning();
    return ecDone;
  }
  try {
    TApplication application;
    application.Title = "Kaleidon";
    application.ShowMainForm = false;
    TKaleidonDialogs dialogs;
    try {
      TForm1* form1;
      application.CreateForm(form1, PlatformDesktop(), dialogs);
      const TCommandServer commands(nullptr, [&](const TCommand& command) { form1->RunCommand(command); });
      application.Run();
    } catch (const std::exception& e) {
      application.ShowException(e);
    }
  } catch (const std::exception& e) {
    ShowMessageBox(e.what(), "Kaleidon", mbOK | mbIconError);
  }
  return 0;
}
