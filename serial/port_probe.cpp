#include "serial/port_probe.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace kova {
namespace {

bool ContainsNoCase(std::string_view text, std::string_view part) {
  auto lower = [](unsigned char c) { return std::tolower(c); };
  return std::search(text.begin(), text.end(), part.begin(), part.end(),
                     [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

bool StartsNoCase(std::string_view text, std::string_view start) {
  return text.size() >= start.size() && ContainsNoCase(text.substr(0, start.size()), start);
}

// "USB-SERIAL CH340 (COM3)" -> "USB-SERIAL CH340": the list shows the
// port's name already.
std::string WithoutPortName(std::string name, int number) {
  const std::string own = "(COM" + std::to_string(number) + ")";
  if (auto at = name.rfind(own); at != std::string::npos) name.erase(at, own.size());
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

}  // namespace

int ComNumber(std::string_view text) {
  if (text.size() <= 3 || text.substr(0, 3) != "COM") return 0;
  int n = 0;
  for (std::size_t i = 3; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    n = n * 10 + (text[i] - '0');
    if (n > kMaxPortNumber) return 0;
  }
  return n;
}

std::string PortDevicePath(std::string_view name) {
  std::string path(name);
  if (ComNumber(name) >= 10) path.insert(0, "\\\\.\\");
  return path;
}

std::vector<SystemPort> PortsFromSystem(const std::vector<DeviceMapEntry>& map,
                                        const std::vector<PortAdapter>& adapters) {
  std::map<int, SystemPort> ports;
  for (const DeviceMapEntry& e : map) {
    const int n = ComNumber(e.port);
    if (n <= 0 || std::to_string(n).size() + 3 != e.port.size()) continue;
    SystemPort& p = ports[n];
    p.number = n;
    // Microsoft's Bluetooth serial driver names its devices BthModem.
    p.bluetooth = p.bluetooth || ContainsNoCase(e.device, "BthModem");
  }
  for (const PortAdapter& a : adapters) {
    auto it = ports.find(ComNumber(a.port));
    if (it == ports.end()) continue;
    SystemPort& p = it->second;
    p.adapter = WithoutPortName(a.name, p.number);
    p.bluetooth = p.bluetooth || StartsNoCase(a.hardware_id, "BTHENUM\\") ||
                  ContainsNoCase(a.name, "Bluetooth");
  }
  std::vector<SystemPort> out;
  for (auto& [n, p] : ports) out.push_back(std::move(p));
  return out;
}

std::vector<ProbeOutcome> ProbePorts(const std::vector<SystemPort>& ports,
                                     const ProbeHooks& hooks) {
  std::vector<ProbeOutcome> outcomes(ports.size(), ProbeOutcome::kNotAsked);
  std::vector<std::unique_ptr<SerialPort>> open;
  std::vector<std::size_t> asked;  // positions of the open ports
  for (std::size_t i = 0; i < ports.size(); ++i) {
    if (ports[i].bluetooth) continue;
    std::unique_ptr<SerialPort> port = hooks.open ? hooks.open(ports[i].number) : nullptr;
    if (!port) {
      outcomes[i] = ProbeOutcome::kBusy;
      continue;
    }
    open.push_back(std::move(port));
    asked.push_back(i);
  }
  if (open.empty()) return outcomes;
  std::vector<SerialPort*> raw;
  for (auto& p : open) raw.push_back(p.get());
  const std::vector<bool> answered = hooks.ask ? hooks.ask(raw) : std::vector<bool>{};
  for (std::size_t k = 0; k < asked.size(); ++k)
    outcomes[asked[k]] = k < answered.size() && answered[k] ? ProbeOutcome::kAnswered
                                                           : ProbeOutcome::kSilent;
  return outcomes;
}

}  // namespace kova
