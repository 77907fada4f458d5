#include "Instalador/setup/uninstall_record.h"

#include "Instalador/setup/install_helpers.h"
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

bool FitsCp1252(std::string_view utf8) { return Cp1252ToUtf8(Utf8ToCp1252(utf8)) == utf8; }

std::string LogBytes(std::string_view line, bool utf8) {
  return (utf8 ? std::string(line) : Utf8ToCp1252(line)) + "\r\n";
}

std::vector<std::string> SplitLogLines(std::string_view stored) {
  const bool utf8 = stored.substr(0, 3) == kUtf8Mark;
  if (utf8) stored.remove_prefix(3);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < stored.size()) {
    size_t lf = stored.find('\n', start);
    size_t end = lf == std::string_view::npos ? stored.size() : lf;
    size_t stop = end;
    if (stop > start && stored[stop - 1] == '\r') --stop;
    const std::string_view line = stored.substr(start, stop - start);
    lines.push_back(utf8 ? std::string(line) : Cp1252ToUtf8(line));
    if (lf == std::string_view::npos) break;
    start = lf + 1;
  }
  return lines;
}

std::string InstalledDirectory(InstallPlatform& sys, const std::string& product) {
  const std::string key = std::string(kUninstallKeyPrefix) + product;
  std::string dir = sys.RegGetString(RegRoot::kLocalMachine, key, "InstallLocation").value_or("");
  if (dir.empty()) {
    // Entries written before InstallLocation: the uninstaller's folder.
    std::string un = sys.RegGetString(RegRoot::kLocalMachine, key, "UninstallString").value_or("");
    if (un.size() > 1 && un.front() == '"') un = un.substr(1, un.find('"', 1) - 1);
    dir = ParentFolder(un);
  }
  dir = InstallDirectoryFromText(dir);
  return PathNames(dir) ? dir : std::string();
}

}  // namespace kova
