#pragma once
// The asynchronous socket: one IPv4 stream connection whose system
// notifications (host lookup done, connected, data available, data sent,
// closed) arrive as events on the thread that made the socket, through its
// hidden window. Nothing blocks: a lookup, a connection, a send are started
// and finished by a later notification. Error numbers are those of Windows
// Sockets everywhere (10061 is a refused connection), with their texts in
// WSocketErrorDesc.
// Only what a client needs is here: no listening side, no datagrams, no line
// reading and no synchronous waits.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Events.h"
#include "framework/Exceptions.h"
#include "net/Wsockbuf.h"

class TMessageWindow;
struct TMessage;

class ESocketException : public Exception {
  using Exception::Exception;
};

enum TSocketState { wsInvalidState, wsOpened, wsBound, wsConnecting, wsConnected, wsAccepting, wsListening, wsClosed };
enum TSocketLingerOnOff { wsLingerOff, wsLingerOn, wsLingerNoSet };

// Handlers of (Sender, Error): TDataAvailable, TDataSent, TSessionClosed,
// TSessionConnected, TDnsLookupDone.
using TSocketEvent = TEvent<uint16_t>;
using TChangeState = TEvent<TSocketState, TSocketState>;

// Error numbers of Windows Sockets.
enum TWinsockError : int {
  weInterrupted = 10004,
  weInvalidArgument = 10022,
  weWouldBlock = 10035,
  weNotSocket = 10038,
  weConnectionReset = 10054,
  weNotConnected = 10057,
  weTimedOut = 10060,
  weConnectionRefused = 10061,
  weHostNotFound = 11001,
};

// The text of an error number: "Connection refused" for 10061, "Not a
// WinSock error" for a number without one.
std::string WSocketErrorDesc(int code);
// The IPv4 address (network order) of a dotted text or, failing that, of a
// blocking lookup by name; ESocketException "SetAddr: Cannot convert host
// address '<host>'" when neither works.
uint32_t WSocketResolveHost(const std::string& host);

class TCustomWSocket : public TComponent {
public:
  explicit TCustomWSocket(TComponent* AOwner);
  ~TCustomWSocket() override;

  // Where Connect goes. Each may change only while closed, and each is back
  // to its default (no address, no port, "tcp") after every close.
  const std::string& Addr() const { return FAddrStr; }
  void SetAddr(const std::string& value);
  const std::string& Port() const { return FPortStr; }
  void SetPort(const std::string& value);
  const std::string& Proto() const { return FProtoStr; }
  void SetProto(const std::string& value);

  // The lookup's first address in dotted form, and all of them.
  const std::string& DnsResult() const { return FDnsResult; }
  const std::vector<std::string>& DnsResultList() const { return FDnsResultList; }
  TSocketState State() const { return FState; }
  // Bytes received since the connection was opened.
  int64_t ReadCount() const { return FReadCount; }
  int LastError() const { return FLastError; }

  // How Close ends a connection; with the defaults (on, 0 seconds) at once,
  // resetting it rather than waiting for unsent data.
  TSocketLingerOnOff LingerOnOff = wsLingerOn;
  int LingerTimeout = 0;

  TSocketEvent OnDataAvailable;
  TSocketEvent OnDataSent;
  TSocketEvent OnSessionClosed;
  TSocketEvent OnSessionConnected;
  TSocketEvent OnDnsLookupDone;
  TChangeState OnChangeState;
  // Set: failures call it instead of raising ESocketException.
  TNotifyEvent OnError;

