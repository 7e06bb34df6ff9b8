// The tray menu and the wallpaper list with a large catalogue, on Windows
// (run under Wine): the catalogue's one directory walk against one walk per
// search pattern, the time the menu takes to open after the catalogue build,
// the time the list dialog takes to show its entries, and how many previews
// a held arrow key costs.
//   TrayBench [FILES]   (default: 100000)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BenchTiming.h"
#include "app/Mainform.h"
#include "imaging/PictureKinds.h"
#include "app/Settings.h"
#include "dialogs/Wplistform.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/Timer.h"
#include "imaging/BmpCodec.h"

namespace fs = std::filesystem;

namespace {

void StoreBaseDir(const fs::path& root) { OpenSettings()->WriteString(SettingsSection, "WPLocation", root.string()); }

// The peer: one complete walk per search pattern, as the catalogue was built
// before, into the same sorted list.
double SevenWalks(const fs::path& root, int& found) {
  TStringList list;
  list.Duplicates = TDuplicates::dupIgnore;
  list.SetSorted(true);
  TFindDirsList finder(nullptr, "");
  const double seconds = Seconds([&] {
    for (const TPictureKind& kind : PictureKinds()) {
      if (!kind.Catalogued) continue;
      finder.FileList().Clear();
      finder.SetStartString(root.string() + "\\*" + kind.Extension);
      finder.Run();
      list.AddStrings(finder.FileList());
    }
    found = list.Count();
  });
  return seconds;
}

// Runs job (which enters a modal loop) and measures the time until that
// loop first idles, when a timer's tick (the last message a queue hands out,
// after painting) arrives; then end() closes it.
double UntilIdle(const std::function<void()>& job, const std::function<void()>& end) {
  TTimer idle(nullptr);
  double seconds = 0;
  const auto start = std::chrono::steady_clock::now();
  idle.SetInterval(1);
  idle.OnTimer = TNotifyEvent([&](TObject*) {
    idle.SetEnabled(false);
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    end();
  });
  job();
  return seconds;
}

void Catalogue(TForm1& form, const fs::path& root) {
  int sevenFound = 0;
  const double seven = SevenWalks(root, sevenFound);
  const double one = Seconds([&] { form.BuildWallpaperList(); });
  std::printf("  catalogue: one walk %.3f s (%d entries); one walk per pattern %.3f s (%d entries); ratio %.2f\n", one,
              form.WallpaperList().Count(), seven, sevenFound, seven / one);
}

// The menu's rebuild (its catalogue build included) and the time from its
// end until the menu is on the screen and idle.
void Menu(TForm1& form) {
  const double build = Seconds([&] { form.BuildWallpaperList(); });
  const HWND owner = static_cast<HWND>(form.Handle());
  SetForegroundWindow(owner);
  double rebuild = 0;
  form.PopupMenu1->OnPopup = TNotifyEvent([&](TObject*) { rebuild = Seconds([&] { form.BuildPopupMenu(); }); });
  const double open = UntilIdle([&] { form.PopupMenu1->Popup(10, 10, owner); }, [] { EndMenu(); });
  std::printf(
      "  tray menu: rebuilt in %.3f s (a catalogue build alone: %.3f s), then on screen in %.3f s; %d items, %s\n",
      rebuild, build, open - rebuild, form.PopupMenu1->Count(),
      form.PopupMenu1->Items(form.PopupMenu1->Count() - 3)->Caption == "More..." ? "ending in More..."
                                                                                 : "the whole catalogue");
}

void List(TForm1& form) {
  TFormListWP dialog(&form);
  const double build = Seconds([&] { form.BuildWallpaperList(); });
  const auto start = std::chrono::steady_clock::now();
  double filled = 0;
  const TNotifyEvent formShow = dialog.OnShow;
  dialog.OnShow = TNotifyEvent([&](TObject* sender) {
    filled = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    formShow(sender);
  });
  const double shown = UntilIdle(
      [&] {
        dialog.WPListBox->Items.AddStrings(form.WallpaperList());
        dialog.ShowModal();
      },
      [&] { dialog.SetModalResult(mrCancel); });
  std::printf("  wallpaper list: %d entries filled in %.3f s and shown %.3f s after the catalogue build (%.3f s)\n",
              dialog.WPListBox->Items.Count(), filled, shown, build);
}

// A held arrow key: 40 key presses queued at once over pictures that take a
// while to decode.
void HeldKey(TForm1& form, const fs::path& root) {
  const fs::path pictures = root / "held";
  fs::create_directories(pictures);
  const std::vector<uint8_t> bitmap = WriteBitmapStream(TBitmap(2000, 1500));
  TFormListWP dialog(&form);
  for (int i = 0; i < 41; ++i) {
    const std::string path = (pictures / ("p" + std::to_string(100 + i) + ".bmp")).string();
    WriteWholeFileAtomic(path, bitmap.data(), bitmap.size());
    dialog.WPListBox->Items.Add(path);
  }
  int previews = 0;
  dialog.ImageHolder1->OnImageChange = TNotifyEvent([&](TObject*) { ++previews; });
  TTimer press(nullptr), done(nullptr);
  press.SetInterval(50);
  press.OnTimer = TNotifyEvent([&](TObject*) {
    press.SetEnabled(false);
    const HWND list = static_cast<HWND>(dialog.WPListBox->Handle());
    SetFocus(list);
    for (int i = 0; i < 40; ++i) PostMessageW(list, WM_KEYDOWN, VK_DOWN, 1);
    done.SetEnabled(true);
  });
  done.SetEnabled(false);
  done.SetInterval(3000);
  done.OnTimer = TNotifyEvent([&](TObject*) { dialog.SetModalResult(mrCancel); });
  const double seconds = Seconds([&] { dialog.ShowModal(); });
  std::printf("  held arrow key: 40 presses gave %d preview%s (last selection %d), dialog open %.1f s\n", previews,
              previews == 1 ? "" : "s", dialog.WPListBox->ItemIndex(), seconds);
}

}  // namespace

int main(int argc, char** argv) {
  const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
  TApplication application;
  application.Title = "Kaleidon";
  const fs::path root = fs::temp_directory_path() / ("kaleidon-tray-" + std::to_string(files));
  fs::remove_all(root);
  std::printf("tree of %d files: generating...\n", files);
  MakeTree(root, files);
  StoreBaseDir(root);
  TForm1 form(nullptr);
  Catalogue(form, root);
  Menu(form);
  List(form);
  HeldKey(form, root);
  fs::remove_all(root);
}
