#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "framework/EventLoop_posix.h"
#include "framework/Handles_posix.h"
#include "framework/MessageWindow.h"
#include "net/Wsocket.h"

namespace {

constexpr uint32_t WM_ASYNCSELECT = WM_USER_BASE + 1;
constexpr uint32_t WM_ASYNCGETHOSTBYNAME = WM_USER_BASE + 2;
constexpr uint16_t FD_READ_EVENT = 0x01, FD_WRITE_EVENT = 0x02, FD_CONNECT_EVENT = 0x10, FD_CLOSE_EVENT = 0x20;

// The numbers Windows Sockets gives the same failures.
int WinsockError(int error) {
  switch (error) {
    case 0: return 0;
    case EINTR: return 10004;
    case EBADF: return 10009;
    case EACCES: return 10013;
    case EFAULT: return 10014;
    case EINVAL: return 10022;
    case EMFILE: return 10024;
    case EAGAIN: return 10035;
    case EINPROGRESS: return 10036;
    case EALREADY: return 10037;
    case ENOTSOCK: return 10038;
    case EDESTADDRREQ: return 10039;
    case EMSGSIZE: return 10040;
    case EPROTOTYPE: return 10041;
    case ENOPROTOOPT: return 10042;
    case EPROTONOSUPPORT: return 10043;
    case ESOCKTNOSUPPORT: return 10044;
    case EOPNOTSUPP: return 10045;
    case EPFNOSUPPORT: return 10046;
    case EAFNOSUPPORT: return 10047;
    case EADDRINUSE: return 10048;
    case EADDRNOTAVAIL: return 10049;
    case ENETDOWN: return 10050;
    case ENETUNREACH: return 10051;
    case ENETRESET: return 10052;
    case ECONNABORTED: return 10053;
    case ECONNRESET:
    case EPIPE: return 10054;
    case ENOBUFS: return 10055;
    case EISCONN: return 10056;
    case ENOTCONN: return 10057;
    case ESHUTDOWN: return 10058;
    case ETOOMANYREFS: return 10059;
    case ETIMEDOUT: return 10060;
    case ECONNREFUSED: return 10061;
    case ELOOP: return 10062;
    case ENAMETOOLONG: return 10063;
    case EHOSTDOWN: return 10064;
    case EHOSTUNREACH: return 10065;
    default: return 10000 + error;
  }
}

int LookupError(int error) {
  switch (error) {
    case 0: return 0;
    case EAI_AGAIN: return 11002;
    case EAI_FAIL: return 11003;
    case EAI_NODATA: return 11004;
    default: return weHostNotFound;
  }
}

// The addresses of a name, in the order the resolver gives them.
int ResolveAll(const std::string& name, std::vector<std::string>& addresses) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int error = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
  if (error) return LookupError(error);
  for (const addrinfo* a = found; a; a = a->ai_next) {
    char text[INET_ADDRSTRLEN];
    const auto* sin = reinterpret_cast<const sockaddr_in*>(a->ai_addr);
    ::inet_ntop(AF_INET, &sin->sin_addr, text, sizeof text);
    addresses.emplace_back(text);
  }
  ::freeaddrinfo(found);
  return addresses.empty() ? weHostNotFound : 0;
}

// One lookup by name, run on a thread of its own since the system's lookup
// blocks. The thread shares the job: a cancelled lookup's job, and the pipe
// the thread signals on, live until the thread is done.
struct TLookupJob {
  std::string Name;
  std::vector<std::string> Addresses;
  int Error = 0;
  TFd ReadEnd, WriteEnd;
};

}  // namespace

struct TCustomWSocket::TImpl {
  TFd Socket;
  uint64_t Watch = 0;
  bool Connecting = false;
  bool Closed = false;  // the close event has been reported
  std::shared_ptr<TLookupJob> Lookup;
  uint64_t LookupWatch = 0;
  uintptr_t LookupNumber = 0;

  ~TImpl() {
    Unwatch(Watch);
    Unwatch(LookupWatch);
  }
};

TCustomWSocket::TImpl* TCustomWSocket::OsNewImpl() { return new TImpl; }

void TCustomWSocket::TImplDeleter::operator()(TImpl* impl) const { delete impl; }

uintptr_t TCustomWSocket::OsSocketId() const { return uintptr_t(FImpl->Socket.Get()); }

bool TCustomWSocket::OsHasSocket() const { return FImpl->Socket.Valid(); }

int TCustomWSocket::OsOpen(int protocol) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol);
  if (fd < 0) return WinsockError(errno);
  FImpl->Socket.Reset(fd);
  FImpl->Closed = false;
  return 0;
}

int TCustomWSocket::OsSetOption(int option, int value) {
  const int name = option == soKeepAlive ? SO_KEEPALIVE : SO_REUSEADDR;
  if (::setsockopt(FImpl->Socket.Get(), SOL_SOCKET, name, &value, sizeof value) == 0) return 0;
  return WinsockError(errno);
}

int TCustomWSocket::OsSetLinger(bool on, int seconds) {
  const linger value{on ? 1 : 0, seconds};
  if (::setsockopt(FImpl->Socket.Get(), SOL_SOCKET, SO_LINGER, &value, sizeof value) == 0) return 0;
  return WinsockError(errno);
}

