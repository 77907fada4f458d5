#include <windows.h>
#include <shellapi.h>

#include "common/cp1252.h"
#include "tools/args.h"

namespace kova::pack {

std::vector<std::string> Utf8Arguments(int, char**) {
  std::vector<std::string> out;
  int n = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &n);
  if (!wide) return out;
  for (int i = 0; i < n; ++i) out.push_back(WideToUtf8(wide[i]));
  LocalFree(wide);
  return out;
}

}  // namespace kova::pack
