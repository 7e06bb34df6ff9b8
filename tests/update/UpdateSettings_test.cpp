// The update settings as the store gives their texts.

#include "update/UpdateSettings.h"

#include <gtest/gtest.h>

namespace {

TUpdateSettings Proxy(const std::string& proxy) { return ParseUpdateSettings({.Proxy = proxy}, false); }

TUpdateSettings Verify(const std::string& verify, bool keyBuiltIn) {
  return ParseUpdateSettings({.Verify = verify}, keyBuiltIn);
}

int Timeout(const std::string& timeout) { return ParseUpdateSettings({.Timeout = timeout}, false).TimeLimitSeconds; }

}  // namespace

TEST(UpdateSettings_BuiltIn, ValuesOfTheBuild) {
  EXPECT_EQ(DefaultUpdateURL(), KALEIDON_UPDATE_URL);
  EXPECT_EQ(BuiltInUpdateKey(), KALEIDON_UPDATE_PUBLIC_KEY);
}

TEST(UpdateSettings_ParseUpdateSettings, HttpAddressesOnly) {
  EXPECT_EQ(ParseUpdateSettings({.URL = "http://host/kaleidon.htm"}, false).HomeURL, "http://host/kaleidon.htm");
  EXPECT_EQ(ParseUpdateSettings({.URL = "HTTP://HOST/"}, false).HomeURL, "HTTP://HOST/");
  for (const char* url : {"", "ftp://host/", "www.host", "https://host/", "http:/", " http://host/"})
    EXPECT_EQ(ParseUpdateSettings({.URL = url}, false).HomeURL, "") << url;
}

TEST(UpdateSettings_ParseUpdateSettings, ProxyHostAndPort) {
  EXPECT_EQ(Proxy("proxy").ProxyHost, "proxy");
  EXPECT_EQ(Proxy("proxy").ProxyPort, 80);
  EXPECT_EQ(Proxy("cache-1.example.org:3128").ProxyHost, "cache-1.example.org");
  EXPECT_EQ(Proxy("cache-1.example.org:3128").ProxyPort, 3128);
  EXPECT_EQ(Proxy("127.0.0.1:65535").ProxyPort, 65535);
}

TEST(UpdateSettings_ParseUpdateSettings, AnyOtherProxyMeansADirectConnection) {
  for (const std::string& proxy :
       {std::string(), std::string("proxy:0"), std::string("proxy:65536"), std::string("proxy:"), std::string(":80"),
        std::string("a b:80"), std::string("http://proxy:80"), std::string("proxy:80:90"), std::string("proxy:+80"),
        std::string("proxy:8o"), std::string(256, 'p')}) {
    const TUpdateSettings s = Proxy(proxy);
    EXPECT_EQ(s.ProxyHost, "") << proxy;
    EXPECT_EQ(s.ProxyPort, 80) << proxy;
  }
}

TEST(UpdateSettings_ParseUpdateSettings, VerifyLevels) {
  EXPECT_EQ(Verify("0", false).Verify, uvNone);
  EXPECT_EQ(Verify("1", false).Verify, uvWhenPresent);
  EXPECT_EQ(Verify("2", false).Verify, uvRequired);
  EXPECT_EQ(Verify("", false).Verify, uvWhenPresent);
  EXPECT_EQ(Verify("3", false).Verify, uvWhenPresent);
}

TEST(UpdateSettings_ParseUpdateSettings, WithAKeyOnlyThePolicyLowersVerification) {
  for (const char* user : {"", "0", "1", "2", " 0"}) EXPECT_EQ(Verify(user, true).Verify, uvRequired) << user;
  EXPECT_EQ(ParseUpdateSettings({.Verify = "2", .PolicyVerify = "0"}, true).Verify, uvNone);
  EXPECT_EQ(ParseUpdateSettings({.Verify = "0", .PolicyVerify = "1"}, false).Verify, uvWhenPresent);
  EXPECT_EQ(ParseUpdateSettings({.Verify = "0", .PolicyVerify = "x"}, true).Verify, uvRequired);
}

TEST(UpdateSettings_ParseUpdateSettings, TimeLimitInWholeSeconds) {
  EXPECT_EQ(Timeout(""), 0);
  EXPECT_EQ(Timeout("1"), 1);
  EXPECT_EQ(Timeout("3600"), 3600);
  for (const char* timeout : {"0", "3601", "-5", "+5", " 5", "5s", "2.5", "99999999999"})
    EXPECT_EQ(Timeout(timeout), 0) << timeout;
}
