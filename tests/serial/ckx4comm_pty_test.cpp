// CKX4COMM over termios against the simulated controller served on a
// pseudo-terminal by a pumping thread.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "common/clock.h"
#include "serial/ckx4comm.h"
#include "serial/com_serial_port.h"
#include "sim/controller_sim.h"
#include "sim/pty_server.h"

namespace {

using kova::sim::ControllerSim;

class PtyPort : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(server_.Open(&error)) << error;
    sim_.SetLatency(0);
    setenv("KOVA_COM1", server_.Path().c_str(), 1);
    server_.Start(sim_);
  }
  void TearDown() override {
    server_.Stop();
    if (watch_ >= 0) ::close(watch_);
  }

  // Opens COM1 with the link set-up the application uses for BRIO.
  void OpenLink(CKX4COMM& port) {
    port.SetPortNumber(1);
    ASSERT_EQ(port.OpenPort(), CKX4COMM_OK);
    ASSERT_EQ(port.SetCommunicationTimeouts(0xFFFFFFFF, 0, 0, 0, 5000), CKX4COMM_OK);
  }

  void Send(CKX4COMM& port, std::vector<unsigned char> frame) {
    unsigned long written = 0;
    ASSERT_EQ(port.WritePort(frame.data(), frame.size(), &written), CKX4COMM_OK);
    ASSERT_EQ(written, frame.size());
  }

  // Waits (real time, bounded) until `total` bytes sit in the port's input
  // queue, so a read sees the whole answer however loaded the machine is.
  void AwaitQueued(uint64_t total) {
    if (watch_ < 0) watch_ = ::open(server_.Path().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(watch_, 0);
    int queued = 0;
    for (int i = 0; i < 5000; ++i) {
      ASSERT_EQ(::ioctl(watch_, FIONREAD, &queued), 0);
      if (static_cast<uint64_t>(queued) >= total) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_GE(static_cast<uint64_t>(queued), total);
  }

  std::vector<std::vector<uint8_t>> Frames() {
    std::lock_guard<std::mutex> lock(server_.Lock());
    std::vector<std::vector<uint8_t>> out;
    for (const auto& f : sim_.Frames()) out.push_back(f.bytes);
    return out;
  }

  kova::SystemClock clock_;
  ControllerSim sim_{kova::sim::kBrio, clock_};
  kova::sim::PtyServer server_;
  int watch_ = -1;  // the pty opened once more, only to look at its input queue
};

std::string Text(const unsigned char* b) { return reinterpret_cast<const char*>(b); }

TEST_F(PtyPort, SingleRegisterReadGivesItsRecordText) {
  {
    std::lock_guard<std::mutex> lock(server_.Lock());
    sim_.SetRegister(0x20, 0x01);
  }
  CKX4COMM port;
  OpenLink(port);
  Send(port, {0x00, 0x04, 0x20});
  AwaitQueued(4);
  std::vector<unsigned char> buf(10000, 0xEE);
  unsigned long length = 0;
  ASSERT_EQ(port.ReadPort(buf.data(), 10000, &length), CKX4COMM_OK);
  EXPECT_EQ(Text(buf.data()), "B0|20|1|C0|");
  EXPECT_EQ(length, 11u);
  EXPECT_EQ(Frames(), (std::vector<std::vector<uint8_t>>{{0x00, 0x04, 0x20}}));
}

TEST_F(PtyPort, ReadWithNothingQueuedFailsAndKeepsLength) {
  CKX4COMM port;
  OpenLink(port);
  unsigned char buf[64];
  unsigned long length = 777;
  EXPECT_EQ(port.ReadPort(buf, sizeof buf, &length), CKX4COMM_READ_ERROR);
  EXPECT_EQ(length, 777u);
}

TEST_F(PtyPort, ReadFillingTheRequestExactlyFails) {
  CKX4COMM port;
  OpenLink(port);
  Send(port, {0x00, 0x04, 0x20});
  AwaitQueued(4);
  unsigned char buf[4];
  unsigned long length = 5;
  EXPECT_EQ(port.ReadPort(buf, 4, &length), CKX4COMM_READ_ERROR);
  EXPECT_EQ(length, 5u);
}

TEST_F(PtyPort, LeadingZeroByteGivesEmptyText) {
  {
    std::lock_guard<std::mutex> lock(server_.Lock());
    sim_.faults().garbage = {0x00};
    sim_.faults().garbage_bytes = 1;
  }
  CKX4COMM port;
  OpenLink(port);
  Send(port, {0x00, 0x04, 0x20});
  AwaitQueued(5);
  unsigned char buf[100];
  std::memset(buf, 'x', sizeof buf);
  unsigned long length = 9;
  EXPECT_EQ(port.ReadPort(buf, sizeof buf, &length), CKX4COMM_OK);
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(buf[0], 0);
}

TEST_F(PtyPort, TextNeverPassesTheCallersBuffer) {
  CKX4COMM port;
  OpenLink(port);
  Send(port, {0x00, 0x04, 0x20});
  AwaitQueued(4);
  // 4 bytes arrive (fewer than 8 asked) but their text needs 12 characters.
  unsigned char buf[8 + 4];
  std::memset(buf, 'x', sizeof buf);
  unsigned long length = 0;
  ASSERT_EQ(port.ReadPort(buf, 8, &length), CKX4COMM_OK);
  EXPECT_EQ(Text(buf), "B0|20|");
  EXPECT_EQ(length, 6u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf) + 8, 4), "xxxx");
}

