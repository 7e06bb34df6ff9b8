#pragma once
// A web server on 127.0.0.1 for the update checker's tests, on a thread of
// its own. Each request gets the response served for its path, sent as it
// is; then the connection closes, or, for a stalling response, stays open
// and silent until the server goes, or goes on: with filler bytes as fast as
// the client takes them (endless), or with one now and then (trickling),
// until the client closes or the server goes. A path served nothing gets a 404.

#include <memory>
#include <string>
#include <vector>

struct TServedResponse {
  std::string Bytes;
  bool Stall = false;
  bool Endless = false;
  int TrickleMs = 0;  // a byte every so many milliseconds; 0: none
};

class TLocalServer {
public:
  TLocalServer();
  ~TLocalServer();
  TLocalServer(const TLocalServer&) = delete;
  TLocalServer& operator=(const TLocalServer&) = delete;

  std::string URL(const std::string& path) const;
  void Serve(const std::string& path, TServedResponse response);
  // The paths requested so far, in order, and the whole request headers.
  std::vector<std::string> Requested() const;
  std::vector<std::string> RequestHeads() const;

private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};

// A whole response: status 200, the body's length, the body.
std::string HttpOk(const std::string& body);
// A port on 127.0.0.1 where nothing listens.
int ClosedPort();