// The descriptor's readiness becomes the events Windows Sockets would post:
// connect once writable after connecting, read while bytes wait, close once
// the peer's end (or a reset) is all that is left, write when a send that
// would have blocked can go on. Each is delivered at once through the hidden
// window's guard.
int TCustomWSocket::OsSelect() {
  FImpl->Connecting = true;
  FImpl->Watch = WatchDescriptor(FImpl->Socket.Get(), POLLOUT, [this](short revents) {
    TImpl& impl = *FImpl;
    const int fd = impl.Socket.Get();
    uint16_t events = 0, error = 0;
    if (impl.Connecting) {
      int soError = 0;
      socklen_t size = sizeof soError;
      ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &size);
      impl.Connecting = false;
      events = FD_CONNECT_EVENT;
      error = uint16_t(WinsockError(soError));
      ChangeWatch(impl.Watch, error ? 0 : POLLIN);
    } else {
      if (revents & POLLOUT) {
        events |= FD_WRITE_EVENT;
        ChangeWatch(impl.Watch, POLLIN);
      }
      if (revents & (POLLIN | POLLHUP | POLLERR)) {
        char peek;
        const ssize_t got = ::recv(fd, &peek, 1, MSG_PEEK);
        if (got > 0) {
          events |= FD_READ_EVENT;
        } else if (got == 0 || errno != EAGAIN) {
          events |= FD_CLOSE_EVENT;
          error = got == 0 ? 0 : uint16_t(WinsockError(errno));
          impl.Closed = true;
          ChangeWatch(impl.Watch, 0);
        }
      }
    }
    if (!events) return;
    TMessage message{WM_ASYNCSELECT, uintptr_t(fd), intptr_t(events | uint32_t(error) << 16)};
    FWindow->Handle(message);
  });
  return 0;
}

int TCustomWSocket::OsConnect(uint32_t addr, uint16_t port) {
  sockaddr_in sin{};
  sin.sin_family = AF_INET;
  sin.sin_port = htons(port);
  sin.sin_addr.s_addr = addr;
  if (::connect(FImpl->Socket.Get(), reinterpret_cast<const sockaddr*>(&sin), sizeof sin) == 0) return 0;
  return errno == EINPROGRESS ? weWouldBlock : WinsockError(errno);
}

int TCustomWSocket::OsShutdown() { return ::shutdown(FImpl->Socket.Get(), SHUT_RDWR) == 0 ? 0 : WinsockError(errno); }

int TCustomWSocket::OsCloseSocket() {
  Unwatch(FImpl->Watch);
  FImpl->Watch = 0;
  FImpl->Connecting = false;
  return ::close(FImpl->Socket.Release()) == 0 ? 0 : WinsockError(errno);
}

// A send that would block asks for the write event.
int TCustomWSocket::OsSend(const void* data, int len) {
  const ssize_t sent = ::send(FImpl->Socket.Get(), data, size_t(len), MSG_NOSIGNAL);
  if (sent >= 0) return int(sent);
  const int error = WinsockError(errno);
  if (error == weWouldBlock && !FImpl->Closed) ChangeWatch(FImpl->Watch, POLLIN | POLLOUT);
  return -error;
}

int TCustomWSocket::OsReceive(void* buffer, int len) {
  if (!FImpl->Socket) return -weNotSocket;
  const ssize_t got = ::recv(FImpl->Socket.Get(), buffer, size_t(len > 0 ? len : 0), 0);
  return got >= 0 ? int(got) : -WinsockError(errno);
}

int TCustomWSocket::OsBytesWaiting(int& count) {
  return ::ioctl(FImpl->Socket.Get(), FIONREAD, &count) == 0 ? 0 : WinsockError(errno);
}

int TCustomWSocket::OsStartLookup(const std::string& hostName, uintptr_t& lookup) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return WinsockError(errno);
  auto job = std::make_shared<TLookupJob>();
  job->Name = hostName;
  job->ReadEnd.Reset(fds[0]);
  job->WriteEnd.Reset(fds[1]);
  std::thread([job] {
    job->Error = ResolveAll(job->Name, job->Addresses);
    const char done = 1;
    [[maybe_unused]] const ssize_t written = ::write(job->WriteEnd.Get(), &done, 1);
  }).detach();
  FImpl->Lookup = job;
  lookup = ++FImpl->LookupNumber;
  FImpl->LookupWatch = WatchDescriptor(job->ReadEnd.Get(), POLLIN, [this, lookup](short) {
    Unwatch(FImpl->LookupWatch);
    FImpl->LookupWatch = 0;
    TMessage message{WM_ASYNCGETHOSTBYNAME, lookup, intptr_t(uint32_t(FImpl->Lookup->Error) << 16)};
    FWindow->Handle(message);
  });
  return 0;
}

int TCustomWSocket::OsCancelLookup() {
  Unwatch(FImpl->LookupWatch);
  FImpl->LookupWatch = 0;
  FImpl->Lookup.reset();
  return 0;
}

bool TCustomWSocket::OsTakeLookupResult(uintptr_t lookup, std::vector<std::string>& addresses) {
  if (!FImpl->Lookup || lookup != FImpl->LookupNumber) return false;
  addresses = std::move(FImpl->Lookup->Addresses);
  FImpl->Lookup.reset();
  return true;
}

bool TCustomWSocket::OsResolveName(const std::string& name, uint32_t& addr) {
  std::vector<std::string> addresses;
  if (ResolveAll(name, addresses)) return false;
  return ::inet_pton(AF_INET, addresses.front().c_str(), &addr) == 1;
}

std::optional<int> TCustomWSocket::OsLookupService(const std::string& name, const std::string& proto) {
  const servent* service = ::getservbyname(name.c_str(), proto.c_str());
  if (!service) return std::nullopt;
  return ntohs(uint16_t(service->s_port));
}

std::optional<int> TCustomWSocket::OsLookupProtocol(const std::string& name) {
  const protoent* entry = ::getprotobyname(name.c_str());
  if (!entry) return std::nullopt;
  return entry->p_proto;
}
