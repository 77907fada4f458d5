// CKX4COMM's own steps against scripted system calls: the paths a real
// port rarely takes (pending and incomplete writes, line errors, failures
// while opening or closing).
#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "serial/ckx4comm.h"
#include "serial/ckx4comm_os.h"

namespace kova::comm {

struct PosixPort {};

namespace {

struct Result {
  bool ok;
  uint32_t count;
  uint32_t error = 0;
};

struct Script {
  PosixPort device;
  bool open_ok = true, close_ok = true, get_state_ok = true, set_state_ok = true;
  Dcb device_state{};
  // What a new handle reports, when the driver forgets the line state
  // between handles.
  std::optional<Dcb> state_on_open;
  bool read_ok = true;
  std::deque<Result> writes, overlapped;
  bool clear_ok = true;
  uint32_t line_errors = 0;
  bool event_ok = true;
  uint32_t last_error = 0;
  std::vector<std::string> calls;
  std::vector<Dcb> applied;
};
Script* g = nullptr;

}  // namespace

Handle OpenDevice(const char* name) {
  g->calls.push_back(std::string("Open ") + name);
  if (g->open_ok && g->state_on_open) g->device_state = *g->state_on_open;
  return g->open_ok ? &g->device : kNoHandle;
}
bool CloseDevice(Handle) {
  g->calls.push_back("Close");
  return g->close_ok;
}
void SetupQueues(Handle, uint32_t in, uint32_t out) {
  g->calls.push_back("Queues " + std::to_string(in) + " " + std::to_string(out));
}
bool GetState(Handle h, Dcb* d) {
  g->calls.push_back("GetState");
  if (!h || !g->get_state_ok) return false;
  *d = g->device_state;
  return true;
}
bool SetState(Handle h, const Dcb* d) {
  g->calls.push_back("SetState");
  if (!h || !g->set_state_ok) return false;
  g->applied.push_back(*d);
  g->device_state = *d;
  return true;
}
bool GetTimeouts(Handle h, Timeouts* t) { return h && (*t = Timeouts{}, true); }
bool SetTimeouts(Handle h, const Timeouts*) { return h != nullptr; }
bool ReadBytes(Handle h, void* buffer, uint32_t, uint32_t* got) {
  g->calls.push_back("Read");
  *got = 0;
  if (!h || !g->read_ok) return false;
  static_cast<unsigned char*>(buffer)[0] = 0xB0;
  *got = 1;
  return true;
}
bool WriteBytes(Handle, const void*, uint32_t, uint32_t* written) {
  g->calls.push_back("Write");
  const Result r = g->writes.front();
  g->writes.pop_front();
  *written = r.count;
  g->last_error = r.error;
  return r.ok;
}
uint32_t LastError() { return g->last_error; }
bool OverlappedResult(Handle, Overlapped*, uint32_t* transferred) {
  g->calls.push_back("Overlapped");
  const Result r = g->overlapped.front();
  g->overlapped.pop_front();
  *transferred = r.count;
  g->last_error = r.error;
  return r.ok;
}
bool ClearErrors(Handle, uint32_t* errors) {
  g->calls.push_back("ClearErrors");
  *errors = g->line_errors;
  return g->clear_ok;
}
bool SetEventMask(Handle, uint32_t mask) {
  g->calls.push_back("Mask " + std::to_string(mask));
  return true;
}
bool WaitForEvent(Handle, uint32_t* mask) {
  g->calls.push_back("Wait");
  *mask = 1;
  return true;
}
EventHandle CreateWatchEvent() { return g->event_ok ? 3 : kNoEvent; }
void CloseWatchEvent(EventHandle) { g->calls.push_back("CloseEvent"); }
bool GetConfig(Handle h, Config*) { return h != nullptr; }
void ConfigDialog(const char*, Config* c) { g->calls.push_back("Dialog " + std::to_string(c->dwSize)); }
bool SetConfig(Handle h, const Config*) { return h != nullptr; }
void ShowMessage(const char* text, const char* caption, MessageIcon icon) {
  g->calls.push_back(std::string("Message ") + caption + ": " + text +
                     (icon == MessageIcon::kExclamation ? " (!)" : ""));
}

namespace {

class Steps : public ::testing::Test {
 protected:
  void SetUp() override {
    g = &script_;
    script_.device_state.BaudRate = 9600;
    script_.device_state.ByteSize = 8;
    script_.device_state.fOutxCtsFlow = 1;
    script_.device_state.fOutxDsrFlow = 1;
    script_.device_state.fDsrSensitivity = 1;
    script_.device_state.fOutX = 1;
    script_.device_state.fInX = 1;
  }
  void TearDown() override { g = nullptr; }

