#include "net/Httpurl.h"

#include "framework/SysUtils.h"

namespace {

bool HasControl(const std::string& text) {
  for (const char c : text)
    if (uint8_t(c) < 0x20 || uint8_t(c) == 0x7F) return true;
  return false;
}

std::string PercentEncode(const std::string& path) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(path.size());
  for (const char c : path) {
    const auto byte = uint8_t(c);
    if (byte == ' ' || byte >= 0x80) {
      out += '%';
      out += hex[byte >> 4];
      out += hex[byte & 15];
    } else {
      out += c;
    }
  }
  return out;
}

// The parts of a reference (RFC 3986, appendix B); "defined" tells an empty
// part from a missing one.
struct TReference {
  std::string Scheme, Authority, Path, Query;
  bool HasScheme = false, HasAuthority = false, HasQuery = false;
};

bool IsSchemeChar(char c, bool first) {
  const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  return alpha || (!first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
}

TReference SplitReference(const std::string& text) {
  TReference r;
  size_t at = 0;
  const size_t colon = text.find(':');
  if (colon != std::string::npos && colon > 0) {
    bool scheme = true;
    for (size_t i = 0; i < colon && scheme; ++i) scheme = IsSchemeChar(text[i], i == 0);
    if (scheme) {
      r.HasScheme = true;
      r.Scheme = text.substr(0, colon);
      at = colon + 1;
    }
  }
  if (text.compare(at, 2, "//") == 0) {
    const size_t end = text.find_first_of("/?#", at + 2);
    r.HasAuthority = true;
    r.Authority = text.substr(at + 2, end == std::string::npos ? std::string::npos : end - at - 2);
    at = end == std::string::npos ? text.size() : end;
  }
  const size_t pathEnd = std::min(text.find_first_of("?#", at), text.size());
  r.Path = text.substr(at, pathEnd - at);
  at = pathEnd;
  if (at < text.size() && text[at] == '?') {
    const size_t queryEnd = std::min(text.find('#', at), text.size());
    r.HasQuery = true;
    r.Query = text.substr(at + 1, queryEnd - at - 1);
  }
  return r;
}

// RFC 3986, section 5.2.4.
std::string RemoveDotSegments(std::string in) {
  std::string out;
  while (!in.empty()) {
    if (in.rfind("../", 0) == 0) {
      in.erase(0, 3);
    } else if (in.rfind("./", 0) == 0 || in.rfind("/./", 0) == 0) {
      in.erase(0, 2);
    } else if (in == "/.") {
      in = "/";
    } else if (in.rfind("/../", 0) == 0 || in == "/..") {
      in = in.size() == 3 ? "/" : in.substr(3);
      const size_t last = out.rfind('/');
      out.erase(last == std::string::npos ? 0 : last);
    } else if (in == "." || in == "..") {
      in.clear();
    } else {
      const size_t next = in.find('/', 1);
      out += in.substr(0, next);
      in.erase(0, next == std::string::npos ? in.size() : next);
    }
  }
  return out;
}

}  // namespace

void ParseURL(const std::string& url, std::string& proto, std::string& user, std::string& pass, std::string& host,
              std::string& port, std::string& path) {
  proto = user = pass = host = port = path = "";
  if (url.empty()) return;
  std::string rest;
  const size_t separator = url.find("://");
  const std::string lower = LowerCaseAscii(url.substr(0, 7));
  if (separator != std::string::npos) {
    proto = url.substr(0, separator);
    rest = url.substr(separator + 3);
  } else if (url[0] == '/') {
    proto = "http";
    if (url.size() > 1 && url[1] != '/') {
      path = url;
      return;
    }
    rest = url.substr(1);
  } else if (lower.rfind("http:", 0) == 0) {
    proto = "http";
    if (url.size() > 6 && url[6] != '/') {
      path = url.substr(5);
      return;
    }
    rest = url.size() > 6 ? url.substr(6) : std::string();
  } else if (lower == "mailto:") {
    proto = "mailto";
    rest = url.substr(url.find(':') + 1);
  } else {
    rest = url;
  }
  const size_t slash = rest.find('/');
  if (slash != std::string::npos) path = rest.substr(slash);
  const std::string authority = rest.substr(0, slash);
  const size_t colon = authority.rfind(':');
  const size_t at = authority.rfind('@');
  if (colon == std::string::npos && at == std::string::npos) {
    host = authority;
    return;
  }
  if (colon != std::string::npos && (at == std::string::npos || colon > at)) {
    port = authority.substr(colon + 1);
    const size_t hostStart = at == std::string::npos ? 0 : at + 1;
    host = authority.substr(hostStart, colon - hostStart);
  } else {
    host = authority.substr(at + 1);
  }
  if (at == std::string::npos) return;
  const std::string credentials = authority.substr(0, at);
  const size_t split = credentials.find(':');
  user = credentials.substr(0, split);
  if (split != std::string::npos) pass = credentials.substr(split + 1);
}

