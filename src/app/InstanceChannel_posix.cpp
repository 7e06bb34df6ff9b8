#include "app/InstanceChannel.h"

// Natively there is no desktop for a running program: every start runs on
// its own, and a command finds nobody to take it.

struct TInstanceLock::TImpl {};

TInstanceLock::TInstanceLock() = default;
TInstanceLock::~TInstanceLock() = default;
bool TInstanceLock::Acquired() const { return true; }

TCommandServer::TCommandServer(TComponent* AOwner, THandler handler)
    : TComponent(AOwner), FHandler(std::move(handler)) {}

int SendToRunningProgram(const TCommand&, std::string& message) {
  message = "Kaleidon is not running.";
  return ecFailed;
}
