#include "framework/EventLoop_posix.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <vector>

#include "framework/PostedMessages_posix.h"

namespace {

struct TWatch {
  int Fd;
  short Events;
  std::function<void(short)> Callback;
};

struct TDeadline {
  TLoopClock::time_point When;
  std::function<void()> Callback;
};

struct TLoop {
  uint64_t NextId = 1;
  std::map<uint64_t, TWatch> Watches;
  std::map<uint64_t, TDeadline> Deadlines;
};

TLoop& Loop() {
  static TLoop loop;
  return loop;
}

// Milliseconds poll may sleep: until the nearest deadline, or for ever (-1).
int PollTimeout(bool wait) {
  if (!wait) return 0;
  const TLoop& loop = Loop();
  if (loop.Deadlines.empty()) return -1;
  TLoopClock::time_point nearest = TLoopClock::time_point::max();
  for (const auto& [id, deadline] : loop.Deadlines) nearest = std::min(nearest, deadline.When);
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(nearest - TLoopClock::now()).count();
  return int(std::clamp<int64_t>(left, 0, 60000));
}

// Callbacks may add or end watches and deadlines: each is looked up again
// by its number before it runs.
void RunReadyDescriptors(int timeout) {
  TLoop& loop = Loop();
  std::vector<pollfd> fds;
  std::vector<uint64_t> ids;
  for (const auto& [id, watch] : loop.Watches) {
    if (watch.Events == 0) continue;
    fds.push_back({watch.Fd, watch.Events, 0});
    ids.push_back(id);
  }
  if (::poll(fds.data(), fds.size(), timeout) <= 0) return;
  for (size_t i = 0; i < fds.size(); ++i) {
    if (fds[i].revents == 0) continue;
    const auto watch = loop.Watches.find(ids[i]);
    if (watch == loop.Watches.end() || watch->second.Events == 0) continue;
    const auto callback = watch->second.Callback;
    callback(fds[i].revents);
  }
}

void RunDueDeadlines() {
  TLoop& loop = Loop();
  const auto now = TLoopClock::now();
  std::vector<uint64_t> due;
  for (const auto& [id, deadline] : loop.Deadlines)
    if (deadline.When <= now) due.push_back(id);
  for (const uint64_t id : due) {
    const auto deadline = loop.Deadlines.find(id);
    if (deadline == loop.Deadlines.end()) continue;
    const auto callback = std::move(deadline->second.Callback);
    loop.Deadlines.erase(deadline);
    callback();
  }
}

}  // namespace

uint64_t WatchDescriptor(int fd, short events, std::function<void(short)> callback) {
  const uint64_t id = Loop().NextId++;
  Loop().Watches[id] = {fd, events, std::move(callback)};
  return id;
}

void ChangeWatch(uint64_t watch, short events) {
  const auto found = Loop().Watches.find(watch);
  if (found != Loop().Watches.end()) found->second.Events = events;
}

void Unwatch(uint64_t watch) { Loop().Watches.erase(watch); }

uint64_t SetDeadline(TLoopClock::time_point when, std::function<void()> callback) {
  const uint64_t id = Loop().NextId++;
  Loop().Deadlines[id] = {when, std::move(callback)};
  return id;
}

void CancelDeadline(uint64_t deadline) { Loop().Deadlines.erase(deadline); }

bool RunEventLoopOnce(bool wait) {
  const bool delivered = DeliverPostedMessages();
  const TLoop& loop = Loop();
  if (loop.Watches.empty() && loop.Deadlines.empty()) return delivered;
  RunReadyDescriptors(PollTimeout(wait && !delivered));
  RunDueDeadlines();
  DeliverPostedMessages();
  return true;
}