  // The virtual operations are what the HTTP client drives; a test may stand
  // in for the network by overriding them.
  // Looks the host up: a dotted address answers within the call, a name
  // answers later; either way through OnDnsLookupDone.
  virtual void DnsLookup(const std::string& hostName);
  // Ends a running lookup; OnDnsLookupDone(10004) reports it.
  virtual void CancelDnsLookup();
  // Starts the connection to Addr and Port; OnSessionConnected reports it.
  virtual void Connect();
  virtual void Close();
  // Cancels a lookup, drops the queued data and closes without shutting down.
  virtual void Abort();
  // One receive of up to Len bytes: the count, 0 when the peer has closed,
  // -1 with LastError set (10035 when nothing is waiting).
  virtual int Receive(void* buffer, int len);
  // Queues the bytes and sends what the system takes now; the rest goes on
  // each write notification. OnDataSent follows, as a message, once all is
  // gone. -1 when not connected.
  virtual int Send(const void* data, int len);

private:
  void WndProc(TMessage& message);
  void WMASyncSelect(uint16_t events, uint16_t error);
  void WMAsyncGetHostByName(uintptr_t lookup, uint16_t error);
  void WMDataSent(uintptr_t connection);
  void ASyncReceive(uint16_t error);
  void TryToSend();
  void ChangeState(TSocketState newState);
  void InternalClose(bool shut);
  void AssignDefaultValue();
  void ApplyLinger();
  void SocketError(const std::string& function, int error);
  void RaiseException(const std::string& text);
  void FreeSendQueue();

  // The halves: Wsocket_win.cpp (Windows Sockets, notifications posted to
  // the hidden window) and Wsocket_posix.cpp (non-blocking descriptors on
  // the event loop). Each returns 0 or a Windows Sockets error number.
  struct TImpl;
  struct TImplDeleter {
    void operator()(TImpl* impl) const;
  };
  static TImpl* OsNewImpl();
  bool OsHasSocket() const;
  uintptr_t OsSocketId() const;
  int OsOpen(int protocol);
  int OsSetOption(int option, int value);
  int OsSetLinger(bool on, int seconds);
  int OsSelect();
  int OsConnect(uint32_t addr, uint16_t port);
  int OsShutdown();
  int OsCloseSocket();
  // Send and receive: the count, or the error number negated.
  int OsSend(const void* data, int len);
  int OsReceive(void* buffer, int len);
  int OsBytesWaiting(int& count);
  int OsStartLookup(const std::string& hostName, uintptr_t& lookup);
  int OsCancelLookup();
  // The addresses answered to the current lookup; false for a reply to
  // another (cancelled) lookup.
  bool OsTakeLookupResult(uintptr_t lookup, std::vector<std::string>& addresses);
  // Blocking lookups of the system's databases; false when not found.
  static bool OsResolveName(const std::string& name, uint32_t& addr);
  static std::optional<int> OsLookupService(const std::string& name, const std::string& proto);
  static std::optional<int> OsLookupProtocol(const std::string& name);
  friend uint32_t WSocketResolveHost(const std::string& host);

  std::unique_ptr<TMessageWindow> FWindow;
  std::unique_ptr<TImpl, TImplDeleter> FImpl;
  std::string FAddrStr, FPortStr, FProtoStr;
  uint32_t FAddr = 0;  // network order
  uint16_t FPortNumber = 0;
  int FProtoNumber = 6;
  bool FAddrAssigned = false, FPortAssigned = false, FProtoAssigned = true, FAddrResolved = false;
  std::string FDnsResult;
  std::vector<std::string> FDnsResultList;
  uintptr_t FLookup = 0;
  TSocketState FState = wsClosed;
  std::vector<std::unique_ptr<TBuffer>> FSendQueue;
  bool FAllSent = true;
  bool FCloseInvoked = false;
  bool FDestroying = false;
  int64_t FReadCount = 0;
  int FLastError = 0;
  // Names each connection; a message meant for an earlier one is ignored.
  uintptr_t FConnection = 0;
};

class TWSocket : public TCustomWSocket {
public:
  using TCustomWSocket::TCustomWSocket;
};

// Socket options of Connect, named portably for OsSetOption.
enum TSocketOption { soKeepAlive, soReuseAddr };
