#include "net/Wsocket.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "framework/Application.h"
#include "framework/MessageWindow.h"
#include "framework/SysUtils.h"

namespace {

// The hidden window's messages. The select message carries the socket in
// WParam and the events and error in LParam's words, as Windows Sockets
// posts it; the lookup message carries the lookup and its error.
constexpr uint32_t WM_ASYNCSELECT = WM_USER_BASE + 1;
constexpr uint32_t WM_ASYNCGETHOSTBYNAME = WM_USER_BASE + 2;
// Our own "all sent" after a Send that went out at once, carrying the
// connection it belongs to.
constexpr uint32_t WM_DATASENT = WM_USER_BASE + 4;

// Notification events, numbered as Windows Sockets numbers them.
constexpr uint16_t FD_READ_EVENT = 0x01, FD_WRITE_EVENT = 0x02, FD_CONNECT_EVENT = 0x10, FD_CLOSE_EVENT = 0x20;

constexpr int BlockSize = 1514;

uintptr_t NextConnection() {
  static uintptr_t next = 1;
  return next++;
}

// Four decimal numbers of 0 to 255 separated by dots, leading zeros allowed.
bool ParseDotted(const std::string& text, uint32_t& addr) {
  uint8_t parts[4];
  size_t at = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0 && (at >= text.size() || text[at++] != '.')) return false;
    unsigned value = 0;
    size_t digits = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 4) {
      value = value * 10 + unsigned(text[at++] - '0');
      ++digits;
    }
    if (digits == 0 || digits > 3 || value > 255) return false;
    parts[part] = uint8_t(value);
  }
  if (at != text.size()) return false;
  std::memcpy(&addr, parts, 4);
  return true;
}

