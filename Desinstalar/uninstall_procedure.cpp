#include "Desinstalar/uninstall_procedure.h"

#include <cstring>
#include <vector>

#include "Instalador/install_helpers.h"
#include "common/cp1252.h"

namespace kova {

namespace {

// Longest product name a trailer may carry; anything longer is damage,
// not a name, and must not drive an allocation.
constexpr uint32_t kMaxTrailerName = 4096;

std::optional<RegRoot> RootFromText(std::string_view text) {
  if (text == "HKCR") return RegRoot::kClassesRoot;
  if (text == "HKCU") return RegRoot::kCurrentUser;
  if (text == "HKLM") return RegRoot::kLocalMachine;
  if (text == "HKU") return RegRoot::kUsers;
  return std::nullopt;
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

ProductName ReadProductName(InstallPlatform& sys, const std::string& folder) {
  ProductName result;
  std::string own = folder + "\\Desinstalar.exe";
  std::optional<uint64_t> size = sys.FileSize(own);
  if (!size) return result;
  if (*size == kUninstallerImageSize) {
    result.kind = ProductName::kNoTrailer;
    return result;
  }
  std::optional<std::string> bytes = sys.ReadFile(own);
  if (!bytes || bytes->size() < kUninstallerImageSize + 4) return result;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes->data()) + kUninstallerImageSize;
  uint32_t length = p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
  if (length > kMaxTrailerName || bytes->size() - kUninstallerImageSize - 4 < length)
    return result;
  result.kind = ProductName::kFound;
  result.name = Cp1252ToUtf8(std::string_view(bytes->data() + kUninstallerImageSize + 4, length));
  return result;
}

std::string BatchPath(InstallPlatform& sys) { return sys.GetEnv("WINDIR") + "\\pelin_uni.bat"; }

bool Desinstalar(InstallPlatform& sys, UninstallProgress& progress, const std::string& folder,
                 const std::optional<std::string>& product) {
  std::optional<std::string> log = sys.ReadFile(folder + "\\uninstall.log");
  if (!log) return false;
  std::vector<std::string> lines = SplitLogLines(*log);
  progress.SetRange(static_cast<int>(lines.size()));

  std::string batch_path = BatchPath(sys);
  std::unique_ptr<OutputFile> batch = sys.CreateOutput(batch_path);
  if (!batch) return false;
  auto put = [&](const std::string& line) { return batch->Write(Utf8ToCp1252(line) + "\r\n"); };
  if (!put(":Repeat")) return false;

  int k = 0;
  for (const std::string& line : lines) {
    progress.SetPosition(++k);
    if (!line.empty() && line[0] == '#') continue;
    if (line.rfind("DIR=", 0) == 0) {
      std::string path = line.substr(4);
      if (!put("rmdir /s/q " + Quoted(path)) || !put("if exist " + Quoted(path) + " goto Repeat"))
        return false;
    } else if (line.rfind("REG=", 0) == 0) {
      std::string rest = line.substr(4);
      size_t slash = rest.find('\\');
      // Without a subkey there is nothing of the product's to delete: an
      // empty subkey would take the whole root with it.
      if (slash == std::string::npos || slash + 1 >= rest.size()) continue;
      std::optional<RegRoot> root = RootFromText(rest.substr(0, slash));
      if (root) sys.RegRemoveTree(*root, rest.substr(slash + 1));
    } else if (FileExists(sys, line)) {
      progress.SetStatus("Excluindo arquivo: " + line);
      sys.EraseFile(line);
    }
  }
  if (!put("del " + Quoted(batch_path))) return false;
  batch->Close();
  // Without the product name the key is unknown; deleting under an empty
  // name would remove every program's entry.
  if (product && !product->empty()) sys.RegRemoveTree(RegRoot::kLocalMachine, kUninstallKeyPrefix + *product);
  return true;
}

bool StartBatch(InstallPlatform& sys) {
  return sys.StartProcess("cmd.exe /c " + Quoted(BatchPath(sys)), true);
}

}  // namespace kova
