// CKX4COMM on the Win32 communications API, talking to kova-sim (model
// BRIO) mapped to a COM port by with-sim.sh. The port number is given as
// --com=N.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "serial/ckx4comm.h"

namespace {

int g_com = 1;

class WinePort : public ::testing::Test {
 protected:
  void SetUp() override {
    port_.SetPortNumber(g_com);
    ASSERT_EQ(port_.OpenPort(), CKX4COMM_OK) << port_.GetPortName();
    ASSERT_EQ(port_.SetPortBaudRate(CKX4COMM_BAUD_38400), CKX4COMM_OK);
    ASSERT_EQ(port_.SetPortDtaBit(CKX4COMM_DTABIT_8), CKX4COMM_OK);
    ASSERT_EQ(port_.SetPortStopBit(CKX4COMM_STPBIT_ONE), CKX4COMM_OK);
    ASSERT_EQ(port_.SetPortParity(CKX4COMM_PARITY_NONE), CKX4COMM_OK);
    ASSERT_EQ(port_.SetCommunicationTimeouts(0xFFFFFFFF, 0, 0, 0, 5000), CKX4COMM_OK);
    Drain();
  }

  // Throws away whatever an earlier test left queued.
  void Drain() {
    Sleep(100);
    std::vector<unsigned char> buf(10000);
    unsigned long n = 0;
    while (port_.ReadPort(buf.data(), 10000, &n) == CKX4COMM_OK) Sleep(50);
  }

  void Send(std::vector<unsigned char> frame) {
    unsigned long written = 0;
    ASSERT_EQ(port_.WritePort(frame.data(), frame.size(), &written), CKX4COMM_OK);
    ASSERT_EQ(written, frame.size());
  }

  // Sends a frame, waits as the application does, reads the answer text.
  std::string Ask(std::vector<unsigned char> frame, CKX4COMM_RESULT* result = nullptr,
                  unsigned long* length = nullptr) {
    Send(frame);
    Sleep(400);
    std::vector<unsigned char> buf(10000);
    unsigned long n = 0;
    const CKX4COMM_RESULT r = port_.ReadPort(buf.data(), 10000, &n);
    if (result) *result = r;
    if (length) *length = n;
    return r == CKX4COMM_OK ? std::string(reinterpret_cast<char*>(buf.data())) : std::string();
  }

