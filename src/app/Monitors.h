#pragma once
// The monitors as the system reports them, and the order the program gives
// them: left to right, then top to bottom. That order numbers them in the
// wallpaper list, gives sorted pictures to them one after another and keeps
// their pictures in the settings "Wallpaper 2", "Wallpaper 3", ...

#include <string>
#include <vector>

// A rectangle of the virtual screen, in pixels; the primary monitor's
// top-left corner is 0,0.
struct TScreenRect {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool Contains(int x, int y) const { return x >= Left && x < Left + Width && y >= Top && y < Top + Height; }
  bool operator==(const TScreenRect&) const = default;
};

struct TMonitor {
  TScreenRect Bounds;
  bool Primary = false;
  std::string Name;  // the system's name of its display, stable while it stays attached
  bool Portrait() const { return Bounds.Height > Bounds.Width; }
  bool operator==(const TMonitor&) const = default;
};

// Left to right, then top to bottom.
std::vector<TMonitor> OrderedMonitors(std::vector<TMonitor> monitors);

// The monitor that holds the point, or the primary one when none does; -1
// for no monitors.
int MonitorAt(const std::vector<TMonitor>& monitors, int x, int y);

// The index of the primary monitor, 0 when none is marked.
int PrimaryMonitor(const std::vector<TMonitor>& monitors);
