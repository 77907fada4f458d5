// The frames a screen test's simulated controller received, as text
// ("00 70 32"), so expected exchanges read like the protocol's tables.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/screen_bench.h"

namespace kova::frame_text {

inline std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string s;
  char buf[4];
  for (uint8_t b : bytes) {
    std::snprintf(buf, sizeof buf, "%s%02X", s.empty() ? "" : " ", b);
    s += buf;
  }
  return s;
}

// Every frame, in the order received.
inline std::vector<std::string> All(const ScreenBench& b) {
  std::vector<std::string> out;
  for (const auto& f : b.Frames()) out.push_back(Hex(f));
  return out;
}

// The bench's register writes without the stream's start and stop.
inline std::vector<std::string> Writes(const ScreenBench& b) {
  std::vector<std::string> out;
  for (const auto& f : b.Writes()) {
    const uint8_t command = f[f.size() - 2];
    if (command != 0x07 && command != 0x08) out.push_back(Hex(f));
  }
  return out;
}

// Every register of the simulated controller as file keys, with some
// values replaced.
inline std::vector<std::pair<std::string, std::string>> Registers(
    const ScreenBench& b, const std::vector<std::pair<std::string, std::string>>& replaced) {
  std::vector<std::pair<std::string, std::string>> keys;
  char key[8], value[8];
  for (uint8_t a : b.sim.RegisterAddresses()) {
    std::snprintf(key, sizeof key, "%X", a);
    std::snprintf(value, sizeof value, "%X", b.sim.Register(a));
    keys.emplace_back(key, value);
    for (const auto& [k, v] : replaced)
      if (k == key) keys.back().second = v;
  }
  return keys;
}

// Writes a parameter file holding the keys in one section.
inline std::string ParameterFile(const ScreenBench& b, const std::string& name,
                                 const std::string& section,
                                 const std::vector<std::pair<std::string, std::string>>& keys) {
  std::string path = b.Path(name);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return path;
  std::fprintf(f, "[%s]\r\n", section.c_str());
  for (const auto& [k, v] : keys) std::fprintf(f, "%s=%s\r\n", k.c_str(), v.c_str());
  std::fclose(f);
  return path;
}

}  // namespace kova::frame_text
