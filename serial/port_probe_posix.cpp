// The system's serial ports on POSIX systems: the COM ports mapped with
// KOVA_COM<n> (see ckx4comm.h); /dev/ttyS* nodes exist whether or not a
// port is behind them, so they are not listed.
#include <cstring>

#include "serial/port_probe.h"

extern char** environ;

namespace kova {

std::vector<SystemPort> ListSystemPorts() {
  std::vector<DeviceMapEntry> map;
  for (char** e = environ; e && *e; ++e) {
    if (std::strncmp(*e, "KOVA_", 5) != 0) continue;
    const char* eq = std::strchr(*e, '=');
    if (!eq || eq[1] == '\0') continue;
    map.push_back({eq + 1, std::string(*e + 5, static_cast<std::size_t>(eq - (*e + 5)))});
  }
  return PortsFromSystem(map, {});
}

}  // namespace kova
