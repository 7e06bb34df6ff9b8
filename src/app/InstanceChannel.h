#pragma once
// One running Kaleidon per user session, and the way a start with a command
// reaches it. The running program holds the instance lock and a hidden
// window named for the user that takes commands; a start with a command
// hands its command to that window and waits for the outcome, which comes
// back to a window of its own with the failure's message if it failed. The
// program takes the command at once and runs it from its own message loop,
// as any of its commands, so that what the command does (a dialog, the
// shell) is not bound by the sender's wait.

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "app/CommandLine.h"
#include "framework/Component.h"
#include "framework/MessageWindow.h"

// Held for the life of the running program.
class TInstanceLock {
public:
  // Takes the lock unless another process of the user's session holds it.
  TInstanceLock();
  ~TInstanceLock();
  TInstanceLock(const TInstanceLock&) = delete;
  TInstanceLock& operator=(const TInstanceLock&) = delete;
  bool Acquired() const;

private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};

// The running program's end of the channel.
class TCommandServer : public TComponent {
public:
  // Runs a command; what it raises is the command's failure.
  using THandler = std::function<void(const TCommand& command)>;
  TCommandServer(TComponent* AOwner, THandler handler);
  ~TCommandServer() override;

  // Runs one command as it travelled (see EncodeCommand); the failure's
  // message, empty when it was done.
  std::string Receive(const std::string& text);

private:
  struct TTaken {
    void* Sender;  // the window the outcome goes to
    std::string Text;
  };
  void RunTaken();

  THandler FHandler;
  std::deque<TTaken> FTaken;  // taken, waiting for the loop
  std::unique_ptr<TMessageWindow> FWindow;
};

// Hands the command to the running program and waits until it has run:
// ecDone, or ecFailed with why (no program running, no answer, the
// command's failure).
int SendToRunningProgram(const TCommand& command, std::string& message);

// A start that is not the plain start: prints the usage, or hands the
// command over, and tells the user in the console they started it from (a
// message box without one). Returns the exit code.
int RunCommandLine(const TCommandLine& line);

// A plain start while the program runs: tells the user so.
void ReportAlreadyRunning();
