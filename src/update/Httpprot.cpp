#include "update/Httpprot.h"

#include <algorithm>
#include <cstring>

#include "framework/Application.h"
#include "framework/MessageWindow.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "framework/Timer.h"
#include "update/Httphead.h"
#include "update/Wsocket.h"

namespace {

constexpr uint32_t WM_HTTP_REQUEST_DONE = WM_USER_BASE + 1;
constexpr uint32_t WM_HTTP_SET_READY = WM_USER_BASE + 2;
constexpr uint32_t WM_HTTP_LOGIN = WM_USER_BASE + 3;

// A header line may hold 8 KiB and its carriage return; the header 64 KiB.
constexpr size_t MaxHeaderLine = 8192 + 1;
constexpr int64_t MaxHeaderBytes = 65536;
constexpr size_t MaxReasonPhrase = 200;
constexpr int MaxRedirections = 10;
// Bodies are read in blocks of up to 1 MiB: under Wine every receive is a
// round trip to its server, so fewer and larger reads are much faster.
// Header lines are bounded apart.
constexpr size_t ReceiveBufferSize = 1 << 20;

using TClock = std::chrono::steady_clock;
constexpr TClock::time_point Never = TClock::time_point::max();

bool IsRedirection(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The last path segment, without a query; "document.htm" for the root.
std::string DocumentNameOf(std::string path) {
  if (path.empty() || path == "/") return "document.htm";
  if (path.back() == '/') path.pop_back();
  std::string name = path.substr(path.rfind('/') + 1, 255);
  return name.substr(0, name.find('?'));
}

std::string ErrorText(int error) { return WSocketErrorDesc(error) + " (Error #" + std::to_string(error) + ")"; }

}  // namespace

THttpCli::THttpCli(TComponent* AOwner) : THttpCli(AOwner, std::make_unique<TWSocket>(nullptr)) {}

THttpCli::THttpCli(TComponent* AOwner, std::unique_ptr<TCustomWSocket> socket)
    : TComponent(AOwner), FSocket(std::move(socket)), FReceiveBuffer(ReceiveBufferSize) {
  FWindow = std::make_unique<TMessageWindow>(TMessageWindow::TKind::MessageOnly, "THttpCli", [this](TMessage& m) {
    if (m.Msg < WM_HTTP_REQUEST_DONE || m.Msg > WM_HTTP_LOGIN) return false;
    WndProc(m);
    return true;
  });
  FTimer = new TTimer(this);
  FTimer->SetEnabled(false);
  FTimer->OnTimer = TNotifyEvent([this](TObject*) { CheckTimeLimits(); });
  FSocket->OnSessionClosed = TSocketEvent(this, &THttpCli::SocketSessionClosed);
  FSocket->OnDataAvailable = TSocketEvent(this, &THttpCli::SocketDataAvailable);
  FSocket->OnSessionConnected = TSocketEvent(this, &THttpCli::SocketSessionConnected);
  FSocket->OnDnsLookupDone = TSocketEvent(this, &THttpCli::SocketDNSLookupDone);
  FConnectBy = FHeaderBy = FResponseBy = FArmedFor = Never;
}

// The socket goes first: closing it must not call back into a half-gone client.
THttpCli::~THttpCli() {
  FSocket->OnSessionClosed.Clear();
  FSocket->OnDnsLookupDone.Clear();
  FSocket.reset();
}

void THttpCli::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_HTTP_REQUEST_DONE:
      OnRequestDone(this, FRequestType, FRequestDoneError);
      break;
    case WM_HTTP_SET_READY:
      StateChange(httpReady);
      break;
    case WM_HTTP_LOGIN:
      Guarded([this] { Login(); });
      break;
  }
}

void THttpCli::StateChange(THttpState newState) {
  if (FState == newState) return;
  FState = newState;
  OnStateChange(this);
  if (newState == httpReady) FWindow->Post(WM_HTTP_REQUEST_DONE);
}

void THttpCli::SetReady() { FWindow->Post(WM_HTTP_SET_READY); }

void THttpCli::GetASync() { DoRequestAsync(httpGET); }

void THttpCli::Get() {
  DoRequestAsync(httpGET);
  while (FState != httpReady && Application && !Application->Terminated()) Application->HandleMessage();
  if (FStatusCode >= 400) throw EHttpException(FReasonPhrase, uint16_t(FStatusCode));
}

