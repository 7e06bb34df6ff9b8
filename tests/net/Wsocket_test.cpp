#include "net/Wsocket.h"

#include <gtest/gtest.h>

#include "framework/Application.h"

TEST(Wsocket_WSocketErrorDesc, KnownAndUnknownNumbers) {
  EXPECT_EQ(WSocketErrorDesc(0), "No Error");
  EXPECT_EQ(WSocketErrorDesc(10061), "Connection refused");
  EXPECT_EQ(WSocketErrorDesc(11001), "Host not found");
  EXPECT_EQ(WSocketErrorDesc(12345), "Not a WinSock error");
}

TEST(Wsocket_DnsLookup, DottedAddressAnswersWithinTheCall) {
  TWSocket socket(nullptr);
  int answers = 0;
  socket.OnDnsLookupDone = TSocketEvent([&](TObject*, uint16_t error) {
    EXPECT_EQ(error, 0);
    ++answers;
  });
  socket.DnsLookup("127.000.000.001");
  EXPECT_EQ(answers, 1);
  EXPECT_EQ(socket.DnsResult(), "127.0.0.1");
  EXPECT_THROW(socket.DnsLookup(""), ESocketException);
}

TEST(Wsocket_Send, NotConnectedIsError10057) {
  TWSocket socket(nullptr);
  try {
    socket.Send("x", 1);
    FAIL() << "no exception";
  } catch (const ESocketException& e) {
    EXPECT_EQ(e.Message(), "Error 10057 in function Send\r\nSocket is not connected");
  }
  EXPECT_EQ(socket.LastError(), 10057);
}

TEST(Wsocket_Connect, RefusedConnectionIsReportedThenClosedWithDefaultsBack) {
  TApplication application;
  TWSocket socket(nullptr);
  // Nothing listens on port 1 of the loopback.
  socket.SetAddr("127.0.0.1");
  socket.SetPort("1");
  uint16_t reported = 0;
  bool done = false;
  socket.OnSessionConnected = TSocketEvent([&](TObject*, uint16_t error) {
    reported = error;
    done = true;
  });
  socket.Connect();
  EXPECT_EQ(socket.State(), wsConnecting);
  EXPECT_THROW(socket.SetPort("2"), ESocketException);
  for (int i = 0; i < 1000 && !done; ++i) application.HandleMessage();
  EXPECT_EQ(reported, 10061);
  EXPECT_EQ(socket.State(), wsClosed);
  EXPECT_EQ(socket.Addr(), "");
  EXPECT_EQ(socket.Port(), "");
  EXPECT_EQ(socket.Proto(), "tcp");
}
