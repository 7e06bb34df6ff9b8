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

// Runs the transfer on a dialog of its own, or brings the open one to the front.
template <class Form>
void OpenOnce(Form*& open, TForm1& controller, void (*transfer)(TForm1&, Form&)) {
  if (open) {
    open->BringToFront();
    return;
  }
  Form form(&controller);
  const TOpenDialog named(open, form);
  transfer(controller, form);
}

}  // namespace

void TKaleidonDialogs::Configure(TForm1& controller) { OpenOnce(FOptions, controller, ConfigureOptions); }

void TKaleidonDialogs::WallpaperList(TForm1& controller) { OpenOnce(FList, controller, ListWallpapers); }

void TKaleidonDialogs::About(TForm1&) {}
