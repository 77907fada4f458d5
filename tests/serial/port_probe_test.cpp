// The port list from what the system reports, and the probe asking the
// ports at once with the controller's own question on the virtual clock.
#include "serial/port_probe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

#include "common/clock.h"
#include "controller/exchange.h"
#include "sim/controller_sim.h"
#include "sim/sim_serial_port.h"

namespace kova {
namespace {

TEST(PortList, EveryNumberOnceWithItsAdapterAndTheBluetoothMark) {
  const std::vector<DeviceMapEntry> map = {
      {"\\Device\\Serial0", "COM1"},        {"\\Device\\VCP0", "COM3"},
      {"\\Device\\BthModem0", "COM5"},      {"\\Device\\ProlificSerial0", "COM128"},
      {"\\Device\\Parallel0", "LPT1"},      {"\\Device\\Serial9", "COM1"},
      {"\\Device\\USBSER000", "COM12"},     {"\\Device\\Odd", "COM4x"},
      {"\\Device\\Silabser0", "COM256"},    {"\\Device\\Silabser1", "COM257"},
  };
  const std::vector<PortAdapter> adapters = {
      {"COM3", "USB Serial Port (COM3)", "FTDIBUS\\VID_0403+PID_6001"},
      {"COM12", "Standard Serial over Bluetooth link (COM12)", "BTHENUM\\{00001101-0000}"},
      {"COM128", "Serial padrão por link (COM128)", "bthenum\\{00001101}"},
      {"COM9", "Unplugged (COM9)", ""},  // not in the device map: gone
  };
  EXPECT_EQ(PortsFromSystem(map, adapters), (std::vector<SystemPort>{
                                                {1, "", false},
                                                {3, "USB Serial Port", false},
                                                {5, "", true},
                                                {12, "Standard Serial over Bluetooth link", true},
                                                {128, "Serial padrão por link", true},
                                                {256, "", false},
                                            }));
}

TEST(PortList, NumbersAndDeviceNames) {
  EXPECT_EQ(ComNumber("COM12 - USB Serial Port - controlador encontrado"), 12);
  EXPECT_EQ(ComNumber("COM1"), 1);
  EXPECT_EQ(ComNumber("COM256"), 256);
  for (const char* none : {"COM257", "COM", "COMx", "", "LPT1", "COM99999999999"})
    EXPECT_EQ(ComNumber(none), 0) << none;
  EXPECT_EQ(PortDevicePath("COM9"), "COM9");
  EXPECT_EQ(PortDevicePath("COM10"), "\\\\.\\COM10");
  EXPECT_EQ(PortDevicePath("COM255"), "\\\\.\\COM255");
}

// A port of its own controller: silent ones stand for ports with nothing
// behind them.
struct SimPort {
  SimPort(Clock& clock, bool silent) : sim(kModelVela, clock), port(sim, clock) {
    sim.faults().silent = silent;
    port.OpenPort();
  }
  sim::ControllerSim sim;
  sim::SimSerialPort port;
};

// A port object the probe owns that talks through one of the test's ports
// and tells when it is let go.
class Lent final : public sim::SimSerialPort {
 public:
  Lent(SimPort& p, Clock& clock, std::vector<int>& closed, int n)
      : SimSerialPort(p.sim, clock), closed_(closed), n_(n) {
    OpenPort();
  }
  ~Lent() override { closed_.push_back(n_); }

 private:
  std::vector<int>& closed_;
  int n_;
};

// kova-sim behind COM7 while COM1 to COM3 are silent, COM5 is a Bluetooth
// link and COM6 is held by another program: one question's wait for all.
TEST(PortProbe, AllPortsAreAskedAtOnceAndBluetoothIsLeftAlone) {
  for (int silent_ports : {1, 3}) {
    VirtualClock clock;
    std::map<int, std::unique_ptr<SimPort>> behind;
    std::vector<SystemPort> ports;
    for (int n = 1; n <= silent_ports; ++n) {
      behind[n] = std::make_unique<SimPort>(clock, true);
      ports.push_back({n, "", false});
    }
    behind[7] = std::make_unique<SimPort>(clock, false);
    ports.push_back({5, "Bluetooth", true});
    ports.push_back({6, "", false});
    ports.push_back({7, "USB Serial Port", false});

    std::vector<int> opened, closed;
    ProbeHooks hooks;
    hooks.open = [&](int n) -> std::unique_ptr<SerialPort> {
      opened.push_back(n);
      if (!behind.count(n)) return nullptr;
      return std::make_unique<Lent>(*behind[n], clock, closed, n);
    };
    hooks.ask = [&](const std::vector<SerialPort*>& open) {
      return ControllersAnswer(open, clock, kModelVela);
    };
    std::vector<ProbeOutcome> outcomes = ProbePorts(ports, hooks);

    std::vector<ProbeOutcome> want(static_cast<size_t>(silent_ports), ProbeOutcome::kSilent);
    want.insert(want.end(), {ProbeOutcome::kNotAsked, ProbeOutcome::kBusy, ProbeOutcome::kAnswered});
    EXPECT_EQ(outcomes, want);
    EXPECT_EQ(std::count(opened.begin(), opened.end(), 5), 0) << "a Bluetooth port was opened";
    // However many ports are silent, the question's wait is paid once.
    EXPECT_EQ(clock.Waits(), (std::vector<uint32_t>{400, 500}));
    for (auto& [n, p] : behind) {
      ASSERT_EQ(p->sim.Frames().size(), 1u) << "COM" << n;
      EXPECT_EQ(p->sim.Frames()[0].bytes, (std::vector<uint8_t>{0x09, 0x00})) << "COM" << n;
      EXPECT_EQ(p->sim.Frames()[0].time_ms, 0u) << "COM" << n << " asked late";
    }
    // Every port opened for the question is let go.
    std::sort(closed.begin(), closed.end());
    std::vector<int> asked;
    for (auto& [n, p] : behind) asked.push_back(n);
    EXPECT_EQ(closed, asked);
  }
}

TEST(PortProbe, NothingToAskCostsNoWait) {
  VirtualClock clock;
  int asks = 0;
  ProbeHooks hooks;
  hooks.open = [](int) { return std::unique_ptr<SerialPort>(); };
  hooks.ask = [&](const std::vector<SerialPort*>& open) {
    ++asks;
    return ControllersAnswer(open, clock, kModelVela);
  };
  EXPECT_EQ(ProbePorts({{2, "", true}, {4, "", false}}, hooks),
            (std::vector<ProbeOutcome>{ProbeOutcome::kNotAsked, ProbeOutcome::kBusy}));
  EXPECT_EQ(asks, 0);
  EXPECT_TRUE(clock.Waits().empty());
}

}  // namespace
}  // namespace kova
