#include "app/DialogCommands.h"

namespace {

class TNoDialogs : public TDialogCommands {
public:
  void Configure(TForm1&) override {}
  void WallpaperList(TForm1&) override {}
  void About(TForm1&) override {}
};

}  // namespace

TDialogCommands& NoDialogs() {
  static TNoDialogs none;
  return none;
}
