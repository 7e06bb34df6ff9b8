#include <deque>
#include <unordered_map>

#include "framework/MessageWindow.h"
#include "framework/PostedMessages_posix.h"

namespace {

struct TPosted {
  uint64_t Window;
  TMessage Message;
};

// Windows are known by a serial number, never reused, so that a message
// posted to a window that has gone cannot reach a new one at the same address.
struct TQueue {
  uint64_t NextSerial = 1;
  std::unordered_map<uint64_t, TMessageWindow*> Live;
  std::deque<TPosted> Posted;
};

TQueue& Queue() {
  static TQueue queue;
  return queue;
}

}  // namespace

struct TMessageWindow::TImpl {
  uint64_t Serial;
};

TMessageWindow::TMessageWindow(TKind, const std::string&, THandler handler)
    : FHandler(std::move(handler)), FImpl(new TImpl{Queue().NextSerial++}) {
  Queue().Live[FImpl->Serial] = this;
}

TMessageWindow::~TMessageWindow() { Queue().Live.erase(FImpl->Serial); }

void* TMessageWindow::Handle() const { return nullptr; }

void TMessageWindow::Post(uint32_t msg, uintptr_t wParam, intptr_t lParam) const {
  Queue().Posted.push_back({FImpl->Serial, {msg, wParam, lParam}});
}

bool DeliverPostedMessages() {
  TQueue& queue = Queue();
  if (queue.Posted.empty()) return false;
  while (!queue.Posted.empty()) {
    TPosted posted = queue.Posted.front();
    queue.Posted.pop_front();
    const auto window = queue.Live.find(posted.Window);
    if (window != queue.Live.end()) window->second->Handle(posted.Message);
  }
  return true;
}