TEST_F(PtyPort, AnswerTooLongForTheWorkTextIsCutAtAWholeByte) {
  {
    std::lock_guard<std::mutex> lock(server_.Lock());
    sim_.faults().garbage = {0xFF};
    sim_.faults().garbage_bytes = 4000;
  }
  CKX4COMM port;
  OpenLink(port);
  Send(port, {0x00, 0x04, 0x20});
  AwaitQueued(3400);  // more than the work text can show
  std::vector<unsigned char> buf(10000);
  unsigned long length = 0;
  ASSERT_EQ(port.ReadPort(buf.data(), 10000, &length), CKX4COMM_OK);
  EXPECT_EQ(length, 9999u);  // 3333 bytes of "FF|"
  EXPECT_EQ(Text(buf.data()).size(), 9999u);
  EXPECT_EQ(Text(buf.data()).substr(9993), "FF|FF|");
}

TEST_F(PtyPort, WritesReachTheLineUnchanged) {
  CKX4COMM port;
  OpenLink(port);
  // Bytes a cooked terminal would translate or swallow: CR, XON, XOFF, ^C.
  Send(port, {0x00, 0x0D, 0x11});
  Send(port, {0x00, 0x13, 0x03});
  Send(port, {0x00, 0x0A, 0x7F});
  for (int i = 0; i < 1000 && Frames().size() < 3; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(Frames(), (std::vector<std::vector<uint8_t>>{
                          {0x00, 0x0D, 0x11}, {0x00, 0x13, 0x03}, {0x00, 0x0A, 0x7F}}));
}

TEST_F(PtyPort, LineParametersAreLive) {
  CKX4COMM port;
  OpenLink(port);
  EXPECT_EQ(port.SetPortBaudRate(CKX4COMM_BAUD_38400), CKX4COMM_OK);
  EXPECT_EQ(port.SetPortDtaBit(CKX4COMM_DTABIT_7), CKX4COMM_OK);
  EXPECT_EQ(port.SetPortStopBit(CKX4COMM_STPBIT_TWO), CKX4COMM_OK);
  EXPECT_EQ(port.GetPortBaudRate(), 38400u);
  EXPECT_EQ(port.GetPortDtaBit(), 7);
  EXPECT_EQ(port.GetPortStopBit(), 2);
  EXPECT_EQ(port.SetPortBaudRate(CKX4COMM_BAUD_9600), CKX4COMM_OK);
  EXPECT_EQ(port.GetPortBaudRate(), 9600u);
  // Parity scheme set, parity checking still off: the getter tells the latter.
  EXPECT_EQ(port.SetPortParity(CKX4COMM_PARITY_EVEN), CKX4COMM_OK);
  EXPECT_EQ(port.GetPortParity(), 0);
  EXPECT_EQ(port.StoredLineState().Parity, 2);
  // A rate the line cannot run is refused when applied.
  EXPECT_EQ(port.SetPortBaudRate(static_cast<CKX4COMM_BAUDRATE>(12345)), CKX4COMM_SET_ERROR);
  EXPECT_EQ(port.GetPortBaudRate(), 9600u);
}

TEST_F(PtyPort, TimeoutsAreReadBackFromThePort) {
  CKX4COMM port;
  OpenLink(port);
  ASSERT_EQ(port.SetCommunicationTimeouts(10, 2, 30, 4, 50), CKX4COMM_OK);
  CKX4COMM_RESULT r = port.GetCommunicationTimeouts();
  EXPECT_EQ(r, CKX4COMM_OK);
  const auto& t = port.StoredTimeouts();
  EXPECT_EQ(t.ReadIntervalTimeout, 10u);
  EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 2u);
  EXPECT_EQ(t.ReadTotalTimeoutConstant, 30u);
  EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 4u);
  EXPECT_EQ(t.WriteTotalTimeoutConstant, 50u);
}

