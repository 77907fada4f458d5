// Finding the controller's port: the serial ports the system knows, and
// asking them all at once whether the controller answers there.
//
// The list comes from the system's device map (on Windows
// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM), so every port number appears, with
// the adapter's name where the system gives one. Bluetooth serial ports are
// listed but never opened by the probe: opening one whose phone is switched
// off blocks for seconds. The other ports are opened one after another,
// which is quick, and asked together, so several silent ports cost one
// question's wait in all. The question itself (frames, line settings,
// waits) belongs to the controller exchange and comes in as hooks.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "serial/serial_port.h"

namespace kova {

// COM1 to COM256 are the numbers the system hands out.
inline constexpr int kMaxPortNumber = 256;

// The number in "COM12" or "COM12 - USB Serial Port": the digits right
// after "COM"; 0 when there are none or the number is beyond any port.
int ComNumber(std::string_view text);

// The name to open a port by. COM10 and up exist only in the device
// namespace ("\\.\COM12"); below that the plain name is kept.
std::string PortDevicePath(std::string_view name);

struct SystemPort {
  int number = 0;          // n of COMn
  std::string adapter;     // the adapter's name, UTF-8; empty when unknown
  bool bluetooth = false;  // never opened by the probe
  bool operator==(const SystemPort&) const = default;
};

// One value of the device map: the driver's device ("\Device\Serial0",
// "\Device\BthModem2") and the port it is ("COM3").
struct DeviceMapEntry {
  std::string device;
  std::string port;
};

// What the system says of one port's adapter: its port name, its friendly
// name ("USB-SERIAL CH340 (COM3)") and its first hardware id
// ("USB\VID_1A86&PID_7523", "BTHENUM\{00001101-...}").
struct PortAdapter {
  std::string port;
  std::string name;
  std::string hardware_id;
};

// The device map's ports in increasing order, each once, named after their
// adapter (without the "(COMn)" the system appends) and marked Bluetooth by
// their device, hardware id or name. Values that are not a COM port are
// left out.
std::vector<SystemPort> PortsFromSystem(const std::vector<DeviceMapEntry>& map,
                                        const std::vector<PortAdapter>& adapters);

// The system's serial ports now (one implementation per platform).
std::vector<SystemPort> ListSystemPorts();

enum class ProbeOutcome {
  kNotAsked,  // a Bluetooth port: left to the user
  kBusy,      // did not open: in use by another program, or gone
  kSilent,    // opened, asked, no answer
  kAnswered,  // the controller answered
};

struct ProbeHooks {
  // A port object for the number, open and set up for the question;
  // nothing when it does not open. Destroying it closes the port.
  std::function<std::unique_ptr<SerialPort>(int number)> open;
  // Asks every port at once; whether each answered, in the same order.
  std::function<std::vector<bool>(const std::vector<SerialPort*>& ports)> ask;
};

// Opens every port but the Bluetooth ones, asks those that opened
// together, and closes them again; one outcome per port, in order.
std::vector<ProbeOutcome> ProbePorts(const std::vector<SystemPort>& ports,
                                     const ProbeHooks& hooks);

}  // namespace kova
