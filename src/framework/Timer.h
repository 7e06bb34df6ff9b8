#pragma once
// A timer firing OnTimer every Interval milliseconds while Enabled. Setting
// either restarts the period. Intervals up to 2^31 - 1 ms (about 24 days) work,
// so minute-long periods are no problem. Each tick runs under the
// application's exception handler.

#include <cstdint>
#include <memory>

#include "framework/Component.h"
#include "framework/Events.h"

class TTimer : public TComponent {
public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  uint32_t Interval() const { return FInterval; }
  void SetInterval(uint32_t interval);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);

  TNotifyEvent OnTimer;

  // One tick: OnTimer under the application's handler.
  void Tick();

private:
  // Arms or disarms the platform timer for the current state.
  void UpdateTimer();

  uint32_t FInterval = 1000;
  bool FEnabled = true;
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};
