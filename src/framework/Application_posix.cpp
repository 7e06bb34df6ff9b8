#include "framework/Application.h"
#include "framework/PostedMessages_posix.h"

// Without a window manager the only messages are those posted to hidden
// windows: the loop runs while there are any, and returns when none is left.
void TApplication::Run() {
  while (!FTerminated && DeliverPostedMessages()) {
  }
}

void TApplication::Terminate() { FTerminated = true; }

void TApplication::ProcessMessages() { DeliverPostedMessages(); }
