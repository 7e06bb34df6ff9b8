// winsock2.h before windows.h: the handle owners include windows.h.
#include <winsock2.h>

#include <map>

#include "framework/Handles_win.h"
#include "framework/MessageWindow.h"
#include "net/Wsocket.h"

namespace {

constexpr uint32_t WM_ASYNCSELECT = WM_USER_BASE + 1;
constexpr uint32_t WM_ASYNCGETHOSTBYNAME = WM_USER_BASE + 2;

struct TSocketTraits {
  using TValue = SOCKET;
  static TValue None() { return INVALID_SOCKET; }
  static void Close(TValue s) { closesocket(s); }
};
using TSocketHandle = THandle<TSocketTraits>;

// Windows Sockets is started with the first socket and ended with the last.
struct TWinsock {
  int LiveSockets = 0;

  void Start() {
    if (LiveSockets++ > 0) return;
    WSADATA data;
    if (const int error = WSAStartup(MAKEWORD(1, 1), &data)) {
      --LiveSockets;
      throw ESocketException("wsock32.dll: WSAStartup error #" + std::to_string(error));
    }
  }
  void Stop() {
    if (--LiveSockets == 0) WSACleanup();
  }
};

TWinsock& Winsock() {
  static TWinsock winsock;
  return winsock;
}

// The host entry a lookup writes into lives until its reply has arrived:
// the system may write to it after the lookup was cancelled, or after the
// socket that asked has gone. Buffers whose reply never comes stay here.
std::map<uintptr_t, std::unique_ptr<char[]>>& LookupBuffers() {
  static std::map<uintptr_t, std::unique_ptr<char[]>> buffers;
  return buffers;
}

}  // namespace

struct TCustomWSocket::TImpl {
  TImpl() { Winsock().Start(); }
  ~TImpl() {
    Socket.Reset();
    Winsock().Stop();
  }
  TSocketHandle Socket;
  HANDLE Lookup = nullptr;
};

TCustomWSocket::TImpl* TCustomWSocket::OsNewImpl() { return new TImpl; }

void TCustomWSocket::TImplDeleter::operator()(TImpl* impl) const { delete impl; }

bool TCustomWSocket::OsHasSocket() const { return FImpl->Socket.Valid(); }

uintptr_t TCustomWSocket::OsSocketId() const { return uintptr_t(FImpl->Socket.Get()); }

int TCustomWSocket::OsOpen(int protocol) {
  FImpl->Socket.Reset(socket(AF_INET, SOCK_STREAM, protocol));
  return FImpl->Socket ? 0 : WSAGetLastError();
}

int TCustomWSocket::OsSetOption(int option, int value) {
  const int name = option == soKeepAlive ? SO_KEEPALIVE : SO_REUSEADDR;
  const BOOL on = value != 0;
  if (setsockopt(FImpl->Socket.Get(), SOL_SOCKET, name, reinterpret_cast<const char*>(&on), sizeof on) == 0) return 0;
  return WSAGetLastError();
}

int TCustomWSocket::OsSetLinger(bool on, int seconds) {
  const linger value{u_short(on ? 1 : 0), u_short(seconds)};
  if (setsockopt(FImpl->Socket.Get(), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&value), sizeof value) == 0)
    return 0;
  return WSAGetLastError();
}

int TCustomWSocket::OsSelect() {
  const long events = FD_READ | FD_WRITE | FD_ACCEPT | FD_CONNECT | FD_CLOSE;
  if (WSAAsyncSelect(FImpl->Socket.Get(), static_cast<HWND>(FWindow->Handle()), WM_ASYNCSELECT, events) == 0) return 0;
  return WSAGetLastError();
}

int TCustomWSocket::OsConnect(uint32_t addr, uint16_t port) {
  sockaddr_in sin{};
  sin.sin_family = AF_INET;
  sin.sin_port = htons(port);
  sin.sin_addr.s_addr = addr;
  if (connect(FImpl->Socket.Get(), reinterpret_cast<const sockaddr*>(&sin), sizeof sin) == 0) return 0;
  return WSAGetLastError();
}

int TCustomWSocket::OsShutdown() { return shutdown(FImpl->Socket.Get(), SD_BOTH) == 0 ? 0 : WSAGetLastError(); }

