#pragma once
// Stand-ins for the user, for tests (and where there is no window manager):
// where a hook is set, the framework calls it instead of showing the real
// modal dialog, popup menu, message box, save dialog or shell, and takes its
// answer as the user's. The program sets none.

#include <functional>
#include <string>

class TDialog;
class TMenuItem;
class TPopupMenu;
class TSaveDialog;

struct TUserHooks {
  // Called after OnShow; its answer is the modal result.
  std::function<int(TDialog& dialog)> Modal{};
  // Called after OnPopup; the item it returns (none for null) is clicked.
  std::function<TMenuItem*(TPopupMenu& menu)> Popup{};
  // Its answer is the button chosen.
  std::function<int(const std::string& text, const std::string& caption, unsigned flags)> MessageBox{};
  // Its answer is Execute's.
  std::function<bool(TSaveDialog& dialog)> SaveDialog{};
  // Its answer is ShellOpen's.
  std::function<bool(const std::string& fileName, const std::string& parameters)> ShellOpen{};
};

// The process's one set of hooks.
const TUserHooks& UserHooks();

// Sets the hooks it is given for its lifetime; those it leaves empty keep the
// enclosing scope's. Scopes nest: each restores what was there before it.
class TUserHooksScope {
public:
  explicit TUserHooksScope(TUserHooks hooks);
  ~TUserHooksScope();
  TUserHooksScope(const TUserHooksScope&) = delete;
  TUserHooksScope& operator=(const TUserHooksScope&) = delete;

private:
  TUserHooks FPrevious;
};
