#pragma once
// The About box: the program's name, version, copyright, company and
// comments from its own version information, and the way to the update
// dialog. "OK" (Enter) ends it with 1, the close box with 2, "Update" with
// mrUpdate; Esc does nothing.

#include "dialogs/Versinfo.h"
#include "framework/Dialogs.h"

// The result of "Update", which no other way of closing the box gives.
inline constexpr int mrUpdate = 3;

class TAboutBox : public TDialog {
public:
  explicit TAboutBox(TComponent* AOwner);

  TLabel* ProductName;
  TLabel* Version;
  TLabel* Copyright;
  TLabel* Company;
  TLabel* Comments;
  TButton* OKButton;
  TButton* BitBtn1;
  // Reads the running executable.
  TVersionInfo* VersionInfo1;

  // Fills the five labels; runs when the box is made.
  void FormCreate();

private:
  void FormShow(TObject* sender);
};
