#include "framework/Timer.h"

#include "framework/EventLoop_posix.h"

// A deadline of the event loop per period; each tick sets the next one
// before it runs, so that OnTimer may change or free the timer.
struct TTimer::TImpl {
  uint64_t Deadline = 0;
};

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), FImpl(new TImpl) { UpdateTimer(); }

TTimer::~TTimer() { CancelDeadline(FImpl->Deadline); }

void TTimer::UpdateTimer() {
  CancelDeadline(FImpl->Deadline);
  FImpl->Deadline = 0;
  if (!FEnabled || FInterval == 0) return;
  FImpl->Deadline = SetDeadline(TLoopClock::now() + std::chrono::milliseconds(FInterval), [this] {
    FImpl->Deadline = 0;
    UpdateTimer();
    Tick();
  });
}
