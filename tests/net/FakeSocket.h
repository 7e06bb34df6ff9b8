#pragma once
// A stand-in for the network under the HTTP client: it answers host
// lookups and connections at once, records what the client sends, and
// hands each connection's scripted response over in pieces of a chosen
// size, one piece per posted message, then closes (or stays silent).

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "framework/MessageWindow.h"
#include "net/Wsocket.h"

struct TScriptedReply {
  std::string Bytes;
  bool CloseAfter = true;  // false: the server then says nothing
};

class TFakeSocket : public TCustomWSocket {
public:
  explicit TFakeSocket(size_t pieceSize);

  size_t PieceSize;
  std::deque<TScriptedReply> Replies;  // one per connection, in order
  bool AnswerLookups = true;
  int ConnectError = 0;

  std::vector<std::string> LookedUp;
  std::vector<std::string> ConnectedPorts;
  std::vector<std::string> Requests;  // what each connection was sent
  int Cancels = 0;

  void DnsLookup(const std::string& hostName) override;
  void CancelDnsLookup() override;
  void Connect() override;
  void Close() override;
  int Receive(void* buffer, int len) override;
  int Send(const void* data, int len) override;

private:
  void Next(uint32_t step);

  bool FOpen = false;
  TScriptedReply FReply;
  size_t FReleased = 0, FRead = 0;
  uint32_t FConnection = 0;
  TMessageWindow FWindow;
};
