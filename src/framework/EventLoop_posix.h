#pragma once
// The event loop of systems without a window manager: it delivers the
// messages posted to hidden windows, waits on descriptors (poll) and runs
// deadlines, all on the one thread that runs the application. The
// application's Run, ProcessMessages and HandleMessage drive it; sockets
// watch their descriptors here and timers set their deadlines here.
// Included only by the POSIX halves of units.

#include <chrono>
#include <cstdint>
#include <functional>

using TLoopClock = std::chrono::steady_clock;

// Calls Callback with poll's revents whenever the descriptor is ready for
// Events (POLLIN, POLLOUT). The answer is the watch's number, never reused.
uint64_t WatchDescriptor(int fd, short events, std::function<void(short revents)> callback);
// Changes what a watch waits for; 0 pauses it.
void ChangeWatch(uint64_t watch, short events);
// Ends a watch; a readiness already seen for it is not reported.
void Unwatch(uint64_t watch);

// Calls Callback once, at When or soon after. The answer is never reused.
uint64_t SetDeadline(TLoopClock::time_point when, std::function<void()> callback);
void CancelDeadline(uint64_t deadline);

// One round: posted messages, then ready descriptors and due deadlines, then
// the messages those posted. With Wait it sleeps until there is something to
// do. False when it has nothing to wait for (no watch, no deadline) and
// delivered nothing: then nothing can ever happen.
bool RunEventLoopOnce(bool wait);