// The notifications already queued for the closed socket are dropped: the
// system gives its number to the next socket at once, and they would read
// as that socket's. A quit request, which the system hands out whatever the
// filter, is posted again for the loop it was meant for.
int TCustomWSocket::OsCloseSocket() {
  if (closesocket(FImpl->Socket.Get()) != 0) {
    const int error = WSAGetLastError();
    if (error == WSAEWOULDBLOCK) return error;
  }
  FImpl->Socket.Release();
  MSG stale;
  const HWND window = static_cast<HWND>(FWindow->Handle());
  while (PeekMessageW(&stale, window, WM_ASYNCSELECT, WM_ASYNCSELECT, PM_REMOVE)) {
    if (stale.message == WM_QUIT) {
      PostQuitMessage(int(stale.wParam));
      break;
    }
  }
  return 0;
}

int TCustomWSocket::OsSend(const void* data, int len) {
  const int sent = send(FImpl->Socket.Get(), static_cast<const char*>(data), len, 0);
  return sent == SOCKET_ERROR ? -WSAGetLastError() : sent;
}

int TCustomWSocket::OsReceive(void* buffer, int len) {
  const int got = recv(FImpl->Socket.Get(), static_cast<char*>(buffer), len > 0 ? len : 0, 0);
  return got == SOCKET_ERROR ? -WSAGetLastError() : got;
}

int TCustomWSocket::OsBytesWaiting(int& count) {
  u_long waiting = 0;
  if (ioctlsocket(FImpl->Socket.Get(), FIONREAD, &waiting) != 0) return WSAGetLastError();
  count = int(waiting);
  return 0;
}

int TCustomWSocket::OsStartLookup(const std::string& hostName, uintptr_t& lookup) {
  auto buffer = std::make_unique<char[]>(MAXGETHOSTSTRUCT);
  const HANDLE handle = WSAAsyncGetHostByName(static_cast<HWND>(FWindow->Handle()), WM_ASYNCGETHOSTBYNAME,
                                              hostName.c_str(), buffer.get(), MAXGETHOSTSTRUCT);
  if (!handle) return WSAGetLastError();
  LookupBuffers()[uintptr_t(handle)] = std::move(buffer);
  FImpl->Lookup = handle;
  lookup = uintptr_t(handle);
  return 0;
}

// A cancel that comes too late (the reply is already queued) is no failure:
// the reply then finds no lookup and is ignored.
int TCustomWSocket::OsCancelLookup() {
  const HANDLE handle = FImpl->Lookup;
  FImpl->Lookup = nullptr;
  if (WSACancelAsyncRequest(handle) == 0) return 0;
  const int error = WSAGetLastError();
  return error == WSAEINVAL || error == WSAEALREADY ? 0 : error;
}

bool TCustomWSocket::OsTakeLookupResult(uintptr_t lookup, std::vector<std::string>& addresses) {
  const auto buffer = LookupBuffers().find(lookup);
  if (buffer == LookupBuffers().end()) return false;
  const std::unique_ptr<char[]> entry = std::move(buffer->second);
  LookupBuffers().erase(buffer);
  if (uintptr_t(FImpl->Lookup) != lookup) return false;
  FImpl->Lookup = nullptr;
  const auto* host = reinterpret_cast<const hostent*>(entry.get());
  if (host->h_addrtype != AF_INET || !host->h_addr_list) return true;
  for (char** address = host->h_addr_list; *address; ++address) {
    in_addr in;
    memcpy(&in, *address, sizeof in);
    addresses.emplace_back(inet_ntoa(in));
  }
  return true;
}

bool TCustomWSocket::OsResolveName(const std::string& name, uint32_t& addr) {
  const hostent* host = gethostbyname(name.c_str());
  if (!host || host->h_addrtype != AF_INET || !host->h_addr_list || !host->h_addr_list[0]) return false;
  memcpy(&addr, host->h_addr_list[0], sizeof addr);
  return true;
}

std::optional<int> TCustomWSocket::OsLookupService(const std::string& name, const std::string& proto) {
  const servent* service = getservbyname(name.c_str(), proto.c_str());
  if (!service) return std::nullopt;
  return ntohs(uint16_t(service->s_port));
}

std::optional<int> TCustomWSocket::OsLookupProtocol(const std::string& name) {
  const protoent* entry = getprotobyname(name.c_str());
  if (!entry) return std::nullopt;
  return entry->p_proto;
}
