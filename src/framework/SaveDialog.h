#pragma once
// The system's file-save dialog. Tests (and builds without a desktop) answer
// it through a hook.

#include <string>

#include "framework/Component.h"

class TSaveDialog : public TComponent {
public:
  explicit TSaveDialog(TComponent* AOwner);

  // Pairs of a description and its patterns, all separated by "|", such as
  // "Text (*.TXT)|*.TXT|All Files (*.*)|*.*".
  std::string Filter;
  // The pair in use, counted from 1: the one offered first, then the one the
  // user saved with.
  int FilterIndex = 1;
  // The name proposed, then the full name chosen.
  std::string FileName;
  // Asks before an existing file is chosen.
  bool OverwritePrompt = false;
  // Only a name in an existing folder is taken.
  bool PathMustExist = false;

  // Shows the dialog over the owner's window; false when the user cancels.
  // EOSError when the system cannot show it.
  bool Execute();
};

// The platform's own dialog, behind Execute.
bool PlatformExecute(TSaveDialog& dialog);
