#include "framework/Timer.h"

#include "framework/Application.h"

void TTimer::SetInterval(uint32_t interval) {
  FInterval = interval;
  UpdateTimer();
}

void TTimer::SetEnabled(bool enabled) {
  FEnabled = enabled;
  UpdateTimer();
}

void TTimer::Tick() {
  DispatchCommand([this] { OnTimer(this); });
}
