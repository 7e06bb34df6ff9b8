#include "framework/Application.h"

// Without a window system there are no messages: the loop has nothing to
// wait for, and termination is only remembered.
void TApplication::Run() {}

void TApplication::Terminate() { FTerminated = true; }

void TApplication::ProcessMessages() {}
