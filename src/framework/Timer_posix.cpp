#include "framework/Timer.h"

// No message loop drives timers here; ticks come only through Tick().
struct TTimer::TImpl {};

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() = default;

void TTimer::UpdateTimer() {}
