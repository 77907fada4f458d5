// Stand-in for the settings file access while the store library is not in
// the build: no port is ever stored.
#pragma once
#include <string>

namespace kova {
inline int PortSetting(const std::string& model_name, int& port, const std::string& action) {
  (void)port;
  if (action != "GET") return 0;
  return model_name == "VELA" ? 1 : 2;
}
}  // namespace kova
