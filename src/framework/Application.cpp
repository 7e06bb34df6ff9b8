#include "framework/Application.h"

#include "framework/MessageBox.h"

TApplication* Application = nullptr;

TApplication::TApplication() : TComponent(nullptr) { Application = this; }

TApplication::~TApplication() {
  if (Application == this) Application = nullptr;
}

void TApplication::HandleException(const std::exception& e) {
  if (OnException.Assigned())
    OnException(this, e);
  else
    ShowException(e);
}

void TApplication::ShowException(const std::exception& e) { ShowMessageBox(e.what(), Title, mbOK | mbIconError); }

void TApplication::Dispatch(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& e) {
    HandleException(e);
  }
}

void DispatchCommand(const std::function<void()>& command) {
  if (Application) {
    Application->Dispatch(command);
    return;
  }
  try {
    command();
  } catch (const std::exception& e) {
    ShowMessageBox(e.what(), "", mbOK | mbIconError);
  }
}
