#pragma once
// A hidden window that hands every message sent or posted to it to its
// owner's handler, on the thread that made it. Timers, forms, the tray icon,
// sockets and the HTTP client each keep one. All of them share one window
// class, registered once. A handler that throws does not unwind through the
// platform's window procedure: the exception goes to the application's
// top-level handler and the message counts as handled.
// Where there are no windows, posted messages wait in a queue of the
// process that the application's message loop empties (see TApplication).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct TMessage {
  uint32_t Msg;
  uintptr_t WParam;
  intptr_t LParam;
  intptr_t Result = 0;  // the answer to a sent message
};

// The window manager's first message number free for a window class's own use.
inline constexpr uint32_t WM_USER_BASE = 0x0400;

class TMessageWindow {
public:
  enum class TKind {
    // Receives only what is sent or posted to it.
    MessageOnly,
    // A hidden top-level window: receives broadcasts as well, such as the
    // shell's "TaskbarCreated" after the taskbar restarts.
    TopLevel,
  };
  // Returns true when it handled the message (its Result is then the
  // answer); false passes it on to the platform's default processing.
  using THandler = std::function<bool(TMessage& message)>;

  TMessageWindow(TKind kind, const std::string& caption, THandler handler);
  ~TMessageWindow();
  TMessageWindow(const TMessageWindow&) = delete;
  TMessageWindow& operator=(const TMessageWindow&) = delete;

  // The platform window (an HWND on Windows).
  void* Handle() const;
  // Queues a message for the window; the message loop delivers it later.
  // Messages still queued when the window goes are dropped.
  void Post(uint32_t msg, uintptr_t wParam = 0, intptr_t lParam = 0) const;

  // For the platform halves: runs the handler under the exception guard.
  bool Handle(TMessage& message);

private:
  THandler FHandler;
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};
