#include "app/Monitors.h"

#include <algorithm>
#include <tuple>

std::vector<TMonitor> OrderedMonitors(std::vector<TMonitor> monitors) {
  std::stable_sort(monitors.begin(), monitors.end(), [](const TMonitor& a, const TMonitor& b) {
    return std::tie(a.Bounds.Left, a.Bounds.Top) < std::tie(b.Bounds.Left, b.Bounds.Top);
  });
  return monitors;
}

int PrimaryMonitor(const std::vector<TMonitor>& monitors) {
  for (size_t i = 0; i < monitors.size(); ++i)
    if (monitors[i].Primary) return int(i);
  return 0;
}

int MonitorAt(const std::vector<TMonitor>& monitors, int x, int y) {
  if (monitors.empty()) return -1;
  for (size_t i = 0; i < monitors.size(); ++i)
    if (monitors[i].Bounds.Contains(x, y)) return int(i);
  return PrimaryMonitor(monitors);
}
