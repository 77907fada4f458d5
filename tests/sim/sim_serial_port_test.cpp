// The in-process link: CKX4COMM's results and text, and the record of how
// the link was set up.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/clock.h"
#include "sim/sim_serial_port.h"

namespace kova::sim {
namespace {

class Link : public ::testing::Test {
 protected:
  int Write(std::initializer_list<uint8_t> bytes) {
    std::vector<uint8_t> b(bytes);
    unsigned long written = 0;
    return port_.WritePort(b.data(), b.size(), &written);
  }
  VirtualClock clock_;
  ControllerSim sim_{kBrio, clock_};
  SimSerialPort port_{sim_, clock_};
};

TEST_F(Link, RecordsTheSetUp) {
  EXPECT_EQ(port_.SetPortNumber(3), 0);
  EXPECT_EQ(port_.OpenPort(), 0);
  EXPECT_EQ(port_.SetPortBaudRate(38400), 0);
  EXPECT_EQ(port_.SetPortDtaBit(8), 0);
  EXPECT_EQ(port_.SetPortStopBit(0), 0);
  EXPECT_EQ(port_.SetPortParity(0), 0);
  EXPECT_EQ(port_.OpenPort(), 0);
  EXPECT_EQ(port_.SetCommunicationTimeouts(0xFFFFFFFF, 0, 0, 0, 5000), 0);
  EXPECT_EQ(port_.GetPortNumber(), 3);
  EXPECT_EQ(port_.Opens(), 2);
  EXPECT_EQ(port_.Closes(), 1);  // the second open closed the first
  EXPECT_EQ(port_.BaudRate(), 38400u);
  EXPECT_EQ(port_.DataBits(), 8);
  EXPECT_EQ(port_.CommTimeouts(), (SimSerialPort::Timeouts{0xFFFFFFFF, 0, 0, 0, 5000}));
  EXPECT_EQ(port_.Calls(),
            (std::vector<std::string>{"SetPortNumber(3)", "OpenPort", "SetPortBaudRate(38400)",
                                      "SetPortDtaBit(8)", "SetPortStopBit(0)", "SetPortParity(0)",
                                      "OpenPort", "SetCommunicationTimeouts(4294967295,0,0,0,5000)"}));
}

TEST_F(Link, ClosedOrFailedLinkRefuses) {
  EXPECT_EQ(port_.SetPortBaudRate(9600), 4);
  EXPECT_EQ(port_.SetCommunicationTimeouts(1, 2, 3, 4, 5), 4);
  EXPECT_EQ(port_.BaudRate(), 9600u);  // unchanged
  unsigned char buf[100];
  unsigned long n = 5;
  EXPECT_EQ(port_.ReadPort(buf, sizeof buf, &n), 6);
  EXPECT_EQ(n, 5u);
  EXPECT_EQ(Write({0x00, 0x04, 0x00}), 7);
  EXPECT_TRUE(sim_.Frames().empty());
  port_.SetOpenFails(true);
  EXPECT_EQ(port_.OpenPort(), 3);
  EXPECT_EQ(port_.PortConnected(), 0);
  port_.SetOpenFails(false);
  EXPECT_EQ(port_.OpenPort(), 0);
  EXPECT_EQ(port_.PortConnected(), 1);
  port_.SetWriteFails(true);
  EXPECT_EQ(Write({0x00, 0x04, 0x00}), 7);
  EXPECT_EQ(port_.ClosePort(), 0);
  EXPECT_EQ(port_.ClosePort(), 0);
  EXPECT_EQ(port_.Closes(), 1);
}

TEST_F(Link, ReadsGiveTheAnswerText) {
  sim_.SetRegister(0x20, 0x01);
  ASSERT_EQ(port_.OpenPort(), 0);
  unsigned char buf[10000];
  unsigned long n = 77;
  EXPECT_EQ(port_.ReadPort(buf, sizeof buf, &n), 6);  // nothing yet
  EXPECT_EQ(n, 77u);
  ASSERT_EQ(Write({0x00, 0x04, 0x20}), 0);
  clock_.Advance(30);
  ASSERT_EQ(port_.ReadPort(buf, sizeof buf, &n), 0);
  EXPECT_STREQ(reinterpret_cast<char*>(buf), "B0|20|1|C0|");
  EXPECT_EQ(n, 11u);
  // An answer that fills the request is a failed read.
  ASSERT_EQ(Write({0x00, 0x04, 0x20}), 0);
  clock_.Advance(30);
  n = 77;
  EXPECT_EQ(port_.ReadPort(buf, 4, &n), 6);
  EXPECT_EQ(n, 77u);
  // Leading zero byte: an empty answer.
  sim_.faults().garbage = {0x00};
  sim_.faults().garbage_bytes = 1;
  ASSERT_EQ(Write({0x00, 0x04, 0x20}), 0);
  clock_.Advance(30);
  EXPECT_EQ(port_.ReadPort(buf, sizeof buf, &n), 0);
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(buf[0], 0);
  EXPECT_EQ(port_.ReadTimes(), (std::vector<uint32_t>{0, 30, 60, 90}));
}

TEST_F(Link, WritesAreFramesWithTheirTime) {
  ASSERT_EQ(port_.OpenPort(), 0);
  clock_.Advance(250);
  unsigned long written = 0;
  const unsigned char frame[] = {0x00, 0x05, 0x18};
  ASSERT_EQ(port_.WritePort(frame, 3, &written), 0);
  EXPECT_EQ(written, 3u);
  ASSERT_EQ(sim_.Frames().size(), 1u);
  EXPECT_EQ(sim_.Frames()[0].time_ms, 250u);
  EXPECT_EQ(sim_.Frames()[0].bytes, (std::vector<uint8_t>{0x00, 0x05, 0x18}));
}

}  // namespace
}  // namespace kova::sim
