#include "framework/Timer.h"

#include <windows.h>

#include <unordered_map>

#include "framework/MessageWindow.h"

namespace {

// Every timer of the process ticks through one hidden window. A timer's
// identifier is a serial number, never reused: a WM_TIMER already queued when
// its timer was freed (KillTimer leaves those in the queue) finds no timer.
struct TTimers {
  uint64_t NextId = 1;
  std::unordered_map<UINT_PTR, TTimer*> Live;
  TMessageWindow Window{TMessageWindow::TKind::MessageOnly, "Timers", [this](TMessage& m) {
                          if (m.Msg != WM_TIMER) return false;
                          const auto timer = Live.find(m.WParam);
                          if (timer != Live.end()) timer->second->Tick();
                          return true;
                        }};
  HWND Handle() const { return static_cast<HWND>(Window.Handle()); }
};

TTimers& Timers() {
  static TTimers timers;
  return timers;
}

}  // namespace

struct TTimer::TImpl {
  UINT_PTR Id = 0;
  bool Armed = false;
};

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), FImpl(new TImpl) {
  FImpl->Id = UINT_PTR(Timers().NextId++);
  Timers().Live[FImpl->Id] = this;
  UpdateTimer();
}

TTimer::~TTimer() {
  if (FImpl->Armed) KillTimer(Timers().Handle(), FImpl->Id);
  Timers().Live.erase(FImpl->Id);
}

void TTimer::UpdateTimer() {
  const HWND window = Timers().Handle();
  if (FImpl->Armed) KillTimer(window, FImpl->Id);
  FImpl->Armed = false;
  if (!FEnabled || FInterval == 0) return;
  FImpl->Armed = SetTimer(window, FImpl->Id, FInterval, nullptr) != 0;
}