TEST_F(PtyPort, ClosedPortRefusesEverything) {
  CKX4COMM port;
  port.SetPortNumber(1);
  EXPECT_EQ(port.ClosePort(), CKX4COMM_OK);  // closing a closed port
  EXPECT_EQ(port.SetPortBaudRate(CKX4COMM_BAUD_9600), CKX4COMM_GET_ERROR);
  EXPECT_EQ(port.SetPortDtaBit(CKX4COMM_DTABIT_8), CKX4COMM_GET_ERROR);
  EXPECT_EQ(port.SetPortParity(CKX4COMM_PARITY_NONE), CKX4COMM_GET_ERROR);
  EXPECT_EQ(port.SetPortStopBit(CKX4COMM_STPBIT_ONE), CKX4COMM_GET_ERROR);
  EXPECT_EQ(port.SetCommunicationTimeouts(1, 2, 3, 4, 5), CKX4COMM_GET_ERROR);
  EXPECT_EQ(port.GetCommunicationTimeouts(), CKX4COMM_GET_ERROR);
  EXPECT_EQ(port.StoredTimeouts().ReadIntervalTimeout, 0u);
  EXPECT_EQ(port.GetPortBaudRate(), 4u);
  EXPECT_EQ(port.GetPortDtaBit(), 4);
  EXPECT_EQ(port.GetPortParity(), 4);
  EXPECT_EQ(port.GetPortStopBit(), 4);
  EXPECT_EQ(port.SetEventMonitor(CKX4COMM_EV_RXCHAR), CKX4COMM_EVENT_ERROR);
  unsigned char buf[16] = {0x00, 0x04, 0x00};
  unsigned long n = 99;
  EXPECT_EQ(port.ReadPort(buf, sizeof buf, &n), CKX4COMM_READ_ERROR);
  EXPECT_EQ(n, 99u);
  // A write that could not happen is not reported as done.
  EXPECT_EQ(port.WritePort(buf, 3, &n), CKX4COMM_WRITE_ERROR);
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(port.WindowsConfigScreen(), CKX4COMM_SET_ERROR);
}

