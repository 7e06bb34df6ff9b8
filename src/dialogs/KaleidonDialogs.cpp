#include "dialogs/KaleidonDialogs.h"

#include <utility>

#include "app/Mainform.h"
#include "dialogs/Aboutbox.h"
#include "dialogs/Optform.h"
#include "dialogs/Updateform.h"
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

// The About box goes before the update dialog shows, so that only one of
// the two is open; the check starts from the executable's FileVersion. Only
// "Update" leads on: closing the box is no request for a check.
void TKaleidonDialogs::About(TForm1& controller) {
  std::string version;
  {
    TAboutBox box(&controller);
    if (box.ShowModal() != mrUpdate) return;
    version = box.VersionInfo1->GetVersionInfo(vkFileVersion);
  }
  TFormUpdate update(&controller);
  update.WebFileInfo1->CurrentVersion = version;
  update.ShowModal();
}
