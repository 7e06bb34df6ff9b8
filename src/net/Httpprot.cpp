#include "net/Httpprot.h"

#include <algorithm>
#include <cstring>

#include "framework/Application.h"
#include "framework/MessageWindow.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "framework/Timer.h"
#include "net/Wsocket.h"

namespace {

constexpr uint32_t WM_HTTP_REQUEST_DONE = WM_USER_BASE + 1;
constexpr uint32_t WM_HTTP_SET_READY = WM_USER_BASE + 2;
constexpr uint32_t WM_HTTP_LOGIN = WM_USER_BASE + 3;

constexpr int MaxRedirections = 10;
// Responses are read in blocks of up to 1 MiB: under Wine every receive is a
// round trip to its server, so fewer and larger reads are much faster.
constexpr size_t ReceiveBufferSize = 1 << 20;

using TClock = std::chrono::steady_clock;
constexpr TClock::time_point Never = TClock::time_point::max();

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
    : TComponent(AOwner), FSocket(std::move(socket)), FParser(*this), FReceiveBuffer(ReceiveBufferSize) {
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
  FConnectBy = FHeaderBy = FResponseBy = FRequestBy = FArmedFor = Never;
}

// The socket goes first: closing it must not call back into a half-gone client.
THttpCli::~THttpCli() {
  FSocket->OnSessionClosed.Clear();
  FSocket->OnDnsLookupDone.Clear();
  FSocket.reset();
}

void THttpCli::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_HTTP_REQUEST_DONE: OnRequestDone(this, FRequestType, FRequestDoneError); break;
    case WM_HTTP_SET_READY: StateChange(httpReady); break;
    case WM_HTTP_LOGIN: Guarded([this] { Login(); }); break;
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
  FRequestBy = RequestTimeLimit.count() > 0 ? TClock::now() + RequestTimeLimit : Never;
  std::string proto, user, pass, host, port, path;
  ParseURL(URL, proto, user, pass, host, port, path);
  FDocumentName = DocumentNameOf(path);
  THttpTarget target;
  const std::string wrong = CheckHttpTarget(proto, host, port, path, target);
  if (!wrong.empty()) return Fail(httperrBadURL, "Invalid URL: " + wrong);
  TakeCredentials(user, pass, target);
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

// The address's credentials (or, without any, Username and Password) go
// with this request only, and only to the address's origin.
void THttpCli::TakeCredentials(const std::string& user, const std::string& pass, const THttpTarget& target) {
  FCredentials.clear();
  if (!user.empty() || !pass.empty())
    FCredentials = user + ":" + pass;
  else if (!Username.empty())
    FCredentials = Username + ":" + Password;
  FCredentialsOrigin = target.Origin();
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
  FParser.Reset();
  FHeaderLineCount = 0;
  FBodyChunkCount = 0;
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
  if (!FCredentials.empty() && FTarget.Origin() == FCredentialsOrigin)
    SendCommand("Authorization: Basic " + EncodeStr(encBase64, FCredentials));
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
  Guarded([this] { Receive(); });
}

// Bytes that arrive when no response is awaited (while a failed request
// closes) are read and dropped.
void THttpCli::Receive() {
  const int got = FSocket->Receive(FReceiveBuffer.data(), int(ReceiveBufferSize));
  if (got <= 0) return;
  if ((FState != httpWaitingHeader && FState != httpWaitingBody) || FEnding || FFailed) return;
  FResponseBy = TClock::now() + ResponseTimeLimit;
  FParser.Feed(FReceiveBuffer.data(), size_t(got));
  ActOnResponse();
}

void THttpCli::HeaderLine(const std::string& line) {
  if (FEnding) return;
  if (FHeaderLineCount++ == 0) OnHeaderBegin(this);
  FReceivedHeaders.push_back(line);
  TakeResponseFields();
  OnHeaderData(this);
}

// What a response does not say keeps the value of an earlier one.
void THttpCli::TakeResponseFields() {
  if (FParser.StatusCode() != 0) {
    FStatusCode = FParser.StatusCode();
    FReasonPhrase = FParser.ReasonPhrase();
  }
  if (FParser.BodyLength() >= 0) FContentLength = FParser.BodyLength();
  if (!FParser.ContentType().empty()) FContentType = FParser.ContentType();
  if (!FParser.AuthenticateValues().empty()) FAuthenticateValues = FParser.AuthenticateValues();
}

// A response that redirects keeps the state: the request goes on elsewhere.
void THttpCli::HeaderEnd() {
  if (FEnding) return;
  if (FHeaderLineCount++ == 0) OnHeaderBegin(this);
  TakeResponseFields();
  FHeaderBy = Never;
  OnHeaderEnd(this);
  if (FParser.HasLocation() || !BodyLengthExpected()) return;
  if (LowerCaseAscii(ExtractFileExt(FDocumentName)) == ".exe" && FContentType == "text/html") {
    const size_t dot = FDocumentName.rfind('.');
    FDocumentName = FDocumentName.substr(0, dot) + ".htm";
  }
  StateChange(httpWaitingBody);
}

// The expected length decides before anything is written: a larger
// document is refused with none of its excess kept.
void THttpCli::BodyData(const char* data, size_t size) {
  if (FEnding) return;
  if (ExpectedBodyLength >= 0 && FReceivedBytes + int64_t(size) > ExpectedBodyLength)
    return Fail(httperrTooLarge, Format("Document larger than %lld bytes", (long long)ExpectedBodyLength));
  if (FBodyChunkCount++ == 0) OnDocBegin(this);
  FReceivedBytes += int64_t(size);
  OnDocData(this, data, int(size));
  if (ReceiveStream) ReceiveStream->Write(data, size);
}

// The client closes the connection once the response is done with: the
// close ends the request, or, after a Location, leads to the next one.
void THttpCli::ActOnResponse() {
  if (FEnding) return;
  if (FParser.Phase() == THttpPhase::Failed) return Fail(FParser.Error(), FParser.ErrorText());
  if (FParser.Phase() != THttpPhase::Complete) return;
  if (FParser.HasLocation()) return FollowLocation();
  FClosing = true;
  FSocket->Close();
}

bool THttpCli::BodyLengthExpected() {
  const int64_t announced = FParser.BodyLength();
  if (ExpectedBodyLength < 0 || announced < 0 || announced == ExpectedBodyLength) return true;
  Fail(httperrUnexpectedLength, Format("Content-Length %lld is not the expected %lld bytes", (long long)announced,
                                       (long long)ExpectedBodyLength));
  return false;
}

void THttpCli::FollowLocation() {
  const std::string wrong = SplitAbsoluteURL(ResolveReference(FTarget.Address(), FParser.Location()), FNextTarget);
  if (!wrong.empty()) return Fail(httperrBadRedirection, "Invalid redirection: " + wrong);
  if (FRedirections >= MaxRedirections || FNextTarget.Address() == FTarget.Address())
    return Fail(httperrTooManyRedirections, "Too many redirections");
  FLocationPending = true;
  FHeaderLineCount = 0;
  FBodyChunkCount = 0;
  FSocket->OnSessionClosed = TSocketEvent(this, &THttpCli::LocationSessionClosed);
  FSocket->Close();
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

// The end of every request.
void THttpCli::SocketSessionClosed(TObject*, uint16_t error) {
  if (FEnding) return;
  FEnding = true;
  FConnected = false;
  FCredentials.clear();
  FConnectBy = FHeaderBy = FResponseBy = FRequestBy = Never;
  ArmTimer();
  if (!FFailed && !FClosing) EndOfConnection(error);
  SetReady();
  if (FBodyChunkCount > 0) OnDocEnd(this);
}

// The server closed: a response it cut short fails here (a header that
// never ended, a body shorter than its Content-Length, a reset).
void THttpCli::EndOfConnection(uint16_t error) {
  if (FState != httpWaitingHeader && FState != httpWaitingBody) return;
  if (FState == httpWaitingBody && error) return EndWith(error, ErrorText(error), false);
  FParser.Finish();
  if (FParser.Phase() == THttpPhase::Failed) return EndWith(FParser.Error(), FParser.ErrorText(), false);
  if (ExpectedBodyLength > FReceivedBytes)
    EndWith(httperrTruncated,
            Format("Document truncated: %lld of %lld bytes received", (long long)FReceivedBytes,
                   (long long)ExpectedBodyLength),
            false);
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
  if (FConnectBy <= now || FHeaderBy <= now || FResponseBy <= now || FRequestBy <= now)
    return Fail(weTimedOut, "Connection timed out");
  ArmTimer();
}

// The timer is set again only for an earlier limit: a limit pushed back
// (each block of data pushes the silence limit) is found when it fires.
void THttpCli::ArmTimer() {
  const TClock::time_point next = std::min({FConnectBy, FHeaderBy, FResponseBy, FRequestBy});
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
