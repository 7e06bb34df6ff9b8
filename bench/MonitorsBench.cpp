// A picture per monitor on two 4K monitors side by side (one 7680 by 2160
// bitmap composed from two 6000 by 4000 JPEGs, each stretched for its own
// monitor) against the single-monitor apply of one of them on one 4K
// monitor: the time of each (best of three) and each one's peak memory
// (its own process), with the peak the composition aims at: 1.5 times the
// composed bitmap plus the largest decoded picture.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "BenchTiming.h"
#include "app/Desktop.h"
#include "app/Mainform.h"
#include "framework/Application.h"
#include "framework/RegIniFile.h"

namespace {

// A desktop of 4K monitors in a row, without a shell.
class TBenchDesktop : public TDesktop {
public:
  TBenchDesktop(std::string appData, int monitors) : FAppData(std::move(appData)) {
    for (int i = 0; i < monitors; ++i)
      FMonitors.push_back({{3840 * i, 0, 3840, 2160}, i == 0, "M" + std::to_string(i)});
  }
  std::string LocalAppDataDirectory() override { return FAppData; }
  int ScreenWidth() override { return 3840; }
  int ScreenHeight() override { return 2160; }
  std::vector<TMonitor> Monitors() override { return FMonitors; }
  TScreenRect VirtualScreen() override { return {0, 0, 3840 * int(FMonitors.size()), 2160}; }
  bool SetWallpaperFile(const std::string&, std::string&) override { return true; }
  void BroadcastSettingChange() override {}
  int MenuLineHeight() override { return 19; }
  int MenuItemWidth(const std::string& caption) override { return 7 * int(caption.size()); }
  uint32_t DesktopColor() override { return 0; }
  bool NotifyShell(TShellAction, void*, const std::string&) override { return true; }
  uint32_t TaskbarCreatedMessage() override { return 0; }
  void CursorPos(int& x, int& y) override { x = y = 0; }
  TShiftState KeyState() override { return {}; }
  void ToForeground(void*) override {}

private:
  std::string FAppData;
  std::vector<TMonitor> FMonitors;
};

// Best of three changes on a controller of its own, in seconds.
double ChangeSeconds(const std::filesystem::path& dir, int monitors) {
  TApplication application;
  TBenchDesktop desktop((dir / "appdata").string(), monitors);
  TRegIniFile settings("Software\\Trellwick\\Kaleidon");
  settings.WriteString("Settings", "WPLocation", (dir / "pictures").string());
  settings.WriteString("Settings", "Random Paper", "0");
  settings.WriteString("Settings", "Monitors", monitors > 1 ? "1" : "0");
  TForm1 form(nullptr, desktop);
  double best = 1e9;
  for (int run = 0; run < 3; ++run) best = std::min(best, Seconds([&] { form.ChangeWallpaper(); }));
  return best;
}

// The job's time, from a process of its own so that its peak memory is its own.
struct TRun {
  double Seconds = 0;
  double PeakMiB = 0;
};

TRun InChild(const std::filesystem::path& dir, int monitors) {
  int pipe[2];
  if (::pipe(pipe) != 0) std::exit(1);
  const pid_t child = ::fork();
  if (child == 0) {
    const double seconds = ChangeSeconds(dir, monitors);
    if (::write(pipe[1], &seconds, sizeof seconds) != sizeof seconds) std::_Exit(1);
    std::_Exit(0);
  }
  TRun run;
  if (::read(pipe[0], &run.Seconds, sizeof run.Seconds) != sizeof run.Seconds) std::exit(1);
  int status = 0;
  struct rusage usage {};
  ::wait4(child, &status, 0, &usage);
  run.PeakMiB = double(usage.ru_maxrss) / 1024.0;
  return run;
}

}  // namespace

int main() {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "kaleidon-monitors-bench";
  std::filesystem::remove_all(dir);
  ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
  const auto files =
      MakeSamples(dir / "pictures", {
                                        {"a.jpg", "-size 6000x4000 gradient:navy-orange -swirl 120 -quality 90 "},
                                        {"b.jpg", "-size 6000x4000 gradient:darkgreen-khaki -swirl -120 -quality 90 "},
                                    });
  if (files.size() != 2) {
    std::fprintf(stderr, "ImageMagick could not make the samples\n");
    return 1;
  }
  const TRun single = InChild(dir, 1), composed = InChild(dir, 2);
  const double bitmapMiB = 7680.0 * 2160 * 3 / (1 << 20), decodedMiB = 6000.0 * 4000 * 3 / (1 << 20);
  std::printf("one 4K monitor, one 6000x4000 JPEG: %.2f s, peak %.0f MiB\n", single.Seconds, single.PeakMiB);
  std::printf("two 4K monitors, two 6000x4000 JPEGs composed: %.2f s, peak %.0f MiB\n", composed.Seconds,
              composed.PeakMiB);
  std::printf("time ratio %.2f (goal <= 2.2); peak %.0f MiB against the goal's %.0f MiB (1.5 x %.0f + %.0f)\n",
              composed.Seconds / single.Seconds, composed.PeakMiB, 1.5 * bitmapMiB + decodedMiB, bitmapMiB, decodedMiB);
  std::filesystem::remove_all(dir);
  return 0;
}
