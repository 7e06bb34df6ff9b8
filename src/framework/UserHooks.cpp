#include "framework/UserHooks.h"

#include <utility>

namespace {

TUserHooks& Current() {
  static TUserHooks hooks;
  return hooks;
}

template <class Hook>
void Override(Hook& hook, Hook& replacement) {
  if (replacement) hook = std::move(replacement);
}

}  // namespace

const TUserHooks& UserHooks() { return Current(); }

TUserHooksScope::TUserHooksScope(TUserHooks hooks) : FPrevious(Current()) {
  TUserHooks& current = Current();
  Override(current.Modal, hooks.Modal);
  Override(current.Popup, hooks.Popup);
  Override(current.MessageBox, hooks.MessageBox);
  Override(current.SaveDialog, hooks.SaveDialog);
  Override(current.ShellOpen, hooks.ShellOpen);
}

TUserHooksScope::~TUserHooksScope() { Current() = std::move(FPrevious); }