TEST_F(PtyPort, OpenCloseAndReopen) {
  CKX4COMM port;
  OpenLink(port);
  EXPECT_EQ(port.PortConnected(), 1);
  // Someone turned flow control on behind our back; a reopen turns it off.
  int fd = ::open(server_.Path().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  termios t{};
  ASSERT_EQ(tcgetattr(fd, &t), 0);
  t.c_cflag |= CRTSCTS;
  t.c_iflag |= IXON;
  ASSERT_EQ(tcsetattr(fd, TCSANOW, &t), 0);
  ASSERT_EQ(port.OpenPort(), CKX4COMM_OK);
  EXPECT_EQ(port.PortConnected(), 1);
  ASSERT_EQ(tcgetattr(fd, &t), 0);
  EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
  EXPECT_EQ(t.c_iflag & IXON, 0u);
  ::close(fd);
  // Still a working link after the reopen.
  ASSERT_EQ(port.SetCommunicationTimeouts(0xFFFFFFFF, 0, 0, 0, 5000), CKX4COMM_OK);
  Send(port, {0x00, 0x04, 0x20});
  AwaitQueued(4);
  unsigned char buf[100];
  unsigned long n = 0;
  EXPECT_EQ(port.ReadPort(buf, sizeof buf, &n), CKX4COMM_OK);
  EXPECT_EQ(n, 11u);
  EXPECT_EQ(port.ClosePort(), CKX4COMM_OK);
  EXPECT_EQ(port.PortConnected(), 0);
  EXPECT_EQ(port.ClosePort(), CKX4COMM_OK);
}

TEST_F(PtyPort, PortIsNotShared) {
  CKX4COMM first, second;
  OpenLink(first);
  second.SetPortNumber(1);
  EXPECT_EQ(second.OpenPort(), CKX4COMM_OPEN_ERROR);
  EXPECT_EQ(second.PortConnected(), 0);
  first.ClosePort();
  EXPECT_EQ(second.OpenPort(), CKX4COMM_OK);
}

TEST_F(PtyPort, WaitEventReturnsWhenACharacterArrives) {
  CKX4COMM port;
  OpenLink(port);
  EXPECT_EQ(port.SetEventMonitor(CKX4COMM_EV_RXCHAR), CKX4COMM_OK);
  Send(port, {0x00, 0x04, 0x20});
  EXPECT_EQ(port.WaitEvent(), 1u);
  EXPECT_EQ(port.WindowsConfigScreen(), CKX4COMM_OK);
}

TEST_F(PtyPort, AdapterForwardsToThePort) {
  CKX4COMM port;
  kova::ComSerialPort link(port);
  EXPECT_EQ(link.SetPortNumber(1), CKX4COMM_OK);
  EXPECT_EQ(link.GetPortNumber(), 1);
  ASSERT_EQ(link.OpenPort(), CKX4COMM_OK);
  EXPECT_EQ(link.PortConnected(), 1);
  EXPECT_EQ(link.SetPortBaudRate(38400), CKX4COMM_OK);
  EXPECT_EQ(link.SetPortDtaBit(8), CKX4COMM_OK);
  EXPECT_EQ(link.SetPortStopBit(0), CKX4COMM_OK);
  EXPECT_EQ(link.SetPortParity(0), CKX4COMM_OK);
  EXPECT_EQ(port.GetPortBaudRate(), 38400u);
  ASSERT_EQ(link.SetCommunicationTimeouts(0xFFFFFFFF, 0, 0, 0, 5000), CKX4COMM_OK);
  const unsigned char frame[] = {0x00, 0x04, 0x3D};
  unsigned long n = 0;
  ASSERT_EQ(link.WritePort(frame, 3, &n), CKX4COMM_OK);
  AwaitQueued(4);
  unsigned char buf[64];
  ASSERT_EQ(link.ReadPort(buf, sizeof buf, &n), CKX4COMM_OK);
  EXPECT_EQ(Text(buf), "B0|3D|3C|C0|");
  EXPECT_EQ(link.ClosePort(), CKX4COMM_OK);
  EXPECT_EQ(port.PortConnected(), 0);
}

TEST(PortName, FormedFromTheNumber) {
  CKX4COMM port;
  EXPECT_EQ(port.GetPortNumber(), 0);
  EXPECT_STREQ(port.GetPortName(), "");
  EXPECT_EQ(port.PortConnected(), 0);
  port.SetPortNumber(12);
  EXPECT_STREQ(port.GetPortName(), "COM12");
  EXPECT_EQ(port.GetPortNumber(), 12);
  port.SetPortNumber(0);
  EXPECT_STREQ(port.GetPortName(), "COM0");
  // The name holds 7 characters; a longer number is cut, not overflowed.
  port.SetPortNumber(-2147483647 - 1);
  EXPECT_STREQ(port.GetPortName(), "COM-214");
  EXPECT_EQ(port.GetPortNumber(), -2147483647 - 1);
}

TEST(PortName, PortWithoutDeviceDoesNotOpen) {
  unsetenv("KOVA_COM0");
  CKX4COMM port;
  port.SetPortNumber(0);
  EXPECT_EQ(port.OpenPort(), CKX4COMM_OPEN_ERROR);
  EXPECT_EQ(port.PortConnected(), 0);
  setenv("KOVA_COM7", "/nonexistent/tty", 1);
  port.SetPortNumber(7);
  EXPECT_EQ(port.OpenPort(), CKX4COMM_OPEN_ERROR);
  EXPECT_EQ(port.PortConnected(), 0);
}

}  // namespace
