#include "framework/MessageWindow.h"

#include <exception>

#include "framework/Application.h"

// A message that throws is over: the error is shown by the application's
// handler, and the window manager is told the message was handled, so that
// no default processing runs on top of a half-done handler.
bool TMessageWindow::Handle(TMessage& message) {
  bool handled = true;
  DispatchCommand([&] { handled = FHandler(message); });
  return handled;
}
