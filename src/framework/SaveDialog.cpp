#include "framework/SaveDialog.h"

#include "framework/UserHooks.h"

TSaveDialog::TSaveDialog(TComponent* AOwner) : TComponent(AOwner) {}

bool TSaveDialog::Execute() {
  if (const auto hook = UserHooks().SaveDialog) return hook(*this);
  return PlatformExecute(*this);
}
