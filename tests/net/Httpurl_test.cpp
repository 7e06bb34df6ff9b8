#include "net/Httpurl.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Parsed(const std::string& url) {
  std::string proto, user, pass, host, port, path;
  ParseURL(url, proto, user, pass, host, port, path);
  return {proto, user, pass, host, port, path};
}

}  // namespace

TEST(Httpurl_ParseURL, LenientForms) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Parsed("http://user:pw@host.test:8080/a/b?c"), (V{"http", "user", "pw", "host.test", "8080", "/a/b?c"}));
  EXPECT_EQ(Parsed("host.test/x"), (V{"", "", "", "host.test", "", "/x"}));
  EXPECT_EQ(Parsed("/only/path"), (V{"http", "", "", "", "", "/only/path"}));
  EXPECT_EQ(Parsed("//host.test/p"), (V{"http", "", "", "", "", "/host.test/p"}));
  EXPECT_EQ(Parsed("http:rel"), (V{"http", "", "", "", "", "rel"}));
  EXPECT_EQ(Parsed("proxy.test:3128"), (V{"", "", "", "proxy.test", "3128", ""}));
  EXPECT_EQ(Parsed("a@b"), (V{"", "a", "", "b", "", ""}));
  EXPECT_EQ(Parsed(""), (V{"", "", "", "", "", ""}));
}

TEST(Httpurl_CheckHttpTarget, PortsHostsAndControlCharacters) {
  THttpTarget t;
  EXPECT_EQ(CheckHttpTarget("http", "h.test", "", "", t), "");
  EXPECT_EQ(t.Port, 80);
  EXPECT_EQ(t.Path, "/");
  EXPECT_EQ(CheckHttpTarget("HTTP", "h.test", "65535", "/a b/\xC3\xA9", t), "");
  EXPECT_EQ(t.Port, 65535);
  EXPECT_EQ(t.Path, "/a%20b/%C3%A9");
  EXPECT_EQ(t.Address(), "http://h.test:65535/a%20b/%C3%A9");
  EXPECT_EQ(CheckHttpTarget("", "h.test", "0", "/", t), "bad port number");
  EXPECT_EQ(CheckHttpTarget("", "h.test", "99999999999", "/", t), "bad port number");
  EXPECT_EQ(CheckHttpTarget("", "h.test", "+80", "/", t), "bad port number");
  EXPECT_EQ(CheckHttpTarget("", "", "", "/", t), "bad host name");
  EXPECT_EQ(CheckHttpTarget("", "h test", "", "/", t), "bad host name");
  EXPECT_EQ(CheckHttpTarget("", "h.test", "", "/a\nb", t), "control character");
  EXPECT_EQ(CheckHttpTarget("", "h.test", "", "/a\x7f", t), "control character");
  EXPECT_EQ(CheckHttpTarget("https", "h.test", "", "/", t), "protocol other than http");
}

// The examples of RFC 3986, section 5.4.
TEST(Httpurl_ResolveReference, ExamplesOfTheRfc) {
  const std::string base = "http://a/b/c/d;p?q";
  const std::pair<const char*, const char*> examples[] = {
      {"g:h", "g:h"},
      {"g", "http://a/b/c/g"},
      {"./g", "http://a/b/c/g"},
      {"g/", "http://a/b/c/g/"},
      {"/g", "http://a/g"},
      {"//g", "http://g"},
      {"?y", "http://a/b/c/d;p?y"},
      {"g?y", "http://a/b/c/g?y"},
      {"#s", "http://a/b/c/d;p?q"},
      {"g#s", "http://a/b/c/g"},
      {";x", "http://a/b/c/;x"},
      {"", "http://a/b/c/d;p?q"},
      {".", "http://a/b/c/"},
      {"..", "http://a/b/"},
      {"../g", "http://a/b/g"},
      {"../..", "http://a/"},
      {"../../g", "http://a/g"},
      {"../../../g", "http://a/g"},
      {"/./g", "http://a/g"},
      {"/../g", "http://a/g"},
      {"g.", "http://a/b/c/g."},
      {"..g", "http://a/b/c/..g"},
      {"./../g", "http://a/b/g"},
      {"g/./h", "http://a/b/c/g/h"},
      {"g/../h", "http://a/b/c/h"},
      {"g;x=1/../y", "http://a/b/c/y"},
  };
  for (const auto& [reference, expected] : examples)
    EXPECT_EQ(ResolveReference(base, reference), expected) << reference;
}

TEST(Httpurl_SplitAbsoluteURL, OnlyHttpWithAHost) {
  THttpTarget t;
  EXPECT_EQ(SplitAbsoluteURL("http://user@h.test:81/p?q", t), "");
  EXPECT_EQ(t.Host, "h.test");
  EXPECT_EQ(t.Port, 81);
  EXPECT_EQ(t.Path, "/p?q");
  EXPECT_EQ(SplitAbsoluteURL("HTTP://h.test", t), "");
  EXPECT_EQ(t.Path, "/");
  EXPECT_EQ(SplitAbsoluteURL("https://h.test/", t), "protocol other than http");
  EXPECT_EQ(SplitAbsoluteURL("mailto:x@h.test", t), "not an absolute address");
  EXPECT_EQ(SplitAbsoluteURL("http://h.test:http/", t), "bad port number");
}
