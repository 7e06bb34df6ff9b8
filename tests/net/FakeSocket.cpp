#include "FakeSocket.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t MsgConnected = WM_USER_BASE + 10, MsgPiece = WM_USER_BASE + 11;

}  // namespace

TFakeSocket::TFakeSocket(size_t pieceSize)
    : TCustomWSocket(nullptr),
      PieceSize(pieceSize),
      FWindow(TMessageWindow::TKind::MessageOnly, "fake", [this](TMessage& m) {
        if (m.Msg != MsgConnected && m.Msg != MsgPiece) return false;
        if (m.WParam == FConnection && FOpen) Next(m.Msg);
        return true;
      }) {}

// A dotted address answers within the call, as the real socket does.
void TFakeSocket::DnsLookup(const std::string& hostName) {
  LookedUp.push_back(hostName);
  if (AnswerLookups) TCustomWSocket::DnsLookup("127.0.0.1");
}

void TFakeSocket::CancelDnsLookup() {
  ++Cancels;
  OnDnsLookupDone(this, 10004);
}

void TFakeSocket::Connect() {
  ConnectedPorts.push_back(Port());
  Requests.emplace_back();
  FOpen = true;
  FReply = Replies.empty() ? TScriptedReply{} : Replies.front();
  if (!Replies.empty()) Replies.pop_front();
  FReleased = FRead = 0;
  FWindow.Post(MsgConnected, ++FConnection);
}

void TFakeSocket::Next(uint32_t step) {
  if (step == MsgConnected) {
    OnSessionConnected(this, uint16_t(ConnectError));
    if (ConnectError) FOpen = false;
    return;
  }
  if (FReleased < FReply.Bytes.size()) {
    FReleased = std::min(FReply.Bytes.size(), FReleased + PieceSize);
    OnDataAvailable(this, 0);
    if (FOpen) FWindow.Post(MsgPiece, FConnection);
    return;
  }
  if (!FReply.CloseAfter) return;
  FOpen = false;
  OnSessionClosed(this, 0);
}

// Closing fires OnSessionClosed within the call, as the real socket does.
void TFakeSocket::Close() {
  if (!FOpen) return;
  FOpen = false;
  OnSessionClosed(this, 0);
}

int TFakeSocket::Receive(void* buffer, int len) {
  const size_t count = std::min(size_t(std::max(len, 0)), FReleased - FRead);
  std::memcpy(buffer, FReply.Bytes.data() + FRead, count);
  FRead += count;
  return int(count);
}

// The response starts once the request has been sent.
int TFakeSocket::Send(const void* data, int len) {
  Requests.back().append(static_cast<const char*>(data), size_t(len));
  FWindow.Post(MsgPiece, FConnection);
  return len;
}
