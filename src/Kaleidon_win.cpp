// The process entry: no task-bar button, no visible window, a message loop
// until the main form is closed. No guard against a second instance: each
// start runs with its own tray icon and timer.
#include <windows.h>
#include <ole2.h>

#include <exception>

#include "app/Mainform.h"
#include "dialogs/KaleidonDialogs.h"
#include "framework/Application.h"
#include "framework/MessageBox.h"

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
  try {
    TApplication application;
    application.Title = "Kaleidon";
    application.ShowMainForm = false;
    TKaleidonDialogs dialogs;
    try {
      TForm1* form1;
      application.CreateForm(form1, PlatformDesktop(), dialogs);
      application.Run();
    } catch (const std::exception& e) {
      application.ShowException(e);
    }
  } catch (const std::exception& e) {
    ShowMessageBox(e.what(), "Kaleidon", mbOK | mbIconError);
  }
  return 0;
}