// An address that cannot be requested ends the request like any other
// failure, through OnRequestDone, so that a caller waiting for it is freed.
void THttpCli::DoRequestAsync(THttpRequest request) {
  if (FState != httpReady) throw EHttpException("HTTP component is busy", httperrBusy);
  FReceivedHeaders.clear();
  FRequestType = request;
  FRequestDoneError = 0;
  FSocket->OnSessionClosed = TSocketEvent(this, &THttpCli::SocketSessionClosed);
  FFailed = FEnding = FClosing = false;
  FLocationPending = false;
  FRedirections = 0;
  StateChange(httpNotConnected);
  FDocumentName.clear();
  FStatusCode = 0;
  FReceivedBytes = 0;
  std::string proto, user, pass, host, port, path;
  ParseURL(URL, proto, user, pass, host, port, path);
  if (!user.empty()) Username = user;
  if (!pass.empty()) Password = pass;
  FDocumentName = DocumentNameOf(path);
  THttpTarget target;
  const std::string wrong = CheckHttpTarget(proto, host, port, path, target);
  if (!wrong.empty()) return Fail(httperrBadURL, "Invalid URL: " + wrong);
  FUseProxy = !Proxy.empty();
  if (FUseProxy) {
    ParseURL(Proxy, proto, user, pass, host, port, path);
    THttpTarget proxy;
    const std::string wrongProxy = CheckHttpTarget("", host, port.empty() ? ProxyPort : port, "", proxy);
    if (!wrongProxy.empty()) return Fail(httperrBadURL, "Invalid proxy: " + wrongProxy);
    FConnectHost = proxy.Host;
    FConnectPort = std::to_string(proxy.Port);
  }
  SetTarget(target);
  Guarded([this] { Login(); });
}

// Directly the socket goes to the document's server; through a proxy it
// stays with the proxy, and the request line carries the absolute address
// (without the port, as the proxy form always has).
void THttpCli::SetTarget(const THttpTarget& target) {
  FTarget = target;
  FHostHeader = target.Host;
  if (FUseProxy) {
    FRequestPath = "http://" + target.Host + target.Path;
    return;
  }
  FRequestPath = target.Path;
  FConnectHost = target.Host;
  FConnectPort = std::to_string(target.Port);
}

void THttpCli::Login() {
  FReceiveLength = 0;
  FHeaderLineCount = 0;
  FHeaderBytes = 0;
  FBodyChunkCount = 0;
  FBodyLength = -1;
  FHeaderBy = FResponseBy = Never;
  FConnectBy = TClock::now() + ConnectTimeLimit;
  ArmTimer();
  StateChange(httpDnsLookup);
  FSocket->DnsLookup(FConnectHost);
}

void THttpCli::SocketDNSLookupDone(TObject*, uint16_t error) {
  Guarded([&] {
    if (FEnding) return;
    if (error) {
      if (FState != httpAborting && !FFailed) {
        FStatusCode = 404;
        FReasonPhrase = "can't resolve hostname to IP address";
      }
      return SocketSessionClosed(nullptr, 0);
    }
    StateChange(httpDnsLookupDone);
    FSocket->SetAddr(FSocket->DnsResult());
    FSocket->SetPort(FConnectPort);
    FSocket->SetProto("tcp");
    try {
      FSocket->Connect();
    } catch (const ESocketException&) {
      const int code = FSocket->LastError();
      FFailed = true;
      FRequestDoneError = uint16_t(code);
      FStatusCode = 404;
      FReasonPhrase = "can't connect: " + ErrorText(code);
      FClosing = true;
      FSocket->Close();
      SocketSessionClosed(nullptr, 0);
    }
  });
}

void THttpCli::SocketSessionConnected(TObject*, uint16_t error) {
  Guarded([&] {
    if (FEnding) return;
    if (error) {
      FFailed = true;
      FStatusCode = 404;
      FReasonPhrase = ErrorText(error);
      return SocketSessionClosed(nullptr, 0);
    }
    FConnected = true;
    FConnectBy = Never;
    FHeaderBy = TClock::now() + HeaderTimeLimit;
    FResponseBy = TClock::now() + ResponseTimeLimit;
    ArmTimer();
    StateChange(httpConnected);
    OnSessionConnected(this);
    StateChange(httpWaitingHeader);
    SendRequest("GET", "1.0");
  });
}

void THttpCli::SendCommand(const std::string& line) {
  OnCommand(this, line);
  FRequestBuffer += line;
  FRequestBuffer += "\r\n";
}

