#include "framework/Application.h"
#include "framework/EventLoop_posix.h"

// Without a window manager the loop serves posted messages, sockets and
// timers; it also returns when nothing is left that could ever wake it.
void TApplication::Run() {
  while (!FTerminated && RunEventLoopOnce(true)) {
  }
}

void TApplication::Terminate() { FTerminated = true; }

void TApplication::ProcessMessages() { RunEventLoopOnce(false); }

void TApplication::HandleMessage() {
  if (!FTerminated) RunEventLoopOnce(true);
}
