#include "update/ZoneMark.h"

#include <gtest/gtest.h>

TEST(ZoneMark_ZoneIdentifierText, ZoneThreeAndTheAddressesWithoutCredentials) {
  EXPECT_EQ(ZoneIdentifierText("http://user:pw@host:8080/get/Setup.exe?x=1", "http://host/page@1"),
            "[ZoneTransfer]\r\nZoneId=3\r\nReferrerUrl=http://host/page@1\r\n"
            "HostUrl=http://host:8080/get/Setup.exe?x=1\r\n");
}