void THttpCli::SendRequest(const std::string& method, const std::string& version) {
  FRequestBuffer.clear();
  OnRequestHeaderBegin(this);
  SendCommand(method + " " + FRequestPath + " HTTP/" + version);
  if (!Sender.empty()) SendCommand("From: " + Sender);
  if (!Reference.empty()) SendCommand("Referer: " + Reference);
  if (!Agent.empty()) SendCommand("User-Agent: " + Agent);
  SendCommand("Host: " + FHostHeader);
  if (NoCache) SendCommand("Pragma: no-cache");
  if (!Username.empty()) SendCommand("Authorization: Basic " + EncodeStr(encBase64, Username + ":" + Password));
  if (FUseProxy && !ProxyUsername.empty())
    SendCommand("Proxy-Authorization: Basic " + EncodeStr(encBase64, ProxyUsername + ":" + ProxyPassword));
  if (!Cookie.empty()) SendCommand("Cookie: " + Cookie);
  OnRequestHeaderEnd(this);
  FRequestBuffer += "\r\n";
  FSocket->Send(FRequestBuffer.data(), int(FRequestBuffer.size()));
  FRequestBuffer.clear();
}

// A handler that runs a message loop (a progress window) may be called
// again from within it: the nested call leaves the data to the outer one.
void THttpCli::SocketDataAvailable(TObject*, uint16_t) {
  if (FReceiving) return;
  struct TReceiving {
    bool& Flag;
    ~TReceiving() { Flag = false; }
  } receiving{FReceiving = true};
  Guarded([this] {
    if (FState == httpWaitingBody)
      ReceiveBody();
    else
      ReceiveHeader();
  });
}

// Bytes that arrive when no response is awaited (while a failed request
// closes) are read and dropped.
void THttpCli::ReceiveHeader() {
  const int got = FSocket->Receive(FReceiveBuffer.data() + FReceiveLength, int(ReceiveBufferSize - FReceiveLength));
  if (got <= 0) return;
  if (FState != httpWaitingHeader || FEnding || FFailed) return;
  FReceiveLength += size_t(got);
  FResponseBy = TClock::now() + ResponseTimeLimit;
  while (FState == httpWaitingHeader && !FEnding && FReceiveLength > 0) {
    char* const held = FReceiveBuffer.data();
    const auto* lineFeed = static_cast<const char*>(std::memchr(held, '\n', FReceiveLength));
    const size_t length = lineFeed ? size_t(lineFeed - held) : FReceiveLength;
    if (length > MaxHeaderLine) return Fail(httperrLineTooLong, "HTTP line too long");
    if (!lineFeed) return;
    FHeaderBytes += int64_t(length + 1);
    if (FHeaderBytes > MaxHeaderBytes) return Fail(httperrHeaderTooLong, "HTTP header too long");
    // A reply that starts (or goes on) with an HTML tag instead of header
    // lines is body from that line on, its line end included.
    if (UpperCaseAscii(std::string(held, std::min<size_t>(length, 6))) == "<HTML>") {
      if (FContentType.empty()) FContentType = "text/html";
      if (FHeaderLineCount++ == 0) OnHeaderBegin(this);
      StateChange(httpWaitingBody);
      OnHeaderEnd(this);
      break;
    }
    const std::string line(held, length - (length > 0 && held[length - 1] == '\r'));
    std::memmove(held, lineFeed + 1, FReceiveLength - length - 1);
    FReceiveLength -= length + 1;
    GetHeaderLineNext(line);
  }
  if (FState != httpWaitingBody || FEnding || FReceiveLength == 0) return;
  const size_t held = FReceiveLength;
  FReceiveLength = 0;
  GetBodyLineNext(FReceiveBuffer.data(), int64_t(held));
}

void THttpCli::ReceiveBody() {
  const int got = FSocket->Receive(FReceiveBuffer.data(), int(ReceiveBufferSize));
  if (got <= 0 || FEnding) return;
  FResponseBy = TClock::now() + ResponseTimeLimit;
  GetBodyLineNext(FReceiveBuffer.data(), got);
}

