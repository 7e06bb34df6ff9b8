#include "dialogs/KaleidonDialogs.h"

#include <utility>

#include "app/Mainform.h"
#include "dialogs/Optform.h"
#include "dialogs/Wplistform.h"

namespace {

// Names the open dialog for the life of the command.
template <class Form>
class TOpenDialog {
public:
  TOpenDialog(Form*& open, Form& form) : FOpen(open) { FOpen = &form; }
  ~TOpenDialog() { FOpen = nullptr; }
  TOpenDialog(const TOpenDialog&) = delete;
  TOpenDialog& operator=(const TOpenDialog&) = delete;

private:
  Form*& FOpen;
};

}  // namespace

void TKaleidonDialogs::Configure(TForm1& controller) {
  if (FOptions) {
    FOptions->BringToFront();
    return;
  }
  TOptionsForm form(&controller);
  const TOpenDialog open(FOptions, form);
  ConfigureOptions(controller, form);
}

void TKaleidonDialogs::WallpaperList(TForm1& controller) {
  if (FList) {
    FList->BringToFront();
    return;
  }
  TFormListWP form(&controller);
  const TOpenDialog open(FList, form);
  ListWallpapers(controller, form);
}

void TKaleidonDialogs::About(TForm1&) {}