std::string THttpTarget::Address() const { return "http://" + Host + ":" + std::to_string(Port) + Path; }

std::string THttpTarget::Origin() const { return "http://" + LowerCaseAscii(Host) + ":" + std::to_string(Port); }

std::string CheckHttpTarget(const std::string& proto, const std::string& host, const std::string& port,
                            const std::string& path, THttpTarget& target) {
  if (HasControl(proto) || HasControl(host) || HasControl(port) || HasControl(path)) return "control character";
  if (!proto.empty() && LowerCaseAscii(proto) != "http") return "protocol other than http";
  if (host.empty() || host.find(' ') != std::string::npos) return "bad host name";
  target.Port = 80;
  if (!port.empty()) {
    const int32_t number = port.find_first_not_of("0123456789") == std::string::npos ? StrToIntDef(port, 0) : 0;
    if (number < 1 || number > 65535) return "bad port number";
    target.Port = uint16_t(number);
  }
  target.Host = host;
  target.Path = path.empty() ? "/" : PercentEncode(path);
  if (target.Path[0] != '/') target.Path.insert(0, "/");
  return {};
}

std::string ResolveReference(const std::string& base, const std::string& reference) {
  const TReference b = SplitReference(base), r = SplitReference(reference);
  TReference t;
  if (r.HasScheme) {
    t = r;
    t.Path = RemoveDotSegments(r.Path);
  } else {
    if (r.HasAuthority) {
      t.HasAuthority = true;
      t.Authority = r.Authority;
      t.Path = RemoveDotSegments(r.Path);
      t.HasQuery = r.HasQuery;
      t.Query = r.Query;
    } else {
      if (r.Path.empty()) {
        t.Path = b.Path;
        t.HasQuery = r.HasQuery || b.HasQuery;
        t.Query = r.HasQuery ? r.Query : b.Query;
      } else {
        if (r.Path[0] == '/') {
          t.Path = RemoveDotSegments(r.Path);
        } else if (b.HasAuthority && b.Path.empty()) {
          t.Path = RemoveDotSegments("/" + r.Path);
        } else {
          const size_t slash = b.Path.rfind('/');
          t.Path = RemoveDotSegments((slash == std::string::npos ? "" : b.Path.substr(0, slash + 1)) + r.Path);
        }
        t.HasQuery = r.HasQuery;
        t.Query = r.Query;
      }
      t.HasAuthority = b.HasAuthority;
      t.Authority = b.Authority;
    }
    t.HasScheme = b.HasScheme;
    t.Scheme = b.Scheme;
  }
  std::string out;
  if (t.HasScheme) out += t.Scheme + ":";
  if (t.HasAuthority) out += "//" + t.Authority;
  out += t.Path;
  if (t.HasQuery) out += "?" + t.Query;
  return out;
}

std::string SplitAbsoluteURL(const std::string& url, THttpTarget& target) {
  if (HasControl(url)) return "control character";
  const TReference r = SplitReference(url);
  if (!r.HasScheme || !r.HasAuthority) return "not an absolute address";
  std::string authority = r.Authority;
  authority.erase(0, authority.rfind('@') + 1);
  std::string port;
  const size_t colon = authority.rfind(':');
  if (colon != std::string::npos) {
    port = authority.substr(colon + 1);
    authority.erase(colon);
  }
  return CheckHttpTarget(r.Scheme, authority, port, r.Path + (r.HasQuery ? "?" + r.Query : ""), target);
}

std::string OriginOf(const std::string& url) {
  std::string proto, user, pass, host, port, path;
  ParseURL(url, proto, user, pass, host, port, path);
  THttpTarget target;
  return CheckHttpTarget(proto, host, port, path, target).empty() ? target.Origin() : std::string();
}
