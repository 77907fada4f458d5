// The port list from what the system reports, and the probe asking the
// ports at once with the controller's own question on the virtual clock.
#include "serial/port_probe.h"

#include <gtest/gtest.h>

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

// kova-sim behind COM7 while COM1 to COM3 are silent, COM5 is a Bluetooth
// link and COM6 is held by another program: every port asked at once, so
// the question's wait is paid once; the Bluetooth port is never opened.
TEST(PortProbe, AllPortsAreAskedAtOnceAndBluetoothIsLeftAlone) {
  VirtualClock clock;
  std::map<int, std::unique_ptr<sim::ControllerSim>> behind;
  for (int n : {1, 2, 3, 7}) {
    behind[n] = std::make_unique<sim::ControllerSim>(kModelVela, clock);
    behind[n]->faults().silent = n != 7;
  }
  std::vector<int> opened;
  ProbeHooks hooks;
  hooks.open = [&](int n) -> std::unique_ptr<SerialPort> {
    opened.push_back(n);
    if (!behind.count(n)) return nullptr;
    auto port = std::make_unique<sim::SimSerialPort>(*behind[n], clock);
    port->OpenPort();
    return port;
  };
  hooks.ask = [&](const std::vector<SerialPort*>& open) {
    return ControllersAnswer(open, clock, kModelVela);
  };
  using O = ProbeOutcome;
  EXPECT_EQ(ProbePorts({{1, "", false}, {2, "", false}, {3, "", false}, {5, "BT", true},
                        {6, "", false}, {7, "USB", false}},
                       hooks),
            (std::vector<O>{O::kSilent, O::kSilent, O::kSilent, O::kNotAsked, O::kBusy,
                            O::kAnswered}));
  EXPECT_EQ(opened, (std::vector<int>{1, 2, 3, 6, 7}));
  EXPECT_EQ(clock.Waits(), (std::vector<uint32_t>{400, 500}));
  for (auto& [n, sim] : behind) {
    ASSERT_EQ(sim->Frames().size(), 1u) << "COM" << n;
    EXPECT_EQ(sim->Frames()[0].time_ms, 0u) << "COM" << n << " asked late";
  }
  // Nothing that opens: nothing asked, no wait.
  clock.ClearWaits();
  EXPECT_EQ(ProbePorts({{5, "BT", true}}, hooks), (std::vector<O>{O::kNotAsked}));
  EXPECT_TRUE(clock.Waits().empty());
}

}  // namespace
}  // namespace kova