  CKX4COMM port_;
};

TEST_F(WinePort, LinkSettingsAreLive) {
  EXPECT_EQ(port_.PortConnected(), 1);
  EXPECT_EQ(port_.GetPortNumber(), g_com);
  EXPECT_EQ(std::string(port_.GetPortName()), "COM" + std::to_string(g_com));
  EXPECT_EQ(port_.GetPortBaudRate(), 38400u);
  EXPECT_EQ(port_.GetPortDtaBit(), 8);
  EXPECT_EQ(port_.GetPortStopBit(), 0);
  EXPECT_EQ(port_.GetPortParity(), 0);
  ASSERT_EQ(port_.SetPortBaudRate(CKX4COMM_BAUD_9600), CKX4COMM_OK);
  EXPECT_EQ(port_.GetPortBaudRate(), 9600u);
  ASSERT_EQ(port_.GetCommunicationTimeouts(), CKX4COMM_OK);
  EXPECT_EQ(port_.StoredTimeouts().ReadIntervalTimeout, 0xFFFFFFFFu);
  EXPECT_EQ(port_.StoredTimeouts().ReadTotalTimeoutConstant, 0u);
  EXPECT_EQ(port_.StoredTimeouts().WriteTotalTimeoutConstant, 5000u);
}

TEST_F(WinePort, EmptyReadFailsAtOnce) {
  unsigned char buf[100];
  unsigned long n = 123;
  const DWORD before = GetTickCount();
  EXPECT_EQ(port_.ReadPort(buf, sizeof buf, &n), CKX4COMM_READ_ERROR);
  EXPECT_EQ(n, 123u);
  EXPECT_LT(GetTickCount() - before, 1000u);  // the read does not wait
}

TEST_F(WinePort, SingleRegisterReadAndWrite) {
  CKX4COMM_RESULT r;
  unsigned long n = 0;
  EXPECT_EQ(Ask({0x00, 0x04, 0x2C}, &r, &n), "B0|2C|4|C0|");
  EXPECT_EQ(r, CKX4COMM_OK);
  EXPECT_EQ(n, 11u);
  EXPECT_EQ(Ask({0x00, 0x20, 0x01}), "B0|20|1|C0|");  // acknowledged
  EXPECT_EQ(Ask({0x00, 0x04, 0x20}), "B0|20|1|C0|");
  EXPECT_EQ(Ask({0x00, 0x20, 0x00}), "B0|20|0|C0|");
}

TEST_F(WinePort, FullReadAnswersEveryRegister) {
  const std::string text = Ask({0x00, 0x04, 0x00});
  ASSERT_EQ(text.rfind("B0|", 0), 0u) << text;
  size_t records = 0;
  for (size_t at = text.find("|C0|"); at != std::string::npos; at = text.find("|C0|", at + 1))
    ++records;
  EXPECT_EQ(records, 34u) << text;  // the 33 rows of BRIO plus the probe mode
  EXPECT_NE(text.find("B0|2B|1|C0|"), std::string::npos);
  EXPECT_NE(text.find("B0|1E|24|C0|"), std::string::npos);
}

TEST_F(WinePort, ReadFillingTheRequestFails) {
  Send({0x00, 0x04, 0x20});
  Sleep(400);
  unsigned char buf[4];
  unsigned long n = 55;
  EXPECT_EQ(port_.ReadPort(buf, 4, &n), CKX4COMM_READ_ERROR);
  EXPECT_EQ(n, 55u);
}

TEST_F(WinePort, LiveStreamCarriesCheckedRecords) {
  CKX4COMM_RESULT r;
  Send({0x00, 0x08, 0x00});
  Sleep(350);
  std::vector<unsigned char> buf(10000);
  unsigned long n = 0;
  r = port_.ReadPort(buf.data(), 10000, &n);
  Send({0x00, 0x07, 0x00});
  ASSERT_EQ(r, CKX4COMM_OK);
  const std::string text(reinterpret_cast<char*>(buf.data()));
  EXPECT_NE(text.find("B0|11|"), std::string::npos) << text;
  EXPECT_NE(text.find("B0|83|0|83|C0|"), std::string::npos) << text;
}

TEST_F(WinePort, ReopenCloseAndClosedPort) {
  ASSERT_EQ(port_.OpenPort(), CKX4COMM_OK);
  EXPECT_EQ(port_.PortConnected(), 1);
  ASSERT_EQ(port_.SetCommunicationTimeouts(0xFFFFFFFF, 0, 0, 0, 5000), CKX4COMM_OK);
  EXPECT_EQ(Ask({0x00, 0x04, 0x2B}), "B0|2B|1|C0|");
  EXPECT_EQ(port_.ClosePort(), CKX4COMM_OK);
  EXPECT_EQ(port_.PortConnected(), 0);
  EXPECT_EQ(port_.ClosePort(), CKX4COMM_OK);
  EXPECT_EQ(port_.SetPortBaudRate(CKX4COMM_BAUD_9600), CKX4COMM_GET_ERROR);
  EXPECT_EQ(port_.GetPortBaudRate(), 4u);
  unsigned char buf[16] = {0x00, 0x04, 0x00};
  unsigned long n = 7;
  EXPECT_EQ(port_.ReadPort(buf, sizeof buf, &n), CKX4COMM_READ_ERROR);
  EXPECT_EQ(port_.WritePort(buf, 3, &n), CKX4COMM_WRITE_ERROR);
}

TEST(WinePortName, UnmappedPortDoesNotOpen) {
  CKX4COMM port;
  port.SetPortNumber(g_com == 57 ? 58 : 57);
  EXPECT_EQ(port.OpenPort(), CKX4COMM_OPEN_ERROR);
  EXPECT_EQ(port.PortConnected(), 0);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--com=", 6) == 0) g_com = std::atoi(argv[i] + 6);
  return RUN_ALL_TESTS();
}