  CKX4COMM_RESULT Write(CKX4COMM& port, unsigned long count, unsigned long* written) {
    unsigned char bytes[8] = {};
    return port.WritePort(bytes, count, written);
  }

  Script script_;
};

TEST_F(Steps, OpenSetsEveryFlagAndKeepsTheLineSettingsOfAReopen) {
  // Left by whatever used the port last.
  script_.device_state.fAbortOnError = 1;
  script_.device_state.fNull = 1;
  script_.device_state.fErrorChar = 1;
  script_.device_state.fParity = 1;
  script_.device_state.XonChar = script_.device_state.XoffChar = 0;
  CKX4COMM port;
  port.SetPortNumber(3);
  ASSERT_EQ(port.OpenPort(), CKX4COMM_OK);
  EXPECT_EQ(script_.calls,
            (std::vector<std::string>{"Open COM3", "Queues 10000 10000", "GetState", "SetState"}));
  const Dcb& d = script_.applied.back();
  EXPECT_EQ(d.fBinary, 1u);
  EXPECT_EQ(d.fParity + d.fOutxCtsFlow + d.fOutxDsrFlow + d.fDsrSensitivity + d.fOutX + d.fInX +
                d.fErrorChar + d.fNull + d.fAbortOnError,
            0u);
  EXPECT_EQ(d.fDtrControl, kDtrControlEnable);
  EXPECT_EQ(d.fRtsControl, kRtsControlEnable);
  EXPECT_NE(d.XonChar, d.XoffChar);
  EXPECT_EQ(d.BaudRate, 9600u);  // the driver's on a first open

  // The link set-up, then the reopen of the faster models, on a driver that
  // gives a new handle its defaults: the settings made are applied again;
  // another port opens with its driver's.
  Dcb defaults = script_.device_state;
  defaults.BaudRate = 1200;
  defaults.StopBits = 2;
  script_.state_on_open = defaults;
  ASSERT_EQ(port.SetPortBaudRate(CKX4COMM_BAUD_38400), CKX4COMM_OK);
  ASSERT_EQ(port.SetPortStopBit(CKX4COMM_STPBIT_ONE), CKX4COMM_OK);
  ASSERT_EQ(port.OpenPort(), CKX4COMM_OK);
  EXPECT_EQ(script_.applied.back().BaudRate, 38400u);
  EXPECT_EQ(script_.applied.back().StopBits, 0);
  port.SetPortNumber(4);
  ASSERT_EQ(port.OpenPort(), CKX4COMM_OK);
  EXPECT_EQ(script_.applied.back().BaudRate, 1200u);
}

// An adapter unplugged, or a laptop back from sleep: the transfer fails and
// so does clearing the error state. The handle is let go, and the port
// opens again once the device is back.
TEST_F(Steps, ADeadDeviceIsLetGoAfterAFailedTransfer) {
  CKX4COMM port;
  port.SetPortNumber(5);
  unsigned char buffer[16];
  unsigned long length = 0, written = 0;
  ASSERT_EQ(port.OpenPort(), CKX4COMM_OK);

  // A failed read whose error state clears keeps the port.
  script_.read_ok = false;
  script_.calls.clear();
  EXPECT_EQ(port.ReadPort(buffer, sizeof buffer, &length), CKX4COMM_READ_ERROR);
  EXPECT_EQ(script_.calls, (std::vector<std::string>{"Read", "ClearErrors"}));
  script_.clear_ok = false;
  EXPECT_EQ(port.ReadPort(buffer, sizeof buffer, &length), CKX4COMM_READ_ERROR);
  EXPECT_EQ(script_.calls.back(), "Close");
  EXPECT_EQ(port.PortConnected(), 0);
  script_.read_ok = true;
  ASSERT_EQ(port.OpenPort(), CKX4COMM_OK);
  EXPECT_EQ(port.ReadPort(buffer, sizeof buffer, &length), CKX4COMM_OK);

  // The same for a failed write, and for a pending write that fails.
  script_.writes = {{false, 0, 31}};
  EXPECT_EQ(Write(port, 3, &written), CKX4COMM_WRITE_ERROR);
  EXPECT_EQ(port.PortConnected(), 0);
  ASSERT_EQ(port.OpenPort(), CKX4COMM_OK);
  script_.writes = {{false, 0, kErrorIoPending}};
  script_.overlapped = {{false, 3, 31}};
  EXPECT_EQ(Write(port, 3, &written), CKX4COMM_WRITE_ERROR);
  EXPECT_EQ(port.PortConnected(), 0);
}

TEST_F(Steps, FailuresWhileOpening) {
  CKX4COMM port;
  port.SetPortNumber(1);
  script_.open_ok = false;
  EXPECT_EQ(port.OpenPort(), CKX4COMM_OPEN_ERROR);
  EXPECT_EQ(port.PortConnected(), 0);
  // Once the device is open a later failure leaves it open.
  script_.open_ok = true;
  script_.get_state_ok = false;
  EXPECT_EQ(port.OpenPort(), CKX4COMM_OPEN_ERROR);
  EXPECT_EQ(port.PortConnected(), 1);
  script_.get_state_ok = true;
  script_.set_state_ok = false;
  EXPECT_EQ(port.OpenPort(), CKX4COMM_OPEN_ERROR);
  EXPECT_EQ(port.PortConnected(), 1);
}

TEST_F(Steps, FailedCloseKeepsThePortOpen) {
  CKX4COMM port;
  port.SetPortNumber(1);
  ASSERT_EQ(port.OpenPort(), CKX4COMM_OK);
  script_.close_ok = false;
  EXPECT_EQ(port.ClosePort(), CKX4COMM_CLOSE_ERROR);
  EXPECT_EQ(port.PortConnected(), 1);
  script_.close_ok = true;
  EXPECT_EQ(port.ClosePort(), CKX4COMM_OK);
  EXPECT_EQ(port.PortConnected(), 0);
}

TEST_F(Steps, SettersReportWhichHalfFailed) {
  CKX4COMM port;
  port.SetPortNumber(1);
  ASSERT_EQ(port.OpenPort(), CKX4COMM_OK);
  script_.set_state_ok = false;
  EXPECT_EQ(port.SetPortBaudRate(CKX4COMM_BAUD_38400), CKX4COMM_SET_ERROR);
  script_.get_state_ok = false;
  EXPECT_EQ(port.SetPortBaudRate(CKX4COMM_BAUD_38400), CKX4COMM_GET_ERROR);
  EXPECT_EQ(port.GetPortBaudRate(), 4u);
  script_.get_state_ok = true;
  script_.set_state_ok = true;
  script_.device_state.fParity = 1;
  EXPECT_EQ(port.SetPortParity(CKX4COMM_PARITY_ODD), CKX4COMM_OK);
  EXPECT_EQ(script_.applied.back().Parity, 1);
  EXPECT_EQ(port.GetPortParity(), 1);  // the checking flag, not the scheme
}

TEST_F(Steps, WriteSucceedsOnlyWhenEveryByteLeft) {
  CKX4COMM port;
  port.SetPortNumber(1);
  ASSERT_EQ(port.OpenPort(), CKX4COMM_OK);
  unsigned long written = 0;
  script_.writes = {{true, 3}};
  EXPECT_EQ(Write(port, 3, &written), CKX4COMM_OK);
  EXPECT_EQ(written, 3u);
  // Timed out part-way: the driver says success, but the frame is cut.
  script_.writes = {{true, 2}};
  EXPECT_EQ(Write(port, 3, &written), CKX4COMM_WRITE_ERROR);
  EXPECT_EQ(written, 2u);
}

TEST_F(Steps, PendingWriteAccumulatesIncompleteParts) {
  CKX4COMM port;
  port.SetPortNumber(1);
  ASSERT_EQ(port.OpenPort(), CKX4COMM_OK);
  unsigned long written = 0;
  script_.writes = {{false, 0, kErrorIoPending}};
  script_.overlapped = {{false, 1, kErrorIoIncomplete}, {false, 1, kErrorIoIncomplete}, {true, 1}};
  EXPECT_EQ(Write(port, 3, &written), CKX4COMM_OK);
  EXPECT_TRUE(script_.overlapped.empty());

  script_.writes = {{false, 0, kErrorIoPending}};
  script_.overlapped = {{false, 1, kErrorIoIncomplete}, {true, 1}};
  EXPECT_EQ(Write(port, 3, &written), CKX4COMM_WRITE_ERROR);
}

TEST_F(Steps, PendingWriteThatFailsAsksTheLine) {
  CKX4COMM port;
  port.SetPortNumber(1);
  ASSERT_EQ(port.OpenPort(), CKX4COMM_OK);
  unsigned long written = 0;
  // No line errors and every byte accounted for: done.
  script_.writes = {{false, 0, kErrorIoPending}};
  script_.overlapped = {{false, 2, kErrorIoIncomplete}, {false, 1, 31}};
  EXPECT_EQ(Write(port, 3, &written), CKX4COMM_OK);
  // Line errors: failed, whatever was counted.
  script_.line_errors = 0x0008;
  script_.writes = {{false, 0, kErrorIoPending}};
  script_.overlapped = {{false, 2, kErrorIoIncomplete}, {false, 1, 31}};
  EXPECT_EQ(Write(port, 3, &written), CKX4COMM_WRITE_ERROR);
  // No line errors but bytes missing: failed.
  script_.line_errors = 0;
  script_.writes = {{false, 0, kErrorIoPending}};
  script_.overlapped = {{false, 1, 31}};
  EXPECT_EQ(Write(port, 3, &written), CKX4COMM_WRITE_ERROR);
}

TEST_F(Steps, FailedWriteIsAFailureEvenWithoutLineErrors) {
  CKX4COMM port;
  port.SetPortNumber(1);
  ASSERT_EQ(port.OpenPort(), CKX4COMM_OK);
  unsigned long written = 9;
  script_.calls.clear();
  script_.writes = {{false, 0, 31}};
  EXPECT_EQ(Write(port, 3, &written), CKX4COMM_WRITE_ERROR);
  EXPECT_EQ(written, 0u);
  // The port's error state is still cleared so the next write can go.
  EXPECT_EQ(script_.calls, (std::vector<std::string>{"Write", "ClearErrors"}));
}

TEST_F(Steps, MaintenanceOperations) {
  CKX4COMM port;
  EXPECT_EQ(port.WindowsConfigScreen(), CKX4COMM_SET_ERROR);
  EXPECT_EQ(script_.calls.back(), "Message Atenção: A porta serial não foi aberta!");
  port.SetPortNumber(2);
  ASSERT_EQ(port.OpenPort(), CKX4COMM_OK);
  script_.calls.clear();
  EXPECT_EQ(port.WindowsConfigScreen(), CKX4COMM_OK);
  EXPECT_EQ(script_.calls, (std::vector<std::string>{"Dialog 52"}));

  script_.calls.clear();
  EXPECT_EQ(port.WaitEvent(), 1u);
  EXPECT_EQ(script_.calls, (std::vector<std::string>{"Mask 27", "Wait"}));

  script_.event_ok = false;
  char unused[] = "x";
  EXPECT_EQ(port.ProcPorta(unused), static_cast<unsigned long>(CKX4COMM_THREAD_ERROR));
  EXPECT_EQ(script_.calls.back(), "Message Error!: Falha ao Criar o thread! (!)");
  // With the port closed the watch loop has nothing to wait for.
  script_.event_ok = true;
  port.ClosePort();
  script_.calls.clear();
  EXPECT_EQ(port.ProcPorta(unused), static_cast<unsigned long>(CKX4COMM_OK));
  EXPECT_EQ(script_.calls, (std::vector<std::string>{"CloseEvent"}));
  EXPECT_EQ(port.GetPortExistent(), CKX4COMM_OK);
}

}  // namespace
}  // namespace kova::comm
