#include "Instalador/setup/uninstall_log.h"

#include "common/cp1252.h"

namespace kova {

namespace {
constexpr std::string_view kDir = "DIR=", kReg = "REG=";
}  // namespace

std::string DirLine(std::string_view path) { return std::string(kDir) + std::string(path); }
std::string RegLine(std::string_view key) { return std::string(kReg) + std::string(key); }

LogLine ParseLogLine(std::string_view line) {
  if (!line.empty() && line[0] == '#') return {LogLine::kComment, std::string(line)};
  if (line.substr(0, kDir.size()) == kDir)
    return {LogLine::kDirectory, std::string(line.substr(kDir.size()))};
  if (line.substr(0, kReg.size()) == kReg)
    return {LogLine::kRegistry, std::string(line.substr(kReg.size()))};
  return {LogLine::kFile, std::string(line)};
}

std::string LogBytes(std::string_view line) { return Utf8ToCp1252(line) + "\r\n"; }

std::vector<std::string> SplitLogLines(std::string_view stored) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < stored.size()) {
    size_t lf = stored.find('\n', start);
    size_t end = lf == std::string_view::npos ? stored.size() : lf;
    size_t stop = end;
    if (stop > start && stored[stop - 1] == '\r') --stop;
    lines.push_back(Cp1252ToUtf8(stored.substr(start, stop - start)));
    if (lf == std::string_view::npos) break;
    start = lf + 1;
  }
  return lines;
}

}  // namespace kova