void THttpCli::GetHeaderLineNext(const std::string& line) {
  if (FHeaderLineCount++ == 0) OnHeaderBegin(this);
  if (line.empty()) return HeaderEnd();
  FReceivedHeaders.push_back(line);
  int code = 0;
  std::string reason, name, value;
  switch (ParseStatusLine(line, MaxReasonPhrase, code, reason)) {
    case TStatusLine::Bad:
      return Fail(httperrBadStatusLine, "Bad status line");
    case TStatusLine::Status:
      FStatusCode = code;
      FReasonPhrase = reason;
      break;
    case TStatusLine::NotStatus:
      if (SplitHeaderLine(line, name, value)) HeaderField(name, value);
      if (FFailed) return;
      break;
  }
  OnHeaderData(this);
  if (FStatusCode >= 400 && !FEnding) {
    FClosing = true;
    FSocket->Close();
  }
}

void THttpCli::HeaderField(const std::string& name, const std::string& value) {
  if (name == "location") return Location(value);
  if (name == "content-type") {
    FContentType = LowerCaseAscii(value);
  } else if (name == "www-authenticate") {
    FAuthenticateValues.push_back(value);
  } else if (name == "transfer-encoding") {
    Fail(httperrTransferEncoding, "Transfer-Encoding not supported");
  } else if (name == "content-length") {
    int64_t length = 0;
    if (!ParseContentLength(value, length)) return Fail(httperrBadContentLength, "Bad Content-Length");
    if (FBodyLength >= 0 && FBodyLength != length) return Fail(httperrBadContentLength, "Conflicting Content-Length");
    FBodyLength = FContentLength = length;
  }
}

// Only a redirecting status makes a Location count. It is resolved and
// checked as it arrives; the request goes there once the header has ended.
void THttpCli::Location(const std::string& value) {
  if (!IsRedirection(FStatusCode)) return;
  const std::string wrong = SplitAbsoluteURL(ResolveReference(FTarget.Address(), value), FNextTarget);
  if (!wrong.empty()) return Fail(httperrBadRedirection, "Invalid redirection: " + wrong);
  if (FRedirections >= MaxRedirections || FNextTarget.Address() == FTarget.Address())
    return Fail(httperrTooManyRedirections, "Too many redirections");
  FLocationPending = true;
}

void THttpCli::HeaderEnd() {
  FHeaderBy = Never;
  OnHeaderEnd(this);
  if (FLocationPending) {
    FReceiveLength = 0;
    FHeaderLineCount = 0;
    FBodyChunkCount = 0;
    FSocket->OnSessionClosed = TSocketEvent(this, &THttpCli::LocationSessionClosed);
    FSocket->Close();
    return;
  }
  if (LowerCaseAscii(ExtractFileExt(FDocumentName)) == ".exe" && FContentType == "text/html") {
    const size_t dot = FDocumentName.rfind('.');
    FDocumentName = FDocumentName.substr(0, dot) + ".htm";
  }
  StateChange(httpWaitingBody);
  if (FBodyLength == 0) {
    FClosing = true;
    FSocket->Close();
  }
}

// A body of known length ends with its last byte: what the server sends
// beyond it is not part of the document.
void THttpCli::GetBodyLineNext(const char* data, int64_t len) {
  if (FBodyLength >= 0) len = std::min(len, FBodyLength - FReceivedBytes);
  if (len <= 0) return;
  if (FBodyChunkCount++ == 0) OnDocBegin(this);
  FReceivedBytes += len;
  OnDocData(this, data, int(len));
  if (ReceiveStream) ReceiveStream->Write(data, size_t(len));
  if (FReceivedBytes == FBodyLength && !FEnding) {
    FClosing = true;
    FSocket->Close();
  }
}

void THttpCli::LocationSessionClosed(TObject*, uint16_t) {
  FConnected = false;
  FLocationPending = false;
  FSocket->OnSessionClosed = TSocketEvent(this, &THttpCli::SocketSessionClosed);
  ++FRedirections;
  SetTarget(FNextTarget);
  OnLocationChange(this);
  FWindow->Post(WM_HTTP_LOGIN);
}

// The end of every request. A response the server cut short fails here: a
// header that never ended, a body shorter than its Content-Length, a reset.
void THttpCli::SocketSessionClosed(TObject*, uint16_t error) {
  if (FEnding) return;
  FEnding = true;
  FConnected = false;
  FConnectBy = FHeaderBy = FResponseBy = Never;
  ArmTimer();
  if (!FFailed && !FClosing) {
    if (FState == httpWaitingHeader)
      EndWith(httperrHeaderIncomplete, "Connection closed before the header ended", false);
    else if (FState == httpWaitingBody && error)
      EndWith(error, ErrorText(error), false);
    else if (FState == httpWaitingBody && FBodyLength > FReceivedBytes)
      EndWith(httperrTruncated, Format("Document truncated: %lld of %lld bytes received", (long long)FReceivedBytes,
                                       (long long)FBodyLength), false);
  }
  SetReady();
  if (FBodyChunkCount > 0) OnDocEnd(this);
}

