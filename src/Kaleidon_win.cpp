// The process entry: no task-bar button, no visible window, a message loop
// until the main form is closed. No guard against a second instance: each
// start runs with its own tray icon and timer.
#include <windows.h>

#include <exception>

#include "app/Mainform.h"
#include "dialogs/KaleidonDialogs.h"
#include "framework/Application.h"
#include "framework/MessageBox.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
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
