#pragma once
// Addresses of documents for the HTTP client.
//
// ParseURL accepts any text and never fails: it splits it the lenient way
// the client always has (a missing protocol, "host/path", "/path",
// "user:pass@host:port"), leaving out what it does not find.
//
// CheckHttpTarget takes those parts and accepts only what can be requested:
// protocol http (or none), a host name without spaces, a port of 1 to 65535
// (80 when none is given); it rejects any control character, as that could
// end the request line early. Spaces and bytes above 127 in the path are
// percent-encoded, so that nothing but the path reaches the request line.
//
// ResolveReference resolves a Location value against the address just
// fetched, as RFC 3986 (section 5.2) says: scheme, authority, path with its
// dot segments removed, query; the fragment is dropped. Nothing is
// allocated beyond the two texts' sizes.

#include <cstdint>
#include <string>

void ParseURL(const std::string& url, std::string& proto, std::string& user, std::string& pass, std::string& host,
              std::string& port, std::string& path);

// A document that can be requested.
struct THttpTarget {
  std::string Host;
  uint16_t Port = 80;
  std::string Path;  // path and query, percent-encoded, never empty
  // http://host:port/path, the address that relative references resolve against.
  std::string Address() const;
  // http://host:port with the host in lower case: whom credentials may go to.
  std::string Origin() const;
};

// Fills Target from the parts of ParseURL; what is wrong ("bad port
// number") or empty.
std::string CheckHttpTarget(const std::string& proto, const std::string& host, const std::string& port,
                            const std::string& path, THttpTarget& target);

// The absolute address that Reference names, seen from the absolute Base.
std::string ResolveReference(const std::string& base, const std::string& reference);

// The origin (Origin) of an address as the client requests it; empty for
// one it cannot request.
std::string OriginOf(const std::string& url);

// An absolute address split and checked as CheckHttpTarget does; what is
// wrong or empty.
std::string SplitAbsoluteURL(const std::string& url, THttpTarget& target);