// Decides the outcome, then closes: the socket's close (or, during a lookup,
// the cancelled lookup) ends the request.
void THttpCli::EndWith(uint16_t error, const std::string& text, bool lookingUp) {
  FFailed = true;
  FStatusCode = 404;
  FReasonPhrase = text;
  FRequestDoneError = error;
  if (FEnding) return;
  FSocket->OnSessionClosed = TSocketEvent(this, &THttpCli::SocketSessionClosed);
  FClosing = true;
  if (lookingUp) {
    try {
      FSocket->CancelDnsLookup();
    } catch (const ESocketException&) {
      // A lookup that cannot be cancelled answers later and finds the
      // request over; the request ends here either way.
    }
  }
  FSocket->Close();
  SocketSessionClosed(nullptr, 0);
}

void THttpCli::Fail(uint16_t error, const std::string& text) {
  if (FFailed || FEnding) return;
  EndWith(error, text, FState == httpDnsLookup);
}

void THttpCli::Abort() {
  if (FState == httpReady) return FSocket->Close();
  if (FEnding) return;
  const bool lookingUp = FState == httpDnsLookup;
  StateChange(httpAborting);
  EndWith(httperrAborted, "Connection aborted on request", lookingUp);
}

// A failure inside a step ends the request with its error instead of
// leaving it running; after the end, errors go on to the application.
template <class Step>
void THttpCli::Guarded(Step step) {
  try {
    step();
  } catch (const std::exception& e) {
    if (FEnding) throw;
    uint16_t code = 0;
    if (const auto* http = dynamic_cast<const EHttpException*>(&e)) code = http->Code();
    if (dynamic_cast<const ESocketException*>(&e)) code = uint16_t(FSocket->LastError());
    Fail(code ? code : uint16_t(httperrFailed), e.what());
  }
}

void THttpCli::CheckTimeLimits() {
  FArmedFor = Never;
  const TClock::time_point now = TClock::now();
  if (FConnectBy <= now || FHeaderBy <= now || FResponseBy <= now)
    return Fail(weTimedOut, "Connection timed out");
  ArmTimer();
}

// The timer is set again only for an earlier limit: a limit pushed back
// (each block of data pushes the silence limit) is found when it fires.
void THttpCli::ArmTimer() {
  const TClock::time_point next = std::min({FConnectBy, FHeaderBy, FResponseBy});
  if (next == Never) {
    FTimer->SetEnabled(false);
    FArmedFor = Never;
    return;
  }
  if (next >= FArmedFor) return;
  FArmedFor = next;
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - TClock::now()).count();
  FTimer->SetInterval(uint32_t(std::max<int64_t>(wait, 1)));
  FTimer->SetEnabled(true);
}

std::string EncodeStr(THttpEncoding encoding, const std::string& s) {
  if (encoding == encUUEncode) {
    std::string out(1, char(32 + s.size()));
    for (size_t i = 0; i < s.size(); i += 3) {
      uint8_t b[3] = {};
      for (size_t j = 0; j < 3 && i + j < s.size(); ++j) b[j] = uint8_t(s[i + j]);
      const int digits[4] = {b[0] >> 2, ((b[0] & 3) << 4) | (b[1] >> 4), ((b[1] & 15) << 2) | (b[2] >> 6), b[2] & 63};
      for (const int d : digits) out += d == 0 ? '`' : char(32 + d);
    }
    return out;
  }
  static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < s.size(); i += 3) {
    const size_t n = std::min<size_t>(3, s.size() - i);
    uint32_t group = 0;
    for (size_t j = 0; j < 3; ++j) group = group << 8 | (j < n ? uint8_t(s[i + j]) : 0);
    for (size_t j = 0; j < 4; ++j) out += j <= n ? alphabet[(group >> (18 - 6 * j)) & 63] : '=';
  }
  return out;
}

int Posn(const std::string& sub, const std::string& s, int count) {
  if (count != -1 || sub.size() != 1) return 0;
  const size_t at = s.rfind(sub[0]);
  return at == std::string::npos ? 0 : int(at) + 1;
}
