#pragma once
// The application object: title, main form, message loop, termination, and
// the top-level handler of exceptions that commands let escape. Its default
// handler shows the message in a message box captioned with the title; the
// program then goes on running.

#include <exception>
#include <functional>
#include <string>
#include <utility>

#include "framework/Component.h"
#include "framework/Events.h"

class TForm;

using TExceptionEvent = TEvent<const std::exception&>;

class TApplication : public TComponent {
public:
  TApplication();
  ~TApplication() override;

  std::string Title;
  bool ShowMainForm = true;
  TExceptionEvent OnException;

  TForm* MainForm() const { return FMainForm; }

  // Creates a form owned by the application, with the further arguments of
  // its constructor; the first one becomes the main form once its
  // construction (and with it its creation handler) is done.
  template <class Form, class... Args>
  void CreateForm(Form*& reference, Args&&... args) {
    reference = new Form(this, std::forward<Args>(args)...);
    if (!FMainForm) FMainForm = reference;
  }

  // Runs the message loop until Terminate, or returns at once without a main form.
  void Run();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Dispatches the messages waiting now, then returns.
  void ProcessMessages();
  // Waits for the next message (or, where there are no windows, socket or
  // timer event) and dispatches it: the body of a modal wait, such as
  // "until the HTTP request is done". Returns at once once terminated.
  void HandleMessage();

  void HandleException(const std::exception& e);
  void ShowException(const std::exception& e);

  // Runs one command under the top-level handler: what it throws is handled
  // and the caller goes on.
  void Dispatch(const std::function<void()>& command);

private:
  TForm* FMainForm = nullptr;
  bool FTerminated = false;
};

// The process's application object; null before one is created.
extern TApplication* Application;

// Runs a command dispatched from a message (timer, menu, tray icon) under the
// application's handler, or, before there is an application, under a message box.
void DispatchCommand(const std::function<void()>& command);
