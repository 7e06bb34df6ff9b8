// Feeds arbitrary responses to the HTTP client over the tests' scripted
// network: status line, header lines, body framing and redirections. Every
// request must end (OnRequestDone, state ready) with the body it delivered
// counted exactly, never crash, hang or overrun.
//
// Input: one byte giving the size of the pieces the network hands over
// (0 for whole replies), then the replies of successive connections, split
// at the bytes FF FE FD FC.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "FakeSocket.h"
#include "framework/Application.h"
#include "framework/Streams.h"
#include "update/Httpprot.h"

// One client serves every input, as one serves every fetch of the update
// check: each request must start afresh whatever the one before did.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TApplication application;
  static TFakeSocket* net = nullptr;
  static THttpCli* client = [] {
    auto socket = std::make_unique<TFakeSocket>(1);
    net = socket.get();
    return new THttpCli(nullptr, std::move(socket));
  }();
  if (size == 0) return 0;
  net->PieceSize = data[0] ? data[0] : size;
  net->Replies.clear();
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  for (;;) {
    const size_t split = rest.find("\xFF\xFE\xFD\xFC");
    net->Replies.push_back({std::string(rest.substr(0, split)), true});
    if (split == std::string_view::npos) break;
    rest.remove_prefix(split + 4);
  }
  TMemoryStream body;
  client->ReceiveStream = &body;
  client->URL = "http://fuzz.test/dir/page?q=1";
  bool done = false;
  client->OnRequestDone = THttpRequestDone([&](TObject*, THttpRequest, uint16_t) { done = true; });
  client->GetASync();
  for (int spins = 0; !done && spins < 1000000; ++spins) application.ProcessMessages();
  if (!done || client->State() != httpReady || client->ReceivedBytes() != int64_t(body.Data().size())) std::abort();
  return 0;
}
