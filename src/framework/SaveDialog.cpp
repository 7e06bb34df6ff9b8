#include "framework/SaveDialog.h"

#include <utility>

namespace {

TSaveDialogHook& Hook() {
  static TSaveDialogHook hook;
  return hook;
}

}  // namespace

void SetSaveDialogHook(TSaveDialogHook hook) { Hook() = std::move(hook); }

TSaveDialog::TSaveDialog(TComponent* AOwner) : TComponent(AOwner) {}

bool TSaveDialog::Execute() {
  if (Hook()) return Hook()(*this);
  return PlatformExecute(*this);
}
