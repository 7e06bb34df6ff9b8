#include "LocalServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace {

int Listener(sockaddr_in& address) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    throw std::runtime_error("cannot bind a port on 127.0.0.1");
  return fd;
}

// The request's header, once it has arrived.
std::string RequestHead(int connection) {
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos) {
    pollfd wait{connection, POLLIN, 0};
    if (::poll(&wait, 1, 5000) <= 0) return {};
    const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
    if (got <= 0) return {};
    head.append(buffer, size_t(got));
  }
  return head;
}

std::string PathOf(const std::string& head) {
  const size_t start = head.find(' ') + 1;
  return head.substr(start, head.find(' ', start) - start);
}

bool SendAll(int connection, const std::string& bytes) {
  for (size_t sent = 0; sent < bytes.size();) {
    const ssize_t n = ::send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += size_t(n);
  }
  return true;
}

}  // namespace

struct TLocalServer::TImpl {
  int Fd = -1;
  int Port = 0;
  int Wake[2] = {-1, -1};
  mutable std::mutex Lock;
  std::map<std::string, TServedResponse> Routes;
  std::vector<std::string> Heads;
  std::vector<int> Stalled;
  std::thread Thread;

  void Run() {
    for (;;) {
      pollfd waits[2] = {{Fd, POLLIN, 0}, {Wake[0], POLLIN, 0}};
      ::poll(waits, 2, -1);
      if (waits[1].revents) return;
      const int connection = ::accept4(Fd, nullptr, nullptr, SOCK_CLOEXEC);
      if (connection >= 0) Answer(connection);
    }
  }

  void Answer(int connection) {
    const std::string head = RequestHead(connection);
    TServedResponse response{"HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n"};
    {
      const std::lock_guard<std::mutex> held(Lock);
      Heads.push_back(head);
      if (const auto route = Routes.find(PathOf(head)); route != Routes.end()) response = route->second;
      if (response.Stall) Stalled.push_back(connection);
    }
    if (SendAll(connection, response.Bytes)) GoOn(connection, response);
    if (!response.Stall) ::close(connection);
  }

  // Endless or trickling bytes until the client closes or the server goes.
  void GoOn(int connection, const TServedResponse& response) {
    if (!response.Endless && response.TrickleMs == 0) return;
    const std::string filler(response.Endless ? 65536 : 1, 'x');
    for (;;) {
      pollfd wake{Wake[0], POLLIN, 0};
      if (::poll(&wake, 1, response.TrickleMs) > 0 || !SendAll(connection, filler)) return;
    }
  }
};

TLocalServer::TLocalServer() : FImpl(new TImpl) {
  sockaddr_in address;
  FImpl->Fd = Listener(address);
  FImpl->Port = ntohs(address.sin_port);
  if (::listen(FImpl->Fd, 8) != 0 || ::pipe2(FImpl->Wake, O_CLOEXEC) != 0)
    throw std::runtime_error("cannot listen on 127.0.0.1");
  FImpl->Thread = std::thread([this] { FImpl->Run(); });
}

TLocalServer::~TLocalServer() {
  (void)::write(FImpl->Wake[1], "x", 1);
  FImpl->Thread.join();
  for (const int connection : FImpl->Stalled) ::close(connection);
  for (const int fd : {FImpl->Fd, FImpl->Wake[0], FImpl->Wake[1]}) ::close(fd);
}

std::string TLocalServer::URL(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(FImpl->Port) + path;
}

void TLocalServer::Serve(const std::string& path, TServedResponse response) {
  const std::lock_guard<std::mutex> held(FImpl->Lock);
  FImpl->Routes[path] = std::move(response);
}

std::vector<std::string> TLocalServer::Requested() const {
  const std::lock_guard<std::mutex> held(FImpl->Lock);
  std::vector<std::string> paths;
  for (const std::string& head : FImpl->Heads) paths.push_back(PathOf(head));
  return paths;
}

std::vector<std::string> TLocalServer::RequestHeads() const {
  const std::lock_guard<std::mutex> held(FImpl->Lock);
  return FImpl->Heads;
}

std::string HttpOk(const std::string& body) {
  return "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

int ClosedPort() {
  sockaddr_in address;
  const int fd = Listener(address);
  ::close(fd);
  return ntohs(address.sin_port);
}