std::string DottedText(uint32_t addr) {
  uint8_t parts[4];
  std::memcpy(parts, &addr, 4);
  return Format("%u.%u.%u.%u", parts[0], parts[1], parts[2], parts[3]);
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Port and Proto: a number, read up to its first non-digit (leading spaces
// skipped), or a name the system's database knows; none for neither, for an
// empty text and for a number above Max.
template <class Lookup>
std::optional<int> NumberOrName(const std::string& value, int max, Lookup lookup) {
  const std::string text = Trim(value);
  if (text.empty()) return std::nullopt;
  if (text[0] < '0' || text[0] > '9') return lookup(text);
  int number = 0;
  for (size_t i = 0; i < text.size() && text[i] >= '0' && text[i] <= '9' && number <= max; ++i)
    number = number * 10 + (text[i] - '0');
  if (number > max) return std::nullopt;
  return number;
}

}  // namespace

std::string WSocketErrorDesc(int code) {
  static const struct {
    int Code;
    const char* Text;
  } texts[] = {
      {0, "No Error"},
      {10004, "Interrupted system call"},
      {10009, "Bad file number"},
      {10013, "Permission denied"},
      {10014, "Bad address"},
      {10022, "Invalid argument"},
      {10024, "Too many open files"},
      {10035, "Operation would block"},
      {10036, "Operation now in progress"},
      {10037, "Operation already in progress"},
      {10038, "Socket operation on non-socket"},
      {10039, "Destination address required"},
      {10040, "Message too long"},
      {10041, "Protocol wrong type for socket"},
      {10042, "Protocol not available"},
      {10043, "Protocol not supported"},
      {10044, "Socket type not supported"},
      {10045, "Operation not supported on socket"},
      {10046, "Protocol family not supported"},
      {10047, "Address family not supported by protocol family"},
      {10048, "Address already in use"},
      {10049, "Address not available"},
      {10050, "Network is down"},
      {10051, "Network is unreachable"},
      {10052, "Network dropped connection on reset"},
      {10053, "Connection aborted"},
      {10054, "Connection reset by peer"},
      {10055, "No buffer space available"},
      {10056, "Socket is already connected"},
      {10057, "Socket is not connected"},
      {10058, "Can't send after socket shutdown"},
      {10059, "Too many references: can't splice"},
      {10060, "Connection timed out"},
      {10061, "Connection refused"},
      {10062, "Too many levels of symbolic links"},
      {10063, "File name too long"},
      {10064, "Host is down"},
      {10065, "No route to host"},
      {10066, "Directory not empty"},
      {10067, "Too many processes"},
      {10068, "Too many users"},
      {10069, "Disc quota exceeded"},
      {10070, "Stale NFS file handle"},
      {10071, "Too many levels of remote in path"},
      {10091, "Network sub-system is unusable"},
      {10092, "WinSock DLL cannot support this application"},
      {10093, "WinSock not initialized"},
      {11001, "Host not found"},
      {11002, "Non-authoritative host not found"},
      {11003, "Non-recoverable error"},
      {11004, "No Data"},
  };
  for (const auto& entry : texts)
    if (entry.Code == code) return entry.Text;
  return "Not a WinSock error";
}

uint32_t WSocketResolveHost(const std::string& host) {
  uint32_t addr = 0;
  if (ParseDotted(host, addr) || TCustomWSocket::OsResolveName(host, addr)) return addr;
  throw ESocketException("SetAddr: Cannot convert host address '" + host + "'");
}

TCustomWSocket::TCustomWSocket(TComponent* AOwner) : TComponent(AOwner) {
  FWindow = std::make_unique<TMessageWindow>(TMessageWindow::TKind::MessageOnly, "TWSocket", [this](TMessage& m) {
    if (m.Msg < WM_ASYNCSELECT || m.Msg > WM_DATASENT) return false;
    WndProc(m);
    return true;
  });
  FImpl.reset(OsNewImpl());
  AssignDefaultValue();
}

// A lookup still running is cancelled and a connection closed, with no
// report of either and no error raised.
TCustomWSocket::~TCustomWSocket() {
  FDestroying = true;
  if (FLookup) OsCancelLookup();
  if (OsHasSocket()) OsCloseSocket();
}

void TCustomWSocket::WndProc(TMessage& m) {
  const auto low = uint16_t(m.LParam & 0xFFFF), high = uint16_t((m.LParam >> 16) & 0xFFFF);
  switch (m.Msg) {
    case WM_ASYNCSELECT:
      // Windows reuses a socket's number at once: only this connection's counts.
      if (OsHasSocket() && m.WParam == OsSocketId()) WMASyncSelect(low, high);
      break;
    case WM_ASYNCGETHOSTBYNAME: WMAsyncGetHostByName(m.WParam, high); break;
    case WM_DATASENT: WMDataSent(m.WParam); break;
  }
}

void TCustomWSocket::AssignDefaultValue() {
  FAddrStr.clear();
  FPortStr.clear();
  FProtoStr = "tcp";
  FAddr = 0;
  FPortNumber = 0;
  FProtoNumber = 6;
  FAddrAssigned = FPortAssigned = FAddrResolved = false;
  FProtoAssigned = true;
  LingerOnOff = wsLingerOn;
  LingerTimeout = 0;
  FState = wsClosed;
  FAllSent = true;
  FCloseInvoked = false;
  FReadCount = 0;
}

void TCustomWSocket::ChangeState(TSocketState newState) {
  const TSocketState old = FState;
  FState = newState;
  OnChangeState(this, old, newState);
}

void TCustomWSocket::SetAddr(const std::string& value) {
  const std::string addr = Trim(value);
  if (FAddrAssigned && addr == FAddrStr) return;
  FAddrStr = addr;
  if (addr.empty()) {
    FAddrAssigned = false;
    return;
  }
  if (FState != wsClosed) return RaiseException("Cannot change Addr if not closed");
  FAddrAssigned = true;
  FAddrResolved = false;
}

void TCustomWSocket::SetPort(const std::string& value) {
  if (FPortAssigned && value == FPortStr) return;
  FPortStr = value;
  if (FState != wsClosed) return RaiseException("Cannot change Port if not closed");
  const auto port =
      NumberOrName(value, 65535, [&](const std::string& name) { return OsLookupService(name, FProtoStr); });
  FPortAssigned = port.has_value();
  if (port) FPortNumber = uint16_t(*port);
  if (!port && !Trim(value).empty()) SocketError("SetPort: Cannot convert port '" + value + "'", weInvalidArgument);
}

void TCustomWSocket::SetProto(const std::string& value) {
  if (FProtoAssigned && value == FProtoStr) return;
  FProtoStr = value;
  if (FState != wsClosed) return RaiseException("Cannot change Proto if not closed");
  const auto proto = NumberOrName(value, 255, OsLookupProtocol);
  FProtoAssigned = proto.has_value();
  if (proto) FProtoNumber = *proto;
  if (!proto && !Trim(value).empty())
    SocketError("SetProto: Cannot convert protocol '" + value + "'", weInvalidArgument);
}

void TCustomWSocket::DnsLookup(const std::string& hostName) {
  if (hostName.empty()) {
    RaiseException("DNS lookup: invalid host name.");
    OnDnsLookupDone(this, weInvalidArgument);
    return;
  }
  if (FLookup) CancelDnsLookup();
  FDnsResult.clear();
  FDnsResultList.clear();
  uint32_t addr = 0;
  if (ParseDotted(hostName, addr)) {
    FDnsResult = DottedText(addr);
    FDnsResultList.push_back(FDnsResult);
    OnDnsLookupDone(this, 0);
    return;
  }
  const int error = OsStartLookup(hostName, FLookup);
  if (error) RaiseException(Format("%s: can't start DNS lookup, error #%d", hostName.c_str(), error));
}

void TCustomWSocket::CancelDnsLookup() {
  if (!FLookup) return;
  const int error = OsCancelLookup();
  FLookup = 0;
  if (error) return SocketError("WSACancelAsyncRequest", error);
  if (!FDestroying) OnDnsLookupDone(this, weInterrupted);
}

void TCustomWSocket::WMAsyncGetHostByName(uintptr_t lookup, uint16_t error) {
  std::vector<std::string> addresses;
  if (!FLookup || lookup != FLookup || !OsTakeLookupResult(lookup, addresses)) return;
  FLookup = 0;
  if (!error) {
    FDnsResultList = addresses;
    FDnsResult = addresses.empty() ? std::string() : addresses.front();
  }
  OnDnsLookupDone(this, error);
}

void TCustomWSocket::Connect() {
  if (OsHasSocket() && FState != wsClosed) return RaiseException("Connect: Socket already in use");
  if (!FPortAssigned) return RaiseException("Connect: No Port Specified");
  if (!FAddrAssigned) return RaiseException("Connect: No IP Address Specified");
  if (!FProtoAssigned) return RaiseException("Connect: No Protocol Specified");
  if (!FAddrResolved) {
    FAddr = WSocketResolveHost(FAddrStr);
    FAddrResolved = true;
  }
  FreeSendQueue();
  if (const int error = OsOpen(FProtoNumber)) return SocketError("Connect (socket)", error);
  FConnection = NextConnection();
  ChangeState(wsOpened);
  ApplyLinger();
  if (const int error = OsSetOption(soKeepAlive, 1)) return SocketError("setsockopt(SO_KEEPALIVE)", error);
  if (const int error = OsSetOption(soReuseAddr, 1)) return SocketError("setsockopt(SO_REUSEADDR)", error);
  if (const int error = OsSelect()) return SocketError("WSAAsyncSelect", error);
  const int error = OsConnect(FAddr, FPortNumber);
  if (error && error != weWouldBlock) return SocketError("Connect", error);
  ChangeState(wsConnecting);
}

void TCustomWSocket::ApplyLinger() {
  if (LingerOnOff == wsLingerNoSet) return;
  if (!OsHasSocket()) return RaiseException("Cannot set linger option at this time");
  if (const int error = OsSetLinger(LingerOnOff == wsLingerOn, LingerTimeout))
    SocketError("setsockopt(SO_LINGER)", error);
}

void TCustomWSocket::WMASyncSelect(uint16_t events, uint16_t error) {
  if (events & FD_CONNECT_EVENT) {
    ChangeState(wsConnected);
    OnSessionConnected(this, error);
    if (error && FState != wsClosed) Close();
  }
  if ((events & FD_READ_EVENT) && OsHasSocket()) ASyncReceive(error);
  if ((events & FD_WRITE_EVENT) && OsHasSocket()) {
    TryToSend();
    if (FAllSent) OnDataSent(this, error);
  }
  if ((events & FD_CLOSE_EVENT) && FState != wsConnecting) {
    if (OsHasSocket()) ASyncReceive(error);
    if (OnSessionClosed.Assigned() && !FCloseInvoked) {
      FCloseInvoked = true;
      OnSessionClosed(this, error);
    }
    if (FState != wsClosed) Close();
  }
}

void TCustomWSocket::WMDataSent(uintptr_t connection) {
  if (connection == FConnection && OsHasSocket()) WMASyncSelect(FD_WRITE_EVENT, 0);
}

// The handler is called until nothing is left waiting. A handler that reads
// nothing, or closes the socket, ends the loop: it would otherwise spin.
void TCustomWSocket::ASyncReceive(uint16_t error) {
  for (;;) {
    FLastError = 0;
    const int64_t before = FReadCount;
    if (OnDataAvailable.Assigned()) {
      OnDataAvailable(this, error);
    } else {
      char discard[1024];
      if (Receive(discard, sizeof discard) < 0) return;
    }
    if (FLastError || !OsHasSocket() || FReadCount == before) return;
    int waiting = 0;
    if (const int failed = OsBytesWaiting(waiting)) {
      FLastError = failed;
      return;
    }
    if (waiting <= 0) return;
  }
}

int TCustomWSocket::Receive(void* buffer, int len) {
  const int count = OsReceive(buffer, len);
  if (count < 0) {
    FLastError = -count;
    return -1;
  }
  FReadCount += count;
  return count;
}

int TCustomWSocket::Send(const void* data, int len) {
  if (FState != wsConnected) {
    SocketError("Send", weNotConnected);
    return -1;
  }
  if (len <= 0) return 0;
  FAllSent = false;
  const auto* bytes = static_cast<const uint8_t*>(data);
  int left = len;
  while (left > 0) {
    if (FSendQueue.empty() || FSendQueue.back()->Full()) FSendQueue.push_back(std::make_unique<TBuffer>(BlockSize));
    const int written = FSendQueue.back()->Write(bytes, left);
    bytes += written;
    left -= written;
  }
  TryToSend();
  // Nothing more will come from the system when all went out at once.
  if (FAllSent) FWindow->Post(WM_DATASENT, FConnection);
  return len;
}

void TCustomWSocket::TryToSend() {
  while (OsHasSocket() && !FSendQueue.empty()) {
    int count = 0;
    const uint8_t* unread = FSendQueue.front()->Peek(count);
    if (count == 0) {
      if (FSendQueue.size() == 1) {
        FAllSent = true;
        return;
      }
      FSendQueue.erase(FSendQueue.begin());
      continue;
    }
    const int sent = OsSend(unread, count);
    if (sent == 0) return;
    if (sent > 0) {
      FSendQueue.front()->Remove(sent);
      if (sent < count) return;
      continue;
    }
    const int error = -sent;
    if (error == weWouldBlock) return;
    if (error == weConnectionReset || error == weNotSocket || error == weNotConnected || error == weInvalidArgument) {
      FCloseInvoked = true;
      Close();
      OnSessionClosed(this, uint16_t(error));
      return;
    }
    return SocketError("TryToSend failed", error);
  }
}

void TCustomWSocket::FreeSendQueue() {
  FSendQueue.clear();
  FAllSent = true;
}

void TCustomWSocket::Close() { InternalClose(true); }

void TCustomWSocket::Abort() {
  CancelDnsLookup();
  FreeSendQueue();
  if (FState == wsConnected) {
    LingerOnOff = wsLingerOff;
    ApplyLinger();
  }
  InternalClose(false);
}

// A close that would block (a linger time set) is retried while the
// application's messages are served.
void TCustomWSocket::InternalClose(bool shut) {
  if (FState == wsClosed) return;
  if (!OsHasSocket()) {
    ChangeState(wsClosed);
    AssignDefaultValue();
    return;
  }
  if (shut) OsShutdown();
  int error;
  while ((error = OsCloseSocket()) == weWouldBlock && Application) Application->ProcessMessages();
  if (error) return SocketError("Disconnect (closesocket)", error);
  FConnection = 0;
  ChangeState(wsClosed);
  if (!FDestroying && !FCloseInvoked && OnSessionClosed.Assigned()) {
    FCloseInvoked = true;
    OnSessionClosed(this, 0);
  }
  AssignDefaultValue();
}

// A reset or a lost connection also closes the socket.
void TCustomWSocket::SocketError(const std::string& function, int error) {
  if ((error == weConnectionReset || error == weNotConnected) && OsHasSocket()) {
    OsCloseSocket();
    FConnection = 0;
    ChangeState(wsClosed);
  }
  FLastError = error;
  RaiseException("Error " + std::to_string(error) + " in function " + function + "\r\n" + WSocketErrorDesc(error));
}

void TCustomWSocket::RaiseException(const std::string& text) {
  if (OnError.Assigned()) return OnError(this);
  throw ESocketException(text);
}
