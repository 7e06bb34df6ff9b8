// The update settings as the store gives their texts.

#include "update/UpdateSettings.h"

#include <gtest/gtest.h>

namespace {

TUpdateSettings Proxy(const std::string& proxy) { return ParseUpdateSettings("", proxy, "", false); }

}  // namespace

TEST(UpdateSettings_BuiltIn, ValuesOfTheBuild) {
  EXPECT_EQ(DefaultUpdateURL(), KALEIDON_UPDATE_URL);
  EXPECT_EQ(BuiltInUpdateKey(), KALEIDON_UPDATE_PUBLIC_KEY);
}

TEST(UpdateSettings_ParseUpdateSettings, HttpAddressesOnly) {
  EXPECT_EQ(ParseUpdateSettings("http://host/kaleidon.htm", "", "", false).HomeURL, "http://host/kaleidon.htm");
  EXPECT_EQ(ParseUpdateSettings("HTTP://HOST/", "", "", false).HomeURL, "HTTP://HOST/");
  for (const char* url : {"", "ftp://host/", "www.host", "https://host/", "http:/", " http://host/"})
    EXPECT_EQ(ParseUpdateSettings(url, "", "", false).HomeURL, "") << url;
}

TEST(UpdateSettings_ParseUpdateSettings, ProxyHostAndPort) {
  EXPECT_EQ(Proxy("proxy").ProxyHost, "proxy");
  EXPECT_EQ(Proxy("proxy").ProxyPort, 80);
  EXPECT_EQ(Proxy("cache-1.example.org:3128").ProxyHost, "cache-1.example.org");
  EXPECT_EQ(Proxy("cache-1.example.org:3128").ProxyPort, 3128);
  EXPECT_EQ(Proxy("127.0.0.1:65535").ProxyPort, 65535);
}

TEST(UpdateSettings_ParseUpdateSettings, AnyOtherProxyMeansADirectConnection) {
  for (const std::string& proxy : {std::string(), std::string("proxy:0"), std::string("proxy:65536"),
                                  std::string("proxy:"), std::string(":80"), std::string("a b:80"),
                                  std::string("http://proxy:80"), std::string("proxy:80:90"),
                                  std::string("proxy:+80"), std::string("proxy:8o"), std::string(256, 'p')}) {
    const TUpdateSettings s = Proxy(proxy);
    EXPECT_EQ(s.ProxyHost, "") << proxy;
    EXPECT_EQ(s.ProxyPort, 80) << proxy;
  }
}

TEST(UpdateSettings_ParseUpdateSettings, VerifyLevels) {
  EXPECT_EQ(ParseUpdateSettings("", "", "0", true).Verify, uvNone);
  EXPECT_EQ(ParseUpdateSettings("", "", "1", true).Verify, uvWhenPresent);
  EXPECT_EQ(ParseUpdateSettings("", "", "2", false).Verify, uvRequired);
  EXPECT_EQ(ParseUpdateSettings("", "", "", true).Verify, uvRequired);
  EXPECT_EQ(ParseUpdateSettings("", "", "", false).Verify, uvWhenPresent);
  EXPECT_EQ(ParseUpdateSettings("", "", "3", false).Verify, uvWhenPresent);
  EXPECT_EQ(ParseUpdateSettings("", "", " 0", true).Verify, uvRequired);
}
